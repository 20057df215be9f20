#include "zeltrafamily.h"

#include "appdefaults.h"
#include "visiblezeltra.h"
#include "zeltraproductcard.h"

ZeltraFamily::ZeltraFamily(QObject* parent)
    : ProductFamilyBase(parent)
{
}

ZeltraFamily::~ZeltraFamily()
{
    // The library calls in no more once discovery has stopped; then nobody
    // else holds the cards it announced.
    m_discovery.uninitialise();
    qDeleteAll(m_discovery.devices());
}

QString ZeltraFamily::getName() const
{
    return QStringLiteral("Zeltra");
}

void ZeltraFamily::init()
{
    connect(&m_discovery, &ZeltraDiscovery::found, this, &ZeltraFamily::onDeviceFound, Qt::UniqueConnection);
    connect(&m_discovery, &ZeltraDiscovery::lost, this, &ZeltraFamily::onDeviceLost, Qt::UniqueConnection);
    m_discovery.initialise();
}

bool ZeltraFamily::handlesBonjourArrival(const BonjourInfo&)
{
    return false;
}

bool ZeltraFamily::handlesBonjourRemoval(const BonjourInfo&)
{
    return false;
}

void ZeltraFamily::showDevice(VisibleDevice* device, AdminUtilityWindow* window)
{
    auto* zeltra = dynamic_cast<VisibleZeltra*>(device);
    if (!zeltra || !window || !zeltra->isConnected())
        return;
    // The card deletes itself when it closes or when the device goes away.
    auto* card = new ZeltraProductCard(*zeltra, window);
    card->show();
    card->raise();
}

void ZeltraFamily::tryAddByIpAddress(const QString&) {}

void ZeltraFamily::cancelAddByIpAddress(const QString&) {}

QString ZeltraFamily::getBuildInfo() const
{
    QString info = QStringLiteral("<b>%1</b><br>").arg(tr("Software versions"));
    info += QStringLiteral("&nbsp;&nbsp;") + tr("Utility: ") + AppDefaults::aboutRelease() + QStringLiteral("<br>");
    info += QStringLiteral("&nbsp;&nbsp;") + tr("API: ") + VisibleZeltra::getAPIVersion() + QStringLiteral("<br>");
    info += QStringLiteral("<br>");
    info += QStringLiteral("<b>%1</b><br>").arg(tr("Firmware versions"));

    const QList<VisibleZeltra*>& devices = m_discovery.devices();
    for (const VisibleZeltra::InstalledFirmware& firmware : VisibleZeltra::getInstalledFirmwareList()) {
        // Cards of this model that are present show what they run, in green.
        QStringList running;
        for (const VisibleZeltra* device : devices) {
            if (device->modelId() != firmware.modelId)
                continue;
            int64_t version = 0;
            int64_t minor = 0;
            device->getFirmwareVersion(version, minor);
            running << QStringLiteral("0x%1").arg(quint64(version), 0, 16);
        }
        if (!running.isEmpty())
            info += QStringLiteral("<span style=\"color: #1d8a5b\">");
        info += QStringLiteral("&nbsp;&nbsp;") + firmware.name + QStringLiteral(": ")
            + QStringLiteral("0x%1").arg(firmware.version, 0, 16);
        if (!running.isEmpty())
            info += QStringLiteral(" (") + running.join(QStringLiteral(", ")) + QStringLiteral(")</span>");
        info += QStringLiteral("<br>");
    }
    return info;
}

void ZeltraFamily::onDeviceFound(VisibleDevice* device)
{
    auto* zeltra = dynamic_cast<VisibleZeltra*>(device);
    if (!zeltra)
        return;
    connect(zeltra, &VisibleZeltra::displayInfoChanged, this, &ProductFamilyBase::deviceInfoChanged);
    emit deviceArrived(device);
}

void ZeltraFamily::onDeviceLost(VisibleDevice* device)
{
    emit deviceRemoved(device);
    if (auto* zeltra = dynamic_cast<VisibleZeltra*>(device))
        zeltra->deleteLater();
}
