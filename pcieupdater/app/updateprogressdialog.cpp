#include "updateprogressdialog.h"

#include "dialoglayout.h"
#include "progresspercent.h"
#include "unitylauncher.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

UpdateProgressDialog::UpdateProgressDialog(const Device& device, QWidget* parent) : QDialog(parent)
{
    auto* column = new QVBoxLayout(this);
    // With several cards the user must see which one is being rewritten.
    m_deviceLabel = new QLabel(this);
    m_deviceLabel->setTextFormat(Qt::PlainText);
    m_deviceLabel->setText(tr("Updating the firmware of %1").arg(device.displayName()));
    QFont bold = m_deviceLabel->font();
    bold.setBold(true);
    m_deviceLabel->setFont(bold);
    auto* label =
        new QLabel(tr("WARNING:  Do not shut down or unplug your computer until this update has completed!"), this);
    label->setTextFormat(Qt::RichText);
    m_bar = new QProgressBar(this);
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    column->addWidget(m_deviceLabel);
    column->addWidget(label);
    column->addWidget(m_bar);

    setFixedSize(618, 92);
    column->setContentsMargins(9, 6, 9, 6);
    DialogLayout::fitText(m_deviceLabel, 618 - 18);
    DialogLayout::fitText(label, 618 - 18);
    setSizeGripEnabled(false);
    setWindowFlags(Qt::WindowFlags(0x02004003)); // customised title bar: minimise, no close
    setWindowTitle(tr("Updating Software..."));

    m_launcherEntry = UnityLauncher::entryForDesktop();
    UnityLauncher::setProgressVisible(m_launcherEntry, true);
}

QString UpdateProgressDialog::deviceText() const
{
    return m_deviceLabel->text();
}

int UpdateProgressDialog::progressValue() const
{
    return m_bar->value();
}

void UpdateProgressDialog::updateProgress(double percent)
{
    double bounded = 0;
    if (!boundedPercent(percent, &bounded))
        return;
    m_bar->setValue(static_cast<int>(bounded)); // truncated: 99.9 shows 99
    UnityLauncher::setProgress(m_launcherEntry, bounded / 100.0);
}

void UpdateProgressDialog::updateComplete()
{
    UnityLauncher::setProgressVisible(m_launcherEntry, false);
    UnityLauncher::setUrgent(m_launcherEntry, true);
    m_completed = true;
    done(1);
}

void UpdateProgressDialog::closeEvent(QCloseEvent* event)
{
    if (m_completed)
        event->accept();
    else
        event->ignore();
}

void UpdateProgressDialog::keyPressEvent(QKeyEvent* event)
{
    // Escape would reject the dialog behind closeEvent's back.
    if (event->key() == Qt::Key_Escape && !m_completed) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}
