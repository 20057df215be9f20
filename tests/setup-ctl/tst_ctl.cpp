// ondavia-ctl run as a program, with no display, against the simulator's
// built-in cards; the settings window's own tabs are built over the same
// cards in this process and serve as the reference for what it offers and
// for what a change writes.

#include "simcards.h"

#include "cardsettingscatalogue.h"
#include "connectorssettings.h"
#include "settingscombobox.h"
#include "settingssliderwitheditablevalue.h"
#include "videoinputsettings.h"
#include "videooutputsettings.h"
#include "zeltrasettingspage.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <functional>

Q_DECLARE_METATYPE(SimCard)
Q_DECLARE_METATYPE(std::function<void(VisibleZeltra&)>)

namespace {

struct Run {
    int status = -1;
    QString out;
    QString err;
    QJsonObject json() const { return QJsonDocument::fromJson(out.toUtf8()).object(); }
};

// ondavia-ctl with DISPLAY and QT_QPA_PLATFORM unset; `config` replaces the
// folder of the stored card preferences, `cards` the built-in cards.
Run ctl(const QStringList& arguments, const QString& config = QString(), const QString& cards = QString())
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    if (!config.isEmpty())
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
    if (!cards.isEmpty())
        environment.insert(QStringLiteral("ZELTRA_SIMULATOR_CARDS"), cards);
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(ONDAVIA_BIN_DIR "/ondavia-ctl"), arguments);
    Run run;
    if (!process.waitForFinished(20000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.status = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QStringList showNames(const QJsonObject& show)
{
    QStringList names;
    for (const QJsonValue& tab : show.value(QStringLiteral("tabs")).toArray()) {
        for (const QJsonValue& setting : tab.toObject().value(QStringLiteral("settings")).toArray())
            names << setting.toObject().value(QStringLiteral("name")).toString();
    }
    return names;
}

// The settings the card's window offers: every control of its tabs that
// names one.
QStringList windowNames(VisibleZeltra& card)
{
    ZeltraSettingsPage page(card);
    page.onConnectionChanged();
    QStringList names;
    for (ZeltraSettingsTab* tab : page.tabs()) {
        for (QObject* control : tab->findChildren<QObject*>()) {
            const QString name = control->property(ZeltraSettingsTab::kSettingProperty).toString();
            if (!name.isEmpty() && !names.contains(name))
                names << name;
        }
    }
    names.sort();
    return names;
}

// A value of the JSON form as the text form writes it.
QString jsonText(const QJsonValue& value)
{
    if (value.isBool())
        return value.toBool() ? QStringLiteral("on") : QStringLiteral("off");
    if (value.isDouble())
        return QString::number(value.toDouble(), 'f', 2);
    return value.toString();
}

QMap<QString, QString> readAll(VisibleZeltra& card, const QStringList& names)
{
    QMap<QString, QString> values;
    for (const CardSetting& setting : CardSettingsCatalogue::settings(card)) {
        if (names.contains(setting.name))
            values.insert(setting.name, setting.format(setting.read(card)));
    }
    return values;
}

} // namespace

class TestCtl : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase() { m_cards.stop(); }
    void showListsWhatTheWindowOffers();
    void setThenGet_data();
    void setThenGet();
    void dependentChangesMatchTheWindow_data();
    void dependentChangesMatchTheWindow();
    void badValuesChangeNothing_data();
    void badValuesChangeNothing();
    void watchReportsChangesAndUnplug();
    void windowAndCommandLineShareTheCard();
    void reportWritesTheAboutTabsReport();

private:
    QString freshConfig();

    QTemporaryDir m_home;
    QTemporaryDir m_configs;
    int m_configCount = 0;
    SimCards m_cards;
};

void TestCtl::initTestCase()
{
    QVERIFY(m_cards.start());
}

QString TestCtl::freshConfig()
{
    return m_configs.filePath(QString::number(++m_configCount));
}

void TestCtl::showListsWhatTheWindowOffers()
{
    const Run list = ctl({ QStringLiteral("--json"), QStringLiteral("list") }, freshConfig());
    QCOMPARE(list.status, 0);
    const QJsonArray cards = list.json().value(QStringLiteral("cards")).toArray();
    QCOMPARE(cards.size(), m_cards.devices().size());
    for (const QJsonValue& entry : cards) {
        const QJsonObject card = entry.toObject();
        const QString index = QString::number(card.value(QStringLiteral("index")).toInt());
        VisibleZeltra* device = m_cards.devices().value(index.toInt());
        QVERIFY(device);
        QCOMPARE(card.value(QStringLiteral("persistentId")).toString().toULongLong(nullptr, 16),
                 quint64(device->getPersistentId()));
        const Run first = ctl({ QStringLiteral("--json"), QStringLiteral("show"), index });
        const Run second = ctl({ QStringLiteral("--json"), QStringLiteral("show"), index });
        QCOMPARE(first.status, 0);
        QStringList names = showNames(first.json());
        QCOMPARE(showNames(second.json()), names);
        names.sort();
        QCOMPARE(names, windowNames(*device));
    }
}

void TestCtl::setThenGet_data()
{
    QTest::addColumn<QString>("card");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::newRow("video output") << "1" << "video-playback" << "freeze-frame";
    QTest::newRow("video input") << "0x4f44560000004d01" << "capture-1080p" << "psf";
    QTest::newRow("audio") << "Ondavia Prism Analog" << "headphone-volume" << "0.25";
    QTest::newRow("conversions") << "1" << "output-conversion" << "sd-to-hd-720p-pillarbox";
    QTest::newRow("serial port") << "8" << "deck-control-port" << "remote-2";
    QTest::newRow("about") << "1" << "seller-email" << "desk@example.org";
}

void TestCtl::setThenGet()
{
    QFETCH(QString, card);
    QFETCH(QString, name);
    QFETCH(QString, value);
    const QString config = freshConfig();
    const QString line = name + QStringLiteral(" = ") + value + QLatin1Char('\n');
    const Run before = ctl({ QStringLiteral("get"), card, name }, config);
    QVERIFY(before.out != line);

    // Tried without storing: gone with the command.
    QCOMPARE(ctl({ QStringLiteral("--no-store"), QStringLiteral("set"), card, name + QLatin1Char('=') + value }, config).out, line);
    QCOMPARE(ctl({ QStringLiteral("get"), card, name }, config).out, before.out);

    // Stored: read back by a new process.
    const Run set = ctl({ QStringLiteral("set"), card, name + QLatin1Char('=') + value }, config);
    QCOMPARE(set.status, 0);
    QCOMPARE(set.out, line);
    QCOMPARE(ctl({ QStringLiteral("get"), card, name }, config).out, line);
}

void TestCtl::dependentChangesMatchTheWindow_data()
{
    using Window = std::function<void(VisibleZeltra&)>;
    QTest::addColumn<SimCard>("card");
    QTest::addColumn<QString>("change");
    QTest::addColumn<QStringList>("follow");
    QTest::addColumn<Window>("window");
    QTest::newRow("video input brings its audio input")
        << kPrism << "video-input=composite" << QStringList{ "audio-input", "video-input-ntsc-ire" }
        << Window([](VisibleZeltra& card) { VideoInputSettings(card).inputGroup()->button(16)->click(); });
    QTest::newRow("NTSC IRE shared by both video tabs")
        << kPrism << "video-input-ntsc-ire=japan" << QStringList{ "video-output-ntsc-ire", "betacam-levels" }
        << Window([](VisibleZeltra& card) { VideoInputSettings(card).ntscIreGroup()->button(2)->click(); });
    QTest::newRow("Chroma sets Cb and Cr")
        << kPrism << "video-input-chroma=0.5" << QStringList{ "video-input-cb", "video-input-cr" }
        << Window([](VisibleZeltra& card) { VideoInputSettings(card).chromaSlider()->setRealValue(0.5); });
    QTest::newRow("full duplex takes the partner away")
        << kDuoLink1 << "connector-mapping=full-duplex" << QStringList{ "connector-mapping" }
        << Window([](VisibleZeltra& card) {
               ConnectorsSettings tab(card);
               tab.connectorCombo()->setCurrentIndex(0);
               emit tab.connectorCombo()->activated(0);
           });
}

void TestCtl::dependentChangesMatchTheWindow()
{
    using Window = std::function<void(VisibleZeltra&)>;
    QFETCH(SimCard, card);
    QFETCH(QString, change);
    QFETCH(QStringList, follow);
    QFETCH(Window, window);
    VisibleZeltra* device = m_cards.device(card);
    QVERIFY(device);
    const QString index = QString::number(m_cards.devices().indexOf(device));
    const QStringList ids = [this] {
        QStringList list;
        for (VisibleZeltra* shown : m_cards.devices())
            list << QString::number(quint64(shown->getPersistentId()));
        return list;
    }();

    const QString config = freshConfig();
    const Run set = ctl({ QStringLiteral("--json"), QStringLiteral("set"), index, change }, config);
    QCOMPARE(set.status, 0);
    // A new process finds the card as the change left it (a pair in full
    // duplex is one sub-device, not one waiting for its partner).
    const Run got = ctl(QStringList{ QStringLiteral("--json"), QStringLiteral("get"), index } + follow, config);
    QCOMPARE(got.status, 0);
    const Run listed = ctl({ QStringLiteral("--json"), QStringLiteral("list") }, config);

    window(*device);
    const QString name = change.section(QLatin1Char('='), 0, 0);
    const QMap<QString, QString> expected = readAll(*device, follow + QStringList{ name });
    const QJsonValue applied = set.json().value(QStringLiteral("applied")).toArray().first();
    QCOMPARE(jsonText(applied.toObject().value(QStringLiteral("value"))), expected.value(name));
    const QJsonObject values = got.json().value(QStringLiteral("settings")).toObject();
    for (const QString& other : follow)
        QCOMPARE(other + QLatin1Char('=') + jsonText(values.value(other)), other + QLatin1Char('=') + expected.value(other));
    // A sub-device the card takes away leaves both the window's list and ondavia-ctl's.
    QTest::qWait(200);
    for (const QString& id : ids) {
        const bool shown = std::any_of(m_cards.devices().cbegin(), m_cards.devices().cend(),
                                       [&](VisibleZeltra* d) { return QString::number(quint64(d->getPersistentId())) == id; });
        bool listedToo = false;
        for (const QJsonValue& entry : listed.json().value(QStringLiteral("cards")).toArray())
            listedToo = listedToo || QString::number(entry.toObject().value(QStringLiteral("persistentId")).toString().toULongLong(nullptr, 16)) == id;
        if (!shown)
            QVERIFY2(!listedToo, qPrintable(id));
    }
    device->readFromPreferences();
}

void TestCtl::badValuesChangeNothing_data()
{
    QTest::addColumn<QString>("cards"); // empty: the built-in set
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("after"); // 'get' of the settings afterwards
    const QString prism = QStringLiteral("ondavia-ctl: card 1 (Ondavia Prism Analog): ");
    const QString untouched = QStringLiteral("betacam-levels = off\nvideo-input = component\n");
    QTest::newRow("out of range") << QString() << QStringList{ "1", "betacam-levels=on", "video-input-y=2" } << 2
                                  << prism + "setting 'video-input-y': '2' is not a number in -1.00..1.00" << untouched;
    QTest::newRow("too many decimals") << QString() << QStringList{ "1", "betacam-levels=on", "video-input-y=0.125" }
                                       << 2 << prism + "setting 'video-input-y'" << untouched;
    QTest::newRow("unknown value") << QString() << QStringList{ "1", "betacam-levels=on", "video-input=fibre" } << 2
                                   << prism + "setting 'video-input': 'fibre' is not one of sdi|hdmi|component|composite|s-video"
                                   << untouched;
    QTest::newRow("unknown setting") << QString() << QStringList{ "1", "betacam-levels=on", "gamma=2" } << 2
                                     << prism + "setting 'gamma': not a setting of this card" << untouched;
    QTest::newRow("not an address") << QString() << QStringList{ "1", "betacam-levels=on", "seller-email=Desk@Example" }
                                    << 2 << prism + "setting 'seller-email'" << untouched;
    QTest::newRow("no such card") << QString() << QStringList{ "14", "betacam-levels=on" } << 3
                                  << "ondavia-ctl: no card 14 (there are 14)" << untouched;
    // This card holds offsets up to 100 only: that one is refused, the
    // rest applied.
    QTest::newRow("refused by the card")
        << QStringLiteral(ONDAVIA_SOURCE_DIR "/tests/setup-videotabs/cards.json")
        << QStringList{ "3", "reference-offset=300", "default-video-standard=pal" } << 1
        << "ondavia-ctl: card 3 (Ondavia Test Narrow Reference): setting 'reference-offset': the card refused '300' and holds '0'"
        << "reference-offset = 0\ndefault-video-standard = pal\n";
}

void TestCtl::badValuesChangeNothing()
{
    QFETCH(QString, cards);
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, error);
    QFETCH(QString, after);
    const QString config = freshConfig();
    const Run set = ctl(QStringList{ QStringLiteral("set") } + arguments, config, cards);
    QCOMPARE(set.status, status);
    QVERIFY2(set.err.startsWith(error), qPrintable(set.err));
    QStringList names;
    for (const QString& line : after.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        names << line.section(QLatin1Char(' '), 0, 0);
    const QString card = cards.isEmpty() ? QStringLiteral("1") : arguments.first();
    QCOMPARE(ctl(QStringList{ QStringLiteral("get"), card } + names, config, cards).out, after);
}

void TestCtl::watchReportsChangesAndUnplug()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), freshConfig());
    QProcess watch;
    watch.setProcessEnvironment(environment);
    watch.start(QStringLiteral(ONDAVIA_BIN_DIR "/ondavia-ctl"),
                { QStringLiteral("--json"), QStringLiteral("watch"), QStringLiteral("1") });
    QVERIFY(watch.waitForStarted());
    const QString pid = QString::number(watch.processId());
    auto simctl = [&](const QStringList& arguments) {
        QProcess process;
        process.start(QStringLiteral(ONDAVIA_BIN_DIR "/zeltra-simctl"), QStringList{ QStringLiteral("--pid"), pid } + arguments);
        return process.waitForFinished(10000) && process.exitCode() == 0;
    };
    // A new input format changes what the list view would show; sent again
    // until the program, still finding its cards at first, reports it.
    QByteArray lines;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; !lines.contains("video-in") && clock.elapsed() < 15000; ++i) {
        simctl({ QStringLiteral("format"), QStringLiteral("1"), i % 2 ? QStringLiteral("Hp25") : QStringLiteral("Hi50") });
        QTest::qWait(200);
        lines += watch.readAllStandardOutput();
    }
    const QJsonObject event = QJsonDocument::fromJson(lines.split('\n').first()).object();
    QCOMPARE(event.value(QStringLiteral("event")).toString(), QStringLiteral("stat"));
    QVERIFY(event.value(QStringLiteral("value")).toString().startsWith(QStringLiteral("Component: 1080")));

    // The program may end before zeltra-simctl hears back from it.
    simctl({ QStringLiteral("unplug"), QStringLiteral("1") });
    QVERIFY(watch.waitForFinished(10000));
    QCOMPARE(watch.exitStatus(), QProcess::NormalExit);
    QCOMPARE(watch.exitCode(), 3);
    QCOMPARE(watch.readAllStandardError(), QByteArray("ondavia-ctl: card 1 (Ondavia Prism Analog): the card was unplugged\n"));
}

void TestCtl::windowAndCommandLineShareTheCard()
{
    // The command line on this process's card set: what it stores reaches
    // the open tab, survives a re-plug, and the tab's changes reach its watch.
    VideoOutputSettings tab(*m_cards.device(kPrism));
    const int freeze = int(zeltraCode("lafa"));
    const int black = int(zeltraCode("blac"));
    QCOMPARE(tab.playbackGroup()->checkedId(), black);
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(ctl({ QStringLiteral("set"), QStringLiteral("1"), QStringLiteral("video-playback=freeze-frame") }).status, 0);
    QTRY_COMPARE_WITH_TIMEOUT(tab.playbackGroup()->checkedId(), freeze, 1000);
    qInfo("the open tab showed the change %lld ms after ondavia-ctl started", qint64(clock.elapsed()));

    QVERIFY(SimCtl::run({ QStringLiteral("unplug"), QStringLiteral("1") }));
    QTRY_VERIFY(!m_cards.device(kPrism));
    QVERIFY(SimCtl::run({ QStringLiteral("plug"), QStringLiteral("1") }));
    QTRY_VERIFY(m_cards.device(kPrism));
    // Plugged again it comes last: named by its persistent id.
    const QString prism = QString::number(quint64(kPrism.persistentId), 16).prepend(QStringLiteral("0x"));
    QCOMPARE(ctl({ QStringLiteral("get"), prism, QStringLiteral("video-playback") }).out,
             QStringLiteral("video-playback = freeze-frame\n"));

    VideoOutputSettings again(*m_cards.device(kPrism));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    QProcess watch;
    watch.setProcessEnvironment(environment);
    watch.start(QStringLiteral(ONDAVIA_BIN_DIR "/ondavia-ctl"),
                { QStringLiteral("--json"), QStringLiteral("watch"), prism });
    QVERIFY(watch.waitForStarted());
    // Up once its simulator answers for it.
    QTRY_VERIFY_WITH_TIMEOUT(SimCtl::run({ QStringLiteral("status"), QStringLiteral("1") }) &&
                                 QFile::exists(QString::fromLocal8Bit(qgetenv("XDG_RUNTIME_DIR"))
                                               + QStringLiteral("/zeltra-simulator/%1.sock").arg(watch.processId())),
                             10000);
    QTest::qWait(300);
    again.playbackGroup()->button(black)->click();
    QByteArray lines;
    QTRY_VERIFY_WITH_TIMEOUT((lines += watch.readAllStandardOutput()).contains("\"video-playback\""), 1000);
    QVERIFY(lines.contains("\"black\""));
    watch.terminate();
    QVERIFY(watch.waitForFinished(5000));
    QCOMPARE(watch.exitCode(), 0);
}

void TestCtl::reportWritesTheAboutTabsReport()
{
    const QString file = m_home.filePath(QStringLiteral("report.html"));
    const Run run = ctl({ QStringLiteral("report"), QStringLiteral("0"), file }, freshConfig());
    QCOMPARE(run.status, 0);
    QFile report(file);
    QVERIFY(report.open(QIODevice::ReadOnly));
    const QByteArray html = report.readAll();
    QVERIFY(html.contains("Morvane System Report"));
    QVERIFY(html.contains("Ondavia Meridian 4K"));
    QCOMPARE(ctl({ QStringLiteral("report"), QStringLiteral("0"), m_home.filePath(QStringLiteral("no/such/dir.html")) }).status, 2);
}

QTEST_MAIN(TestCtl)
#include "tst_ctl.moc"
