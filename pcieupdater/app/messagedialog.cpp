#include "messagedialog.h"

#include "dialoglayout.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

MessageDialog::MessageDialog(const QString& text, QWidget* parent, const char* icon) : QDialog(parent), m_text(text)
{
    QLabel* label = nullptr;
    QHBoxLayout* buttons = DialogLayout::build(this, text, &label, icon ? icon : DialogLayout::kWarningIcon);
    m_ok = DialogLayout::addButton(buttons, tr("OK"));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);

    setFixedSize(540, 150);
    // Room beside the 80-pixel icon and above the button row.
    DialogLayout::fitText(label, 540 - 80 - 40, 150 - m_ok->sizeHint().height() - 36);
    setSizeGripEnabled(false);
    setWindowFlags(Qt::WindowFlags(DialogLayout::kWindowFlags));
    setWindowTitle(tr("Morvane Software Update"));
}

void MessageDialog::display(const QString& text, const char* icon)
{
    auto* dialog = new MessageDialog(text, nullptr, icon);
    dialog->exec();
    delete dialog;
}

namespace {

// The name comes from the updater: shown as text, never as markup.
QString yourDevice(const QString& deviceName)
{
    return deviceName.isEmpty() ? QStringLiteral("device") : deviceName.toHtmlEscaped();
}

} // namespace

// The message texts are shown as they stand, without translation.
void MessageDialog::DisplayUpdateErrorMessage(const QString& deviceName)
{
    display(QStringLiteral("<b>The Morvane software could not be upgraded.</b><br/><br/>An error has occurred that has "
                           "prevented the software on your %1 from being upgraded.  Try restarting your computer and "
                           "upgrading the software again.")
                .arg(yourDevice(deviceName)));
}

QString MessageDialog::rebootRequiredText(const QString& deviceName)
{
    return QStringLiteral("<b>Restart is Required!</b><br/><br/>The software on your %1 was updated successfully. "
                          "Please restart your computer to complete the software update.")
        .arg(yourDevice(deviceName));
}

void MessageDialog::DisplayRebootRequiredMessage(const QString& deviceName)
{
    display(rebootRequiredText(deviceName));
}

void MessageDialog::DisplayShutdownMessage(const QString& deviceName)
{
    display(QStringLiteral("<b>Shut Down is Required!</b><br/><br/>The software on your %1 was updated successfully. "
                           "Please shut down your computer to complete the software update.")
                .arg(yourDevice(deviceName)));
}

void MessageDialog::DisplayShutdownAndUnplugMessage(const QString& deviceName)
{
    display(QStringLiteral("<b>Please Power Cycle</b><br/><br/>The software on your %1 was updated successfully. Please "
                           "shut down your computer and unplug power cables from your device to restart it.")
                .arg(yourDevice(deviceName)));
}

void MessageDialog::DisplayUnplugThunderboltMessage(const QString& deviceName)
{
    display(QStringLiteral("<b>Please Power Cycle</b><br/><br/>The software on your %1 was updated successfully. Please "
                           "unplug Thunderbolt cables to restart it.")
                .arg(yourDevice(deviceName)));
}

void MessageDialog::DisplayUnplugThunderboltAndPowerMessage(const QString& deviceName)
{
    display(QStringLiteral("<b>Please Power Cycle</b><br/><br/>The software on your %1 was updated successfully. Please "
                           "unplug both power and Thunderbolt cables to restart it.")
                .arg(yourDevice(deviceName)));
}

void MessageDialog::DisplayUpToDateMessage()
{
    display("<b>All firmware is up to date!</b><br/><br/>The software on your devices is up to date.",
            DialogLayout::kDoneIcon);
}

void MessageDialog::DisplayCheckFailedMessage(const QStringList& problems)
{
    QStringList lines;
    for (const QString& problem : problems)
        lines << problem.toHtmlEscaped();
    display("<b>The firmware could not be checked.</b><br/><br/>" + lines.join("<br/>"));
}
