// The setup utility in German on a real X server: the main window (gallery
// and list) and every tab of every built-in card's settings window, each
// rendered, with every text in full, none lying over another and none left
// in English. At a scale factor of 2 the pictures are the sharp ones.

#include "windowfixture.h"

#include "textcheck.h"
#include "uilanguage.h"

#include "aboutsettings.h"
#include "cardfooter.h"
#include "commondialog.h"
#include "dialoganswerer.h"
#include "cardpushbutton.h"
#include "flatimagebutton.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>

#include "xserverprobe.h"


using namespace SettingsWindow;

class TestI18nSetup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();
    void mainWindow();
    void everyCard_data();
    void everyCard();
    void dialogs();

private:
    void check(QWidget* widget, const QString& what);
    void render(QWidget* widget, const QString& name);

    Fixture m_fixture;
    QSet<QString> m_english;
    QString m_renderDir;
    bool m_dense = false;
};

void TestI18nSetup::initTestCase()
{
    const QString language = UiLanguage::install(qApp, QStringLiteral("OndaviaSetup"), [](const char* name) {
        return qstrcmp(name, "LANGUAGE") == 0 ? QStringLiteral("de") : QString();
    });
    QCOMPARE(language, QStringLiteral("de"));
    m_english = TextCheck::translatedSources(QStringLiteral(ONDAVIA_CATALOGUE_DIR "/OndaviaSetup_de.ts"));
    QVERIFY(m_english.size() > 100);
    m_dense = qApp->devicePixelRatio() > 1.0;
    m_renderDir = qEnvironmentVariable("ONDAVIA_RENDER_DIR", QDir::currentPath());
    QVERIFY(QDir().mkpath(m_renderDir));
    QVERIFY(m_fixture.start());
}

void TestI18nSetup::cleanupTestCase()
{
    m_fixture.stop();
}

void TestI18nSetup::cleanup()
{
    if (ZeltraProductCard* card = m_fixture.openCard())
        card->settingsPage()->footer()->cancelButton()->click();
    QTest::qWait(50);
}

void TestI18nSetup::check(QWidget* widget, const QString& what)
{
    const QStringList problems = TextCheck::problems(widget) + TextCheck::english(widget, m_english);
    QVERIFY2(problems.isEmpty(), qPrintable(what + QStringLiteral(":\n  ") + problems.join(QStringLiteral("\n  "))));
}

void TestI18nSetup::render(QWidget* widget, const QString& name)
{
    const QString file = name + (m_dense ? QStringLiteral("@2x.png") : QStringLiteral(".png"));
    QVERIFY(widget->grab().save(QDir(m_renderDir).filePath(file)));
}

void TestI18nSetup::mainWindow()
{
    ZeltraAdminUtilityWindow* window = m_fixture.window;
    QTest::qWait(100);
    render(window, QStringLiteral("main-gallery"));
    check(window, QStringLiteral("gallery"));
    QCOMPARE(window->galleryView()->setupButton()->toolTip(), QStringLiteral("Einstellungen"));
    if (m_dense) {
        // Drawn for the screen: the gear and the card picture carry twice
        // the pixels of their logical size.
        QCOMPARE(window->galleryView()->setupButton()->currentImage().devicePixelRatio(), 2.0);
        auto* device = dynamic_cast<VisibleZeltra*>(window->deviceList().deviceAt(0));
        QVERIFY(device);
        QCOMPARE(device->modelImage().devicePixelRatio(), 2.0);
    }
    QVERIFY(QMetaObject::invokeMethod(window, "onListViewSelected"));
    QTest::qWait(200);
    render(window, QStringLiteral("main-list"));
    check(window, QStringLiteral("list"));
    QVERIFY(QMetaObject::invokeMethod(window, "onGalleryViewSelected"));
    QTest::qWait(200);
}

void TestI18nSetup::everyCard_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<quint64>("persistentId");
    QList<ListedCard> cards = m_fixture.shownCards();
    // At scale 2 one card with every tab shows what there is to see.
    if (m_dense)
        cards = cards.mid(12, 1);
    for (const ListedCard& card : qAsConst(cards))
        QTest::addRow("%02d %s", card.index, qPrintable(card.name)) << card.index << card.persistentId;
}

void TestI18nSetup::everyCard()
{
    QFETCH(int, index);
    QFETCH(quint64, persistentId);
    QTRY_VERIFY_WITH_TIMEOUT(m_fixture.device(persistentId), 10000);
    VisibleZeltra* device = m_fixture.device(persistentId);
    QPointer<ZeltraProductCard> card = m_fixture.open(device);
    QVERIFY(card);
    ZeltraSettingsPage& page = *card->settingsPage();
    QTest::qWait(100);
    QCOMPARE(page.footer()->saveButton()->text(), QStringLiteral("Speichern"));

    const QString model = device->modelName().remove(QStringLiteral("Ondavia ")).remove(QLatin1Char(' ')).toLower();
    QTabBar* bar = page.tabbedPages()->tabBar();
    for (int i = 0; i < bar->count(); ++i) {
        if (!bar->isTabVisible(i))
            continue;
        bar->setCurrentIndex(i);
        QTRY_COMPARE(page.currentTab(), page.getTab(i));
        QTest::qWait(50);
        const QString title = bar->tabText(i);
        render(m_fixture.window, QStringLiteral("%1-%2-%3").arg(index, 2, 10, QLatin1Char('0')).arg(model, title.toLower().remove(QLatin1Char(' '))));
        check(card, title);
    }
}

// The About box, the build details and the file dialog of the status
// report (Qt's own, with Qt's German texts), each checked, rendered and
// closed.
void TestI18nSetup::dialogs()
{
    QStringList checked;
    DialogAnswerer answerer([&](QDialog* dialog) {
        QTest::qWait(100);
        const QString name = QString::fromLatin1(dialog->metaObject()->className()).toLower();
        render(dialog, QStringLiteral("dialog-") + name);
        QStringList problems = TextCheck::english(dialog, m_english);
        if (auto* files = qobject_cast<QFileDialog*>(dialog)) {
            // Qt's own dialog: its buttons speak German, its layout is Qt's.
            const QList<QDialogButtonBox*> boxes = files->findChildren<QDialogButtonBox*>();
            if (boxes.isEmpty() || boxes.first()->button(QDialogButtonBox::Cancel)->text() != QStringLiteral("Abbrechen"))
                problems << QStringLiteral("the file dialog's Cancel is not German");
        } else {
            problems += TextCheck::problems(dialog);
        }
        checked << name + (problems.isEmpty() ? QString() : QStringLiteral(":\n  ") + problems.join(QStringLiteral("\n  ")));
        dialog->reject();
        return true;
    });
    QVERIFY(QMetaObject::invokeMethod(m_fixture.window, "showAboutBox"));
    QVERIFY(QMetaObject::invokeMethod(m_fixture.window, "showBuildDetails"));
    const ListedCard first = m_fixture.shownCards().value(0);
    QPointer<ZeltraProductCard> card = m_fixture.open(m_fixture.device(first.persistentId));
    QVERIFY(card);
    QTabBar* bar = card->settingsPage()->tabbedPages()->tabBar();
    bar->setCurrentIndex(bar->count() - 1);
    auto* about = qobject_cast<AboutSettings*>(card->settingsPage()->currentTab());
    QVERIFY(about);
    about->reportButton()->click();
    QCOMPARE(checked.size(), 3);
    for (const QString& line : qAsConst(checked))
        QVERIFY2(!line.contains(QLatin1Char('\n')), qPrintable(line));

    // A card that cannot store its settings: the message over its window.
    const QString config = qEnvironmentVariableIsSet("XDG_CONFIG_HOME") ? qEnvironmentVariable("XDG_CONFIG_HOME")
                                                                         : QDir::homePath() + QStringLiteral("/.config");
    const QString stored = QStringLiteral("%1/zeltra-simulator/card-%2.json").arg(config).arg(first.persistentId, 16, 16, QLatin1Char('0'));
    QFile::remove(stored);
    QVERIFY(QDir().mkpath(stored));
    card->settingsPage()->footer()->saveButton()->click();
    auto* message = card->findChild<CommonDialog*>(QStringLiteral("saveFailedDialog"));
    QTRY_VERIFY(message && message->isVisible());
    QTest::qWait(50);
    render(m_fixture.window, QStringLiteral("dialog-savefailed"));
    check(message, QStringLiteral("save failed"));
    message->singleButton()->click();
    QVERIFY(QDir(stored).removeRecursively());
}

int main(int argc, char** argv)
{
    if (const int skipped = probeXServer())
        return skipped;
    QApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    QApplication app(argc, argv);
    QTEST_SET_MAIN_SOURCE_PATH
    TestI18nSetup test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_i18nsetup.moc"
