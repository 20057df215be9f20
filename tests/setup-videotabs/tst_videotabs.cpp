// The Video Input and Video Output tabs against simulated cards: what the
// user does in a tab is read back from the card through zeltra-simctl, not
// through the tab.

#include <QtTest>

#include <QButtonGroup>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#include "cardsection.h"
#include "settingscombobox.h"
#include "devicelist.h"
#include "flatimagebutton.h"
#include "settingsslider.h"
#include "settingssliderwitheditablevalue.h"
#include "simctl.h"
#include "sliderlink.h"
#include "staticdata.h"
#include "videoinputsettings.h"
#include "videooutputsettings.h"
#include "visiblezeltra.h"
#include "zeltrafamily.h"
#include "zeltrasettingspage.h"
#include "testhome.h"

namespace {

// Cards of cards.json, by their place in the file.
enum Card { Analog = 0, AnalogAudio = 1, FullFrame = 2, NarrowReference = 3 };
const int kCards = 4;

bool shown(QWidget* widget, QWidget* tab)
{
    return widget && widget->isVisibleTo(tab);
}

// Types `text` into a slider's value field and commits it with Return.
void typeValue(SettingsSliderWithEditableValue* slider, const QString& text)
{
    slider->valueField()->selectAll();
    QTest::keyClicks(slider->valueField(), text);
    QTest::keyClick(slider->valueField(), Qt::Key_Return);
}

} // namespace

class TestVideoTabs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void inputRowsFitChosenInput_data();
    void inputRowsFitChosenInput();
    void audioInputFollowsVideoInput_data();
    void audioInputFollowsVideoInput();
    void cbCrUnlinkedStaysUnlinked_data();
    void cbCrUnlinkedStaysUnlinked();
    void ntscIreSharesBitZero_data();
    void ntscIreSharesBitZero();
    void sdiRowsFollowOutputs_data();
    void sdiRowsFollowOutputs();
    void referenceOffsetTypedRange_data();
    void referenceOffsetTypedRange();
    void outputLevelsServeEveryAnalogOutput();
    void refusedValueReplacedAtOnce();

private:
    VisibleZeltra* device(int card) const { return m_devices.value(card); }

    QTemporaryDir m_home;
    ZeltraFamily* m_family = nullptr;
    QMap<int, VisibleZeltra*> m_devices;
};

void TestVideoTabs::initTestCase()
{
    QVERIFY(useTestHome(m_home, ONDAVIA_TEST_DATA_DIR "/cards.json"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_home.filePath(QStringLiteral("settings")));
    initialiseStaticData();
    qRegisterMetaType<VisibleDevice*>();

    m_family = new ZeltraFamily;
    connect(m_family, &ProductFamilyBase::deviceArrived, this, [this](VisibleDevice* arrived) {
        auto* zeltra = dynamic_cast<VisibleZeltra*>(arrived);
        const QStringList models{ "Ondavia Test Analog", "Ondavia Test Analog Audio", "Ondavia Test Full Frame",
                                  "Ondavia Test Narrow Reference" };
        if (zeltra)
            m_devices.insert(models.indexOf(zeltra->modelName()), zeltra);
    });
    m_family->init();
    QTRY_COMPARE_WITH_TIMEOUT(m_devices.size(), kCards, 10000);
    QVERIFY(!m_devices.contains(-1));
}

void TestVideoTabs::cleanupTestCase()
{
    if (m_family) {
        m_family->destroy();
        delete m_family;
    }
}

void TestVideoTabs::inputRowsFitChosenInput_data()
{
    QTest::addColumn<int>("connection");
    QTest::addColumn<bool>("sdi");
    QTest::addColumn<bool>("analog");
    QTest::addColumn<bool>("chroma");
    QTest::addColumn<bool>("cbCr");
    QTest::newRow("component: Cb and Cr") << 8 << false << true << false << true;
    QTest::newRow("composite: Chroma") << 16 << false << true << true << false;
    QTest::newRow("S-Video: Chroma") << 32 << false << true << true << false;
    QTest::newRow("SDI: no analog rows") << 1 << true << false << false << false;
    QTest::newRow("HDMI: neither") << 2 << false << false << false << false;
}

void TestVideoTabs::inputRowsFitChosenInput()
{
    QFETCH(int, connection);
    VideoInputSettings tab(*device(Analog));
    tab.show();
    QVERIFY(tab.inputGroup() && tab.sdiSection() && tab.analogSection());
    tab.inputGroup()->button(connection)->click();
    QCOMPARE(SimCtl::get(Analog, "vicn").toInt(), connection);

    QTEST(shown(tab.sdiSection(), &tab), "sdi");
    QTEST(shown(tab.analogSection(), &tab), "analog");
    QTEST(shown(tab.ySlider(), &tab), "analog");
    QTEST(shown(tab.resetButton(), &tab), "analog");
    QTEST(shown(tab.ntscIreGroup()->buttons().first(), &tab), "analog");
    QTEST(shown(tab.chromaSlider(), &tab), "chroma");
    QTEST(shown(tab.cbSlider(), &tab), "cbCr");
    QTEST(shown(tab.crSlider(), &tab), "cbCr");
}

void TestVideoTabs::audioInputFollowsVideoInput_data()
{
    QTest::addColumn<int>("card");
    QTest::addColumn<int>("connection");
    QTest::addColumn<int>("audio");
    QTest::newRow("AES/EBU before XLR and RCA") << int(Analog) << 16 << 2;
    QTest::newRow("digital video: embedded") << int(Analog) << 2 << 1;
    QTest::newRow("only analog audio") << int(AnalogAudio) << 8 << 4;
    QTest::newRow("back to HDMI") << int(AnalogAudio) << 2 << 1;
}

void TestVideoTabs::audioInputFollowsVideoInput()
{
    QFETCH(int, card);
    QFETCH(int, connection);
    VideoInputSettings tab(*device(card));
    QSignalSpy layout(device(card), &VisibleZeltra::resetAudioInputs);
    tab.inputGroup()->button(connection)->click();
    QTEST(SimCtl::get(card, "aicn").toInt(), "audio");
    QCOMPARE(layout.count(), 1);
}

void TestVideoTabs::cbCrUnlinkedStaysUnlinked_data()
{
    QTest::addColumn<bool>("output");
    QTest::newRow("input") << false;
    QTest::newRow("output") << true;
}

void TestVideoTabs::cbCrUnlinkedStaysUnlinked()
{
    QFETCH(bool, output);
    VisibleZeltra& card = *device(Analog);
    auto open = [&]() -> ZeltraSettingsTab* {
        if (output)
            return new VideoOutputSettings(card);
        auto* input = new VideoInputSettings(card);
        input->inputGroup()->button(8)->click();
        return input;
    };
    auto linkOf = [&](ZeltraSettingsTab* tab) {
        return output ? static_cast<VideoOutputSettings*>(tab)->cbCrLink()
                      : static_cast<VideoInputSettings*>(tab)->cbCrLink();
    };
    auto yOf = [&](ZeltraSettingsTab* tab) {
        return output ? static_cast<VideoOutputSettings*>(tab)->ySlider()
                      : static_cast<VideoInputSettings*>(tab)->ySlider();
    };

    QScopedPointer<ZeltraSettingsTab> first(open());
    QVERIFY(linkOf(first.data())->isLinked());
    linkOf(first.data())->linkButton()->click();
    // The link state is stored with the next change of any control.
    typeValue(yOf(first.data()), QStringLiteral("0.1"));
    first.reset();

    QScopedPointer<ZeltraSettingsTab> second(open());
    QVERIFY(!linkOf(second.data())->isLinked());
    linkOf(second.data())->linkButton()->click();
    typeValue(yOf(second.data()), QStringLiteral("0"));
}

void TestVideoTabs::ntscIreSharesBitZero_data()
{
    QTest::addColumn<bool>("fromOutput");
    QTest::newRow("Video Input tab") << false;
    QTest::newRow("Video Output tab") << true;
}

void TestVideoTabs::ntscIreSharesBitZero()
{
    QFETCH(bool, fromOutput);
    ZeltraSettingsPage page(*device(Analog));
    page.onConnectionChanged();
    VideoInputSettings* input = nullptr;
    VideoOutputSettings* output = nullptr;
    for (ZeltraSettingsTab* tab : page.tabs()) {
        input = input ? input : qobject_cast<VideoInputSettings*>(tab);
        output = output ? output : qobject_cast<VideoOutputSettings*>(tab);
    }
    QVERIFY(input && output);
    input->inputGroup()->button(16)->click(); // the NTSC rows show with an analog input
    const int other = SimCtl::get(Analog, "avof").toInt() & ~1;
    QVERIFY(other != 0); // the card's other bits are set

    QButtonGroup* from = fromOutput ? output->ntscIreGroup() : input->ntscIreGroup();
    QButtonGroup* to = fromOutput ? input->ntscIreGroup() : output->ntscIreGroup();
    const int usa = fromOutput ? 11 : 3;
    const int japan = fromOutput ? 10 : 2;
    for (bool setup : { true, false }) {
        from->button(setup ? usa : japan)->click();
        QCOMPARE(SimCtl::get(Analog, "avof").toInt(), other | int(setup));
        // The other tab follows on the card's notice.
        const int shownThere = (fromOutput ? 2 : 10) + int(setup);
        QTRY_COMPARE(to->checkedId(), shownThere);
    }
}

void TestVideoTabs::sdiRowsFollowOutputs_data()
{
    QTest::addColumn<int>("card");
    QTest::addColumn<bool>("sdiSection");
    QTest::addColumn<int>("connectorButtons");
    QTest::newRow("quad link") << int(FullFrame) << true << 3;
    QTest::newRow("dual link only") << int(Analog) << true << 2;
    QTest::newRow("4:4:4 without SDI output") << int(NarrowReference) << false << 0;
}

void TestVideoTabs::sdiRowsFollowOutputs()
{
    QFETCH(int, card);
    QFETCH(int, connectorButtons);
    VideoOutputSettings tab(*device(card));
    QTEST(tab.sdiSection() != nullptr, "sdiSection");
    if (card == NarrowReference)
        QVERIFY(device(card)->supports444SDI() && !tab.colourSpaceGroup());
    if (!connectorButtons) {
        QVERIFY(!tab.sdiConnectorGroup());
        return;
    }
    QCOMPARE(tab.sdiConnectorGroup()->buttons().size(), connectorButtons);
    const int last = int(tab.sdiConnectorGroup()->id(tab.sdiConnectorGroup()->buttons().last()));
    tab.sdiConnectorGroup()->buttons().last()->click();
    QCOMPARE(SimCtl::get(card, "solc").toLongLong(), qint64(last));
    tab.sdiConnectorGroup()->buttons().first()->click();
}

void TestVideoTabs::referenceOffsetTypedRange_data()
{
    QTest::addColumn<int>("card");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("written");
    QTest::newRow("full frame keeps 5000") << int(FullFrame) << "5000" << 5000;
    QTest::newRow("full frame keeps -999999") << int(FullFrame) << "-999999" << -999999;
    QTest::newRow("others clamp to 511") << int(Analog) << "600" << 511;
    // The field takes no more digits than its bounds have.
    QTest::newRow("others refuse a fourth digit") << int(Analog) << "5000" << 500;
    QTest::newRow("others clamp to -511") << int(Analog) << "-900" << -511;
}

void TestVideoTabs::referenceOffsetTypedRange()
{
    QFETCH(int, card);
    QFETCH(QString, typed);
    QFETCH(int, written);
    VideoOutputSettings tab(*device(card));
    SettingsSliderWithEditableValue* offset = tab.referenceSlider();
    QVERIFY(offset);
    typeValue(offset, typed);
    QCOMPARE(SimCtl::get(card, "glot").toInt(), written);
    QCOMPARE(offset->realValue(), double(written));
    // The slider stops at its own end of travel.
    QCOMPARE(offset->slider()->value(), qBound(-511, written, 511));
}

void TestVideoTabs::outputLevelsServeEveryAnalogOutput()
{
    VideoOutputSettings tab(*device(Analog));
    typeValue(tab.ySlider(), QStringLiteral("0.25"));
    for (const char* item : { "oclg", "oilg", "oslg" })
        QCOMPARE(SimCtl::get(Analog, item).toDouble(), 0.25);

    // The reset puts every level back, like a user change.
    tab.chromaSlider()->setRealValue(-0.5);
    QCOMPARE(SimCtl::get(Analog, "oscg").toDouble(), -0.5);
    QCOMPARE(SimCtl::get(Analog, "occb").toDouble(), -0.5);
    QVERIFY(tab.levelsSection()->findChild<FlatImageButton*>());
    tab.levelsSection()->findChild<FlatImageButton*>()->click();
    for (const char* item : { "oclg", "oilg", "oslg", "oicg", "oscg", "occb", "occr" })
        QCOMPARE(SimCtl::get(Analog, item).toDouble(), 0.0);
}

void TestVideoTabs::refusedValueReplacedAtOnce()
{
    VisibleZeltra& card = *device(NarrowReference);
    VideoOutputSettings tab(card);
    typeValue(tab.referenceSlider(), QStringLiteral("300"));
    QCOMPARE(SimCtl::get(NarrowReference, "glot").toInt(), 0); // the card holds only up to 100

    // The refusal sends no notice; the field shows what the card holds
    // once the write has returned.
    QTRY_COMPARE(tab.referenceSlider()->realValue(), 0.0);
    QCOMPARE(tab.referenceSlider()->valueField()->text(), QStringLiteral("0"));
}

QTEST_MAIN(TestVideoTabs)
#include "tst_videotabs.moc"
