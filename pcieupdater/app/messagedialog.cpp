#include "messagedialog.h"

#include "dialoglayout.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

MessageDialog::MessageDialog(const QString& text, QWidget* parent) : QDialog(parent), m_text(text)
{
    QLabel* label = nullptr;
    QHBoxLayout* buttons = DialogLayout::build(this, text, &label);
    m_ok = new QPushButton(tr("OK"), this);
    m_ok->setDefault(true);
    buttons->addWidget(m_ok);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);

    setFixedSize(540, 150);
    // Room beside the 80-pixel icon and above the button row.
    DialogLayout::fitText(label, 540 - 80 - 40, 150 - m_ok->sizeHint().height() - 36);
    setSizeGripEnabled(false);
    setWindowFlags(Qt::WindowFlags(DialogLayout::kWindowFlags));
    setWindowTitle(tr("Morvane Software Update"));
}

void MessageDialog::display(const QString& text)
{
    auto* dialog = new MessageDialog(text);
    dialog->exec();
    delete dialog;
}

// The message texts are shown as they stand, without translation.
void MessageDialog::DisplayUpdateErrorMessage()
{
    display("<b>The Morvane software could not be upgraded.</b><br/><br/>An error has occurred that has prevented "
            "the software on your Morvane device from being upgraded.  Try restarting your computer and upgrading "
            "the software again.");
}

void MessageDialog::DisplayRebootRequiredMessage()
{
    display("<b>Restart is Required!</b><br/><br/>The software on your device was updated successfully. Please "
            "restart your computer to complete the software update.");
}

void MessageDialog::DisplayShutdownMessage()
{
    display("<b>Shut Down is Required!</b><br/><br/>The software on your device was updated successfully. Please "
            "shut down your computer to complete the software update.");
}

void MessageDialog::DisplayShutdownAndUnplugMessage()
{
    display("<b>Please Power Cycle</b><br/><br/>The software on your device was updated successfully. Please shut "
            "down your computer and unplug power cables from your device to restart it.");
}

void MessageDialog::DisplayUnplugThunderboltMessage()
{
    display("<b>Please Power Cycle</b><br/><br/>The software on your device was updated successfully. Please "
            "unplug Thunderbolt cables to restart it.");
}

void MessageDialog::DisplayUnplugThunderboltAndPowerMessage()
{
    display("<b>Please Power Cycle</b><br/><br/>The software on your device was updated successfully. Please "
            "unplug both power and Thunderbolt cables to restart it.");
}

void MessageDialog::DisplayUpToDateMessage()
{
    display("<b>All firmware is up to date!</b><br/><br/>The software on your devices is up to date.");
}
