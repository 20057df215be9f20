// A plug-in that offers two families. The first announces one device as soon
// as it is started, so a test can see that plug-in families are connected.

#include "adminutilityplugin.h"
#include "productfamily.h"
#include "visibledevice.h"

#include <QObject>
#include <QPixmap>

namespace {

class PluginDevice : public QObject, public VisibleDevice
{
    Q_OBJECT

public:
    QString familyName() const override { return QStringLiteral("Plugged"); }
    QString modelName() const override { return QStringLiteral("Plugged Model"); }
    QString ipAddress() const override { return QString(); }
    QPixmap modelImage() const override { return QPixmap(); }
    QPixmap modelThumb() const override { return QPixmap(); }
    QString deviceName() const override { return QStringLiteral("Plugged Unit"); }
    QPixmap launcherConnectionIcon() const override { return QPixmap(); }
    QPixmap cardConnectionIcon() const override { return QPixmap(); }
    bool firmwareUpdateOnly() const override { return false; }
    QString currentFirmwareString() const override { return QString(); }
    bool firmwareUpdateAvailable() const override { return false; }
    QString availableFirmwareString() const override { return QString(); }
    DeviceFirmwareUpdater* getFirmwareUpdater() override { return nullptr; }
    bool isTestMode() const override { return false; }
    QWidget* summaryWidget() const override { return nullptr; }
};

// Not derived from the shell's family base: a plug-in needs only the
// interface headers.
class PluginFamily : public QObject, public ProductFamily
{
    Q_OBJECT
    Q_INTERFACES(ProductFamily)

public:
    PluginFamily(const QString& name, bool announces, QObject* parent)
        : QObject(parent), m_name(name), m_announces(announces)
    {}

    QString getName() const override { return m_name; }
    void destroy() override {}
    void init() override
    {
        setProperty("initialised", true);
        if (m_announces)
            emit deviceArrived(&m_device);
    }
    bool okToClose() const override { return true; }
    bool handlesBonjourArrival(const BonjourInfo&) override { return false; }
    bool handlesBonjourRemoval(const BonjourInfo&) override { return false; }
    bool handlesBonjourUpdate(const BonjourInfo&) override { return false; }
    void showDevice(VisibleDevice*, AdminUtilityWindow*) override {}
    void showControlApp(VisibleDevice*, AdminUtilityWindow*) override {}
    void updateDevice(VisibleDevice*, AdminUtilityWindow*) override {}
    QString getBuildInfo() const override { return QStringLiteral("<b>%1</b>").arg(m_name); }
    void addMainWindowMenuOptions(IMainWindowMenu*) override {}

signals:
    void deviceArrived(VisibleDevice* device);
    void deviceRemoved(VisibleDevice* device);
    void deviceInfoChanged(VisibleDevice* device);

private:
    QString m_name;
    bool m_announces;
    PluginDevice m_device;
};

} // namespace

class TwoFamiliesPlugin : public QObject, public AdminUtilityPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID AdminUtilityPlugin_iid FILE "twofamilies.json")
    Q_INTERFACES(AdminUtilityPlugin)

public:
    bool initialisePlugin(QDir pluginDirectory, AdminUtilityWindow*) override
    {
        setProperty("directory", pluginDirectory.absolutePath());
        if (m_families.isEmpty()) {
            m_families.append(new PluginFamily(QStringLiteral("Plugged One"), true, this));
            m_families.append(new PluginFamily(QStringLiteral("Plugged Two"), false, this));
        }
        return true;
    }
    const QVector<ProductFamily*>& productFamilies() override { return m_families; }

private:
    QVector<ProductFamily*> m_families;
};

#include "twofamiliesplugin.moc"
