#include "cardscrollarea.h"

#include <QScrollBar>

CardScrollArea::CardScrollArea(QWidget* parent)
    : QScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    // Not a Tab stop of its own: the keys go from control to control, and
    // the area scrolls to show the one that has the focus.
    setFocusPolicy(Qt::NoFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setStyleSheet(QStringLiteral("QScrollArea { background: white; border: none; }") + scrollBarStyleSheet());
    // Under a parent that has a style sheet of its own (every settings tab
    // has), the bar keeps the platform's look unless it is given the rules
    // itself.
    verticalScrollBar()->setStyleSheet(scrollBarStyleSheet());
    viewport()->setAutoFillBackground(false);
}

QString CardScrollArea::scrollBarStyleSheet()
{
    return QStringLiteral(
        "QScrollBar:vertical { background: transparent; width: 8px; margin: 2px 1px 2px 0px; }"
        "QScrollBar::handle:vertical { background: rgba(128, 128, 128, 128); border-radius: 3px;"
        " min-height: 24px; }"
        "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0px; }"
        "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: transparent; }");
}

void CardScrollArea::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    // Keep the page step one viewport, so paging never skips rows.
    verticalScrollBar()->setPageStep(viewport()->height());
}
