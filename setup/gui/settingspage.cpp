#include "settingspage.h"

#include "cardfooter.h"
#include "cardpushbutton.h"
#include "cardtabbedpages.h"
#include "flatimagebutton.h"
#include "focustrap.h"
#include "settingstab.h"
#include "tightvboxlayout.h"

#include <QShortcut>

namespace {
// Presses `button` as a click would, if the user could click it now.
bool press(QAbstractButton* button)
{
    if (!button || !button->isVisible() || !button->isEnabled())
        return false;
    button->click();
    return true;
}
} // namespace

SettingsPage::SettingsPage(QWidget* parent)
    : StatusPage(parent)
{
    auto* column = new TightVBoxLayout(this);
    m_pages = new CardTabbedPages(this);
    m_footer = new CardFooter(this);
    column->addWidget(m_pages, 1);
    column->addWidget(m_footer);
    connect(m_pages, &CardTabbedPages::settingsStatusChanged, this, &SettingsPage::onTabSettingsStatusChange);
    connect(m_footer, &CardFooter::cancelPressed, this, &SettingsPage::onCancelPressed);
    connect(m_footer, &CardFooter::savePressed, this, &SettingsPage::onSavePressed);
    connect(m_footer, &CardFooter::menuOptionPressed, this, &SettingsPage::menuOptionPressed);

    // Escape is Cancel (Close where that is the only button), Ctrl+Return
    // is Save, wherever the focus is on the page.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, [this] {
        if (!press(m_footer->cancelButton()))
            press(m_footer->saveButton());
    });
    for (const int key : { Qt::Key_Return, Qt::Key_Enter }) {
        auto* save = new QShortcut(QKeySequence(int(Qt::CTRL) | key), this);
        save->setContext(Qt::WidgetWithChildrenShortcut);
        connect(save, &QShortcut::activated, this, [this] { press(m_footer->saveButton()); });
    }
}

void SettingsPage::addTab(SettingsTab* tab, const QString& title)
{
    m_pages->addTab(tab, title);
    if (!tab)
        return;
    // The footer is read after the tabs: Tab leaves the last control of a
    // tab for the footer's buttons. Tabs are built after the footer, so
    // their controls would otherwise come after it.
    QWidget* last = tab;
    while (tab->isAncestorOf(last->nextInFocusChain()))
        last = last->nextInFocusChain();
    for (QWidget* button : { static_cast<QWidget*>(m_footer->settingsButton()),
                             static_cast<QWidget*>(m_footer->cancelButton()),
                             static_cast<QWidget*>(m_footer->saveButton()) }) {
        FocusTrap::placeAfter(last, button);
        last = button;
    }
}

QWidget* SettingsPage::tabParent() const
{
    return m_pages->tabParent();
}

int SettingsPage::numTabs() const
{
    return m_pages->count();
}

SettingsTab* SettingsPage::getTab(int index) const
{
    return m_pages->tab(index);
}

SettingsTab* SettingsPage::currentTab() const
{
    return m_pages->currentTab();
}

void SettingsPage::selectTab(int index)
{
    m_pages->selectTab(index);
}

void SettingsPage::showTab(const QString& title, bool visible)
{
    m_pages->showTab(title, visible);
}

void SettingsPage::setSettingsButtonVisible(bool visible)
{
    m_footer->setSettingsButtonVisible(visible);
}

void SettingsPage::clearMenu()
{
    m_footer->clearMenu();
}

void SettingsPage::addMenuOption(const QString& text, int value)
{
    m_footer->addMenuOption(text, value);
}

void SettingsPage::addSeparator()
{
    m_footer->addSeparator();
}

void SettingsPage::addSubMenu(QMenu* menu)
{
    m_footer->addSubMenu(menu);
}

void SettingsPage::setIsImmediateApply(bool immediate)
{
    m_immediateApply = immediate;
    m_footer->setIsImmediateApply(immediate);
}

void SettingsPage::enableSaveButton(bool enabled)
{
    m_footer->setStatus(enabled ? 1 : 2);
}

void SettingsPage::setDeviceHasNoSettings()
{
    m_footer->setDeviceHasNoSettings();
}

void SettingsPage::onTabSettingsStatusChange()
{
    m_footer->setStatus(m_pages->settingsStatus());
}

void SettingsPage::onPanelLockChanged(bool locked)
{
    m_footer->setPanelLock(locked);
}

void SettingsPage::onSavePressed()
{
    applyForSave();
    closeAfterSave();
}

void SettingsPage::applyForSave()
{
    // Taking the focus commits a value field that is still being edited.
    m_footer->setFocus(Qt::OtherFocusReason);
    applyChanges();
}

void SettingsPage::closeAfterSave()
{
    resetTabStatus();
    emit closePage();
}

void SettingsPage::onCancelPressed()
{
    recallRemotePreset();
    resetTabStatus();
    emit closePage();
}

void SettingsPage::resetTabStatus()
{
    for (int i = 0; i < m_pages->count(); ++i) {
        if (SettingsTab* tab = m_pages->tab(i))
            tab->setSettingsStatus(Unchanged);
    }
}

void SettingsPage::applyChanges()
{
}

void SettingsPage::recallRemotePreset()
{
}

void SettingsPage::refreshPage()
{
}
