// The Audio, Conversions, Connectors and Serial Port tabs driven as a user
// would, against the simulator's built-in cards; what reaches a card is read
// back from the simulator.

#include "simcards.h"

#include "audiosettings.h"
#include "cardsection.h"
#include "cardtabbedpages.h"
#include "connectorssettings.h"
#include "conversionssettings.h"
#include "deckcontrolconnectionssettings.h"
#include "flatimagebutton.h"
#include "imagegroupbutton.h"
#include "settingscheckbox.h"
#include "settingssliderwitheditablevalue.h"
#include "sliderlink.h"
#include "videoinputsettings.h"
#include "videooutputsettings.h"
#include "settingscombobox.h"
#include "zeltrasettingspage.h"

#include <QButtonGroup>
#include <QLabel>

namespace {

// Picks `text` in a menu as the user does: the index changes, then activated.
bool choose(QComboBox* combo, const QString& text, int occurrence = 0)
{
    for (int i = 0; combo && i < combo->count(); ++i) {
        if (combo->itemText(i) == text && occurrence-- == 0) {
            combo->setCurrentIndex(i);
            emit combo->activated(i);
            return true;
        }
    }
    return false;
}

QStringList itemTexts(const QComboBox* combo)
{
    QStringList texts;
    for (int i = 0; combo && i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}

QStringList captions(const QMap<uint32_t, ImageGroupButton*>& buttons, const QVector<uint32_t>& order)
{
    QStringList texts;
    for (uint32_t mode : order) {
        if (ImageGroupButton* button = buttons.value(mode))
            texts << (button->captionLabel() ? button->captionLabel()->text() : QString());
    }
    return texts;
}

void clickInput(AudioSettings& tab, int flag)
{
    ImageGroupButton* button = tab.inputButtons().value(uint32_t(flag));
    QVERIFY2(button, qPrintable(QString::number(flag)));
    button->button()->click();
}

} // namespace

class TestAudioTabs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_cards.start()); }
    void cleanupTestCase() { m_cards.stop(); }

    void deckControlPort_data();
    void deckControlPort();
    void connectorTexts_data();
    void connectorTexts();
    void connectorChoiceTakesPartnerAway();
    void conversionRows_data();
    void conversionRows();
    void conversionGroupSelectsFirstMode();
    void conversionGroupOfCardMode_data();
    void conversionGroupOfCardMode();
    void conversionNoneWritesNone();
    void audioInputButtons_data();
    void audioInputButtons();
    void audioHiFiHidesAndRebuildsLevels();
    void audioMicrophoneSection();
    void audioOneChannelNoLink();
    void audioRefusedLevelShowsCardValue();
    void audioTypedValueSurvivesRebuild();
    void audioRapidInputSwitching();
    void audioEmbeddedFollowsVideo_data();
    void audioEmbeddedFollowsVideo();
    void audioTabFollowsAudioInput();

    // What the tabs show after a user action, wherever they are.
    void refusedChoicesShowWhatTheCardHolds();
    void oneWritePerClickNoneForTheChosenButton();
    void subDeviceFoundAgainAfterReplug();
    void refreshKeepsTypingAndLinkState();

private:
    SimCards m_cards;
};

// ---- Serial Port -------------------------------------------------------------

void TestAudioTabs::deckControlPort_data()
{
    QTest::addColumn<int>("cardValue");
    QTest::addColumn<int>("shown");
    QTest::newRow("0") << 0 << 2;
    QTest::newRow("1") << 1 << 1;
    QTest::newRow("2") << 2 << 2;
    QTest::newRow("7") << 7 << 2;
}

void TestAudioTabs::deckControlPort()
{
    QFETCH(int, cardValue);
    QFETCH(int, shown);
    VisibleZeltra* card = m_cards.device(kDeckhand);
    card->setDeckControlConnection(cardValue);
    DeckControlConnectionsSettings tab(*card);
    QCOMPARE(tab.portGroup()->checkedId(), shown);
    // Choosing the other port writes it.
    const int other = shown == 1 ? 2 : 1;
    tab.portGroup()->button(other)->click();
    QCOMPARE(SimCards::get(kDeckhand, "dcco"), QString::number(other));
    QCOMPARE(tab.portGroup()->checkedId(), other);
}

// ---- Connectors --------------------------------------------------------------

void TestAudioTabs::connectorTexts_data()
{
    QTest::addColumn<qint64>("persistentId");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("selected");
    QTest::newRow("configures duplex itself") << kDuoLink1.persistentId
                                              << QStringList{ "SDI 1 & SDI 2", "SDI 1" } << "SDI 1";
    QTest::newRow("partner through the persistent id") << kDuoLink2.persistentId
                                                       << QStringList{ "SDI 2", "None" } << "SDI 2";
}

void TestAudioTabs::connectorTexts()
{
    QFETCH(qint64, persistentId);
    QFETCH(QStringList, texts);
    QFETCH(QString, selected);
    VisibleZeltra* card = m_cards.device({ 0, persistentId });
    QVERIFY(card);
    ConnectorsSettings tab(*card);
    QCOMPARE(itemTexts(tab.connectorCombo()), texts);
    QCOMPARE(tab.connectorCombo()->currentText(), selected);
}

void TestAudioTabs::connectorChoiceTakesPartnerAway()
{
    // Through the open settings page, as the user does it: the partner leaves
    // and comes back through the card's own notices, the page stays put.
    ZeltraSettingsPage page(*m_cards.device(kDuoLink1));
    page.onConnectionChanged();
    CardTabbedPages* pages = page.tabbedPages();
    auto* tab = qobject_cast<ConnectorsSettings*>(pages->tab(pages->indexOf(QStringLiteral("Connectors"))));
    QVERIFY(tab);
    const int listed = m_cards.list().numberOfDevice();
    QVERIFY(choose(tab->connectorCombo(), "SDI 1 & SDI 2"));
    QCOMPARE(SimCards::get(kDuoLink1, "dupx"), SimCards::code("fdup"));
    QTRY_COMPARE(m_cards.list().numberOfDevice(), listed - 1);
    QVERIFY(!m_cards.device(kDuoLink2));
    QCOMPARE(tab->connectorCombo()->currentText(), QStringLiteral("SDI 1 & SDI 2"));
    QVERIFY(choose(tab->connectorCombo(), "SDI 1"));
    QCOMPARE(SimCards::get(kDuoLink1, "dupx"), SimCards::code("hdup"));
    QTRY_COMPARE(m_cards.list().numberOfDevice(), listed);
    QVERIFY(m_cards.device(kDuoLink2));
    QCOMPARE(tab->connectorCombo()->currentText(), QStringLiteral("SDI 1"));
    QVERIFY(pages->indexOf(QStringLiteral("Connectors")) >= 0);
}

// ---- Conversions -------------------------------------------------------------

void TestAudioTabs::conversionRows_data()
{
    QTest::addColumn<qint64>("persistentId");
    QTest::addColumn<bool>("input");
    QTest::addColumn<bool>("output");
    QTest::newRow("capture and playback") << kMeridian.persistentId << true << true;
    QTest::newRow("capture only") << kPocket.persistentId << true << false;
    QTest::newRow("playback only") << kBeacon.persistentId << false << true;
    // Offers no output mode but "none" and no input conversion: no tab.
    QTest::newRow("nothing to convert") << kAtlas.persistentId << false << false;
}

void TestAudioTabs::conversionRows()
{
    QFETCH(qint64, persistentId);
    QFETCH(bool, input);
    QFETCH(bool, output);
    ConversionsSettings tab(*m_cards.device({ 0, persistentId }));
    QCOMPARE(tab.inputCombo() != nullptr, input);
    QCOMPARE(tab.outputCombo() != nullptr, output);
    QCOMPARE(tab.isEmpty(), !input && !output);
}

void TestAudioTabs::conversionGroupSelectsFirstMode()
{
    ConversionsSettings tab(*m_cards.device(kMeridian));
    QVERIFY(choose(tab.outputCombo(), "SD to HD 720p"));
    QCOMPARE(captions(tab.outputModeButtons(), kVideoOutputConversionModesUpScale_720),
             (QStringList{ "16:9 Zoom", "14:9 Zoom", "Pillarbox" }));
    QCOMPARE(tab.outputModeButtons().size(), 3);
    QCOMPARE(tab.outputModeGroup()->checkedId(), int(zeltraCode("ua7p")));
    QCOMPARE(SimCards::get(kMeridian, "vocm"), SimCards::code("ua7p"));
    // Another mode of the group.
    tab.outputModeButtons().value(zeltraCode("up7p"))->button()->click();
    QCOMPARE(SimCards::get(kMeridian, "vocm"), SimCards::code("up7p"));
}

void TestAudioTabs::conversionGroupOfCardMode_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("occurrence");
    // Two groups share the name; a mode of the first selects the first.
    QTest::newRow("xcap") << "xcap" << 0;
    QTest::newRow("720c") << "720c" << 1;
}

void TestAudioTabs::conversionGroupOfCardMode()
{
    QFETCH(QString, mode);
    QFETCH(int, occurrence);
    VisibleZeltra* card = m_cards.device(kMeridian);
    const QByteArray text = mode.toLatin1();
    const uint32_t value = zeltraCode({ text[0], text[1], text[2], text[3], 0 });
    card->setOutputConversionMode(value);
    ConversionsSettings tab(*card);
    int index = -1;
    for (int i = 0; i <= occurrence; ++i)
        index = tab.outputCombo()->findText(QStringLiteral("HD 720 to HD 1080"), Qt::MatchExactly) + (i ? 1 : 0);
    QCOMPARE(tab.outputCombo()->currentIndex(), index);
    QCOMPARE(tab.outputModeGroup()->checkedId(), int(value));
}

void TestAudioTabs::conversionNoneWritesNone()
{
    ConversionsSettings tab(*m_cards.device(kMeridian));
    QVERIFY(choose(tab.inputCombo(), "SD to HD"));
    QCOMPARE(SimCards::get(kMeridian, "vicm"), SimCards::code("lbup"));
    QCOMPARE(tab.inputModeButtons().size(), 2);
    QVERIFY(choose(tab.inputCombo(), "None"));
    QCOMPARE(SimCards::get(kMeridian, "vicm"), SimCards::code("none"));
    QVERIFY(tab.inputModeButtons().isEmpty());
    QVERIFY(!tab.inputModeGroup());
}

// ---- Audio -------------------------------------------------------------------

void TestAudioTabs::audioInputButtons_data()
{
    QTest::addColumn<qint64>("persistentId");
    QTest::addColumn<QStringList>("captions");
    // Analog gives way to XLR and RCA; this model calls its RCA input HIFI.
    QTest::newRow("analog, XLR and RCA") << kPrism.persistentId
                                         << QStringList{ "Embedded", "AES/EBU", "XLR", "HIFI", "Microphone" };
    QTest::newRow("analog alone") << kDeckhand.persistentId << QStringList{ "Embedded", "AES/EBU", "Analog" };
    QTest::newRow("RCA") << kPocket.persistentId << QStringList{ "Embedded", "RCA" };
}

void TestAudioTabs::audioInputButtons()
{
    QFETCH(qint64, persistentId);
    QFETCH(QStringList, captions);
    AudioSettings tab(*m_cards.device({ 0, persistentId }));
    QCOMPARE(::captions(tab.inputButtons(), { 1, 2, 4, 8, 16, 32 }), captions);
}

void TestAudioTabs::audioHiFiHidesAndRebuildsLevels()
{
    VisibleZeltra* card = m_cards.device(kPrism);
    card->setAudioInputConnection(8);
    AudioSettings tab(*card);
    QCOMPARE(tab.inputChannelSliders().size(), 4);
    QCOMPARE(tab.outputChannelSliders().size(), 4);
    tab.hifiBox()->click();
    QCOMPARE(SimCards::get(kPrism, "aacl"), QStringLiteral("true"));
    QVERIFY(tab.inputLevelsSection()->isHidden());
    QVERIFY(tab.outputLevelsSection()->isHidden());
    // Levels changed meanwhile come back with the rows.
    card->setAnalogAudioInputScaleChannel(3, 4.5);
    card->setAnalogAudioOutputScaleChannel(4, -2.25);
    tab.hifiBox()->click();
    QCOMPARE(SimCards::get(kPrism, "aacl"), QStringLiteral("false"));
    QVERIFY(!tab.inputLevelsSection()->isHidden());
    QVERIFY(!tab.outputLevelsSection()->isHidden());
    QCOMPARE(tab.inputChannelSliders().value(2)->realValue(), 4.5);
    QCOMPARE(tab.outputChannelSliders().value(3)->realValue(), -2.25);
}

void TestAudioTabs::audioMicrophoneSection()
{
    VisibleZeltra* card = m_cards.device(kPrism);
    card->setAudioInputConnection(8);
    AudioSettings tab(*card);
    QVERIFY(tab.microphoneSection()->isHidden());
    clickInput(tab, 32);
    QCOMPARE(SimCards::get(kPrism, "aicn"), QStringLiteral("32"));
    QVERIFY(!tab.microphoneSection()->isHidden());
    QVERIFY(tab.inputLevelsSection()->isHidden());
    tab.phantomPowerBox()->click();
    QCOMPARE(SimCards::get(kPrism, "mphp"), QStringLiteral("true"));
}

void TestAudioTabs::audioOneChannelNoLink()
{
    VisibleZeltra* card = m_cards.device(kDeckhand);
    card->setAudioInputConnection(1);
    AudioSettings tab(*card);
    clickInput(tab, 4);
    QCOMPARE(tab.inputChannelSliders().size(), 1);
    QVERIFY(!tab.inputChannelLink());
    QCOMPARE(tab.outputChannelSliders().size(), 2);
    QVERIFY(tab.outputChannelLink());
    // The AES/EBU input level belongs to the AES/EBU input only.
    QVERIFY(tab.findRowContaining(tab.aesInputSlider())->isHidden());
    clickInput(tab, 2);
    QVERIFY(!tab.findRowContaining(tab.aesInputSlider())->isHidden());
}

void TestAudioTabs::audioRefusedLevelShowsCardValue()
{
    VisibleZeltra* card = m_cards.device(kDeckhand);
    card->setAudioInputConnection(4);
    card->setAnalogAudioInputScaleChannel(1, 1.0);
    AudioSettings tab(*card);
    // The card keeps its level within the 6 dB it reports: the slider
    // offers no more, and a level beyond it stops there.
    SettingsSliderWithEditableValue* level = tab.inputChannelSliders().first();
    QCOMPARE(level->minimum(), -6.0);
    QCOMPARE(level->maximum(), 6.0);
    level->setRealValue(10.0);
    QCOMPARE(SimCards::get(kDeckhand, "ais1").toDouble(), 6.0);
    QCOMPARE(level->realValue(), 6.0);
}

void TestAudioTabs::audioTypedValueSurvivesRebuild()
{
    VisibleZeltra* card = m_cards.device(kPrism);
    card->setAudioInputConnection(8);
    QWidget window;
    auto* tab = new AudioSettings(*card, &window);
    window.resize(660, 700);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QLineEdit* field = tab->inputChannelSliders().first()->valueField();
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, "5.5");
    // XLR has four channels, RCA two: the rows are replaced.
    clickInput(*tab, 16);
    QCOMPARE(tab->inputChannelSliders().size(), 2);
    QCOMPARE(SimCards::get(kPrism, "ais1").toDouble(), 5.5);
    QCOMPARE(tab->inputChannelSliders().first()->realValue(), 5.5);
}

void TestAudioTabs::audioRapidInputSwitching()
{
    VisibleZeltra* card = m_cards.device(kPrism);
    card->setAudioInputConnection(8);
    AudioSettings tab(*card);
    QCoreApplication::processEvents();
    const int children = tab.findChildren<QObject*>().size();
    for (int i = 0; i < 200; ++i)
        clickInput(tab, i % 2 ? 8 : 16);
    QCOMPARE(SimCards::get(kPrism, "aicn"), QStringLiteral("8"));
    QTest::qWait(200); // the card's notices of every switch
    QCOMPARE(tab.inputChannelSliders().size(), 4);
    int rows = 0;
    for (QWidget* row : tab.inputLevelsSection()->rows())
        rows += ZeltraSettingsTab::isAControlRow(row);
    QCOMPARE(rows, 4);
    QCOMPARE(tab.findChildren<QObject*>().size(), children);
}

void TestAudioTabs::audioEmbeddedFollowsVideo_data()
{
    QTest::addColumn<qint64>("persistentId");
    QTest::addColumn<int>("video");
    QTest::addColumn<QString>("image");
    QTest::newRow("SDI") << kMeridian.persistentId << 1 << ":/InputSDI";
    QTest::newRow("HDMI") << kMeridian.persistentId << 2 << ":/InputHDMI";
    QTest::newRow("composite") << kPocket.persistentId << 16 << "";
}

void TestAudioTabs::audioEmbeddedFollowsVideo()
{
    QFETCH(qint64, persistentId);
    QFETCH(int, video);
    QFETCH(QString, image);
    VisibleZeltra* card = m_cards.device({ 0, persistentId });
    card->setVideoInputConnection(video);
    AudioSettings tab(*card);
    ImageGroupButton* embedded = tab.inputButtons().value(1);
    QCOMPARE(embedded->isHidden(), image.isEmpty());
    if (!image.isEmpty())
        QCOMPARE(embedded->button()->currentImage().toImage(), QPixmap(image).toImage());
}

void TestAudioTabs::audioTabFollowsAudioInput()
{
    // Embedded and RCA with no level sections: the tab shows while Embedded
    // is the input, since only then is there a choice to make.
    VisibleZeltra* card = m_cards.device(kPocket);
    card->setVideoInputConnection(16);
    card->setAudioInputConnection(16);
    ZeltraSettingsPage page(*card);
    page.onConnectionChanged();
    CardTabbedPages* pages = page.tabbedPages();
    const int audio = pages->indexOf(QStringLiteral("Audio"));
    QVERIFY(audio >= 0);
    QVERIFY(!pages->isTabVisible(audio));
    // What the video input tab does when HDMI is chosen.
    card->setVideoInputConnection(2);
    card->setAudioInputConnection(1);
    emit card->resetAudioInputs();
    QVERIFY(pages->isTabVisible(audio));
    QTRY_VERIFY(qobject_cast<AudioSettings*>(pages->tab(audio))->inputButtons().value(1)->button()->isChecked());
}

// ---- Refresh after writing --------------------------------------------------

void TestAudioTabs::refusedChoicesShowWhatTheCardHolds()
{
    // A conversion group whose only mode the card refuses goes back to None.
    VisibleZeltra* prism = m_cards.device(kPrism);
    ConversionsSettings conversions(*prism);
    QVERIFY(choose(conversions.outputCombo(), QStringLiteral("2K to SD")));
    QCOMPARE(SimCards::get(kPrism, "vocm"), SimCards::code("none"));
    QTRY_COMPARE(conversions.outputCombo()->currentText(), QStringLiteral("None"));

    // A video input the card refuses moves neither the audio input nor the rows.
    VisibleZeltra* keystone = m_cards.device(kKeystone);
    keystone->setAudioInputConnection(1);
    VideoInputSettings video(*keystone);
    QVERIFY(video.inputGroup()->button(16));
    video.inputGroup()->button(16)->click();
    QCOMPARE(SimCards::get(kKeystone, "vicn"), QStringLiteral("1"));
    QCOMPARE(SimCards::get(kKeystone, "aicn"), QStringLiteral("1"));
    QTRY_COMPARE(video.inputGroup()->checkedId(), 1);
    QVERIFY(video.analogSection()->isHidden());
}

namespace {
// The real tabs, counting how often they apply.
template <class Tab>
class Counting : public Tab
{
public:
    using Tab::Tab;
    void applyChanges() override
    {
        ++applies;
        Tab::applyChanges();
    }
    int applies = 0;
};
} // namespace

void TestAudioTabs::oneWritePerClickNoneForTheChosenButton()
{
    Counting<DeckControlConnectionsSettings> serial(*m_cards.device(kDeckhand));
    QAbstractButton* other = serial.portGroup()->checkedId() == 1 ? serial.portGroup()->button(2)
                                                                 : serial.portGroup()->button(1);
    other->click();
    QCOMPARE(serial.applies, 1);
    other->click();
    QCOMPARE(serial.applies, 1);

    // A card in pass-through: the chosen "input video" stays 'pdir'.
    Counting<VideoOutputSettings> output(*m_cards.device(kQuartet));
    QCOMPARE(output.duringCaptureGroup()->checkedId(), 3);
    output.duringCaptureGroup()->button(3)->click();
    QCOMPARE(output.applies, 0);
    QCOMPARE(SimCards::get(kQuartet, "cptm"), SimCards::code("pdir"));
}

void TestAudioTabs::subDeviceFoundAgainAfterReplug()
{
    VisibleZeltra* second = m_cards.device(kDuoLink2);
    QVERIFY(second->getSubDeviceByPersistentId(kDuoLink1.persistentId));
    QVERIFY(SimCtl::run({ QStringLiteral("unplug"), QString::number(kDuoLink1.index) }));
    QVERIFY(SimCtl::run({ QStringLiteral("plug"), QString::number(kDuoLink1.index) }));
    QTRY_VERIFY(m_cards.device(kDuoLink1));
    VisibleZeltra* partner = second->getSubDeviceByPersistentId(kDuoLink1.persistentId);
    QVERIFY(partner);
    QCOMPARE(partner->getDuplexMode(), int64_t(zeltraCode("hdup")));
    ConnectorsSettings tab(*second);
    QVERIFY(!tab.isEmpty());
}

void TestAudioTabs::refreshKeepsTypingAndLinkState()
{
    VisibleZeltra* prism = m_cards.device(kPrism);
    prism->setVideoInputConnection(8);
    QWidget window;
    window.resize(700, 600);
    VideoInputSettings tab(*prism, &window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    // The link toggled alone survives the next refresh.
    const bool linked = tab.cbCrLink()->isLinked();
    tab.cbCrLink()->linkButton()->click();
    QCOMPARE(tab.cbCrLink()->isLinked(), !linked);
    emit prism->propertyChanged();
    QCOMPARE(tab.cbCrLink()->isLinked(), !linked);
    tab.cbCrLink()->linkButton()->click();

    // A value being typed is not overwritten by a notice.
    QLineEdit* field = tab.ySlider()->valueField();
    field->setFocus();
    QTRY_VERIFY(field->hasFocus());
    field->selectAll();
    QTest::keyClicks(field, QStringLiteral("0.3"));
    emit prism->propertyChanged();
    QCOMPARE(field->text(), QStringLiteral("0.3"));
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(SimCards::get(kPrism, "iclg").toDouble(), 0.3);
    prism->setAnalogVideoInputGainLevel(8, 0.0);
    prism->setVideoInputConnection(1);
}

QTEST_MAIN(TestAudioTabs)
#include "tst_audiotabs.moc"
