// The card settings window of every built-in card used from the keyboard
// alone, with real key presses on a real X server: the keyboard stays in
// the open card, Tab reaches every enabled control of every tab, one
// control of each kind is changed by keys and read back from the card,
// Escape and Ctrl+Return close the window as Cancel and Save do, and what a
// screen reader finds names every control it can focus.

#include "windowfixture.h"

#include "cardfooter.h"
#include "cardpushbutton.h"
#include "connectorssettings.h"
#include "aboutsettings.h"
#include "flatimagebutton.h"
#include "focustrap.h"

#include <QAccessible>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QRadioButton>

#include "xserverprobe.h"
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>


using namespace SettingsWindow;

namespace {

// What Tab must reach: a control, or for an exclusive group the group.
const QObject* stopOf(const QWidget* w)
{
    // A group's checkable buttons share one Tab stop; the arrows move
    // between them.
    auto* button = qobject_cast<const QAbstractButton*>(w);
    if (button && button->group() && button->isCheckable())
        return button->group();
    return w;
}

QSet<const QObject*> expectedStops(const QWidget* tab)
{
    QSet<const QObject*> stops;
    for (const QWidget* w : tab->findChildren<QWidget*>()) {
        auto* button = qobject_cast<const QAbstractButton*>(w);
        const bool focusable = (w->focusPolicy() & Qt::TabFocus) || (button && button->group());
        if (focusable && w->isVisible() && w->isEnabled() && !qobject_cast<QComboBox*>(w->parentWidget()))
            stops << stopOf(w);
    }
    return stops;
}

QString describe(const QObject* o)
{
    if (auto* group = qobject_cast<const QButtonGroup*>(o))
        o = group->buttons().value(0);
    auto* w = qobject_cast<const QWidget*>(o);
    return w ? QStringLiteral("%1 \"%2\"").arg(QString::fromLatin1(w->metaObject()->className()), w->accessibleName())
             : QStringLiteral("?");
}

// Every interface under `root` that a user can focus and that is shown,
// with the name a screen reader speaks.
void walkAccessible(QAccessibleInterface* node, QStringList& unnamed, int depth = 0)
{
    if (!node || depth > 64)
        return;
    const QAccessible::State state = node->state();
    if (state.focusable && !state.invisible && !state.disabled && node->text(QAccessible::Name).trimmed().isEmpty())
        unnamed << describe(node->object());
    for (int i = 0; i < node->childCount(); ++i)
        walkAccessible(node->child(i), unnamed, depth + 1);
}

enum Kind { Radio, Check, Combo, Picture, SliderValue, KindCount };
const char* const kKindNames[] = { "radio", "check box", "combo", "picture group", "slider value" };

} // namespace

class TestSettingsKeys : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();
    void everyCard_data();
    void everyCard();

private:
    void key(KeySym sym, unsigned modifiers = 0);
    QWidget* focus() const { return QApplication::focusWidget(); }
    // Presses Tab until `target` has the focus; false when it is not reached.
    bool tabTo(QWidget* target);
    void walkTab(ZeltraProductCard& card, ZeltraSettingsTab* tab, const QString& title);
    // Changes one control of `kind` in `tab` by keys and checks that the
    // card keeps it; returns the snapshot key of the control, or empty.
    QString changeByKeys(ZeltraSettingsPage& page, ZeltraSettingsTab* tab, Kind kind, QString* before, QString* after);

    enum Modifier { Ctrl = 1, Shift = 2 };

    Fixture m_fixture;
    Settler m_settler;
    Display* m_display = nullptr;
};

void TestSettingsKeys::initTestCase()
{
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    m_display = XOpenDisplay(nullptr);
    QVERIFY(m_display);
    int event = 0, error = 0, major = 0, minor = 0;
    QVERIFY2(XTestQueryExtension(m_display, &event, &error, &major, &minor), "the X server has no XTEST");
    QVERIFY(m_fixture.start());
    // Without a window manager the window takes the keyboard when clicked.
    m_fixture.window->activateWindow();
    const QPoint header = m_fixture.window->mapToGlobal(QPoint(m_fixture.window->width() / 2, 40));
    XTestFakeMotionEvent(m_display, -1, header.x(), header.y(), CurrentTime);
    XTestFakeButtonEvent(m_display, 1, True, CurrentTime);
    XTestFakeButtonEvent(m_display, 1, False, CurrentTime);
    XSetInputFocus(m_display, Window(m_fixture.window->winId()), RevertToParent, CurrentTime);
    XSync(m_display, False);
    QTRY_VERIFY(m_fixture.window->isActiveWindow());
    m_settler.settle(200);
}

void TestSettingsKeys::cleanupTestCase()
{
    m_fixture.stop();
    if (m_display)
        XCloseDisplay(m_display);
}

void TestSettingsKeys::cleanup()
{
    if (ZeltraProductCard* card = m_fixture.openCard())
        card->settingsPage()->footer()->cancelButton()->click();
    m_settler.settle();
}

void TestSettingsKeys::key(KeySym sym, unsigned modifiers)
{
    const KeyCode ctrl = XKeysymToKeycode(m_display, XK_Control_L);
    const KeyCode shift = XKeysymToKeycode(m_display, XK_Shift_L);
    if (modifiers & Ctrl)
        XTestFakeKeyEvent(m_display, ctrl, True, CurrentTime);
    if (modifiers & Shift)
        XTestFakeKeyEvent(m_display, shift, True, CurrentTime);
    const KeyCode code = XKeysymToKeycode(m_display, sym);
    XTestFakeKeyEvent(m_display, code, True, CurrentTime);
    XTestFakeKeyEvent(m_display, code, False, CurrentTime);
    if (modifiers & Shift)
        XTestFakeKeyEvent(m_display, shift, False, CurrentTime);
    if (modifiers & Ctrl)
        XTestFakeKeyEvent(m_display, ctrl, False, CurrentTime);
    XSync(m_display, False);
    m_settler.settle(20);
}

bool TestSettingsKeys::tabTo(QWidget* target)
{
    for (int i = 0; i < 300 && focus() != target; ++i)
        key(XK_Tab);
    return focus() == target;
}

void TestSettingsKeys::everyCard_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<quint64>("persistentId");
    for (const ListedCard& card : m_fixture.shownCards())
        QTest::addRow("%02d %s", card.index, qPrintable(card.name)) << card.index << card.persistentId;
}

void TestSettingsKeys::walkTab(ZeltraProductCard& card, ZeltraSettingsTab* tab, const QString& title)
{
    const QSet<const QObject*> expected = expectedStops(tab);
    QSet<const QObject*> reached;
    QStringList order;
    // A card just opened holds the keys on its tab: Tab enters the controls.
    if (focus() == tab)
        key(XK_Tab);
    QWidget* first = focus();
    QVERIFY2(first && tab->isAncestorOf(first), qPrintable(title + QStringLiteral(": the focus is not in the tab shown")));
    // Round the card and back: Tab never leaves it.
    for (int i = 0; i < 400; ++i) {
        QWidget* was = focus();
        key(XK_Tab);
        if (!QTest::qWaitFor([&] { return focus() != was; }, 1000))
            break; // Tab moved nothing: what it missed is reported below
        QWidget* now = focus();
        QVERIFY2(now && card.isAncestorOf(now),
                 qPrintable(QStringLiteral("%1: Tab left the card for %2").arg(title, now ? describe(now) : QStringLiteral("nothing"))));
        if (now == first)
            break;
        reached << stopOf(now);
        order << describe(now);
    }
    QCOMPARE(focus(), first);
    QStringList missed;
    for (const QObject* stop : expected) {
        if (stop != stopOf(first) && !reached.contains(stop))
            missed << describe(stop);
    }
    QVERIFY2(missed.isEmpty(), qPrintable(title + QStringLiteral(": Tab does not reach ") + missed.join(QStringLiteral(", ")) + QStringLiteral("; it goes ") + order.join(QStringLiteral(" > "))));

    // What a screen reader finds.
    QStringList unnamed;
    walkAccessible(QAccessible::queryAccessibleInterface(tab), unnamed);
    QVERIFY2(unnamed.isEmpty(), qPrintable(title + QStringLiteral(": no name for ") + unnamed.join(QStringLiteral(", "))));
    for (auto* slider : tab->findChildren<SettingsSliderWithEditableValue*>()) {
        const QString units = slider->unitsLabel()->text().trimmed();
        if (slider->isVisible() && !units.isEmpty())
            QVERIFY2(slider->valueField()->accessibleName().contains(units), qPrintable(slider->valueField()->accessibleName()));
    }
}

QString TestSettingsKeys::changeByKeys(ZeltraSettingsPage& page, ZeltraSettingsTab* tab, Kind kind, QString* before,
                                       QString* after)
{
    // The first control of the kind that the user can change.
    QWidget* target = nullptr;
    for (QWidget* w : tab->findChildren<QWidget*>()) {
        if (!w->isVisible() || !w->isEnabled())
            continue;
        auto* button = qobject_cast<QAbstractButton*>(w);
        QButtonGroup* group = button ? button->group() : nullptr;
        const bool picture = qobject_cast<ImageGroupButton*>(w->parentWidget());
        if ((kind == Radio && qobject_cast<QRadioButton*>(w) && group && group->buttons().size() > 1)
            || (kind == Check && qobject_cast<QCheckBox*>(w))
            || (kind == Combo && qobject_cast<QComboBox*>(w) && static_cast<QComboBox*>(w)->count() > 1)
            || (kind == Picture && picture && group && group->exclusive() && button->isCheckable() && group->buttons().size() > 1)) {
            target = group && group->checkedButton() ? group->checkedButton() : w;
            if (target->isVisible() && target->isEnabled())
                break;
            target = nullptr;
        }
        auto* slider = qobject_cast<SettingsSliderWithEditableValue*>(w);
        if (kind == SliderValue && slider && slider->valueField()->isVisible() && slider->valueField()->isEnabled()) {
            target = slider->valueField();
            break;
        }
    }
    if (!target)
        return QString();
    const Snapshot start = snapshot(tab);
    if (!tabTo(target))
        return QStringLiteral("!") + describe(target);
    switch (kind) {
    case Radio:
    case Picture: {
        auto* group = static_cast<QAbstractButton*>(target)->group();
        // Away from the chosen button, whichever way there is room.
        key(group->buttons().indexOf(static_cast<QAbstractButton*>(target)) + 1 < group->buttons().size()
                ? (kind == Radio ? XK_Down : XK_Right)
                : (kind == Radio ? XK_Up : XK_Left));
        break;
    }
    case Check:
        key(XK_space);
        break;
    case Combo:
        key(static_cast<QComboBox*>(target)->currentIndex() + 1 < static_cast<QComboBox*>(target)->count() ? XK_Down : XK_Up);
        break;
    case SliderValue: {
        auto* slider = static_cast<SettingsSliderWithEditableValue*>(target->parentWidget());
        const double value = slider->realValue() > (slider->minimum() + slider->maximum()) / 2 ? slider->minimum() : slider->maximum();
        key(XK_a, Ctrl);
        for (const QChar c : QString::number(value, 'f', slider->decimalPlaces()))
            key(c == QLatin1Char('-') ? XK_minus : c == QLatin1Char('.') ? XK_period : XK_0 + (c.unicode() - '0'));
        key(XK_Return);
        break;
    }
    default:
        break;
    }
    m_settler.settle();
    const Snapshot changed = snapshot(tab);
    // Read again from the card: what the card keeps is what is shown.
    refresh(page);
    m_settler.settle();
    const Snapshot kept = snapshot(tab);
    QString where;
    for (auto it = changed.cbegin(); it != changed.cend(); ++it) {
        if (start.value(it.key()) != it.value() && where.isEmpty()) {
            where = it.key();
            *before = start.value(it.key());
            *after = it.value();
        }
    }
    if (where.isEmpty())
        return QStringLiteral("!nothing changed at ") + describe(target);
    const QStringList lost = differences({ { QStringLiteral("tab"), changed } }, { { QStringLiteral("tab"), kept } });
    if (!lost.isEmpty())
        return QStringLiteral("!the card did not keep: ") + lost.join(QStringLiteral("; "));
    return where;
}

void TestSettingsKeys::everyCard()
{
    QFETCH(int, index);
    QFETCH(quint64, persistentId);
    QTRY_VERIFY_WITH_TIMEOUT(m_fixture.device(persistentId), 10000);
    VisibleZeltra* device = m_fixture.device(persistentId);
    // Opened from the gallery's settings button, which then has the focus.
    QWidget* gear = nullptr;
    for (auto* button : m_fixture.window->galleryView()->findChildren<FlatImageButton*>()) {
        if (button->toolTip() == QStringLiteral("Settings"))
            gear = button;
    }
    QVERIFY(gear);
    gear->setFocus(Qt::TabFocusReason);
    QPointer<ZeltraProductCard> card = m_fixture.open(device);
    QVERIFY(card);
    ZeltraSettingsPage& page = *card->settingsPage();
    QTRY_VERIFY(focus() && card->isAncestorOf(focus()));

    CardTabbedPages* pages = page.tabbedPages();
    QStringList changedKinds;
    QString lastTab, lastKey, after;
    const int shown = visibleTitles(page).size();
    for (int n = 0; n < shown; ++n) {
        if (n > 0) {
            const int was = pages->currentIndex();
            key(XK_Tab, Ctrl);
            QTRY_VERIFY(pages->currentIndex() != was);
        }
        auto* tab = static_cast<ZeltraSettingsTab*>(page.currentTab());
        const QString title = tabTitle(page, tab);
        QTRY_VERIFY2(focus() && tab->isAncestorOf(focus()), qPrintable(title + QStringLiteral(": the focus is on ") + (focus() ? describe(focus()) + QStringLiteral(" under ") + describe(focus()->parentWidget()) : QStringLiteral("nothing"))));
        walkTab(*card, tab, title);
        if (QTest::currentTestFailed())
            return;
        // The partner of a Connectors change may take this card away, and
        // About's buttons open documents: neither is changed here.
        if (qobject_cast<ConnectorsSettings*>(tab) || qobject_cast<AboutSettings*>(tab))
            continue;
        for (int kind = 0; kind < KindCount; ++kind) {
            if (changedKinds.contains(QLatin1String(kKindNames[kind])))
                continue;
            QString before;
            const QString where = changeByKeys(page, tab, Kind(kind), &before, &after);
            QVERIFY2(!where.startsWith(QLatin1Char('!')),
                     qPrintable(QStringLiteral("%1, %2: %3").arg(title, QLatin1String(kKindNames[kind]), where.mid(1))));
            if (!card)
                return; // the change took the card away
            if (!where.isEmpty()) {
                changedKinds << QLatin1String(kKindNames[kind]);
                lastTab = title;
                lastKey = where;
            }
        }
    }
    qInfo("%s: changed by keys: %s", qPrintable(device->deviceName()), qPrintable(changedKinds.join(QStringLiteral(", "))));
    // Ctrl+Shift+Tab goes back round the tabs.
    const int at = pages->currentIndex();
    key(XK_Tab, Ctrl | Shift);
    QTRY_VERIFY2(pages->currentIndex() != at, qPrintable(QStringLiteral("the focus is on ") + describe(focus())));
    key(XK_Next, Ctrl);
    QTRY_COMPARE(pages->currentIndex(), at);

    // Closing: Ctrl+Return saves, Escape cancels; either way the focus goes
    // back to the settings button it came from.
    const bool save = index % 2 == 0;
    key(save ? XK_Return : XK_Escape, save ? Ctrl : 0);
    QTRY_VERIFY(!card);
    QCOMPARE(focus(), gear);
    if (lastKey.isEmpty())
        return;
    QPointer<ZeltraProductCard> again = m_fixture.open(device);
    QVERIFY(again);
    for (ZeltraSettingsTab* tab : again->settingsPage()->tabs()) {
        if (tabTitle(*again->settingsPage(), tab) != lastTab)
            continue;
        // Cancel returns the card to what it stored (which may also hide
        // the row again).
        if (save)
            QCOMPARE(snapshot(tab).value(lastKey), after);
        else
            QVERIFY(snapshot(tab).value(lastKey) != after);
    }
}

int main(int argc, char** argv)
{
    if (const int skipped = probeXServer())
        return skipped;
    QApplication app(argc, argv);
    QTEST_SET_MAIN_SOURCE_PATH
    TestSettingsKeys test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_settingskeys.moc"
