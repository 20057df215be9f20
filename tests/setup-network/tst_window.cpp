#include "addbyipaddresscontroller.h"
#include "addbyipaddresswidget.h"
#include "appdefaults.h"
#include "bonjourinfoquery.h"
#include "busybutton.h"
#include "mainwindowdialog.h"
#include "mainwindowdialoglineedit.h"
#include "mainwindowmenu.h"
#include "mainwindowmenucontroller.h"
#include "mdnsdevice.h"
#include "productfamilybase.h"
#include "zeltraadminutilitywindow.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A family that takes every network device offered to it.
class NetworkFamily : public ProductFamilyBase
{
public:
    QString getName() const override { return QStringLiteral("Network"); }
    void init() override {}
    bool handlesBonjourArrival(const BonjourInfo& info) override
    {
        arrived << info;
        return true;
    }
    QList<BonjourInfo> arrived;
};

} // namespace

// The add-by-address page in the real window, which this product only shows
// with the test override; each state is rendered to render/setup-network.
class TestWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void pageInTheWindow();

private:
    void save(QWidget& window, const char* name);
    QTemporaryDir m_settings;
};

void TestWindow::initTestCase()
{
    QVERIFY(m_settings.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
    QVERIFY(QDir().mkpath(QStringLiteral(ONDAVIA_RENDER_DIR)));
    AppDefaults::overrideAllowsAddByIpAddressForTesting(true);
}

void TestWindow::save(QWidget& window, const char* name)
{
    QTest::qWait(400); // let the page's slide-in finish
    const QString path = QStringLiteral(ONDAVIA_RENDER_DIR "/add_by_address_%1.png").arg(QLatin1String(name));
    QVERIFY(window.grab().save(path));
}

void TestWindow::pageInTheWindow()
{
    MdnsDevice device;
    device.misbehaviour = MdnsDevice::Silent;
    QVERIFY(device.listen());
    BonjourInfoQuery::overrideTargetForTesting(device.port(), 200);

    ZeltraAdminUtilityWindow window;
    NetworkFamily family;
    window.addFamily(&family);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.postShowStartup();

    window.onAddByIpClicked();
    auto* menu = window.findChild<MainWindowMenuController*>();
    QVERIFY(menu);
    auto* page = qobject_cast<AddByIpAddressWidget*>(menu->shownWidget());
    QVERIFY(page);
    QCOMPARE(page->state(), AddByIpAddressWidget::Input);
    save(window, "input");

    // A silent device: the page keeps searching until cancelled.
    QTest::keyClick(page->addressEdit(), Qt::Key_Return);
    QTRY_VERIFY(device.queriesSeen() >= 2);
    QCOMPARE(page->state(), AddByIpAddressWidget::Searching);
    save(window, "searching");
    page->busyButton()->click();
    QCOMPARE(page->state(), AddByIpAddressWidget::Input);

    // An answer that does not match the question: the search fails.
    device.misbehaviour = MdnsDevice::WrongId;
    QTest::keyClick(page->addressEdit(), Qt::Key_Return);
    QTRY_COMPARE(page->state(), AddByIpAddressWidget::Failed);
    save(window, "failed");
    QVERIFY(family.arrived.isEmpty());

    // Opened again, the page starts over and finds the device.
    device.misbehaviour = MdnsDevice::None;
    menu->closeDialog();
    window.onAddByIpClicked();
    QTRY_COMPARE(menu->shownWidget(), page);
    QCOMPARE(page->state(), AddByIpAddressWidget::Input);
    QTest::keyClick(page->addressEdit(), Qt::Key_Return);
    QTRY_COMPARE(family.arrived.size(), 1);
    QCOMPARE(family.arrived.first().hostAddress(), QStringLiteral("127.0.0.1"));
    QCOMPARE(family.arrived.first().modelName(), QStringLiteral("Relay 4K"));
    QTRY_VERIFY(!menu->dialog()->isVisible()); // the page closed itself
    save(window, "found");
}

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
