#include "guiviewcontroller.h"

#include "device.h"
#include "devicemanager.h"
#include "firmwareupdatecontroller.h"
#include "firmwareupdatedialog.h"
#include "firmwareupdateprogressdialog.h"
#include "updatemessagetype.h"

GUIViewController::GUIViewController(FirmwareUpdateController* controller, QWidget* parent)
    : QMainWindow(parent)
    , m_controller(controller)
{
    qRegisterMetaType<std::shared_ptr<Device>>("std::shared_ptr<Device>");
    m_dialog = new FirmwareUpdateDialog(this);
    m_progress = new FirmwareUpdateProgressDialog(this);
    connect(this, &GUIViewController::setProgress, m_progress, &FirmwareUpdateProgressDialog::setProgress);
    activateWindow();
}

GUIViewController::~GUIViewController() = default;

void GUIViewController::update(std::shared_ptr<Device> device)
{
    QMetaObject::invokeMethod(this, "updateUI", Qt::QueuedConnection, Q_ARG(std::shared_ptr<Device>, device));
}

void GUIViewController::updateProgress(double fraction)
{
    if (m_progress->isHidden())
        m_progress->show();
    emit setProgress(fraction);
}

int GUIViewController::runMessage(int type, const QString& text)
{
    m_dialog->setMessage(type, text);
    return m_dialog->exec();
}

void GUIViewController::activateView()
{
    if (!isActiveWindow())
        activateWindow();
}

bool GUIViewController::markShown(const std::shared_ptr<Device>& device, uint32_t state)
{
    for (auto it = m_shown.begin(); it != m_shown.end();) {
        const std::shared_ptr<Device> known = it->first.lock();
        if (!known) {
            it = m_shown.erase(it);
            continue;
        }
        if (known == device) {
            if (it->second == state)
                return false;
            it->second = state;
            return true;
        }
        ++it;
    }
    m_shown.emplace_back(device, state);
    return true;
}

QString GUIViewController::unitName(const Device& device)
{
    QString name = QString::fromStdString(device.name());
    // With several units of one model on the bus, the end of the unit's
    // unique id tells them apart.
    if (DeviceManager::instance().countOfProduct(device.productID()) > 1) {
        const std::string id = device.uniqueID();
        name += QStringLiteral(" (%1)").arg(QString::fromStdString(id.substr(id.rfind('-') + 1)));
    }
    return name;
}

void GUIViewController::updateUI(std::shared_ptr<Device> device)
{
    if (!device)
        return;
    const uint32_t state = device->state();
    if (state == Device::StateNone)
        return;
    if (state == Device::StateUpdating) {
        m_progress->setDeviceName(unitName(*device));
        emit setProgress(device->progress());
        return;
    }
    if (!markShown(device, state))
        return;

    const QString name = unitName(*device);
    switch (state) {
    case Device::StateUpdateAvailable: {
        const bool accepted = runMessage(Ui::SoftwareUpdateRequired, name) != 0;
        m_controller->processUpdateAvilable(device, accepted);
        break;
    }
    case Device::StateFinished: {
        emit setProgress(-1);
        const bool accepted = runMessage(m_controller->getCompletionMessage(*device), name) != 0;
        m_controller->processUpdateComplete(device, accepted);
        break;
    }
    case Device::StateFinishedRestartLater: {
        emit setProgress(-1);
        const bool accepted = runMessage(Ui::RestartLater, name) != 0;
        m_controller->processUpdateComplete(device, accepted);
        break;
    }
    case Device::StateRestartRequired:
        runMessage(Ui::RestartRequiredAll, QString());
        m_controller->processUpdateReboot();
        break;
    case Device::StateFailed: {
        emit setProgress(-1);
        const bool accepted = runMessage(Ui::UpgradeFailed, name) != 0;
        m_controller->processUpdateComplete(device, accepted);
        break;
    }
    default:
        return;
    }
    activateView();
}
