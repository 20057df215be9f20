// The assembled setup window over the simulator's built-in cards, as the
// window tests drive it: the main window with the card family, the cards as
// the control tool lists them, a card's settings opened through the view,
// the tabs its capabilities call for, and what a tab shows, captured so that
// two moments can be compared.
#pragma once

#include <QtTest>

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSlider>
#include <QTabBar>
#include <QTemporaryDir>

#include "audiosettings.h"
#include "cardsection.h"
#include "cardtabbedpages.h"
#include "commongui.h"
#include "imagegroupbutton.h"
#include "settingsslider.h"
#include "settingssliderwitheditablevalue.h"
#include "simctl.h"
#include "sliderlink.h"
#include "staticdata.h"
#include "testhome.h"
#include "visibledeviceswidget.h"
#include "visiblezeltra.h"
#include "zeltraadminutilitywindow.h"
#include "zeltrafamily.h"
#include "zeltraproductcard.h"
#include "zeltrasettingspage.h"
#include "zeltrasettingstab.h"

namespace SettingsWindow {

// One line of `zeltra-simctl list`.
struct ListedCard
{
    int index = -1;
    bool plugged = false;
    quint64 persistentId = 0;
    QString name;
};

inline QList<ListedCard> listedCards()
{
    QString text;
    QList<ListedCard> cards;
    if (!SimCtl::run({ QStringLiteral("list") }, &text))
        return cards;
    static const QRegularExpression line(QStringLiteral("^\\s*(\\d+)\\s+(plugged|unplugged)\\s+model\\s+\\S+\\s+peid\\s+(\\S+)\\s+(.*)$"));
    for (const QString& row : text.split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch m = line.match(row);
        if (!m.hasMatch())
            continue;
        ListedCard card;
        card.index = m.captured(1).toInt();
        card.plugged = m.captured(2) == QLatin1String("plugged");
        card.persistentId = m.captured(3).toULongLong(nullptr, 0);
        card.name = m.captured(4).trimmed();
        cards << card;
    }
    return cards;
}

// The main window and the card family over the built-in cards, with
// preferences, settings, the control socket and the home folder in a folder
// of this run.
class Fixture
{
public:
    bool start()
    {
        if (!useTestHome(m_home))
            return false;
        qputenv("HOME", QFile::encodeName(m_home.path()));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_home.filePath(QStringLiteral("settings")));
        qRegisterMetaType<VisibleDevice*>();
        CommonGui::registerFonts();
        initialiseStaticData();
        window = new ZeltraAdminUtilityWindow;
        window->addFamily(&m_family);
        window->move(0, 0);
        window->show();
        if (!QTest::qWaitForWindowExposed(window) || !QTest::qWaitFor([this] { return window->isStarted(); }))
            return false;
        // Every card has arrived once the list stays the same for a while.
        int count = -1;
        for (QElapsedTimer t; count != window->deviceList().numberOfDevice() || count == 0;) {
            if (!t.isValid())
                t.start();
            if (t.elapsed() > 15000)
                return false;
            count = window->deviceList().numberOfDevice();
            QTest::qWait(400);
        }
        return true;
    }

    void stop()
    {
        SimCtl::run({ QStringLiteral("plug"), QStringLiteral("all") });
        delete window;
        window = nullptr;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QString home() const { return m_home.path(); }

    VisibleZeltra* device(quint64 persistentId) const
    {
        DeviceList& list = window->deviceList();
        for (int i = 0; i < list.numberOfDevice(); ++i) {
            auto* zeltra = dynamic_cast<VisibleZeltra*>(list.deviceAt(i));
            if (zeltra && quint64(zeltra->getPersistentId()) == persistentId)
                return zeltra;
        }
        return nullptr;
    }

    // The listed cards that the window shows, in list order.
    QList<ListedCard> shownCards() const
    {
        QList<ListedCard> shown;
        for (const ListedCard& card : listedCards()) {
            if (device(card.persistentId))
                shown << card;
        }
        return shown;
    }

    // The card whose settings are on screen; a closed one waits hidden for
    // its deletion.
    ZeltraProductCard* openCard() const
    {
        for (ZeltraProductCard* card : window->findChildren<ZeltraProductCard*>()) {
            if (card->isVisible())
                return card;
        }
        return nullptr;
    }

    // Opens the settings the way a press on the card's gear does.
    ZeltraProductCard* open(VisibleZeltra* device)
    {
        if (!device)
            return nullptr;
        emit window->galleryView()->requestShowDevice(device);
        ZeltraProductCard* card = openCard();
        return card && card->currentPage() == card->settingsPage() ? card : nullptr;
    }

    ZeltraAdminUtilityWindow* window = nullptr;

private:
    QTemporaryDir m_home;
    ZeltraFamily m_family;
};

// Handles events until nothing but timers has happened for a short while:
// card notices arrive from the library's thread, layouts and deletions are
// posted.
class Settler : public QObject
{
public:
    Settler() { QCoreApplication::instance()->installEventFilter(this); }
    void settle(int quietMs = 10, int maxMs = 2000)
    {
        QElapsedTimer total;
        total.start();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (;;) {
            const quint64 before = m_events;
            QTest::qWait(quietMs);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            if (m_events == before || total.elapsed() > maxMs)
                return;
        }
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::Timer && type != QEvent::ZeroTimerEvent && type != QEvent::SockAct
            && type != QEvent::MetaCall)
            ++m_events;
        else if (type == QEvent::MetaCall)
            ++m_events; // queued card notices
        return false;
    }

private:
    quint64 m_events = 0;
};

inline QString tabTitle(ZeltraSettingsPage& page, SettingsTab* tab)
{
    CardTabbedPages* pages = page.tabbedPages();
    for (int i = 0; i < pages->count(); ++i) {
        if (pages->tab(i) == tab)
            return pages->tabBar()->tabText(i);
    }
    return QString();
}

// The titles of the tabs a card's capabilities call for, in their order.
// Whether Audio has anything to show is the tab's own answer.
inline QStringList expectedTitles(VisibleZeltra& d, ZeltraSettingsPage& page)
{
    bool conversions = d.supportsCapture() && d.supportsVideoInputConversion();
    for (auto it = kVideoOutputConversionModes.cbegin(); it != kVideoOutputConversionModes.cend(); ++it)
        conversions = conversions || (d.supportsPlayback() && it.key() != zeltraCode("none") && d.supportsOutputConversionMode(it.key()));
    bool audio = false;
    for (ZeltraSettingsTab* tab : page.tabs()) {
        if (auto* settings = qobject_cast<AudioSettings*>(tab))
            audio = !settings->shouldHide();
    }
    QStringList titles;
    if (d.supportsPlayback())
        titles << QStringLiteral("Video Output");
    if (d.supportsCapture())
        titles << QStringLiteral("Video Input");
    if (d.supportsAudioLevelAdjustment() && audio)
        titles << QStringLiteral("Audio");
    if (conversions)
        titles << QStringLiteral("Conversions");
    if (d.getPairedDevicePersistentId() != 0)
        titles << QStringLiteral("Connectors");
    if ((d.getDeckControlConnections() & 3) == 3)
        titles << QStringLiteral("Serial Port");
    titles << QStringLiteral("About");
    return titles;
}

inline QStringList visibleTitles(ZeltraSettingsPage& page)
{
    QStringList titles;
    CardTabbedPages* pages = page.tabbedPages();
    for (int i = 0; i < pages->count(); ++i) {
        if (pages->isTabVisible(i))
            titles << pages->tabBar()->tabText(i);
    }
    return titles;
}

// What a tab shows, control by control: "<section> / <row> / <control>" to
// its state. A hidden control is only "hidden"; a shown one has its value
// and whether it is enabled.
using Snapshot = QMap<QString, QString>;

inline Snapshot snapshot(ZeltraSettingsTab* tab)
{
    Snapshot shot;
    QWidget* content = tab->contentWidget();
    const QList<CardSection*> sections = tab->sections();
    auto rowOf = [content](QWidget* w) {
        while (w && w->parentWidget() != content)
            w = w->parentWidget();
        return w;
    };
    auto nameOf = [&](QWidget* row) {
        QString section;
        for (CardSection* s : sections) {
            if (s == row || s->containsRow(row))
                section = s->title();
        }
        // A row without a label is named after its first control.
        QString label;
        if (row && !qobject_cast<CardSection*>(row)) {
            if (auto* title = row->findChild<QLabel*>(QString(), Qt::FindDirectChildrenOnly))
                label = title->text();
            if (label.isEmpty()) {
                if (auto* button = row->findChild<QAbstractButton*>()) {
                    label = button->text();
                    if (label.isEmpty() && button->parentWidget())
                        if (auto* caption = button->parentWidget()->findChild<QLabel*>(QString(), Qt::FindDirectChildrenOnly))
                            label = caption->text();
                }
            }
            if (label.isEmpty()) {
                QStringList parts;
                for (QWidget* child : row->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
                    parts << QString::fromLatin1(child->metaObject()->className());
                label = QString::fromLatin1(row->metaObject()->className()) + QLatin1Char('(') + parts.join(QLatin1Char(',')) + QLatin1Char(')');
            }
        }
        return section + QStringLiteral(" / ") + label;
    };
    auto add = [&shot](QString key, const QString& value) {
        for (int n = 2; shot.contains(key); ++n)
            key = key.section(QLatin1Char('#'), 0, 0) + QStringLiteral("#%1").arg(n);
        shot.insert(key, value);
    };
    for (QWidget* w : content->findChildren<QWidget*>()) {
        // Parts of a compound control are its state.
        bool part = false;
        for (QWidget* p = w->parentWidget(); p && p != content && !part; p = p->parentWidget())
            part = qobject_cast<SettingsSliderWithEditableValue*>(p) || qobject_cast<SliderLinkBase*>(p);
        if (part)
            continue;
        QWidget* row = rowOf(w);
        const bool shown = w->isVisibleTo(tab);
        QString kind;
        QString value;
        if (auto* link = qobject_cast<SliderLink*>(w)) {
            // Named after the first of the sliders it links.
            add(nameOf(rowOf(link->sliderA())) + QStringLiteral(" / link"),
                shown ? (link->isLinked() ? QStringLiteral("linked") : QStringLiteral("unlinked")) : QStringLiteral("hidden"));
            continue;
        }
        if (w->parentWidget() == content) {
            // Spacers and separators follow the rows they belong to.
            if (!ZeltraSettingsTab::isAControlRow(w) && !ZeltraSettingsTab::isASection(w))
                continue;
            kind = qobject_cast<CardSection*>(w) ? QStringLiteral("section") : QStringLiteral("row");
            value = QString();
        } else if (auto* slider = qobject_cast<SettingsSliderWithEditableValue*>(w)) {
            kind = QStringLiteral("slider");
            value = QStringLiteral("%1 field=%2 position=%3%4")
                        .arg(slider->realValue())
                        .arg(slider->valueField()->text())
                        .arg(slider->slider()->value())
                        .arg(slider->sliderEnabled() ? QString() : QStringLiteral(" slider-disabled"));
        } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
            kind = QStringLiteral("combo");
            value = QStringLiteral("\"%1\" of %2").arg(combo->currentText()).arg(combo->count());
        } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            kind = QStringLiteral("field");
            value = QStringLiteral("\"%1\"").arg(edit->text());
        } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            QString text = button->text();
            if (text.isEmpty() && w->parentWidget()) {
                if (auto* caption = w->parentWidget()->findChild<QLabel*>(QString(), Qt::FindDirectChildrenOnly))
                    text = caption->text();
            }
            kind = QStringLiteral("button \"%1\"").arg(text);
            // A plain picture button acts rather than selects; its state is no setting.
            auto* image = qobject_cast<ImageGroupButton*>(w->parentWidget());
            if (button->isCheckable() && !(image && image->isPlain()))
                value = button->isChecked() ? QStringLiteral("checked") : QStringLiteral("unchecked");
        } else {
            continue;
        }
        QString state = shown ? value : QStringLiteral("hidden");
        if (shown && !w->isEnabledTo(tab))
            state += QStringLiteral(" disabled");
        add(nameOf(row) + QStringLiteral(" / ") + kind, state.trimmed());
    }
    return shot;
}

// Every tab of the page, by title.
inline QMap<QString, Snapshot> snapshot(ZeltraSettingsPage& page)
{
    QMap<QString, Snapshot> shots;
    for (ZeltraSettingsTab* tab : page.tabs())
        shots.insert(tabTitle(page, tab), snapshot(tab));
    return shots;
}

// Reads every tab again from the card, as the framework does on a tab's
// selection: with the watch off, so that nothing counts as a change.
inline void refresh(ZeltraSettingsPage& page)
{
    for (ZeltraSettingsTab* tab : page.tabs()) {
        if (tab == page.currentTab()) {
            tab->onTabSelected();
        } else {
            tab->watchModifications(false);
            tab->onPropertyChanged();
            tab->watchModifications(true);
        }
    }
}

// One line per control that differs: "<tab> | <control> | <before> | <after>".
// `commonTabs`: only the tabs both windows have (tabs are built once, when a
// window opens: one opened while a card's partner was away has no
// Connectors tab, one opened later has).
inline QStringList differences(const QMap<QString, Snapshot>& before, const QMap<QString, Snapshot>& after,
                               bool commonTabs = false)
{
    QStringList lines;
    QStringList tabs = before.keys() + after.keys();
    tabs.removeDuplicates();
    for (const QString& tab : qAsConst(tabs)) {
        if (commonTabs && !(before.contains(tab) && after.contains(tab)))
            continue;
        const Snapshot a = before.value(tab);
        const Snapshot b = after.value(tab);
        QStringList keys = a.keys() + b.keys();
        keys.removeDuplicates();
        for (const QString& key : qAsConst(keys)) {
            // A control that is not there looks the same as a hidden one.
            const QString x = a.value(key, QStringLiteral("hidden"));
            const QString y = b.value(key, QStringLiteral("hidden"));
            if (x != y)
                lines << QStringLiteral("%1 | %2 | %3 | %4").arg(tab, key, x, y);
        }
    }
    return lines;
}

} // namespace SettingsWindow
