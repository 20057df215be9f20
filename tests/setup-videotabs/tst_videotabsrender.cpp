// Renders the Video Input and Video Output tabs of every card of the
// simulator's built-in set to PNG files (ONDAVIA_RENDER_DIR), for a look at
// the layout each card gets.

#include <QtTest>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QDir>
#include <QLayout>
#include <QScrollBar>
#include <QTemporaryDir>

#include "cardscrollarea.h"
#include "cardsection.h"
#include "commongui.h"
#include "staticdata.h"
#include "videoinputsettings.h"
#include "videooutputsettings.h"
#include "visiblezeltra.h"
#include "zeltrafamily.h"
#include "testhome.h"

class TestVideoTabsRender : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void render_data();
    void render();

private:
    void save(ZeltraSettingsTab& tab, const QString& name);

    QTemporaryDir m_home;
    ZeltraFamily* m_family = nullptr;
    QList<VisibleZeltra*> m_devices;
    QString m_dir;
};

void TestVideoTabsRender::initTestCase()
{
    QVERIFY(useTestHome(m_home));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_home.filePath(QStringLiteral("settings")));
    CommonGui::registerFonts();
    initialiseStaticData();
    qRegisterMetaType<VisibleDevice*>();
    m_dir = qEnvironmentVariable("ONDAVIA_RENDER_DIR", QDir::currentPath());
    QVERIFY(QDir().mkpath(m_dir));

    m_family = new ZeltraFamily;
    connect(m_family, &ProductFamilyBase::deviceArrived, this, [this](VisibleDevice* arrived) {
        if (auto* zeltra = dynamic_cast<VisibleZeltra*>(arrived))
            m_devices << zeltra;
    });
    m_family->init();
    // Every shown card of the built-in set has arrived once the list is
    // quiet for a moment.
    QTRY_VERIFY_WITH_TIMEOUT(!m_devices.isEmpty(), 10000);
    int count = -1;
    while (count != m_devices.size()) {
        count = m_devices.size();
        QTest::qWait(300);
    }
}

void TestVideoTabsRender::cleanupTestCase()
{
    if (m_family) {
        m_family->destroy();
        delete m_family;
    }
}

void TestVideoTabsRender::render_data()
{
    QTest::addColumn<int>("index");
    QStringList models;
    for (int i = 0; i < m_devices.size(); ++i) {
        // The channels of one card look alike; one of them is enough.
        if (models.contains(m_devices[i]->modelName()))
            continue;
        models << m_devices[i]->modelName();
        QTest::newRow(qPrintable(m_devices[i]->modelName())) << i;
    }
}

void TestVideoTabsRender::save(ZeltraSettingsTab& tab, const QString& name)
{
    tab.resize(620, 400);
    tab.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tab));
    // Rows shown or hidden since the last look settle first; then the tab
    // is made tall enough to show every row without scrolling.
    QCoreApplication::processEvents();
    tab.contentWidget()->layout()->activate();
    tab.resize(620, tab.contentWidget()->sizeHint().height() + 2);
    QCoreApplication::processEvents();
    tab.contentWidget()->layout()->activate();
    QCOMPARE(tab.scrollArea()->verticalScrollBar()->maximum(), 0);
    const QString path = QDir(m_dir).filePath(name + QStringLiteral(".png"));
    QVERIFY2(tab.grab().save(path), qPrintable(path));
    tab.hide();
}

void TestVideoTabsRender::render()
{
    QFETCH(int, index);
    VisibleZeltra& device = *m_devices.at(index);
    const QString model = device.modelName().remove(QStringLiteral("Ondavia ")).remove(QLatin1Char(' ')).toLower();
    QVERIFY(device.supportsCapture() || device.supportsPlayback());
    if (device.supportsCapture()) {
        VideoInputSettings tab(device);
        save(tab, QStringLiteral("videoinput_") + model);
        // Cards with a choice of analog inputs show the other set of levels too.
        if (tab.inputGroup() && tab.ySlider()) {
            for (int connection : { 16, 8 }) {
                if (!tab.inputGroup()->button(connection))
                    continue;
                if (tab.inputGroup()->button(connection)->isChecked())
                    continue;
                tab.inputGroup()->button(connection)->click();
                save(tab, QStringLiteral("videoinput_%1_%2").arg(model).arg(connection == 8 ? "component" : "composite"));
                break;
            }
        }
    }
    if (device.supportsPlayback()) {
        VideoOutputSettings tab(device);
        save(tab, QStringLiteral("videooutput_") + model);
    }
}

QTEST_MAIN(TestVideoTabsRender)
#include "tst_videotabsrender.moc"
