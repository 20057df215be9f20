#include "settingsalertandresponse.h"

#include "cardpushbutton.h"
#include "colourpalette.h"
#include "commongui.h"

#include <QLabel>

namespace {
// Positions inside the control column, which starts 205 pixels into the row.
constexpr int kColumnX = 205;
} // namespace

SettingsAlertAndResponse::SettingsAlertAndResponse(const QString& buttonText, QWidget* parent)
    : QWidget(parent)
{
    setFixedSize(620 - kColumnX, 31);
    m_message = CommonGui::label(CommonGui::kRegularMedium, ColourPalette::kAccentColour, this);
    m_message->setGeometry(214 - kColumnX, 6, 476 - 214 - 8, 19);
    m_button = new CardPushButton(buttonText, this);
    m_button->setFixedSize(114, 25);
    m_button->move(476 - kColumnX, 3);
}

void SettingsAlertAndResponse::setAlarmed(bool alarmed, const QString& text)
{
    m_alarmed = alarmed;
    m_message->setFont(CommonGui::font(alarmed ? CommonGui::kSemibold : CommonGui::kRegular));
    QPalette p = m_message->palette();
    p.setColor(QPalette::WindowText, alarmed ? ColourPalette::kAccentColour : ColourPalette::kWinterSkyGray);
    m_message->setPalette(p);
    m_message->setText(text);
    m_button->setVisible(alarmed);
}
