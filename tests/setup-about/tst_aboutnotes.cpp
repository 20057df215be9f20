// The About tab's product notes and documentation buttons, and a report of
// hostile card and system texts, over the test's own two cards.

#include "aboutfixture.h"
#include "cardsection.h"
#include "settingslabel.h"
#include "settingspage.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QLineEdit>

class TestAboutNotes : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void notesFromCard();
    void noteLengthLimit();
    void emailWrittenOnlyWhenComplete();
    void hostileTextsAreInert();
    void missingDocumentation_data();
    void missingDocumentation();

private:
    VisibleZeltra& notesCard() const { return *m_cards.device(QStringLiteral("Ondavia Test Notes")); }
    VisibleZeltra& hostileCard() const { return *m_cards.device(QStringLiteral("<script>alert(1)</script>")); }

    CardFixture m_cards;
};

void TestAboutNotes::initTestCase()
{
    QVERIFY(m_cards.start(QByteArray(ONDAVIA_TEST_DATA_DIR "/cards.json"), 2));
    QVERIFY(m_cards.device(QStringLiteral("Ondavia Test Notes")));
    QVERIFY(m_cards.device(QStringLiteral("<script>alert(1)</script>")));
}

void TestAboutNotes::notesFromCard()
{
    AboutSettings tab(notesCard());
    tab.show();
    QStringList texts;
    for (QLineEdit* edit : tab.noteEdits())
        texts << edit->text();
    QCOMPARE(texts, (QStringList{"Edit bay 2", "SN-0042", "Northwind Video", "+1 555 0100", "desk@example.org",
                                 "2 March 2026"}));
    QVERIFY(tab.notesSection()->isVisible());
    QCOMPARE(tab.driverLabel()->text(), QStringLiteral("4.8.2"));

    // Nowhere to keep them: the section is not offered.
    AboutSettings without(hostileCard());
    without.show();
    QVERIFY(!without.notesSection()->isVisible());
}

void TestAboutNotes::noteLengthLimit()
{
    AboutSettings tab(notesCard());
    tab.show();
    QLineEdit* label = tab.noteEdits().at(0);
    label->setText(QString(AboutSettings::kMaxNoteLength - 1, QLatin1Char('n')));
    label->setFocus();
    label->end(false);
    // The 4096th character is typed and written; the 4097th is refused.
    QTest::keyClicks(label, QStringLiteral("xy"));
    QCOMPARE(label->text().size(), AboutSettings::kMaxNoteLength);
    QCOMPARE(notesCard().getInformationLabel().size(), AboutSettings::kMaxNoteLength);
    notesCard().setInformationLabel(QStringLiteral("Edit bay 2"));
}

void TestAboutNotes::emailWrittenOnlyWhenComplete()
{
    AboutSettings tab(notesCard());
    tab.show();
    QLineEdit* email = tab.noteEdits().at(4);
    email->setFocus();
    email->selectAll();
    QTest::keyClicks(email, QStringLiteral("sales@"));
    QCOMPARE(tab.settingsStatus(), SettingsPage::Invalid);
    QCOMPARE(notesCard().getInformationEMail(), QStringLiteral("desk@example.org"));

    // A refresh from the card keeps the address being typed.
    tab.onPropertyChanged();
    QCOMPARE(email->text(), QStringLiteral("sales@"));

    QTest::keyClicks(email, QStringLiteral("example.org"));
    QVERIFY(tab.settingsStatus() != SettingsPage::Invalid);
    QCOMPARE(notesCard().getInformationEMail(), QStringLiteral("sales@example.org"));
    notesCard().setInformationEMail(QStringLiteral("desk@example.org"));
}

void TestAboutNotes::hostileTextsAreInert()
{
    // A host name made of markup; the other commands are missing.
    QTemporaryDir bin;
    QFile hostname(bin.filePath(QStringLiteral("hostname")));
    QVERIFY(hostname.open(QIODevice::WriteOnly));
    hostname.write("#!/bin/sh\necho 'bay & <b>7</b> \"q\"'\n");
    hostname.close();
    QVERIFY(hostname.setPermissions(QFile::ReadOwner | QFile::ExeOwner));
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(bin.path()));

    AboutSettings tab(hostileCard());
    const QString file = QDir(m_cards.home()).filePath(QStringLiteral("hostile.html"));
    const ReportRun run = createReport(tab, file);
    qputenv("PATH", path);
    QCOMPARE(run.messages, QStringList());

    QFile saved(file);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QString report = QString::fromUtf8(saved.readAll());
    QVERIFY(!report.contains(QStringLiteral("<script")));
    QVERIFY(!report.contains(QStringLiteral("<b>")));
    QVERIFY(report.contains(QStringLiteral("&lt;script&gt;alert(1)&lt;/script&gt;")));
    QVERIFY(report.contains(QStringLiteral("bay &amp; &lt;b&gt;7&lt;/b&gt; &quot;q&quot;")));
    // Only this step needs the checker; everything above ran without it.
    if (QStandardPaths::findExecutable(QStringLiteral("tidy")).isEmpty())
        QSKIP("tidy is not installed (scripts/install-deps adds it); the contents were checked");
    const QString complaints = tidyComplaints(file);
    QVERIFY2(complaints.isEmpty(), qPrintable(complaints));
}

void TestAboutNotes::missingDocumentation_data()
{
    QTest::addColumn<int>("id");
    QTest::newRow("manual") << 0;
    QTest::newRow("read-me") << 1;
}

void TestAboutNotes::missingDocumentation()
{
    QFETCH(int, id);
    const QString path = AboutSettings::documentationPath(id);
    if (QFileInfo::exists(path))
        QSKIP("the suite's documentation is installed here; pressing would open a viewer");
    AboutSettings tab(notesCard());
    QStringList messages;
    DialogAnswerer answerer([&](QDialog* dialog) {
        if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
            messages << box->text();
            box->accept();
            return true;
        }
        return false;
    });
    tab.documentationGroup()->button(id)->click();
    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages.constFirst().contains(path), qPrintable(messages.constFirst()));
    // Opening a document is no change to the card.
    QCOMPARE(tab.settingsStatus(), SettingsPage::Unchanged);
}

QTEST_MAIN(TestAboutNotes)
#include "tst_aboutnotes.moc"
