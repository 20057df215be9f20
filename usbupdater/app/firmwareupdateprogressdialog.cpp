#include "firmwareupdateprogressdialog.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QStyle>

FirmwareUpdateProgressDialog::FirmwareUpdateProgressDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint)
{
    m_ui.setupUi(this);
}

void FirmwareUpdateProgressDialog::show()
{
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), screen->availableGeometry()));
    activateWindow();
    raise();
    QDialog::show();
}

void FirmwareUpdateProgressDialog::setDeviceName(const QString& name)
{
    m_ui.label->setText(name.isEmpty() ? tr("Update in progress") : tr("Updating %1").arg(name));
}

QString FirmwareUpdateProgressDialog::text() const
{
    return m_ui.label->text();
}

int FirmwareUpdateProgressDialog::value() const
{
    return m_ui.progressBar->value();
}

void FirmwareUpdateProgressDialog::setProgress(double fraction)
{
    if (fraction == -1.0) {
        hide();
        return;
    }
    if (isHidden())
        show();
    // Truncated, so a bar never claims more than is done.
    double percent = fraction * 100.0;
    if (!(percent >= 0.0))
        percent = 0.0;
    if (percent > 100.0)
        percent = 100.0;
    m_ui.progressBar->setValue(int(percent));
}

void FirmwareUpdateProgressDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}
