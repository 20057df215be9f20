#pragma once
// Writes a widget as it is drawn now to FOLDER/NAME.png; on failure says so on
// standard error under the calling program's name.
#include <QDir>
#include <QString>
#include <QWidget>

#include <cstdio>

inline bool writePicture(QWidget& widget, const QString& folder, const char* name, const char* program)
{
    const QString path = QDir(folder).filePath(QString::fromLatin1(name) + QStringLiteral(".png"));
    if (widget.grab().save(path))
        return true;
    std::fprintf(stderr, "%s: cannot write %s\n", program, qPrintable(path));
    return false;
}
