#pragma once

#include <QWidget>

class CardPushButton;
class QLabel;

// A message with an optional response button, in the control column of a
// settings row. Alarmed, the message is stressed and the button shows.
class SettingsAlertAndResponse : public QWidget
{
    Q_OBJECT
public:
    explicit SettingsAlertAndResponse(const QString& buttonText, QWidget* parent = nullptr);

    void setAlarmed(bool alarmed, const QString& text);
    bool isAlarmed() const { return m_alarmed; }
    QLabel* message() const { return m_message; }
    CardPushButton* button() const { return m_button; }

private:
    QLabel* m_message = nullptr;
    CardPushButton* m_button = nullptr;
    bool m_alarmed = false;
};
