#pragma once

#include <QDialog>

class QPushButton;

// A one-button message beside the chip icon; the static functions show the
// front end's outcome messages modally.
class MessageDialog : public QDialog
{
    Q_OBJECT
public:
    explicit MessageDialog(const QString& text, QWidget* parent = nullptr);

    QString text() const { return m_text; }
    QPushButton* okButton() const { return m_ok; }

    static void DisplayUpdateErrorMessage();
    static void DisplayRebootRequiredMessage();
    static void DisplayShutdownMessage();
    static void DisplayShutdownAndUnplugMessage();
    static void DisplayUnplugThunderboltMessage();
    static void DisplayUnplugThunderboltAndPowerMessage();
    static void DisplayUpToDateMessage();

private:
    static void display(const QString& text);

    QString m_text;
    QPushButton* m_ok = nullptr;
};
