#include "hidpipixmap.h"

#include <QGuiApplication>

QPixmap loadPicture(const QString& path)
{
    if (path.isEmpty())
        return QPixmap();
    if (qGuiApp && qGuiApp->devicePixelRatio() > 1.0) {
        // The reader gives an "@2x" file a device pixel ratio of 2.
        QPixmap sharp(path + QStringLiteral("@2x"));
        if (!sharp.isNull())
            return sharp;
    }
    return QPixmap(path);
}
