#include "zeltravisibledeviceslistviewwidget_scrollarea.h"

#include "customscrollbar.h"

ZeltraVisibleDevicesListViewWidget_ScrollArea::ZeltraVisibleDevicesListViewWidget_ScrollArea(QWidget* parent)
    : QScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setVerticalScrollBar(new CustomScrollBar(Qt::Vertical, this));
    setHorizontalScrollBar(new CustomScrollBar(Qt::Horizontal, this));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setWidgetResizable(true);
    setStyleSheet(QStringLiteral("QScrollArea { background: transparent; }"));
    viewport()->setAutoFillBackground(false);
}

void ZeltraVisibleDevicesListViewWidget_ScrollArea::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    emit viewportResized();
}
