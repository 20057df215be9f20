// A plug-in family whose one device carries a firmware updater, so the
// update flow can be driven through the real window. The updater's outcome
// is chosen by the test through the updater's "outcome" property (an update
// code, 0 by default); a successful update makes the firmware current.
// Host classes (FirmwareUpdate and its dialog) resolve against the program.

#include "adminutilityplugin.h"
#include "devicefirmwareupdater.h"
#include "firmwareupdate.h"
#include "productfamily.h"
#include "visibledevice.h"

#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QTimer>

namespace {

class PluginUpdater : public DeviceFirmwareUpdater
{
    Q_OBJECT
public:
    using DeviceFirmwareUpdater::DeviceFirmwareUpdater;

    bool checkFirmwareCurrent() override
    {
        emit isFirmwareCurrent(m_current);
        return m_current;
    }

    void startFirmwareUpdate() override
    {
        setProperty("starts", property("starts").toInt() + 1);
        // The outcome arrives later, as from a real device.
        QTimer::singleShot(0, this, [this] {
            emit firmwareUpdateProgress(40);
            const int code = property("outcome").toInt();
            if (code == kUpdateSucceeded)
                m_current = true;
            emit firmwareUpdated(code);
        });
    }

private:
    bool m_current = false;
};

class UpdatingDevice : public QObject, public VisibleDevice
{
    Q_OBJECT
public:
    QString familyName() const override { return QStringLiteral("Updating"); }
    QString modelName() const override { return QStringLiteral("Updating Model"); }
    QString ipAddress() const override { return QString(); }
    QPixmap modelImage() const override { return QPixmap(); }
    QPixmap modelThumb() const override { return QPixmap(); }
    QString deviceName() const override { return QStringLiteral("Updating Unit"); }
    QPixmap launcherConnectionIcon() const override { return QPixmap(); }
    QPixmap cardConnectionIcon() const override { return QPixmap(); }
    bool firmwareUpdateOnly() const override { return false; }
    QString currentFirmwareString() const override { return QStringLiteral("1.0"); }
    bool firmwareUpdateAvailable() const override { return true; }
    QString availableFirmwareString() const override { return QStringLiteral("1.1"); }
    DeviceFirmwareUpdater* getFirmwareUpdater() override { return &m_updater; }
    bool isTestMode() const override { return false; }
    QWidget* summaryWidget() const override { return nullptr; }

private:
    PluginUpdater m_updater;
};

// Opening the device runs the update first; the outcome of each run is kept
// in the family's "outcomes" property for the test to read.
class UpdatingFamily : public QObject, public ProductFamily
{
    Q_OBJECT
    Q_INTERFACES(ProductFamily)

public:
    using QObject::QObject;

    QString getName() const override { return QStringLiteral("Updating"); }
    void destroy() override {}
    void init() override { emit deviceArrived(&m_device); }
    bool okToClose() const override { return true; }
    bool handlesBonjourArrival(const BonjourInfo&) override { return false; }
    bool handlesBonjourRemoval(const BonjourInfo&) override { return false; }
    bool handlesBonjourUpdate(const BonjourInfo&) override { return false; }
    void showDevice(VisibleDevice* device, AdminUtilityWindow* window) override { updateDevice(device, window); }
    void showControlApp(VisibleDevice*, AdminUtilityWindow*) override {}
    void updateDevice(VisibleDevice* device, AdminUtilityWindow* window) override
    {
        if (!m_update) {
            m_update = new FirmwareUpdate(window, device, this);
            connect(m_update, &FirmwareUpdate::firmwareUpdated, this, [this](bool ok) {
                setProperty("outcomes", property("outcomes").toString() + (ok ? QLatin1Char('1') : QLatin1Char('0')));
            });
        }
        m_update->updateFirmware();
    }
    QString getBuildInfo() const override { return QStringLiteral("<b>Updating</b>"); }
    void addMainWindowMenuOptions(IMainWindowMenu*) override {}

signals:
    void deviceArrived(VisibleDevice* device);
    void deviceRemoved(VisibleDevice* device);
    void deviceInfoChanged(VisibleDevice* device);

private:
    UpdatingDevice m_device;
    QPointer<FirmwareUpdate> m_update;
};

} // namespace

class UpdatingPlugin : public QObject, public AdminUtilityPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID AdminUtilityPlugin_iid FILE "updating.json")
    Q_INTERFACES(AdminUtilityPlugin)

public:
    bool initialisePlugin(QDir, AdminUtilityWindow*) override
    {
        if (m_families.isEmpty())
            m_families.append(new UpdatingFamily(this));
        return true;
    }
    const QVector<ProductFamily*>& productFamilies() override { return m_families; }

private:
    QVector<ProductFamily*> m_families;
};

#include "updatingplugin.moc"
