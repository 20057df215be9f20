#include "firmwareupdatedialog.h"

#include "updatemessagetype.h"

#include <QApplication>
#include <QGraphicsPixmapItem>
#include <QGraphicsScene>
#include <QKeyEvent>
#include <QPixmap>
#include <QScreen>
#include <QStyle>

namespace {

enum class CancelButton { Show, Hide, Keep };

} // namespace

FirmwareUpdateDialog::FirmwareUpdateDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint)
{
    m_ui.setupUi(this);
    m_scene = new QGraphicsScene(this);
    const qreal ratio = qApp->devicePixelRatio();
    QPixmap icon(iconPath(ratio));
    if (ratio > 1.0 && icon.width() > 80)
        icon.setDevicePixelRatio(qreal(icon.width()) / 80.0);
    QGraphicsPixmapItem* item = m_scene->addPixmap(icon);
    item->setTransformationMode(Qt::SmoothTransformation);
    m_scene->setSceneRect(0, 0, 80, 80);
    m_ui.iconView->setScene(m_scene);
}

FirmwareUpdateDialog::~FirmwareUpdateDialog() = default;

QString FirmwareUpdateDialog::iconPath(qreal devicePixelRatio)
{
    // Stock Qt does not attach the double-resolution file to a pixmap by
    // itself; pick the file the screen needs.
    return devicePixelRatio > 1.0 ? QStringLiteral(":/Assets/FirmwareUpdaterIcon@2x.png")
                                  : QStringLiteral(":/Assets/FirmwareUpdaterIcon.png");
}

void FirmwareUpdateDialog::setMessage(int type, const QString& text)
{
    QString title;
    QString message;
    CancelButton cancel = CancelButton::Keep;
    // The unit's name (its model and serial number) where the message is
    // about one unit; several may be updated in a row.
    const QString unit = text.isEmpty() ? tr("device") : text;
    switch (type) {
    case Ui::SoftwareUpdateRequired:
        title = tr("Software Update Required!");
        message = tr("Your %1 needs a software update. This update takes only a few minutes, and makes sure you "
                     "have the latest features and compatibility. Would you like to update now?")
                      .arg(text);
        cancel = CancelButton::Show;
        break;
    case Ui::UpgradeFailed:
        title = tr("The device's software could not be upgraded.");
        message = tr("An error has occurred that has prevented the software on your %1 from being upgraded. "
                     "Try upgrading the software again.")
                      .arg(unit);
        cancel = CancelButton::Hide;
        break;
    case Ui::FirmwareUpdateRequired:
        // Shown as it stands, placeholders and all.
        title = tr("Firmware Update Required!");
        message = tr("Your %1 needs a firmware update. Please run the %2 Utility to update firmware");
        cancel = CancelButton::Show;
        break;
    case Ui::RestartRequired:
        title = tr("Restart is Required!");
        message = tr("Please restart your computer to complete the software update.");
        break;
    case Ui::ShutDownRequired:
        title = tr("Shut Down is Required!");
        message = tr("Please shut down your computer to complete the software update.");
        break;
    case Ui::PowerCycleCables:
        title = tr("Please Power Cycle");
        message = tr("The software on your device was updated successfully. Please unplug %1 cables to restart it.")
                      .arg(text);
        cancel = CancelButton::Hide;
        break;
    case Ui::PowerCyclePowerAndCables:
        title = tr("Please Power Cycle");
        message = tr("The software on your device was updated successfully. Please unplug both power and %1 cables "
                     "to restart it.")
                      .arg(text);
        cancel = CancelButton::Hide;
        break;
    case Ui::PowerCycleShutDown:
        title = tr("Please Power Cycle");
        message = tr("The software on your device was updated successfully. Please shut down your computer and "
                     "unplug power cables from your device to restart it.");
        cancel = CancelButton::Hide;
        break;
    case Ui::PowerCycle:
        title = tr("Please Power Cycle");
        message = tr("The software on your %1 was updated successfully. Unplug the unit's power and plug it in "
                     "again to restart it.")
                      .arg(unit);
        cancel = CancelButton::Hide;
        break;
    case Ui::RestartRequiredAll:
        title = tr("Restart is Required!");
        message = tr("Please restart your computer to complete the software updates.");
        break;
    case Ui::RestartLater:
        title = tr("Restart is Required!");
        message = tr("The software on your %1 was updated successfully. A restart will be required when all "
                     "software updates have completed.")
                      .arg(unit);
        cancel = CancelButton::Hide;
        break;
    default:
        return;
    }
    m_ui.titleLabel->setText(title);
    m_ui.messageLabel->setText(message);
    if (cancel != CancelButton::Keep)
        m_ui.cancelButton->setVisible(cancel == CancelButton::Show);
    adjustSize();
    centre();
}

void FirmwareUpdateDialog::centre()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), screen->availableGeometry()));
}

int FirmwareUpdateDialog::exec()
{
    activateWindow();
    raise();
    return QDialog::exec();
}

QString FirmwareUpdateDialog::title() const
{
    return m_ui.titleLabel->text();
}

QString FirmwareUpdateDialog::message() const
{
    return m_ui.messageLabel->text();
}

bool FirmwareUpdateDialog::cancelVisible() const
{
    return !m_ui.cancelButton->isHidden();
}

void FirmwareUpdateDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && m_ui.cancelButton->isHidden()) {
        m_ui.okButton->click();
        return;
    }
    QDialog::keyPressEvent(event);
}
