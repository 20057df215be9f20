// A plug-in that refuses to start. It leaves the folder it was given, and
// the end of its root object, in the environment for the tests to see.

#include "adminutilityplugin.h"

#include <QObject>

class RejectingPlugin : public QObject, public AdminUtilityPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID AdminUtilityPlugin_iid)
    Q_INTERFACES(AdminUtilityPlugin)

public:
    ~RejectingPlugin() override { qputenv("ONDAVIA_TEST_REJECTED_GONE", "1"); }

    bool initialisePlugin(QDir pluginDirectory, AdminUtilityWindow*) override
    {
        qputenv("ONDAVIA_TEST_REJECTED_IN", pluginDirectory.absolutePath().toUtf8());
        return false;
    }
    const QVector<ProductFamily*>& productFamilies() override { return m_none; }

private:
    QVector<ProductFamily*> m_none;
};

#include "rejectingplugin.moc"
