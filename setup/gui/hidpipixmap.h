#pragma once

#include <QPixmap>
#include <QString>

// Loads one of the program's pictures (":/Name"). On a high-density screen
// (a device pixel ratio above 1 on any screen) the double-resolution
// rendering ":/Name@2x" is taken when it exists, with a device pixel ratio of
// 2, so that it covers the same logical size as the ordinary one.
QPixmap loadPicture(const QString& path);
