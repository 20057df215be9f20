#include "cardtabbedpages.h"
#include "hidpipixmap.h"

#include "cardseparatordark.h"
#include "colourpalette.h"
#include "commongui.h"
#include "focustrap.h"
#include "settingstab.h"
#include "tighthboxlayout.h"
#include "tightvboxlayout.h"

#include <QFontMetrics>
#include <QIcon>
#include <QShortcut>
#include <QStackedWidget>
#include <QTabBar>

CardTabbedPages::CardTabbedPages(QWidget* parent)
    : QWidget(parent)
{
    auto* column = new TightVBoxLayout(this);
    auto* barRow = new QWidget(this);
    barRow->setObjectName(QStringLiteral("cardTabBarRow"));
    barRow->setAttribute(Qt::WA_StyledBackground);
    barRow->setStyleSheet(QStringLiteral("QWidget#cardTabBarRow { background: white; }"));
    barRow->setFixedHeight(40);
    auto* line = new TightHBoxLayout(barRow);
    line->setContentsMargins(kRowMargin, 0, kRowMargin, 0);
    m_bar = new QTabBar(barRow);
    m_bar->setDrawBase(false);
    m_bar->setExpanding(false);
    m_bar->setUsesScrollButtons(true);
    m_bar->setFocusPolicy(Qt::NoFocus);
    m_bar->setFont(CommonGui::font(CommonGui::kSemibold));
    m_bar->setIconSize(QSize(12, 12));
    m_bar->setStyleSheet(tabBarStyleSheet());
    line->addStretch();
    line->addWidget(m_bar, 0, Qt::AlignBottom);
    line->addStretch();
    m_stack = new QStackedWidget(this);
    column->addWidget(barRow);
    column->addWidget(new CardSeparatorDark(this));
    column->addWidget(m_stack, 1);
    connect(m_bar, &QTabBar::currentChanged, this, &CardTabbedPages::onCurrentChanged);

    // The bar itself takes no focus: these keys change tabs from anywhere
    // on the page.
    const struct
    {
        int keys;
        int step;
    } steps[] = { { int(Qt::CTRL) | Qt::Key_Tab, 1 },
                  { int(Qt::CTRL) | int(Qt::SHIFT) | Qt::Key_Tab, -1 },
                  { int(Qt::CTRL) | Qt::Key_PageDown, 1 },
                  { int(Qt::CTRL) | Qt::Key_PageUp, -1 } };
    for (const auto& step : steps) {
        auto* shortcut = new QShortcut(QKeySequence(step.keys), this);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        const int by = step.step;
        connect(shortcut, &QShortcut::activated, this, [this, by] { stepTab(by); });
    }
}

void CardTabbedPages::stepTab(int by)
{
    const int count = m_bar->count();
    for (int i = 1; i < count; ++i) {
        const int index = ((m_bar->currentIndex() + by * i) % count + count) % count;
        if (m_bar->isTabVisible(index) && m_bar->isTabEnabled(index)) {
            m_bar->setCurrentIndex(index);
            // The keys carry on in the tab that came, at its first control.
            if (SettingsTab* shown = tab(index))
                FocusTrap::focusFirstIn(shown);
            return;
        }
    }
}

QString CardTabbedPages::tabBarStyleSheet(int padding)
{
    using P = ColourPalette;
    return QStringLiteral(
               "QTabBar { background: transparent; }"
               "QTabBar::tab { color: %1; background: transparent; border: none;"
               " border-bottom: 3px solid transparent; padding: 6px %5px 7px %5px; margin: 0px %6px; }"
               "QTabBar::tab:hover { color: %2; }"
               "QTabBar::tab:selected { color: %3; border-bottom: 3px solid %3; }"
               "QTabBar::tab:disabled { color: %4; }")
        .arg(P::toHtmlQString(P::kSmokeGray), P::toHtmlQString(P::kWinterSkyGray),
             P::toHtmlQString(P::kAccentColour), P::toHtmlQString(P::kSmokeGray, P::kDisabledAlpha))
        .arg(padding)
        .arg(kTabMargin);
}

void CardTabbedPages::fitTabs()
{
    // Before the page is laid out it has no width of its own yet: it will
    // have the card's.
    const int rowWidth = testAttribute(Qt::WA_Resized) ? width() : kCardWidth;
    const int available = rowWidth - 2 * kRowMargin;
    QFont font = CommonGui::font(CommonGui::kSemibold);
    int padding = kTabPadding;
    for (;;) {
        const QFontMetrics metrics(font);
        int titles = 0;
        int tabs = 0;
        for (int i = 0; i < m_bar->count(); ++i) {
            if (!m_bar->isTabVisible(i))
                continue;
            titles += metrics.horizontalAdvance(m_bar->tabText(i)) + 2;
            if (!m_bar->tabIcon(i).isNull())
                titles += m_bar->iconSize().width() + 4;
            ++tabs;
        }
        const auto fits = [&](int p) { return titles + tabs * 2 * (p + kTabMargin) <= available; };
        for (padding = kTabPadding; padding > kMinTabPadding && !fits(padding); --padding) {
        }
        if (fits(padding) || font.pixelSize() <= kMinTitlePixels)
            break;
        font.setPixelSize(font.pixelSize() - 1);
    }
    m_bar->setFont(font);
    m_bar->setStyleSheet(tabBarStyleSheet(padding));
    // Never narrower than its tabs: a squeezed bar hides them.
    m_bar->setMinimumSize(QSize(qMin(m_bar->sizeHint().width(), available), m_bar->sizeHint().height()));
}

void CardTabbedPages::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    fitTabs();
}

int CardTabbedPages::addTab(SettingsTab* tab, const QString& title)
{
    if (!tab)
        return -1;
    m_stack->addWidget(tab);
    m_tabs.append(tab);
    m_alerts.append(false);
    connect(tab, &SettingsTab::settingsStatusChanged, this, &CardTabbedPages::onPageStatusChange);
    const QSignalBlocker blocker(m_bar);
    const int index = m_bar->addTab(title);
    if (index == 0) {
        m_bar->setCurrentIndex(0);
        m_stack->setCurrentWidget(tab);
        m_current = tab;
    }
    fitTabs();
    onPageStatusChange();
    return index;
}

QWidget* CardTabbedPages::tabParent() const
{
    return m_stack;
}

int CardTabbedPages::count() const
{
    return m_tabs.size();
}

SettingsTab* CardTabbedPages::tab(int index) const
{
    return index >= 0 && index < m_tabs.size() ? m_tabs.at(index).data() : nullptr;
}

SettingsTab* CardTabbedPages::currentTab() const
{
    return m_current;
}

int CardTabbedPages::currentIndex() const
{
    return m_bar->currentIndex();
}

void CardTabbedPages::selectTab(int index)
{
    if (index >= 0 && index < m_tabs.size())
        m_bar->setCurrentIndex(index);
}

int CardTabbedPages::indexOf(const QString& title) const
{
    for (int i = 0; i < m_bar->count(); ++i) {
        if (m_bar->tabText(i) == title)
            return i;
    }
    return -1;
}

void CardTabbedPages::showTab(const QString& title, bool visible)
{
    const int index = indexOf(title);
    if (index < 0)
        return;
    m_bar->setTabVisible(index, visible);
    fitTabs();
    if (!visible && index == m_bar->currentIndex()) {
        for (int i = 0; i < m_bar->count(); ++i) {
            if (m_bar->isTabVisible(i)) {
                m_bar->setCurrentIndex(i);
                break;
            }
        }
    }
}

bool CardTabbedPages::isTabVisible(int index) const
{
    return index >= 0 && index < m_bar->count() && m_bar->isTabVisible(index);
}

bool CardTabbedPages::hasAlert(int index) const
{
    return index >= 0 && index < m_alerts.size() && m_alerts.at(index);
}

void CardTabbedPages::setAlert(int index, bool alert)
{
    if (index < 0 || index >= m_alerts.size() || m_alerts.at(index) == alert)
        return;
    m_alerts[index] = alert;
    m_bar->setTabIcon(index, alert ? QIcon(loadPicture(QStringLiteral(":/Field_Icon_Alert"))) : QIcon());
    fitTabs();
}

void CardTabbedPages::onPageStatusChange()
{
    SettingsPage::SettingsStatus highest = SettingsPage::Unchanged;
    for (int i = 0; i < m_tabs.size(); ++i) {
        SettingsTab* t = m_tabs.at(i);
        if (!t)
            continue;
        highest = std::max(highest, t->settingsStatus());
        if (t->settingsStatus() != SettingsPage::Invalid)
            setAlert(i, false);
    }
    if (highest != m_status) {
        m_status = highest;
        emit settingsStatusChanged();
    }
}

void CardTabbedPages::onCurrentChanged(int index)
{
    SettingsTab* next = tab(index);
    SettingsTab* previous = m_current;
    if (previous && previous->settingsStatus() == SettingsPage::Invalid)
        setAlert(m_tabs.indexOf(previous), true);
    if (next)
        m_stack->setCurrentWidget(next);
    if (next == previous)
        return;
    m_current = next;
    if (previous)
        previous->onTabDeselected();
    if (next)
        next->onTabSelected();
}
