#include "adminutilitydialog.h"

#include "colourpalette.h"
#include "focustrap.h"

#include <QEvent>
#include <QPainter>

AdminUtilityDialog::AdminUtilityDialog(QWidget* window)
    : QWidget(window)
    , m_window(window)
{
    setObjectName(QStringLiteral("adminUtilityDialogBackground"));
    m_frame = new QFrame(this);
    m_frame->setObjectName(QStringLiteral("adminUtilityDialogFrame"));
    m_frame->setAttribute(Qt::WA_StyledBackground);
    m_frame->setStyleSheet(QStringLiteral(
        "QFrame#adminUtilityDialogFrame { background: white; border: none; border-radius: 10px; }"));
    if (window)
        window->installEventFilter(this);
    hide();
    m_trap = new FocusTrap(this);
}

bool AdminUtilityDialog::focusNextPrevChild(bool next)
{
    m_trap->moveFocus(next);
    return true;
}

void AdminUtilityDialog::placeOverWindow()
{
    if (!m_window)
        return;
    setGeometry(0, 0, m_window->width(), m_window->height());
    m_frame->adjustSize();
    const QSize s = m_frame->size();
    m_frame->move((width() - s.width()) / 2, (height() - s.height()) / 2);
}

void AdminUtilityDialog::showOverWindow()
{
    placeOverWindow();
    show();
    raise();
}

bool AdminUtilityDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window && event->type() == QEvent::Resize)
        placeOverWindow();
    return QWidget::eventFilter(watched, event);
}

void AdminUtilityDialog::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QColor sheet = ColourPalette::kNightskyGray;
    sheet.setAlpha(150);
    painter.fillRect(rect(), sheet);
}

void AdminUtilityDialog::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    placeOverWindow();
}
