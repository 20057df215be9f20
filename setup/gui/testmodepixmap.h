#pragma once

#include <QCoreApplication>
#include <QPixmap>

// A copy of a device picture with "TEST MODE" written over it in red, in the
// largest font (70 points downwards) whose text fits width x height. A null
// picture gives a transparent width x height canvas. x, y place the text.
// With `wrap` the words may take a line each and are centred in the area,
// for pictures too narrow to hold the mark on one legible line.
class TestModePixmap : public QPixmap
{
    Q_DECLARE_TR_FUNCTIONS(TestModePixmap)
public:
    TestModePixmap(const QPixmap& pixmap, int width, int height, int x, int y, bool wrap = false);

    // The point size the text was drawn at (0 when nothing fitted).
    int textPointSize() const { return m_pointSize; }

private:
    int m_pointSize = 0;
};
