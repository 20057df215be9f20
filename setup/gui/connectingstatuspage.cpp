#include "connectingstatuspage.h"

#include "busybutton.h"
#include "cardpushbutton.h"
#include "colourpalette.h"
#include "commongui.h"
#include "tightvboxlayout.h"

#include <QLabel>
#include <QShortcut>

ConnectingStatusPage::ConnectingStatusPage(QWidget* parent)
    : StatusPage(parent)
{
    auto* column = new TightVBoxLayout(this);
    m_busy = new BusyButton(this);
    m_busy->setEnabled(false);
    m_message = CommonGui::label(CommonGui::kLightLarge, ColourPalette::kWinterSkyGray, this);
    m_message->setAlignment(Qt::AlignCenter);
    m_cancel = new CardPushButton(tr("Cancel"), this);
    m_cancel->setFixedSize(114, 25);
    column->addStretch(2);
    column->addWidget(m_busy, 0, Qt::AlignHCenter);
    column->addSpacing(16);
    column->addWidget(m_message);
    column->addSpacing(28);
    column->addWidget(m_cancel, 0, Qt::AlignHCenter);
    column->addStretch(3);
    setMessage(QString());
    connect(m_cancel, &QPushButton::clicked, this, &ConnectingStatusPage::connectionCancelled);
    // Escape is Cancel here as on the settings page.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, m_cancel, &QPushButton::click);
}

void ConnectingStatusPage::setMessage(const QString& text)
{
    m_message->setText(text.isEmpty() ? tr("Connecting...") : text);
}

QString ConnectingStatusPage::message() const
{
    return m_message->text();
}

void ConnectingStatusPage::showEvent(QShowEvent* event)
{
    StatusPage::showEvent(event);
    m_busy->setBusy(true);
}

void ConnectingStatusPage::hideEvent(QHideEvent* event)
{
    StatusPage::hideEvent(event);
    m_busy->setBusy(false);
}
