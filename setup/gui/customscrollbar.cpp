#include "customscrollbar.h"

CustomScrollBar::CustomScrollBar(Qt::Orientation orientation, QWidget* parent) : QScrollBar(orientation, parent)
{
    setStyleSheet(styleSheetText(orientation));
}

QString CustomScrollBar::styleSheetText(Qt::Orientation orientation)
{
    const bool horizontal = orientation == Qt::Horizontal;
    const QString bar = horizontal ? QStringLiteral("QScrollBar:horizontal") : QStringLiteral("QScrollBar:vertical");
    const QString handle =
        horizontal ? QStringLiteral("QScrollBar::handle:horizontal") : QStringLiteral("QScrollBar::handle:vertical");
    const QString extent = horizontal ? QStringLiteral("height") : QStringLiteral("width");
    const QString length = horizontal ? QStringLiteral("min-width") : QStringLiteral("min-height");
    return QStringLiteral("%1 { background: transparent; border: none; %3: %4px; margin: 0px; }"
                          "%2 { background: rgba(160, 160, 160, 110); border-radius: %5px; %6: 30px; }"
                          "%2:hover { background: rgba(200, 200, 200, 150); }"
                          "QScrollBar::add-line, QScrollBar::sub-line { width: 0px; height: 0px; border: none; }"
                          "QScrollBar::add-page, QScrollBar::sub-page { background: none; }")
        .arg(bar, handle, extent)
        .arg(kThickness)
        .arg(kThickness / 2)
        .arg(length);
}
