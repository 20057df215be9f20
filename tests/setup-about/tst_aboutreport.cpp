// The About tab over the simulator's built-in cards: the report of every
// card as the user saves it, and what a cancelled or failed save leaves.

#include "aboutfixture.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace {

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
    if (QStandardPaths::findExecutable(QStringLiteral("tidy")).isEmpty())
        QSKIP("tidy is not installed (scripts/install-deps adds it)");

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
    const QString complaints = tidyComplaints(path);
    QVERIFY2(complaints.isEmpty(), qPrintable(complaints));
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
