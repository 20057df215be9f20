#include "updateprogressdialog.h"

#include "dialoglayout.h"
#include "progresspercent.h"
#include "unitylauncher.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

UpdateProgressDialog::UpdateProgressDialog(const Device&, QWidget* parent) : QDialog(parent)
{
    auto* column = new QVBoxLayout(this);
    auto* label =
        new QLabel("WARNING:  Do not shut down or unplug your computer until this update has completed!", this);
    label->setTextFormat(Qt::RichText);
    m_bar = new QProgressBar(this);
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    column->addWidget(label);
    column->addWidget(m_bar);

    setFixedSize(618, 70);
    column->setContentsMargins(9, 6, 9, 6);
    DialogLayout::fitText(label, 618 - 18);
    setSizeGripEnabled(false);
    setWindowFlags(Qt::WindowFlags(0x02004003)); // customised title bar: minimise, no close
    setWindowTitle(tr("Updating Software..."));

    m_launcherEntry = UnityLauncher::entryForDesktop();
    UnityLauncher::setProgressVisible(m_launcherEntry, true);
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
