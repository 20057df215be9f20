#include "rollovericoncallout.h"

#include "rollovericoncalloutchevron.h"
#include "rollovericoncallouttextbubble.h"
#include "tightvboxlayout.h"

RolloverIconCallout::RolloverIconCallout(const QString& text, QWidget* parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    auto* column = new TightVBoxLayout(this);
    m_chevron = new RolloverIconCalloutChevron(this);
    m_bubble = new RolloverIconCalloutTextBubble(text, this);
    column->addWidget(m_chevron, 0, Qt::AlignHCenter);
    column->addWidget(m_bubble);
    setFixedSize(column->sizeHint());
}

void RolloverIconCallout::setText(const QString& text)
{
    m_bubble->setText(text);
    setFixedSize(layout()->sizeHint());
}

QString RolloverIconCallout::text() const
{
    return m_bubble->text();
}
