#include "horizontalscrollarea.h"

#include "customscrollbar.h"

#include <QEvent>
#include <QScrollBar>

HorizontalScrollArea::HorizontalScrollArea(QWidget* parent) : QScrollArea(parent)
{
    setHorizontalScrollBar(new CustomScrollBar(Qt::Horizontal, this));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    // The scroll area shows whatever its parent paints behind it.
    setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
}

QSize HorizontalScrollArea::sizeHint() const
{
    if (!widget())
        return QScrollArea::sizeHint();
    const QSize content = widget()->sizeHint();
    return QSize(content.width(), height());
}

QSize HorizontalScrollArea::minimumSizeHint() const
{
    // Narrower than the content is fine: that is what the bar is for.
    return QSize(0, height());
}

void HorizontalScrollArea::contentChanged()
{
    if (widget()) {
        widget()->installEventFilter(this);
        widget()->adjustSize();
    }
    updateHeight();
    updateGeometry();
}

void HorizontalScrollArea::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    updateHeight();
}

bool HorizontalScrollArea::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == widget() && event->type() == QEvent::LayoutRequest) {
        updateHeight();
        updateGeometry();
    }
    return QScrollArea::eventFilter(watched, event);
}

void HorizontalScrollArea::updateHeight()
{
    if (!widget())
        return;
    const QSize content = widget()->sizeHint();
    const bool needsBar = content.width() > viewport()->width() && width() < content.width();
    const int wanted = content.height() + (needsBar ? CustomScrollBar::kThickness + 2 : 0);
    if (height() != wanted)
        setFixedHeight(wanted);
}
