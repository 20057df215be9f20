#include "qtexttemplate.h"
#include "statusreport.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

class TestAboutTemplate : public QObject
{
    Q_OBJECT

private slots:
    void render_data();
    void render();
    void clearAfterRender();
    void loadMissingFile();
    void reportTemplatesAreBundled_data();
    void reportTemplatesAreBundled();
    void filledPageIsValidHtml();
    void reportFileName();
    void edidLines();
};

void TestAboutTemplate::render_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("escape");
    QTest::addColumn<QString>("expected");

    QTest::newRow("missing value is empty") << "[${a}|${none}]" << "x" << true << "[x|]";
    QTest::newRow("repeated placeholder") << "${a}-${a}-${a}" << "7" << true << "7-7-7";
    QTest::newRow("value holding a placeholder is not expanded again")
        << "${a}${b}" << "${b}" << true << "${b}B";
    QTest::newRow("escaped value is inert") << "<p>${a}</p>" << "<script>alert(1)</script> & \""
                                             << true << "<p>&lt;script&gt;alert(1)&lt;/script&gt; &amp; &quot;</p>";
    QTest::newRow("unescaped value goes in as it is") << "${a}" << "<tr/>" << false << "<tr/>";
    QTest::newRow("unclosed placeholder stays text") << "${a" << "x" << true << "${a";
}

void TestAboutTemplate::render()
{
    QFETCH(QString, text);
    QFETCH(QString, value);
    QFETCH(bool, escape);
    QFETCH(QString, expected);
    QTextTemplate t;
    t.setText(text);
    t.setValue(QStringLiteral("a"), value, escape);
    t.setValue(QStringLiteral("b"), QStringLiteral("B"));
    QCOMPARE(t.render(), expected);
}

void TestAboutTemplate::clearAfterRender()
{
    QTextTemplate keeping(false);
    QTextTemplate clearing(true);
    for (QTextTemplate* t : {&keeping, &clearing}) {
        t->setText(QStringLiteral("<${a}>"));
        t->setValue(QStringLiteral("a"), QStringLiteral("1"));
        QCOMPARE(t->render(), QStringLiteral("<1>"));
    }
    QCOMPARE(keeping.render(), QStringLiteral("<1>"));
    QCOMPARE(clearing.render(), QStringLiteral("<>"));
}

void TestAboutTemplate::loadMissingFile()
{
    QTemporaryDir dir;
    QTextTemplate t;
    t.setText(QStringLiteral("old"));
    QVERIFY(!t.load(dir.filePath(QStringLiteral("absent.html"))));
    QCOMPARE(t.render(), QString());
}

void TestAboutTemplate::reportTemplatesAreBundled_data()
{
    QTest::addColumn<QString>("resource");
    QTest::addColumn<QStringList>("placeholders");
    QTest::newRow("page") << ":/SystemReport"
                          << QStringList{"OndaviaVersion", "DeviceModelName", "VideoInputTable",
                                         "ReferenceTable", "VideoOutputTable", "EDIDTable",
                                         "VideoOptionsTable", "DeviceInterfaceTable", "PCIeStatusTable",
                                         "MachineName", "OperatingSystem", "PhysicalMemory",
                                         "PhysicalProcessors", "HardwareModelTable"};
    QTest::newRow("table") << ":/SystemReportTable" << QStringList{"TableName", "TableRows"};
    QTest::newRow("row") << ":/SystemReportTableRow" << QStringList{"Col1Style", "Col1", "Col2Style", "Col2"};
}

void TestAboutTemplate::reportTemplatesAreBundled()
{
    QFETCH(QString, resource);
    QFETCH(QStringList, placeholders);
    QTextTemplate t;
    QVERIFY2(t.load(resource), qPrintable(resource));
    const QString text = t.render();
    // Rendered without values no placeholder is left, so each one is present
    // exactly where the raw file has it.
    QFile raw(resource);
    QVERIFY(raw.open(QIODevice::ReadOnly));
    const QString source = QString::fromUtf8(raw.readAll());
    for (const QString& name : placeholders)
        QVERIFY2(source.contains("${" + name + "}"), qPrintable(name));
    QVERIFY(!text.contains(QStringLiteral("${")));
    // Self-contained: no style sheet or font fetched from elsewhere.
    QVERIFY(!source.contains(QStringLiteral("http")));
}

// The three templates put together as the report does, checked by tidy.
void TestAboutTemplate::filledPageIsValidHtml()
{
    const QString tidy = QStandardPaths::findExecutable(QStringLiteral("tidy"));
    if (tidy.isEmpty())
        QSKIP("tidy is not installed (scripts/install-deps adds it)");
    QTextTemplate page(false), table(true), row(true);
    QVERIFY(page.load(QStringLiteral(":/SystemReport")));
    QVERIFY(table.load(QStringLiteral(":/SystemReportTable")));
    QVERIFY(row.load(QStringLiteral(":/SystemReportTableRow")));
    row.setValue(QStringLiteral("Col1"), QStringLiteral("AAAA<br/>BBBB"), false);
    row.setValue(QStringLiteral("Col1Style"), QStringLiteral("font-family: monospace;"));
    QString rows = row.render();
    row.setValue(QStringLiteral("Col1"), QStringLiteral("SDI & <HDMI>"));
    row.setValue(QStringLiteral("Col2"), QStringLiteral("\"1080p\""));
    rows += row.render();
    table.setValue(QStringLiteral("TableName"), QStringLiteral("Video <Input>"));
    table.setValue(QStringLiteral("TableRows"), rows, false);
    page.setValue(QStringLiteral("EDIDTable"), table.render(), false);
    page.setValue(QStringLiteral("OndaviaVersion"), QStringLiteral("Ondavia 1.0"));
    page.setValue(QStringLiteral("DeviceModelName"), QStringLiteral("Card \"A\" & B"));
    page.setValue(QStringLiteral("MachineName"), QStringLiteral("<script>alert(1)</script>"));

    QTemporaryDir dir;
    QFile out(dir.filePath(QStringLiteral("report.html")));
    QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Text));
    const QString html = page.render();
    QVERIFY(!html.contains(QStringLiteral("<script>")));
    out.write(html.toUtf8());
    out.close();
    QProcess p;
    p.start(tidy, {QStringLiteral("-errors"), QStringLiteral("-q"), out.fileName()});
    QVERIFY(p.waitForFinished(20000));
    QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
}

void TestAboutTemplate::reportFileName()
{
    const QDateTime when(QDate(2026, 3, 2), QTime(14, 5, 9));
    QCOMPARE(StatusReport::fileName(when), QStringLiteral("Morvane_Ondavia_Status_Report_2026-03-02_14-05-09.html"));
}

void TestAboutTemplate::edidLines()
{
    QByteArray edid(100, '\0');
    for (int i = 0; i < edid.size(); ++i)
        edid[i] = char(i * 37);
    const QStringList lines = StatusReport::edidText(edid).split(QStringLiteral("<br/>"));
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines.join(QString()).size(), 136);
    QCOMPARE((QVector<int>{lines[0].size(), lines[1].size(), lines[2].size(), lines[3].size()}),
        (QVector<int>{36, 36, 36, 28}));
    QCOMPARE(QByteArray::fromBase64(lines.join(QString()).toLatin1()), edid);
}

QTEST_GUILESS_MAIN(TestAboutTemplate)
#include "tst_abouttemplate.moc"
