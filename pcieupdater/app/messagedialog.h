#pragma once

#include <QDialog>
#include <QStringList>

class QPushButton;

// A one-button message beside the chip icon; the static functions show the
// front end's outcome messages modally. The card's name, as the updater
// reported it, is shown as text.
class MessageDialog : public QDialog
{
    Q_OBJECT
public:
    explicit MessageDialog(const QString& text, QWidget* parent = nullptr, const char* icon = nullptr);

    QString text() const { return m_text; }
    QPushButton* okButton() const { return m_ok; }

    static void DisplayUpdateErrorMessage(const QString& deviceName);
    static void DisplayRebootRequiredMessage(const QString& deviceName);
    // The restart message's text, as shown for the device named.
    static QString rebootRequiredText(const QString& deviceName);
    static void DisplayShutdownMessage(const QString& deviceName);
    static void DisplayShutdownAndUnplugMessage(const QString& deviceName);
    static void DisplayUnplugThunderboltMessage(const QString& deviceName);
    static void DisplayUnplugThunderboltAndPowerMessage(const QString& deviceName);
    static void DisplayUpToDateMessage();
    // Some card's firmware could not be checked: each line says why and for
    // which cards.
    static void DisplayCheckFailedMessage(const QStringList& problems);

private:
    static void display(const QString& text, const char* icon = nullptr);

    QString m_text;
    QPushButton* m_ok = nullptr;
};
