// The card settings window of every built-in card, assembled as the program
// shows it and driven on a real X server: the tab bar on screen with every
// title in full, the tabs the card calls for, each tab reached by a real
// click, one change per tab read back from the card, a change made on the
// card seen in the window, and a picture of every tab in its window.

#include "windowfixture.h"

#include "aboutsettings.h"
#include "audiosettings.h"
#include "cardfooter.h"
#include "cardpushbutton.h"
#include "connectorssettings.h"
#include "conversionssettings.h"
#include "deckcontrolconnectionssettings.h"
#include "settingscheckbox.h"
#include "settingscombobox.h"
#include "videoinputsettings.h"
#include "videooutputsettings.h"

#include <QButtonGroup>
#include <QDir>
#include <QScreen>
#include <QToolButton>

#include "xserverprobe.h"
#include <X11/extensions/XTest.h>


using namespace SettingsWindow;

namespace {

// What a change on a tab should have written: an item of a card and its value.
struct Written
{
    QByteArray item;
    QString value;
};

QAbstractButton* uncheckedButton(QButtonGroup* group)
{
    if (!group)
        return nullptr;
    for (QAbstractButton* button : group->buttons()) {
        if (!button->isChecked() && button->isVisible() && button->isEnabled())
            return button;
    }
    return nullptr;
}

void pick(QComboBox* combo, int index)
{
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

QString flag(bool on)
{
    return on ? QStringLiteral("true") : QStringLiteral("false");
}

// Changes one control of `tab` as its user would; what reached the card is
// then read back through the control tool.
Written changeOneControl(ZeltraSettingsTab* tab)
{
    auto click = [](QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center()); };
    if (auto* out = qobject_cast<VideoOutputSettings*>(tab)) {
        QComboBox* combo = out->defaultStandardCombo();
        pick(combo, (combo->currentIndex() + 1) % combo->count());
        return { "dvom", QString::number(combo->currentData().toUInt()) };
    }
    if (auto* in = qobject_cast<VideoInputSettings*>(tab)) {
        if (QAbstractButton* button = uncheckedButton(in->inputGroup())) {
            click(button);
            return { "vicn", QString::number(in->inputGroup()->id(button)) };
        }
        if (QAbstractButton* button = uncheckedButton(in->capturePsFGroup())) {
            click(button);
            return { "cfpr", flag(in->capturePsFGroup()->id(button) == 1) };
        }
        if (in->timecodeBox()) {
            click(in->timecodeBox());
            return { "dltc", flag(in->timecodeBox()->isChecked()) };
        }
    }
    if (auto* audio = qobject_cast<AudioSettings*>(tab)) {
        if (QAbstractButton* button = uncheckedButton(audio->inputGroup())) {
            click(button);
            return { "aicn", QString::number(audio->inputGroup()->id(button)) };
        }
        if (audio->hifiBox()) {
            click(audio->hifiBox());
            return { "aacl", flag(audio->hifiBox()->isChecked()) };
        }
    }
    if (auto* conversions = qobject_cast<ConversionsSettings*>(tab)) {
        // A group other than the one shown; choosing it chooses its first mode.
        for (auto [combo, item] : { std::make_pair(conversions->outputCombo(), "vocm"),
                                    std::make_pair(conversions->inputCombo(), "vicm") }) {
            if (!combo || combo->count() < 2)
                continue;
            pick(combo, combo->currentIndex() == 1 ? 2 % combo->count() : 1);
            QButtonGroup* modes = combo == conversions->outputCombo() ? conversions->outputModeGroup()
                                                                       : conversions->inputModeGroup();
            const uint mode = modes && modes->checkedId() != -1 ? uint(modes->checkedId()) : zeltraCode("none");
            return { item, QString::number(mode) };
        }
    }
    if (auto* deck = qobject_cast<DeckControlConnectionsSettings*>(tab)) {
        if (QAbstractButton* button = uncheckedButton(deck->portGroup())) {
            click(button);
            return { "dcco", QString::number(deck->portGroup()->id(button)) };
        }
    }
    if (auto* about = qobject_cast<AboutSettings*>(tab)) {
        QLineEdit* label = about->noteEdits().value(0);
        if (label && label->isVisible()) {
            label->setFocus();
            label->selectAll();
            QTest::keyClicks(label, QStringLiteral("Desk 4 spare"));
            return { "dila", QStringLiteral("Desk 4 spare") };
        }
    }
    return {};
}

} // namespace

class TestSettingsWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();
    void everyCard_data();
    void everyCard();

private:
    void clickTab(QTabBar* bar, int index);
    void checkTabBar(ZeltraSettingsPage& page);
    void checkConnectors(ConnectorsSettings* tab, QPointer<ZeltraProductCard> card);
    int indexOf(VisibleZeltra* device) const;

    Fixture m_fixture;
    Display* m_display = nullptr;
    QString m_renderDir;
};

void TestSettingsWindow::initTestCase()
{
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    m_display = XOpenDisplay(nullptr);
    QVERIFY(m_display);
    int event = 0, error = 0, major = 0, minor = 0;
    QVERIFY2(XTestQueryExtension(m_display, &event, &error, &major, &minor), "the X server has no XTEST");
    m_renderDir = qEnvironmentVariable("ONDAVIA_RENDER_DIR", QDir::currentPath());
    QVERIFY(QDir().mkpath(m_renderDir));
    QVERIFY(m_fixture.start());
}

void TestSettingsWindow::cleanupTestCase()
{
    m_fixture.stop();
    if (m_display)
        XCloseDisplay(m_display);
}

void TestSettingsWindow::cleanup()
{
    if (ZeltraProductCard* card = m_fixture.openCard())
        card->settingsPage()->footer()->cancelButton()->click();
    QTest::qWait(50);
}

int TestSettingsWindow::indexOf(VisibleZeltra* device) const
{
    for (const ListedCard& card : listedCards()) {
        if (device && card.persistentId == quint64(device->getPersistentId()))
            return card.index;
    }
    return -1;
}

void TestSettingsWindow::everyCard_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<quint64>("persistentId");
    for (const ListedCard& card : m_fixture.shownCards())
        QTest::addRow("%02d %s", card.index, qPrintable(card.name)) << card.index << card.persistentId;
}

// A press and release of the first button at the tab's centre, sent by the
// X server as a user's mouse would.
void TestSettingsWindow::clickTab(QTabBar* bar, int index)
{
    const QPoint at = bar->mapToGlobal(bar->tabRect(index).center());
    XTestFakeMotionEvent(m_display, -1, at.x(), at.y(), CurrentTime);
    XTestFakeButtonEvent(m_display, 1, True, CurrentTime);
    XTestFakeButtonEvent(m_display, 1, False, CurrentTime);
    XFlush(m_display);
}

void TestSettingsWindow::checkTabBar(ZeltraSettingsPage& page)
{
    QTabBar* bar = page.tabbedPages()->tabBar();
    QVERIFY(bar->isVisible());
    QVERIFY2(bar->height() >= 20, qPrintable(QStringLiteral("the tab bar is %1 px tall").arg(bar->height())));
    const QRect global(bar->mapToGlobal(QPoint(0, 0)), bar->size());
    QVERIFY(m_fixture.window->geometry().contains(global));
    QVERIFY(m_fixture.window->screen()->geometry().contains(global));
    for (QToolButton* scroll : bar->findChildren<QToolButton*>())
        QVERIFY2(!scroll->isVisible(), "the tab bar needs its scroll buttons");
    const QRect shown = bar->visibleRegion().boundingRect();
    for (int i = 0; i < bar->count(); ++i) {
        if (!bar->isTabVisible(i))
            continue;
        const QString title = bar->tabText(i);
        QVERIFY2(shown.contains(bar->tabRect(i)), qPrintable(title + QStringLiteral(" is cut off")));
        QVERIFY2(bar->fontMetrics().horizontalAdvance(title) <= bar->tabRect(i).width(), qPrintable(title));
    }
}

// Connectors last: choosing the other mapping may take this very card away.
void TestSettingsWindow::checkConnectors(ConnectorsSettings* tab, QPointer<ZeltraProductCard> card)
{
    QPointer<VisibleZeltra> mapping = tab->mappingDevice();
    QVERIFY(mapping);
    const int mappingIndex = indexOf(mapping);
    const quint64 partner = quint64(tab->device().getPersistentId());
    QComboBox* combo = tab->connectorCombo();
    const int other = combo->currentIndex() == 0 ? 1 : 0;
    const uint mode = combo->itemData(other).toUInt();
    pick(combo, other);
    QCOMPARE(SimCtl::get(mappingIndex, "dupx"), QString::number(mode));
    // Back to half duplex, which keeps both sub-devices.
    if (card && card->isVisible()) {
        pick(combo, combo->findData(zeltraCode("hdup")));
    } else {
        QVERIFY(mapping);
        mapping->setDuplexMode(zeltraCode("hdup"));
    }
    QCOMPARE(SimCtl::get(mappingIndex, "dupx"), QString::number(zeltraCode("hdup")));
    QTRY_VERIFY_WITH_TIMEOUT(m_fixture.device(partner), 10000);
}

void TestSettingsWindow::everyCard()
{
    QFETCH(int, index);
    QFETCH(quint64, persistentId);
    QTRY_VERIFY_WITH_TIMEOUT(m_fixture.device(persistentId), 10000);
    VisibleZeltra* device = m_fixture.device(persistentId);
    QPointer<ZeltraProductCard> card = m_fixture.open(device);
    QVERIFY(card);
    ZeltraSettingsPage& page = *card->settingsPage();
    QTest::qWait(100);

    QCOMPARE(visibleTitles(page), expectedTitles(*device, page));
    checkTabBar(page);
    if (QTest::currentTestFailed())
        return;

    const QString model = device->modelName().remove(QStringLiteral("Ondavia ")).remove(QLatin1Char(' ')).toLower();
    QTabBar* bar = page.tabbedPages()->tabBar();
    ConnectorsSettings* connectors = nullptr;
    for (int i = 0; i < bar->count(); ++i) {
        auto* tab = static_cast<ZeltraSettingsTab*>(page.getTab(i));
        if (!bar->isTabVisible(i))
            continue;
        const QString title = bar->tabText(i);
        clickTab(bar, i);
        QTRY_COMPARE(page.currentTab(), tab);
        QVERIFY(tab->isVisible());
        // The newly shown tab lays itself out on the next turns of the loop.
        QTest::qWait(50);
        QVERIFY(m_fixture.window->grab().save(QDir(m_renderDir).filePath(
            QStringLiteral("%1-%2-%3.png").arg(index, 2, 10, QLatin1Char('0')).arg(model, title.toLower().remove(QLatin1Char(' '))))));

        if (auto* about = qobject_cast<AboutSettings*>(tab); about && about->noteEdits().value(0)->isVisible()) {
            // A change made on the card reaches the open window.
            device->setInformationLabel(QStringLiteral("Set by the card"));
            QTRY_COMPARE(about->noteEdits().value(0)->text(), QStringLiteral("Set by the card"));
        }
        if ((connectors = qobject_cast<ConnectorsSettings*>(tab)))
            continue;
        const Written written = changeOneControl(tab);
        QVERIFY2(!written.item.isEmpty(), qPrintable(title + QStringLiteral(": nothing to change")));
        QCOMPARE(SimCtl::get(index, written.item.constData()), written.value);
    }
    if (connectors)
        checkConnectors(connectors, card);
    if (card && card->isVisible()) {
        QTest::mouseClick(page.footer()->cancelButton(), Qt::LeftButton);
        QTRY_VERIFY(!card);
    }
}

int main(int argc, char** argv)
{
    if (const int skipped = probeXServer())
        return skipped;
    QApplication app(argc, argv);
    QTEST_SET_MAIN_SOURCE_PATH
    TestSettingsWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_settingswindow.moc"
