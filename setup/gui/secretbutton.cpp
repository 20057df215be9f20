#include "secretbutton.h"

#include <QMouseEvent>

SecretButton::SecretButton(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_NoSystemBackground);
}

void SecretButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    // A plain double click must not be noticed by anyone: it is swallowed.
    event->accept();
    if (event->modifiers() & Qt::ShiftModifier)
        emit secretClick();
}
