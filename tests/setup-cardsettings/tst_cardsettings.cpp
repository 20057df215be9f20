// The card window over simulated cards: which tabs a card is offered, the
// immediate apply of a tab's changes, Save, Cancel and unplugging while open.
// Tabs made here stand in for the real pages, so that what reaches the card
// is known exactly; it is read back through the simulator's control tool.

#include <QtTest>

#include <QButtonGroup>
#include <QComboBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QTemporaryDir>

#include "aboutsettings.h"
#include "cardfooter.h"
#include "cardpushbutton.h"
#include "commondialog.h"
#include "dialoganswerer.h"
#include "settingscheckbox.h"
#include "settingscombobox.h"
#include "settingsslider.h"
#include "simctl.h"
#include "staticdata.h"
#include "visiblezeltra.h"
#include "zeltraadminutilitywindow.h"
#include "zeltraapi.h"
#include "zeltrafamily.h"
#include "zeltraproductcard.h"
#include "zeltrasettingspage.h"
#include "zeltrasettingssliderwitheditablevalueandindependantranges.h"
#include "zeltrasettingstab.h"
#include "testhome.h"

namespace {

// One tab with three controls over items of the test cards: the video input
// (a combo box), a flag and a level with independent ranges. It counts its
// reads and records its writes; `hold` keeps the apply back.
class ProbeTab : public ZeltraSettingsTab
{
public:
    explicit ProbeTab(VisibleZeltra& device)
        : ZeltraSettingsTab(device)
    {
        addSection(QStringLiteral("Probe"));
        input = addComboBoxRow(QStringLiteral("Input:"), 150);
        input->addItem(QStringLiteral("SDI"), 1);
        input->addItem(QStringLiteral("HDMI"), 2);
        flag = addCheckBoxRow(QStringLiteral("Flag:"), QStringLiteral("On"));
        level = addSettingsSliderWithEditableValueAndIndependantRanges(QStringLiteral("Level:"), -20, 20, -10, 10, 1,
                                                                       QStringLiteral("dB"));
        endSettingsTab();
        onPropertyChanged();
        watchModifications(true);
    }

    void onPropertyChanged() override
    {
        ++reads;
        const QSignalBlocker b1(input);
        const QSignalBlocker b2(flag);
        const QSignalBlocker b3(level);
        input->setCurrentIndex(input->findData(int(device().getVideoInputConnection())));
        flag->setChecked(device().getConfigurationFlag(zeltraCode("prbb")));
        level->setRealValue(device().getConfigurationFloat(zeltraCode("prbf")));
    }

    void onApplyChanges() override
    {
        if (hasChanged(*input)) {
            writes << "vicn";
            device().setVideoInputConnection(input->currentData().toInt());
        }
        if (hasChanged(*flag)) {
            writes << "prbb";
            device().setConfigurationFlag(zeltraCode("prbb"), flag->isChecked());
        }
        if (hasChanged(*level)) {
            writes << "prbf";
            device().setConfigurationFloat(zeltraCode("prbf"), level->realValue());
        }
    }

    void applyChanges() override
    {
        if (!hold)
            ZeltraSettingsTab::applyChanges();
    }

    SettingsComboBox* input = nullptr;
    SettingsCheckBox* flag = nullptr;
    ZeltraSettingsSliderWithEditableValueAndIndependantRanges* level = nullptr;
    int reads = 0;
    QStringList writes;
    bool hold = false;
};

// Records the titles buildPages() offers, whether or not the tab is kept.
class TitleRecordingPage : public ZeltraSettingsPage
{
public:
    using ZeltraSettingsPage::ZeltraSettingsPage;
    void checkAddTab(ZeltraSettingsTab* tab, const QString& title) override
    {
        offered << title;
        ZeltraSettingsPage::checkAddTab(tab, title);
    }
    QStringList offered;
};

} // namespace

class TestCardSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void tabsFollowTheCardsCapabilities_data();
    void tabsFollowTheCardsCapabilities();
    void selectingATabReReadsWithoutWriting();
    void twoChangesOfOneControlWriteOnce();
    void sliderKeepsTypedValuesInTheirRange_data();
    void sliderKeepsTypedValuesInTheirRange();
    void cancelRestoresTheStoredValuesBeforeClosing();
    void saveStoresOnDiskAndCancelKeepsIt();
    void unplugClosesTheOpenWindow_data();
    void unplugClosesTheOpenWindow();
    void unplugClosesTheOpenDialogs_data();
    void unplugClosesTheOpenDialogs();
    void saveThatCannotStoreKeepsTheWindow();

private:
    VisibleZeltra* cardNamed(const QString& model) const;
    ZeltraProductCard* openCard(VisibleZeltra* device);
    ProbeTab* addProbe(ZeltraProductCard* card);
    QJsonObject storedOnDisk(const char* persistentId) const;

    QTemporaryDir m_home;
    ZeltraFamily* m_family = nullptr;
    ZeltraAdminUtilityWindow* m_window = nullptr;
};

VisibleZeltra* TestCardSettings::cardNamed(const QString& model) const
{
    DeviceList& list = m_window->deviceList();
    for (int i = 0; i < list.numberOfDevice(); ++i) {
        auto* card = dynamic_cast<VisibleZeltra*>(list.deviceAt(i));
        if (card && card->modelName() == model)
            return card;
    }
    return nullptr;
}

ZeltraProductCard* TestCardSettings::openCard(VisibleZeltra* device)
{
    m_window->showDevice(device);
    auto* card = m_window->findChild<ZeltraProductCard*>();
    if (card && card->currentPage() != card->settingsPage())
        return nullptr;
    return card && card->isVisible() ? card : nullptr;
}

ProbeTab* TestCardSettings::addProbe(ZeltraProductCard* card)
{
    auto* probe = new ProbeTab(*dynamic_cast<VisibleZeltra*>(card->device()));
    ZeltraSettingsPage* page = card->settingsPage();
    page->checkAddTab(probe, QStringLiteral("Probe %1").arg(page->numTabs()));
    page->selectTab(page->numTabs() - 1);
    return probe;
}

// What the simulator keeps for a card across runs of the program.
QJsonObject TestCardSettings::storedOnDisk(const char* persistentId) const
{
    QFile file(m_home.filePath(QStringLiteral("config/zeltra-simulator/card-%1.json")
                                   .arg(QLatin1String(persistentId))));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

void TestCardSettings::initTestCase()
{
    qRegisterMetaType<VisibleDevice*>();
    QVERIFY(useTestHome(m_home, ONDAVIA_TEST_DATA_DIR "/framecards.json"));
    initialiseStaticData();
}

void TestCardSettings::cleanupTestCase()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestCardSettings::init()
{
    m_family = new ZeltraFamily;
    m_window = new ZeltraAdminUtilityWindow;
    m_window->addFamily(m_family);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    QTRY_VERIFY(m_window->isStarted());
    QTRY_COMPARE_WITH_TIMEOUT(m_window->deviceList().numberOfDevice(), 3, 10000);
}

void TestCardSettings::cleanup()
{
    SimCtl::run({ QStringLiteral("plug"), QStringLiteral("all") });
    delete m_window;
    m_window = nullptr;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    delete m_family;
    m_family = nullptr;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestCardSettings::tabsFollowTheCardsCapabilities_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QStringList>("titles");
    // Capture only, one audio input, one deck-control direction.
    QTest::newRow("capture only") << "Frame Capture" << QStringList{ "Video Input", "Conversions", "About" };
    // Two audio inputs make audio adjustable; the other direction alone is
    // still no serial port.
    QTest::newRow("capture with audio")
        << "Frame Capture Audio" << QStringList{ "Video Input", "Audio", "Conversions", "About" };
    // Both directions and a paired sub-device.
    QTest::newRow("studio") << "Frame Studio"
                            << QStringList{ "Video Output", "Video Input", "Conversions", "Connectors", "Serial Port",
                                            "About" };
}

void TestCardSettings::tabsFollowTheCardsCapabilities()
{
    QFETCH(QString, model);
    QFETCH(QStringList, titles);
    VisibleZeltra* device = cardNamed(model);
    QVERIFY(device);
    TitleRecordingPage page(*device);
    page.buildPages();
    QCOMPARE(page.offered, titles);
    // Building again adds nothing.
    page.buildPages();
    QCOMPARE(page.offered, titles);
    // Only tabs with rows are kept.
    for (ZeltraSettingsTab* tab : page.tabs())
        QVERIFY(!tab->isEmpty());
    QCOMPARE(page.numTabs(), page.tabs().size());
}

void TestCardSettings::selectingATabReReadsWithoutWriting()
{
    VisibleZeltra* device = cardNamed(QStringLiteral("Frame Capture"));
    ZeltraProductCard* card = openCard(device);
    QVERIFY(card);
    ProbeTab* first = addProbe(card);
    ProbeTab* second = addProbe(card);
    ZeltraSettingsPage* page = card->settingsPage();
    QCOMPARE(page->currentTab(), second);

    QSignalSpy notices(device, &VisibleZeltra::propertyChanged);
    const int readsBefore = first->reads;
    page->selectTab(page->numTabs() - 2);
    QCOMPARE(page->currentTab(), first);
    QCOMPARE(first->reads, readsBefore + 1);
    QVERIFY(first->isWatchingModifications());
    QCOMPARE(first->changedCount(), 0);
    QCOMPARE(first->settingsStatus(), SettingsPage::Unchanged);
    QVERIFY(first->writes.isEmpty());
    QVERIFY(second->writes.isEmpty());
    // Nothing was written, so the card sends no change notice.
    QTest::qWait(300);
    QCOMPARE(notices.count(), 0);
    QCOMPARE(SimCtl::get(0, "vicn"), QStringLiteral("1"));

    // A change after the selection is still counted and applied.
    first->input->setCurrentIndex(1);
    emit first->input->activated(1);
    QCOMPARE(first->writes, QStringList{ "vicn" });
    QCOMPARE(SimCtl::get(0, "vicn"), QStringLiteral("2"));
}

void TestCardSettings::twoChangesOfOneControlWriteOnce()
{
    VisibleZeltra* device = cardNamed(QStringLiteral("Frame Capture"));
    ZeltraProductCard* card = openCard(device);
    QVERIFY(card);
    ProbeTab* probe = addProbe(card);
    QSignalSpy notices(device, &VisibleZeltra::propertyChanged);

    probe->hold = true;
    probe->level->setRealValue(3.0);
    probe->level->setRealValue(5.5);
    QCOMPARE(probe->changedCount(), 1);
    QVERIFY(probe->writes.isEmpty());
    probe->hold = false;
    probe->applyChanges();
    // The other controls were not changed and are not written.
    QCOMPARE(probe->writes, QStringList{ "prbf" });
    QCOMPARE(probe->changedCount(), 0);
    QCOMPARE(SimCtl::get(0, "prbf").toDouble(), 5.5);
    QTRY_COMPARE(notices.count(), 1);
    QTest::qWait(300);
    QCOMPARE(notices.count(), 1);
    QCOMPARE(SimCtl::get(0, "prbb"), QStringLiteral("false"));
}

void TestCardSettings::sliderKeepsTypedValuesInTheirRange_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("sliderPosition");
    // Values beyond the slider's own range are kept; the slider stops at its end.
    QTest::newRow("inside both") << "4.5" << 4.5 << 45;
    QTest::newRow("beyond the slider") << "15" << 15.0 << 100;
    QTest::newRow("beyond the value range") << "35" << 20.0 << 100;
    QTest::newRow("below the value range") << "-99" << -20.0 << -100;
}

void TestCardSettings::sliderKeepsTypedValuesInTheirRange()
{
    QFETCH(QString, typed);
    QFETCH(double, value);
    QFETCH(int, sliderPosition);
    VisibleZeltra* device = cardNamed(QStringLiteral("Frame Capture"));
    ZeltraProductCard* card = openCard(device);
    QVERIFY(card);
    ProbeTab* probe = addProbe(card);
    QCOMPARE(probe->level->slider()->minimum(), -100);
    QCOMPARE(probe->level->slider()->maximum(), 100);
    // "-20.0" is the longer bound.
    QCOMPARE(probe->level->valueField()->maxLength(), 5);

    QLineEdit* field = probe->level->valueField();
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, typed);
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(probe->level->realValue(), value);
    QCOMPARE(probe->level->slider()->value(), sliderPosition);
    QCOMPARE(probe->writes, QStringList{ "prbf" });
    QCOMPARE(SimCtl::get(0, "prbf").toDouble(), value);
}

void TestCardSettings::cancelRestoresTheStoredValuesBeforeClosing()
{
    VisibleZeltra* device = cardNamed(QStringLiteral("Frame Capture"));
    QPointer<ZeltraProductCard> card = openCard(device);
    QVERIFY(card);
    ProbeTab* probe = addProbe(card);
    probe->input->setCurrentIndex(1);
    emit probe->input->activated(1);
    probe->flag->click();
    QCOMPARE(probe->writes, (QStringList{ "vicn", "prbb" }));
    QCOMPARE(SimCtl::get(0, "vicn"), QStringLiteral("2"));
    QCOMPARE(SimCtl::get(0, "prbb"), QStringLiteral("true"));

    QString heldWhenClosing;
    connect(card->settingsPage(), &SettingsPage::closePage, this,
            [&] { heldWhenClosing = QString::number(device->getVideoInputConnection()); });
    QVERIFY(card->settingsPage()->footer()->cancelButton()->isVisible());
    card->settingsPage()->footer()->cancelButton()->click();
    QCOMPARE(heldWhenClosing, QStringLiteral("1"));
    QTRY_VERIFY(!card);
    QCOMPARE(SimCtl::get(0, "vicn"), QStringLiteral("1"));
    QCOMPARE(SimCtl::get(0, "prbb"), QStringLiteral("false"));
}

void TestCardSettings::saveStoresOnDiskAndCancelKeepsIt()
{
    const char* frameCapture = "0000000000004601";
    auto change = [this](int input, bool flag, CardPushButton* (CardFooter::*button)() const) {
        QPointer<ZeltraProductCard> card = openCard(cardNamed(QStringLiteral("Frame Capture")));
        QVERIFY(card);
        ProbeTab* probe = addProbe(card);
        probe->input->setCurrentIndex(input);
        emit probe->input->activated(input);
        if (probe->flag->isChecked() != flag)
            probe->flag->click();
        (card->settingsPage()->footer()->*button)()->click();
        QTRY_VERIFY(!card);
    };

    change(1, true, &CardFooter::saveButton);
    QJsonObject stored = storedOnDisk(frameCapture);
    QCOMPARE(stored["ints"].toObject()["vicn"].toInt(), 2);
    QCOMPARE(stored["flags"].toObject()["prbb"].toBool(), true);

    // Cancel after a Save goes back to what was saved, on the card and on disk.
    change(0, false, &CardFooter::cancelButton);
    QCOMPARE(SimCtl::get(0, "vicn"), QStringLiteral("2"));
    QCOMPARE(SimCtl::get(0, "prbb"), QStringLiteral("true"));
    QCOMPARE(storedOnDisk(frameCapture), stored);

    // Leave the card as the other tests expect it.
    change(0, false, &CardFooter::saveButton);
    QCOMPARE(storedOnDisk(frameCapture)["ints"].toObject()["vicn"].toInt(), 1);
}

void TestCardSettings::unplugClosesTheOpenWindow_data()
{
    QTest::addColumn<bool>("editing");
    QTest::newRow("tab shown") << false;
    QTest::newRow("slider being edited") << true;
}

void TestCardSettings::unplugClosesTheOpenWindow()
{
    QFETCH(bool, editing);
    VisibleZeltra* device = cardNamed(QStringLiteral("Frame Capture"));
    QPointer<ZeltraProductCard> card = openCard(device);
    QVERIFY(card);
    ProbeTab* probe = addProbe(card);
    if (editing) {
        probe->level->valueField()->setFocus();
        probe->level->valueField()->selectAll();
        QTest::keyClicks(probe->level->valueField(), QStringLiteral("7"));
    }
    QVERIFY(SimCtl::run({ QStringLiteral("unplug"), QStringLiteral("0") }));
    QTRY_VERIFY_WITH_TIMEOUT(!card, 10000);
    QTRY_COMPARE(m_window->deviceList().numberOfDevice(), 2);

    // Plugged in again, the card opens as before; the unfinished edit went
    // nowhere.
    QVERIFY(SimCtl::run({ QStringLiteral("plug"), QStringLiteral("0") }));
    QCOMPARE(SimCtl::get(0, "prbf").toDouble(), 0.0);
    QTRY_VERIFY_WITH_TIMEOUT((device = cardNamed(QStringLiteral("Frame Capture"))), 10000);
    card = openCard(device);
    QVERIFY(card);
    card->closeCard();
    QTRY_VERIFY(!card);
}

void TestCardSettings::unplugClosesTheOpenDialogs_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::newRow("status report file") << "report";
    QTest::newRow("documentation not installed") << "documentation";
    QTest::newRow("card details") << "details";
    QTest::newRow("save failed") << "save";
}

// The card leaves while one of its window's dialogs is open: the dialog
// closes with the window, nothing is written, nothing is freed twice.
void TestCardSettings::unplugClosesTheOpenDialogs()
{
    QFETCH(QString, dialog);
    VisibleZeltra* device = cardNamed(QStringLiteral("Frame Capture"));
    QPointer<ZeltraProductCard> card = openCard(device);
    QVERIFY(card);
    ZeltraSettingsPage* page = card->settingsPage();
    AboutSettings* about = nullptr;
    for (ZeltraSettingsTab* tab : page->tabs())
        about = about ? about : qobject_cast<AboutSettings*>(tab);
    QVERIFY(about);
    const QString folder = m_home.filePath(QStringLiteral("config/zeltra-simulator"));
    const QString stored = folder + QStringLiteral("/card-0000000000004601.json");

    const QStringList reports = QDir::home().entryList({ QStringLiteral("*.html") }, QDir::Files);
    bool unplugged = false;
    DialogAnswerer answerer([&](QDialog*) {
        unplugged = SimCtl::run({ QStringLiteral("unplug"), QStringLiteral("0") });
        return true;
    });
    if (dialog == QLatin1String("report")) {
        about->reportButton()->click();
    } else if (dialog == QLatin1String("documentation")) {
        if (QFileInfo::exists(AboutSettings::documentationPath(1)))
            QSKIP("the documentation is installed on this machine");
        about->documentationGroup()->button(1)->click();
    } else if (dialog == QLatin1String("details")) {
        card->onShowProductEasterEgg();
    } else {
        // A card that cannot store keeps its window, with a message over it.
        QDir().mkpath(folder);
        QFile::remove(stored);
        QVERIFY(QDir().mkpath(stored));
        card->settingsPage()->footer()->saveButton()->click();
        auto* message = card->findChild<CommonDialog*>(QStringLiteral("saveFailedDialog"));
        QVERIFY(message && message->isVisible());
        unplugged = SimCtl::run({ QStringLiteral("unplug"), QStringLiteral("0") });
        QVERIFY(QDir(stored).removeRecursively());
    }
    QVERIFY(unplugged);
    QTRY_VERIFY_WITH_TIMEOUT(!card, 10000);
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(QDir::home().entryList({ QStringLiteral("*.html") }, QDir::Files), reports);
    QVERIFY(SimCtl::run({ QStringLiteral("plug"), QStringLiteral("0") }));
    QTRY_VERIFY_WITH_TIMEOUT(cardNamed(QStringLiteral("Frame Capture")), 10000);
}

void TestCardSettings::saveThatCannotStoreKeepsTheWindow()
{
    const QString stored = m_home.filePath(QStringLiteral("config/zeltra-simulator/card-0000000000004601.json"));
    QFile::remove(stored);
    QVERIFY(QDir().mkpath(stored));
    QPointer<ZeltraProductCard> card = openCard(cardNamed(QStringLiteral("Frame Capture")));
    QVERIFY(card);
    ProbeTab* probe = addProbe(card);
    probe->flag->click();
    card->settingsPage()->footer()->saveButton()->click();
    QTest::qWait(100);
    // Still open, the change still applied, and the user told.
    QVERIFY(card && card->isVisible());
    QCOMPARE(SimCtl::get(0, "prbb"), QStringLiteral("true"));
    auto* message = card->findChild<CommonDialog*>(QStringLiteral("saveFailedDialog"));
    QVERIFY(message && message->isVisible());
    QVERIFY(message->firstText()->text().contains(QStringLiteral("could not store")));
    message->singleButton()->click();
    QVERIFY(!message->isVisible());

    // Once the card can store again, Save does and closes the window.
    QVERIFY(QDir(stored).removeRecursively());
    card->settingsPage()->footer()->saveButton()->click();
    QTRY_VERIFY(!card);
    QCOMPARE(storedOnDisk("0000000000004601")["flags"].toObject()["prbb"].toBool(), true);
    // Back as the other tests expect it.
    card = openCard(cardNamed(QStringLiteral("Frame Capture")));
    QVERIFY(card);
    probe = addProbe(card);
    probe->flag->click();
    card->settingsPage()->footer()->saveButton()->click();
    QTRY_VERIFY(!card);
}

QTEST_MAIN(TestCardSettings)
#include "tst_cardsettings.moc"
