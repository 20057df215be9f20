#include "productcardbase.h"

#include "colourpalette.h"
#include "focustrap.h"

#include <QEvent>

ProductCardBase::ProductCardBase(QWidget* window)
    : QWidget(window)
    , m_window(window)
{
    m_background = new QWidget(this);
    m_background->setObjectName(QStringLiteral("productCardBackground"));
    m_background->setAttribute(Qt::WA_StyledBackground);
    m_background->setStyleSheet(QStringLiteral("QWidget#productCardBackground { background: %1; }")
                                    .arg(ColourPalette::toHtmlQString(ColourPalette::kNightskyGray, 150)));
    m_body = new QWidget(this);
    m_body->setObjectName(QStringLiteral("productCardBody"));
    m_body->setAttribute(Qt::WA_StyledBackground);
    m_body->setStyleSheet(
        QStringLiteral("QWidget#productCardBody { background: white; border: none; border-radius: 10px; }"));
    if (window)
        window->installEventFilter(this);
    placeOverWindow();
    m_trap = new FocusTrap(this);
}

bool ProductCardBase::focusNextPrevChild(bool next)
{
    // Never on into the window behind, even with nothing to reach here.
    m_trap->moveFocus(next);
    return true;
}

void ProductCardBase::placeOverWindow()
{
    if (!m_window)
        return;
    const QSize size = m_window->size();
    setFixedSize(size);
    move(0, 0);
    m_background->setGeometry(0, 0, size.width(), size.height());
    m_body->setFixedSize(kBodyWidth, std::max(0, size.height() - 39));
    m_body->move((size.width() - 619) / 2, 20);
}

bool ProductCardBase::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window && event->type() == QEvent::Resize)
        placeOverWindow();
    return QWidget::eventFilter(watched, event);
}
