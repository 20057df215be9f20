// The About tab over the simulator's built-in cards: the report of every
// card as the user saves it, and what a cancelled or failed save leaves.

#include "aboutfixture.h"
#include "productcard.h"
#include "systeminfo.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace {

class PaintCounter : public QObject
{
public:
    PaintCounter(int* count, QObject* parent) : QObject(parent), m_count(count) {}
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++*m_count;
        return false;
    }

private:
    int* m_count;
};

// Cards of the built-in set that the setup utility shows.
int shownDefaultCards()
{
    QFile file(QStringLiteral(ONDAVIA_DEFAULT_CARDS));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    int shown = 0;
    const QJsonArray cards = QJsonDocument::fromJson(file.readAll()).object().value(QStringLiteral("cards")).toArray();
    for (const QJsonValue& card : cards) {
        const QJsonObject ints =
            card.toObject().value(QStringLiteral("attributes")).toObject().value(QStringLiteral("ints")).toObject();
        if (card.toObject().value(QStringLiteral("present")).toBool(true)
            && !kExcludedDevices.contains(quint64(ints.value(QStringLiteral("rvid")).toInt())))
            ++shown;
    }
    return shown;
}

QString readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QString tableHeading(const QString& name)
{
    return QStringLiteral("<h4>%1</h4>").arg(name);
}

} // namespace

class TestAboutReport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void reportOfEveryCard_data();
    void reportOfEveryCard();
    void reportRows_data();
    void reportRows();
    void commandThatHangs_data();
    void commandThatHangs();
    void cancelWritesNothing();
    void unwritableLocation();
    void renderTabs();
    void renderReports();

private:
    CardFixture m_cards;
};

void TestAboutReport::initTestCase()
{
    initialiseStaticData();
    QVERIFY(m_cards.start(QByteArray(), shownDefaultCards()));
}

void TestAboutReport::reportOfEveryCard_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QStringList>("absent");
    QTest::addColumn<QList<int>>("edidLines");

    // What some cards are there to show; every other card only has to make
    // a valid page.
    struct Expectation
    {
        QStringList present, absent;
        QList<int> edidLines;
    };
    const QMap<QString, Expectation> expected = {
        {QStringLiteral("Ondavia Meridian 4K"),
         {{"Video Input", "Reference", "Video Output", "HDMI EDID Data Received", "PCIe Status", "Video Options"},
          {},
          {36, 36, 36, 36, 28}}},
        {QStringLiteral("Ondavia Beacon Play"),
         {{"Video Output", "HDMI EDID Data Received"}, {"Video Input", "Reference"}, {36, 36, 36, 28}}},
        {QStringLiteral("Ondavia Pocket Capture"),
         {{"Video Input"}, {"Video Output", "HDMI EDID Data Received", "PCIe Status"}, {}}},
    };
    for (int i = 0; i < m_cards.devices().size(); ++i) {
        const QString model = m_cards.devices().at(i)->modelName();
        const Expectation e = expected.value(model);
        QTest::addRow("%d %s", i, qPrintable(model)) << i << e.present << e.absent << e.edidLines;
    }
}

void TestAboutReport::reportOfEveryCard()
{
    QFETCH(int, index);
    QFETCH(QStringList, present);
    QFETCH(QStringList, absent);
    QFETCH(QList<int>, edidLines);

    VisibleZeltra& device = *m_cards.devices().at(index);
    AboutSettings tab(device);
    const QString path = QDir(m_cards.home()).filePath(QStringLiteral("report-%1.html").arg(index));
    const ReportRun run = createReport(tab, path);
    QCOMPARE(run.dialogs, QStringList{QStringLiteral("QFileDialog")});
    QCOMPARE(run.messages, QStringList());
    QCOMPARE(run.title, QStringLiteral("Save Status Report"));
    QCOMPARE(run.filters, QStringList{QStringLiteral("Status report files (*.html)")});
    const QRegularExpression proposal(QStringLiteral("^%1/Morvane_Ondavia_Status_Report_\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d\\.html$")
                                          .arg(QRegularExpression::escape(m_cards.home())));
    QVERIFY2(proposal.match(run.proposed).hasMatch(), qPrintable(run.proposed));

    const QString report = readAll(path);
    QVERIFY(report.contains(device.modelName().toHtmlEscaped()));
    for (const QString& table : present)
        QVERIFY2(report.contains(tableHeading(table)), qPrintable(table));
    for (const QString& table : absent)
        QVERIFY2(!report.contains(tableHeading(table)), qPrintable(table));

    if (!edidLines.isEmpty()) {
        const QRegularExpression block(QStringLiteral("monospace;\">([A-Za-z0-9+/=<>]+)</p>"));
        const QRegularExpressionMatch match = block.match(report);
        QVERIFY(match.hasMatch());
        QList<int> lengths;
        for (const QString& line : match.captured(1).split(QStringLiteral("<br/>")))
            lengths << line.size();
        QCOMPARE(lengths, edidLines);
    }

    // Only this step needs the checker; everything above ran without it.
    if (QStandardPaths::findExecutable(QStringLiteral("tidy")).isEmpty())
        QSKIP("tidy is not installed (scripts/install-deps adds it); the contents were checked");
    const QString complaints = tidyComplaints(path);
    QVERIFY2(complaints.isEmpty(), qPrintable(complaints));
}

void TestAboutReport::reportRows_data()
{
    // What the built-in cards hold (simulators/cardapi/default-cards.json)
    // and the stand-in computer says, as the report's rows show it.
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("col1");
    QTest::addColumn<QString>("col2");
    const auto row = [](const char* model, const char* col1, const char* col2) {
        QTest::addRow("%s: %s %s", model, col1, col2) << QString::fromUtf8(model) << QString::fromUtf8(col1)
                                                       << QString::fromUtf8(col2);
    };
    row("Ondavia Meridian 4K", "Link Speed", "8 Gbps");
    row("Ondavia Meridian 4K", "Link Width", "4x");
    row("Ondavia Meridian 4K", "PCI", "");
    row("Ondavia Meridian 4K", "HDMI", "1080p25, 10-bit YUV 4:2:2");
    row("Ondavia Prism Analog", "Link Speed", "5 Gbps");
    row("Ondavia Prism Analog", "Thunderbolt", "");
    row("Ondavia Deckhand", "Link Speed", "2.5 Gbps");
    row("Ondavia Deckhand", "1080i59.94", "Locked");
    row("Ondavia Deckhand", "Capture 1080p as PsF", "Disabled");
    row("Ondavia Meridian 4K", "-", "-"); // reference not locked
    row("Ondavia Pocket Capture", "USB", "");
    row("Ondavia Beacon Play", "HDMI", "1080PsF25, 8-bit BGRA");
    row("Ondavia Beacon Play", "Output 1080p as PsF", "Enabled");
}

void TestAboutReport::reportRows()
{
    QFETCH(QString, model);
    QFETCH(QString, col1);
    QFETCH(QString, col2);
    VisibleZeltra* device = m_cards.device(model);
    QVERIFY(device);
    StandInCommands commands(StandInCommands::answering());
    AboutSettings tab(*device);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("rows.html"));
    QCOMPARE(createReport(tab, path).messages, QStringList());
    const QString report = readAll(path);
    const QString cells = QStringLiteral("<p style=\"\">%1</p></td><td><p style=\"\">%2</p>").arg(col1, col2);
    QVERIFY2(report.contains(cells), qPrintable(report.section(QStringLiteral("<body"), 1)));

    // The computer's part, the same on every card's report.
    QFile meminfo(QStringLiteral("/proc/meminfo"));
    QVERIFY(meminfo.open(QIODevice::ReadOnly));
    const QByteArray total = meminfo.readLine().simplified(); // "MemTotal: N kB"
    const QString mebibytes = QString::number(total.split(' ').value(1).toULongLong() / 1024);
    for (const QString& value : {QStringLiteral("studio-7"), QStringLiteral("Fictional OS 3 (9.1.0)"),
                                 mebibytes + QStringLiteral(" MiB"), QStringLiteral("12")})
        QVERIFY2(report.contains(QStringLiteral("<p class=\"value\">%1</p>").arg(value)), qPrintable(value));
}

void TestAboutReport::commandThatHangs_data()
{
    QTest::addColumn<QString>("meanwhile");
    QTest::addColumn<bool>("written");
    QTest::newRow("card closes") << "close card" << false;
    QTest::newRow("tab goes") << "delete tab" << false;
    QTest::newRow("command given up") << "wait" << true;
}

void TestAboutReport::commandThatHangs()
{
    // "hostname" never exits; the report waits for it without blocking the
    // window, and only writes once it has been given up.
    QFETCH(QString, meanwhile);
    QFETCH(bool, written);
    QMap<QString, QByteArray> bodies = StandInCommands::answering();
    bodies[QStringLiteral("hostname")] = "exec /bin/sleep 30";
    StandInCommands commands(bodies);
    // Long enough that a slow machine still opens and answers the save
    // dialog well within it.
    const int limit = 4000;
    SystemInfo::overrideForTesting(limit, {});
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("report.html"));

    QWidget window;
    window.resize(700, 800);
    QPointer<ProductCard> card = new ProductCard(m_cards.devices().constFirst(), &window, Qt::darkGray);
    QPointer<AboutSettings> tab = new AboutSettings(*m_cards.devices().constFirst(), card->body());
    tab->resize(600, 600);
    card->placeOverWindow();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // Back from the click while the command still runs.
    createReport(*tab, path, false);
    QVERIFY(tab->isCreatingReport());
    QVERIFY(!tab->reportButton()->isEnabled());

    // The window still draws while the command hangs.
    int paints = 0;
    auto* counter = new PaintCounter(&paints, tab);
    tab->installEventFilter(counter);
    tab->update();
    QTRY_VERIFY_WITH_TIMEOUT(paints > 0, 1000);
    QVERIFY(tab->isCreatingReport());

    if (meanwhile == QLatin1String("close card"))
        card->closeCard();
    else if (meanwhile == QLatin1String("delete tab"))
        delete tab;
    QTest::qWait(limit + 1500); // past the command's limit
    SystemInfo::overrideForTesting(0, {});
    QCOMPARE(QFileInfo::exists(path), written);
    // Nothing half-done either: no temporary file beside it.
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), written ? 1 : 0);
    if (written) {
        QVERIFY(!tab->isCreatingReport());
        QVERIFY(tab->reportButton()->isEnabled());
        QVERIFY(readAll(path).contains(QStringLiteral("<p class=\"value\"></p>"))); // no machine name
    }
    delete card;
}

void TestAboutReport::cancelWritesNothing()
{
    AboutSettings tab(*m_cards.devices().constFirst());
    const QStringList before = QDir(m_cards.home()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    const ReportRun run = createReport(tab, QString());
    QCOMPARE(run.dialogs, QStringList{QStringLiteral("QFileDialog")});
    QCOMPARE(run.messages, QStringList());
    QCOMPARE(QDir(m_cards.home()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
}

void TestAboutReport::unwritableLocation()
{
    // A folder's place taken by a plain file: not writable even for root.
    QTemporaryDir dir;
    QFile blocker(dir.filePath(QStringLiteral("not-a-folder")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString path = blocker.fileName() + QStringLiteral("/report.html");

    AboutSettings tab(*m_cards.devices().constFirst());
    const QStringList before = QDir(m_cards.home()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    const ReportRun run = createReport(tab, path);
    QCOMPARE(run.dialogs, (QStringList{QStringLiteral("QFileDialog"), QStringLiteral("QMessageBox")}));
    QCOMPARE(run.messages.size(), 1);
    QVERIFY2(run.messages.constFirst().contains(path), qPrintable(run.messages.constFirst()));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("not-a-folder")});
    QCOMPARE(QFileInfo(blocker.fileName()).size(), 0);
    QCOMPARE(QDir(m_cards.home()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
}

// Pictures of the tab for review, in <build>/tests/pictures.
void TestAboutReport::renderTabs()
{
    QVERIFY(QDir().mkpath(QStringLiteral(ONDAVIA_PICTURES_DIR)));
    for (const QString& model : {QStringLiteral("Ondavia Meridian 4K"), QStringLiteral("Ondavia Pocket Capture")}) {
        VisibleZeltra* device = m_cards.device(model);
        QVERIFY(device);
        AboutSettings tab(*device);
        tab.resize(660, 700);
        tab.show();
        QTest::qWait(200);
        const QString name = QStringLiteral(ONDAVIA_PICTURES_DIR "/about-%1.png")
                                 .arg(model.toLower().replace(QLatin1Char(' '), QLatin1Char('-')));
        QVERIFY(tab.grab().save(name));
        qInfo().noquote() << "wrote" << name;
    }
}

// The reports of four kinds of card as a browser shows them, for review,
// in <build>/tests/pictures.
void TestAboutReport::renderReports()
{
    QString browser;
    for (const char* name : {"chromium", "chromium-browser"}) {
        if (browser.isEmpty())
            browser = QStandardPaths::findExecutable(QString::fromLatin1(name));
    }
    if (browser.isEmpty())
        QSKIP("chromium is not installed (scripts/install-deps adds it)");
    QVERIFY(QDir().mkpath(QStringLiteral(ONDAVIA_PICTURES_DIR)));
    QTemporaryDir profile;
    for (const QString& model : {QStringLiteral("Ondavia Meridian 4K"), QStringLiteral("Ondavia Beacon Play"),
                                 QStringLiteral("Ondavia Deckhand"), QStringLiteral("Ondavia Pocket Capture")}) {
        VisibleZeltra* device = m_cards.device(model);
        QVERIFY(device);
        AboutSettings tab(*device);
        const QString slug = model.toLower().replace(QLatin1Char(' '), QLatin1Char('-'));
        const QString html = QDir(m_cards.home()).filePath(slug + QStringLiteral(".html"));
        QCOMPARE(createReport(tab, html).messages, QStringList());
        const QString png = QStringLiteral(ONDAVIA_PICTURES_DIR "/report-%1.png").arg(slug);
        QFile::remove(png);
        QProcess chromium;
        chromium.start(browser, {QStringLiteral("--headless"), QStringLiteral("--no-sandbox"),
                                 QStringLiteral("--disable-gpu"), QStringLiteral("--hide-scrollbars"),
                                 QStringLiteral("--user-data-dir=") + profile.path(),
                                 QStringLiteral("--window-size=1280,900"), QStringLiteral("--screenshot=") + png,
                                 QUrl::fromLocalFile(html).toString()});
        QVERIFY2(chromium.waitForFinished(30000), "chromium did not finish");
        QVERIFY2(QFileInfo(png).size() > 0, qPrintable(QString::fromLocal8Bit(chromium.readAllStandardError())));
        qInfo().noquote() << "wrote" << png;
    }
}

QTEST_MAIN(TestAboutReport)
#include "tst_aboutreport.moc"
