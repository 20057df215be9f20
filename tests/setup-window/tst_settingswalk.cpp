// A seeded random walk of user actions over the settings windows of every
// built-in card. After each action has settled, reading every open tab
// again from the card must change nothing on screen; after Save and an
// unplug and plug the card must show what was on screen when it was saved.
// Mismatches are collected, printed with the seed and the action that led
// to them, and fail the test at the end.
//
//   SETTINGS_WALK_SEED     the seed (default: from the clock, printed)
//   SETTINGS_WALK_ACTIONS  the number of actions (default 500)
//   SETTINGS_WALK_VERBOSE  1: print every action as it is taken

#include "windowfixture.h"

#include "aboutsettings.h"
#include "cardfooter.h"
#include "cardpushbutton.h"
#include "dialoganswerer.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QRadioButton>

#include <cstdio>
#include <functional>
#include <random>
#include <string>

#if defined(__SANITIZE_ADDRESS__) && __has_include(<sanitizer/common_interface_defs.h>)
#include <sanitizer/common_interface_defs.h>
#define WALK_HAS_DEATH_CALLBACK 1
#endif

using namespace SettingsWindow;

namespace {

// What the walk was doing, for the report of a sanitizer that stops it. A
// plain buffer: a leak is reported while the program exits, after static
// objects have gone.
char g_doing[512] = "start-up";

[[maybe_unused]] void reportDeath()
{
    std::fprintf(stderr, "\nsettings-walk: stopped by the sanitizer during %s\n", g_doing);
}

// The row label and text of a control, for the action log.
QString describe(QWidget* w, QWidget* content)
{
    QWidget* row = w;
    while (row && row->parentWidget() != content)
        row = row->parentWidget();
    QString label;
    if (row) {
        if (auto* title = row->findChild<QLabel*>(QString(), Qt::FindDirectChildrenOnly))
            label = title->text();
    }
    QString text;
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        text = button->text();
    if (text.isEmpty() && w->parentWidget()) {
        if (auto* caption = w->parentWidget()->findChild<QLabel*>(QString(), Qt::FindDirectChildrenOnly))
            text = caption->text();
    }
    return QStringLiteral("%1 %2 \"%3\"").arg(label, QString::fromLatin1(w->metaObject()->className()), text);
}

} // namespace

class TestSettingsWalk : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void walk();

private:
    using Action = std::pair<int, std::function<void()>>; // weight, action

    int below(int n) { return n <= 1 ? 0 : int(std::uniform_int_distribution<int>(0, n - 1)(m_rng)); }
    bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(m_rng) < p; }
    template<typename T> T any(const QList<T>& list) { return list.at(below(list.size())); }

    void step();
    void say(const QString& action);
    QString cardText(VisibleZeltra* device) const;
    const ListedCard* listed(VisibleZeltra* device) const;
    QList<VisibleZeltra*> shownDevices() const;
    template<typename T> QList<T*> controls(ZeltraSettingsTab* tab) const;

    void openCard();
    void switchTab(ZeltraSettingsPage& page);
    void typeSlider(SettingsSliderWithEditableValue* slider, QWidget* content);
    void typeNote(QLineEdit* edit, QWidget* content);
    void save(ZeltraProductCard* card);
    void changeOnCard(VisibleZeltra* device);
    void changeStatus();
    void unplug(const ListedCard& card);
    void plug();
    void statusReport(ZeltraProductCard* card, AboutSettings* about);
    bool answerDialog(QDialog* dialog);

    void checkRefresh();
    void mismatch(const QString& kind, const QString& card, const QString& line);

    Fixture m_fixture;
    Settler* m_settler = nullptr;
    DialogAnswerer* m_answerer = nullptr;
    std::mt19937_64 m_rng;
    quint64 m_seed = 0;
    int m_actions = 500;
    bool m_verbose = false;
    QList<ListedCard> m_cards;
    QSet<int> m_unplugged;
    int m_step = 0;
    QString m_action;

    // The save dialog: something done while it is open, then its answer.
    std::function<void()> m_whileOpen;
    bool m_acceptReport = false;
    int m_reports = 0;

    QStringList m_found;      // distinct mismatches, first occurrence
    QMap<QString, int> m_seen; // how often each was found
};

void TestSettingsWalk::initTestCase()
{
    bool ok = false;
    m_seed = qEnvironmentVariable("SETTINGS_WALK_SEED").toULongLong(&ok);
    if (!ok)
        m_seed = quint64(QDateTime::currentMSecsSinceEpoch());
    m_rng.seed(m_seed);
    const int actions = qEnvironmentVariableIntValue("SETTINGS_WALK_ACTIONS", &ok);
    if (ok && actions > 0)
        m_actions = actions;
    m_verbose = qEnvironmentVariableIntValue("SETTINGS_WALK_VERBOSE") == 1;
    std::printf("settings-walk: seed %llu, %d actions\n", static_cast<unsigned long long>(m_seed), m_actions);
    std::fflush(stdout);
#ifdef WALK_HAS_DEATH_CALLBACK
    __sanitizer_set_death_callback(reportDeath);
#endif
    QVERIFY(m_fixture.start());
    m_cards = m_fixture.shownCards();
    QVERIFY(!m_cards.isEmpty());
    m_settler = new Settler;
    m_answerer = new DialogAnswerer([this](QDialog* dialog) { return answerDialog(dialog); });
}

void TestSettingsWalk::cleanupTestCase()
{
    delete m_answerer;
    delete m_settler;
    m_fixture.stop();
}

const ListedCard* TestSettingsWalk::listed(VisibleZeltra* device) const
{
    for (const ListedCard& card : m_cards) {
        if (device && card.persistentId == quint64(device->getPersistentId()))
            return &card;
    }
    return nullptr;
}

QString TestSettingsWalk::cardText(VisibleZeltra* device) const
{
    const ListedCard* card = listed(device);
    return card ? QStringLiteral("%1 %2").arg(card->index).arg(card->name) : QStringLiteral("?");
}

QList<VisibleZeltra*> TestSettingsWalk::shownDevices() const
{
    QList<VisibleZeltra*> devices;
    for (const ListedCard& card : m_cards) {
        if (VisibleZeltra* device = m_fixture.device(card.persistentId))
            devices << device;
    }
    return devices;
}

// The shown and enabled controls of a kind on a tab.
template<typename T> QList<T*> TestSettingsWalk::controls(ZeltraSettingsTab* tab) const
{
    QList<T*> found;
    for (T* control : tab->contentWidget()->findChildren<T*>()) {
        if (control->isVisibleTo(tab) && control->isEnabledTo(tab))
            found << control;
    }
    return found;
}

void TestSettingsWalk::say(const QString& action)
{
    m_action = action;
    std::snprintf(g_doing, sizeof g_doing, "%s",
        QStringLiteral("seed %1 action %2: %3").arg(m_seed).arg(m_step).arg(action).toUtf8().constData());
    if (m_verbose) {
        std::printf("%5d %s\n", m_step, qPrintable(action));
        std::fflush(stdout);
    }
}

void TestSettingsWalk::walk()
{
    for (m_step = 1; m_step <= m_actions; ++m_step) {
        step();
        m_settler->settle();
        checkRefresh();
    }
    if (ZeltraProductCard* card = m_fixture.openCard())
        card->settingsPage()->footer()->cancelButton()->click();
    m_settler->settle();

    int total = 0;
    for (int count : qAsConst(m_seen))
        total += count;
    for (const QString& line : qAsConst(m_found)) {
        const QString key = line.section(QLatin1Char('\t'), 0, 0);
        std::printf("MISMATCH (%dx) %s\n", m_seen.value(key), qPrintable(line.section(QLatin1Char('\t'), 1)));
    }
    std::printf("settings-walk: seed %llu, %d actions, %d reports saved, %d mismatches (%d distinct)%s\n",
                static_cast<unsigned long long>(m_seed), m_actions, m_reports, total, int(m_found.size()),
                m_found.isEmpty() ? "" : qPrintable(QStringLiteral("; replay: scripts/settings-walk --seed %1 --actions %2").arg(m_seed).arg(m_actions)));
    QVERIFY2(m_found.isEmpty(), "the window shows something else after reading the card again (see MISMATCH lines)");
}

void TestSettingsWalk::step()
{
    QList<Action> actions;
    ZeltraProductCard* card = m_fixture.openCard();
    const QList<VisibleZeltra*> devices = shownDevices();
    actions.append({ 1, [this] { changeStatus(); } });
    if (!m_unplugged.isEmpty())
        actions.append({ 2, [this] { plug(); } });
    actions.append({ 1, [this] {
                        QList<ListedCard> plugged;
                        for (const ListedCard& c : qAsConst(m_cards)) {
                            if (!m_unplugged.contains(c.index))
                                plugged << c;
                        }
                        if (!plugged.isEmpty())
                            unplug(any(plugged));
                    } });
    if (!devices.isEmpty())
        actions.append({ card ? 2 : 1, [this, devices] { changeOnCard(any(devices)); } });
    if (!card) {
        actions.append({ 10, [this] { openCard(); } });
    } else {
        ZeltraSettingsPage& page = *card->settingsPage();
        auto* tab = qobject_cast<ZeltraSettingsTab*>(page.currentTab());
        auto* device = dynamic_cast<VisibleZeltra*>(card->device());
        actions.append({ 4, [this, &page] { switchTab(page); } });
        actions.append({ 1, [this, card] {
                            say(QStringLiteral("Cancel on ") + cardText(dynamic_cast<VisibleZeltra*>(card->device())));
                            QTest::mouseClick(card->settingsPage()->footer()->cancelButton(), Qt::LeftButton);
                        } });
        actions.append({ 1, [this, card] { save(card); } });
        if (device)
            actions.append({ 3, [this, device] { changeOnCard(device); } });
        if (tab) {
            QWidget* content = tab->contentWidget();
            auto* about = qobject_cast<AboutSettings*>(tab);
            QList<QAbstractButton*> buttons = controls<QAbstractButton>(tab);
            if (about)
                buttons.removeAll(about->reportButton());
            if (!buttons.isEmpty())
                actions.append({ 10, [this, buttons, content] {
                                    QAbstractButton* button = any(buttons);
                                    say(QStringLiteral("click ") + describe(button, content));
                                    // Check boxes and radio buttons take the click on their indicator.
                                    const bool indicator = qobject_cast<QCheckBox*>(button) || qobject_cast<QRadioButton*>(button);
                                    QTest::mouseClick(button, Qt::LeftButton, {},
                                                      indicator ? QPoint(8, button->height() / 2) : button->rect().center());
                                } });
            const QList<QComboBox*> combos = controls<QComboBox>(tab);
            if (!combos.isEmpty())
                actions.append({ 4, [this, combos, content] {
                                    QComboBox* combo = any(combos);
                                    const int index = below(combo->count());
                                    say(QStringLiteral("pick \"%1\" in ").arg(combo->itemText(index)) + describe(combo, content));
                                    combo->setCurrentIndex(index);
                                    emit combo->activated(index);
                                } });
            const QList<SettingsSliderWithEditableValue*> sliders = controls<SettingsSliderWithEditableValue>(tab);
            if (!sliders.isEmpty()) {
                actions.append({ 5, [this, sliders, content] { typeSlider(any(sliders), content); } });
                actions.append({ 1, [this, sliders, content] {
                                    QSlider* slider = any(sliders)->slider();
                                    const Qt::Key key = any(QList<Qt::Key>{ Qt::Key_Left, Qt::Key_Right, Qt::Key_PageUp, Qt::Key_PageDown });
                                    say(QStringLiteral("key %1 on ").arg(int(key), 0, 16) + describe(slider, content));
                                    slider->setFocus();
                                    QTest::keyClick(slider, key);
                                } });
            }
            QList<QLineEdit*> notes;
            if (about) {
                for (QLineEdit* edit : about->noteEdits()) {
                    if (edit->isVisibleTo(tab))
                        notes << edit;
                }
            }
            if (!notes.isEmpty())
                actions.append({ 3, [this, notes, content] { typeNote(any(notes), content); } });
            if (about && about->reportButton()->isVisibleTo(tab))
                actions.append({ 2, [this, card, about] { statusReport(card, about); } });
        }
    }
    int total = 0;
    for (const Action& action : qAsConst(actions))
        total += action.first;
    int pick = below(total);
    for (const Action& action : qAsConst(actions)) {
        if ((pick -= action.first) < 0) {
            action.second();
            return;
        }
    }
}

void TestSettingsWalk::openCard()
{
    const QList<VisibleZeltra*> devices = shownDevices();
    if (devices.isEmpty())
        return;
    VisibleZeltra* device = any(devices);
    say(QStringLiteral("open ") + cardText(device));
    m_fixture.open(device);
}

void TestSettingsWalk::switchTab(ZeltraSettingsPage& page)
{
    QTabBar* bar = page.tabbedPages()->tabBar();
    QList<int> shown;
    for (int i = 0; i < bar->count(); ++i) {
        if (bar->isTabVisible(i))
            shown << i;
    }
    if (shown.isEmpty())
        return;
    const int index = any(shown);
    say(QStringLiteral("tab \"%1\"").arg(bar->tabText(index)));
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    // A bar with no room takes no click; the tab is chosen all the same.
    if (bar->currentIndex() != index)
        page.selectTab(index);
}

void TestSettingsWalk::typeSlider(SettingsSliderWithEditableValue* slider, QWidget* content)
{
    const double low = slider->minimum();
    const double high = slider->maximum();
    const double span = high - low;
    QString text;
    switch (below(6)) {
    case 0: text = QString::number(high + span * 0.5 + 1, 'f', slider->decimalPlaces()); break;
    case 1: text = QString::number(low - span * 0.5 - 1, 'f', slider->decimalPlaces()); break;
    case 2: text = any(QStringList{ QString(), QStringLiteral("-"), QStringLiteral("."), QStringLiteral("abc"), QStringLiteral("1e3") }); break;
    default:
        text = QString::number(std::uniform_real_distribution<double>(low, high)(m_rng), 'f', slider->decimalPlaces());
    }
    say(QStringLiteral("type \"%1\" into ").arg(text) + describe(slider, content));
    QLineEdit* field = slider->valueField();
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
    // Sometimes the user moves on; sometimes the field keeps the focus.
    if (chance(0.5))
        field->clearFocus();
}

void TestSettingsWalk::typeNote(QLineEdit* edit, QWidget* content)
{
    const QString text = any(QStringList{ QStringLiteral("Edit bay 2"), QStringLiteral("seller@shop.example"),
                                          QStringLiteral("half@"), QString(), QStringLiteral("+44 20 7946 0000"),
                                          QStringLiteral("<b>&amp;</b>"), QString(300, QLatin1Char('x')) });
    say(QStringLiteral("type \"%1\" into ").arg(text.left(40)) + describe(edit, content));
    edit->setFocus();
    edit->selectAll();
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Delete);
    else
        QTest::keyClicks(edit, text);
    if (chance(0.5))
        QTest::keyClick(edit, Qt::Key_Return);
}

// Save, then unplug and plug the card: opened again, it shows what was on
// screen when Save was pressed.
void TestSettingsWalk::save(ZeltraProductCard* card)
{
    auto* device = dynamic_cast<VisibleZeltra*>(card->device());
    const ListedCard* entry = listed(device);
    say(QStringLiteral("Save on %1, unplug, plug, open").arg(cardText(device)));
    const QMap<QString, Snapshot> shown = snapshot(*card->settingsPage());
    QString heldAtSave;
    if (entry)
        SimCtl::run({ QStringLiteral("config"), QString::number(entry->index) }, &heldAtSave);
    CardPushButton* saveButton = card->settingsPage()->footer()->saveButton();
    if (!saveButton->isEnabled()) {
        say(QStringLiteral("Save on %1, which is disabled").arg(cardText(device)));
        QTest::mouseClick(saveButton, Qt::LeftButton);
        return;
    }
    QPointer<ZeltraProductCard> saved = card;
    QTest::mouseClick(saveButton, Qt::LeftButton);
    m_settler->settle();
    if (saved && saved->isVisible()) {
        mismatch(QStringLiteral("save"), cardText(device), QStringLiteral("- | - | window closed | window stayed open"));
        return;
    }
    if (!entry)
        return;
    const QString index = QString::number(entry->index);
    SimCtl::run({ QStringLiteral("unplug"), index });
    m_settler->settle();
    SimCtl::run({ QStringLiteral("plug"), index });
    const quint64 id = entry->persistentId;
    if (!QTest::qWaitFor([&] { return m_fixture.device(id) != nullptr; }, 5000))
        return; // a partner that full duplex keeps away
    m_settler->settle();
    ZeltraProductCard* again = m_fixture.open(m_fixture.device(id));
    if (!again) {
        mismatch(QStringLiteral("save+replug"), cardText(m_fixture.device(id)), QStringLiteral("- | - | open | did not open"));
        return;
    }
    m_settler->settle();
    const QStringList lines = differences(shown, snapshot(*again->settingsPage()), true);
    for (const QString& line : lines)
        mismatch(QStringLiteral("save+replug"), cardText(m_fixture.device(id)), line);
    if (lines.isEmpty())
        return;
    // Whether the card lost what it held, or never held what was shown.
    QString held;
    SimCtl::run({ QStringLiteral("config"), index }, &held);
    QStringList lost = heldAtSave.split(QLatin1Char('\n'));
    for (const QString& line : held.split(QLatin1Char('\n')))
        lost.removeAll(line);
    std::printf("      card %s after Save, unplug and plug: %s\n", qPrintable(cardText(m_fixture.device(id))),
                lost.isEmpty() ? "holds what it held at Save" : qPrintable(QStringLiteral("lost ") + lost.join(QStringLiteral("; "))));
}

// A change of the card's configuration made by another program, through
// the card model: the open window follows it.
void TestSettingsWalk::changeOnCard(VisibleZeltra* d)
{
    QList<std::pair<QString, std::function<void()>>> changes;
    auto bit = [this](int64_t set) {
        QList<int64_t> bits;
        for (int64_t b = 1; b && b <= set; b <<= 1) {
            if (set & b)
                bits << b;
        }
        return bits.isEmpty() ? int64_t(0) : any(bits);
    };
    auto level = [this](double low, double high) { return std::uniform_real_distribution<double>(low, high)(m_rng); };
    if (d->supportsCapture()) {
        const int64_t input = bit(d->getVideoInputConnections());
        changes.append({ QStringLiteral("video input %1").arg(input), [d, input] { d->setVideoInputConnection(input); } });
        double low = 0, high = 0;
        d->getAnalogVideoInputGainLevelRange(low, high);
        const uint32_t connection = uint32_t(d->getVideoInputConnection());
        if (d->supportsAnalogVideoInputGain(connection)) {
            const double value = level(low, high);
            changes.append({ QStringLiteral("video input gain %1").arg(value), [=] { d->setAnalogVideoInputGainLevel(connection, value); } });
        }
        if (d->hasExternalTimeCodeInput())
            changes.append({ QStringLiteral("timecode toggled"), [d] { d->setUseLTCTimecode(!d->getUseLTCTimecode()); } });
        if (d->supportsVideoInputConversion()) {
            const uint32_t mode = any(kVideoInputConversionModes.keys());
            changes.append({ QStringLiteral("input conversion %1").arg(mode), [d, mode] { d->setInputConversionMode(mode); } });
        }
    }
    if (d->supportsPlayback()) {
        const std::vector<DisplayMode> modes = d->getVideoOutputDisplayModesInDisplayOrder();
        if (!modes.empty()) {
            const uint32_t mode = modes.at(size_t(below(int(modes.size())))).getModeId();
            changes.append({ QStringLiteral("default output mode %1").arg(mode), [d, mode] { d->setVideoOutputDisplayMode(mode); } });
        }
        const uint32_t conversion = any(kVideoOutputConversionModes.keys());
        changes.append({ QStringLiteral("output conversion %1").arg(conversion), [d, conversion] { d->setOutputConversionMode(conversion); } });
        if (d->supportsReferenceInput()) {
            const int64_t offset = int64_t(level(-600, 600));
            changes.append({ QStringLiteral("reference offset %1").arg(offset), [d, offset] { d->setReferenceInputSamples(offset); } });
        }
    }
    if (const int64_t audio = bit(d->getAudioInputConnections()))
        changes.append({ QStringLiteral("audio input %1").arg(audio), [d, audio] { d->setAudioInputConnection(audio); } });
    if (d->supportsAnalogAudioConsumerLevels())
        changes.append({ QStringLiteral("HiFi levels toggled"), [d] { d->setUseAnalogAudioConsumerLevels(!d->getUseAnalogAudioConsumerLevels()); } });
    if (d->supportsAnalogAudioInputScaleChannel(1)) {
        const double value = level(-12, 12);
        changes.append({ QStringLiteral("audio input channel 1 %1").arg(value), [d, value] { d->setAnalogAudioInputScaleChannel(1, value); } });
    }
    if (d->supportsDigitalInputScale()) {
        const double value = level(-12, 12);
        changes.append({ QStringLiteral("AES/EBU input %1").arg(value), [d, value] { d->setDigitalInputScale(value); } });
    }
    if ((d->getDeckControlConnections() & 3) == 3) {
        const int port = 1 + below(3);
        changes.append({ QStringLiteral("deck port %1").arg(port), [d, port] { d->setDeckControlConnection(port); } });
    }
    if (d->supportsDuplexModeConfiguration()) {
        const uint32_t mode = chance(0.5) ? zeltraCode("fdup") : zeltraCode("hdup");
        changes.append({ QStringLiteral("duplex %1").arg(mode == zeltraCode("fdup") ? "full" : "half"), [d, mode] { d->setDuplexMode(mode); } });
    }
    const QString label = QStringLiteral("Rack %1").arg(below(100));
    changes.append({ QStringLiteral("label \"%1\"").arg(label), [d, label] { d->setInformationLabel(label); } });

    const auto& change = changes.at(below(changes.size()));
    say(QStringLiteral("on the card %1: %2").arg(cardText(d), change.first));
    // The card's notice comes from the library's thread; it is waited for
    // where it is delivered, on this thread (a signal spy would record it
    // on the library's thread, beside this one reading it).
    bool noticed = false;
    QObject receiver;
    connect(d, &VisibleZeltra::propertyChanged, &receiver, [&noticed] { noticed = true; });
    change.second();
    // A change that leaves the card as it was sends none: not waited for longer.
    const bool waited = QTest::qWaitFor([&noticed] { return noticed; }, 150);
    Q_UNUSED(waited)
}

void TestSettingsWalk::changeStatus()
{
    const ListedCard& card = m_cards.at(below(m_cards.size()));
    const QString index = QString::number(card.index);
    QStringList command;
    switch (below(3)) {
    case 0: command = QStringList{ QStringLiteral("signal"), index, chance(0.5) ? QStringLiteral("on") : QStringLiteral("off") }; break;
    case 1: command = QStringList{ QStringLiteral("format"), index, any(QStringList{ "Hp25", "Hi50", "ntsc", "4k25", "Hp59" }) }; break;
    default: command = QStringList{ QStringLiteral("busy"), index, any(QStringList{ "idle", "capture", "playback" }) }; break;
    }
    say(QStringLiteral("zeltra-simctl ") + command.join(QLatin1Char(' ')));
    SimCtl::run(command);
}

void TestSettingsWalk::unplug(const ListedCard& card)
{
    say(QStringLiteral("unplug %1 %2").arg(card.index).arg(card.name));
    if (SimCtl::run({ QStringLiteral("unplug"), QString::number(card.index) }))
        m_unplugged.insert(card.index);
}

void TestSettingsWalk::plug()
{
    const QList<int> unplugged = m_unplugged.values();
    const int index = any(unplugged);
    say(QStringLiteral("plug %1").arg(index));
    SimCtl::run({ QStringLiteral("plug"), QString::number(index) });
    m_unplugged.remove(index);
}

// "Create" beside "Status Report:": while its save dialog is open something
// may happen to the cards, then the dialog is cancelled or a report saved.
void TestSettingsWalk::statusReport(ZeltraProductCard* card, AboutSettings* about)
{
    auto* device = dynamic_cast<VisibleZeltra*>(card->device());
    QPointer<VisibleZeltra> target = device;
    const ListedCard* entry = listed(device);
    m_acceptReport = chance(0.4);
    QString during = QStringLiteral("nothing");
    switch (below(5)) {
    case 0:
        if (entry) {
            const int index = entry->index;
            during = QStringLiteral("its card unplugged");
            m_whileOpen = [this, index] {
                if (SimCtl::run({ QStringLiteral("unplug"), QString::number(index) }))
                    m_unplugged.insert(index);
            };
        }
        break;
    case 1:
        during = QStringLiteral("a change on its card");
        m_whileOpen = [this, target] {
            if (target)
                changeOnCard(target);
        };
        break;
    case 2:
        during = QStringLiteral("a status change");
        m_whileOpen = [this] { changeStatus(); };
        break;
    default:
        m_whileOpen = nullptr;
    }
    const QString action = QStringLiteral("Create status report on %1, %2 while the dialog is open, then %3")
                               .arg(cardText(device), during, m_acceptReport ? QStringLiteral("save") : QStringLiteral("cancel"));
    say(action);
    QPointer<AboutSettings> tab = about;
    QTest::mouseClick(about->reportButton(), Qt::LeftButton);
    // The report is written once the system's commands have answered;
    // "Create" is disabled until then.
    if (!QTest::qWaitFor([&] { return !tab || !tab->isVisible() || tab->reportButton()->isEnabled(); }, 20000))
        mismatch(QStringLiteral("report"), cardText(device), QStringLiteral("About | Status Report: | enabled | disabled after 20 s"));
    m_action = action;
}

bool TestSettingsWalk::answerDialog(QDialog* dialog)
{
    if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
        box->accept();
        return true;
    }
    auto* files = qobject_cast<QFileDialog*>(dialog);
    if (!files)
        return false;
    if (m_whileOpen) {
        const QString action = m_action;
        const auto whileOpen = std::exchange(m_whileOpen, nullptr);
        whileOpen();
        m_action = action;
        return false; // answered at the next look, after the change has arrived
    }
    if (!m_acceptReport) {
        files->reject();
        return true;
    }
    if (QWidget* focus = files->focusWidget())
        focus->clearFocus();
    files->selectFile(QDir(m_fixture.home()).filePath(QStringLiteral("report-%1.html").arg(++m_reports)));
    static_cast<QDialog*>(files)->accept();
    return true;
}

// Reading the card again changes nothing that is shown, and writes nothing.
void TestSettingsWalk::checkRefresh()
{
    ZeltraProductCard* card = m_fixture.openCard();
    if (!card)
        return;
    auto* device = dynamic_cast<VisibleZeltra*>(card->device());
    ZeltraSettingsPage& page = *card->settingsPage();
    const QMap<QString, Snapshot> before = snapshot(page);
    int notices = 0;
    const QMetaObject::Connection counting =
        device ? connect(device, &VisibleZeltra::propertyChanged, this, [&notices] { ++notices; }) : QMetaObject::Connection();
    refresh(page);
    m_settler->settle();
    disconnect(counting);
    if (m_fixture.openCard() != card)
        return;
    for (const QString& line : differences(before, snapshot(page)))
        mismatch(QStringLiteral("refresh"), cardText(device), line);
    if (notices > 0)
        mismatch(QStringLiteral("refresh"), cardText(device), QStringLiteral("- | - | no write | %1 change notices from the card").arg(notices));
}

void TestSettingsWalk::mismatch(const QString& kind, const QString& card, const QString& line)
{
    const QStringList parts = line.split(QStringLiteral(" | "));
    const QString model = card.section(QLatin1Char(' '), 1);
    const QString key = QStringList{ kind, model, parts.value(0), parts.value(1) }.join(QLatin1Char('|'));
    const QString text = QStringLiteral("%1: seed %2 action %3 (%4) card %5 tab \"%6\" control \"%7\": before %8, after %9")
                             .arg(kind).arg(m_seed).arg(m_step).arg(m_action, card, parts.value(0), parts.value(1),
                                                                      parts.value(2), parts.value(3));
    if (m_verbose)
        std::printf("      MISMATCH %s\n", qPrintable(text));
    if (!m_seen.contains(key))
        m_found << key + QLatin1Char('\t') + text;
    ++m_seen[key];
}

QTEST_MAIN(TestSettingsWalk)
#include "tst_settingswalk.moc"
