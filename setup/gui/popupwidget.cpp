#include "popupwidget.h"

#include <QList>
#include <QPointer>

namespace {
QList<QPointer<PopupWidget>>& openPopups()
{
    static QList<QPointer<PopupWidget>> popups;
    return popups;
}
} // namespace

PopupWidget::PopupWidget(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
}

PopupWidget::~PopupWidget()
{
    openPopups().removeAll(this);
}

void PopupWidget::positionAt(const QPoint& globalPoint)
{
    move(globalPoint);
}

void PopupWidget::showAt(const QPoint& globalPoint)
{
    positionAt(globalPoint);
    show();
    raise();
}

void PopupWidget::hideAll()
{
    const QList<QPointer<PopupWidget>> popups = openPopups();
    for (const QPointer<PopupWidget>& p : popups) {
        if (p)
            p->hide();
    }
}

int PopupWidget::openCount()
{
    openPopups().removeAll(nullptr);
    return openPopups().size();
}

void PopupWidget::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!openPopups().contains(this))
        openPopups().append(this);
}

void PopupWidget::hideEvent(QHideEvent* event)
{
    emit aboutToHide();
    openPopups().removeAll(this);
    QWidget::hideEvent(event);
}
