#pragma once

#include "settingspage.h"

#include <QList>
#include <QPointer>
#include <QWidget>

class QStackedWidget;
class QTabBar;
class SettingsTab;

// The tab bar and stack of a settings page. It combines the tabs' settings
// statuses and marks a tab left with invalid input.
class CardTabbedPages : public QWidget
{
    Q_OBJECT
public:
    explicit CardTabbedPages(QWidget* parent = nullptr);

    int addTab(SettingsTab* tab, const QString& title);
    // The widget tabs live in. A tab built with it as parent is styled once,
    // as its rows are added, rather than again in full when it is added.
    QWidget* tabParent() const;
    int count() const;
    SettingsTab* tab(int index) const;
    SettingsTab* currentTab() const;
    int currentIndex() const;
    void selectTab(int index);
    // The next (`by` 1) or previous (-1) shown tab, round at the ends, as
    // Ctrl+Tab and Ctrl+Shift+Tab choose it.
    void stepTab(int by);
    void showTab(const QString& title, bool visible);
    bool isTabVisible(int index) const;
    int indexOf(const QString& title) const;
    // Whether the tab button carries the invalid-input mark.
    bool hasAlert(int index) const;

    SettingsPage::SettingsStatus settingsStatus() const { return m_status; }
    QTabBar* tabBar() const { return m_bar; }

    // `padding`: the space left and right of a tab's title.
    static QString tabBarStyleSheet(int padding = kTabPadding);

    static constexpr int kTabPadding = 14;
    static constexpr int kMinTabPadding = 5;
    static constexpr int kTabMargin = 2;
    static constexpr int kRowMargin = 6;
    static constexpr int kMinTitlePixels = 10;
    static constexpr int kCardWidth = 620;

signals:
    void settingsStatusChanged();

public slots:
    void onPageStatusChange();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void onCurrentChanged(int index);
    void setAlert(int index, bool alert);
    // Narrows the tabs' padding, and then their font, until every visible
    // title fits the bar's row: no title may hide behind scroll buttons.
    void fitTabs();

    QTabBar* m_bar = nullptr;
    QStackedWidget* m_stack = nullptr;
    QList<QPointer<SettingsTab>> m_tabs;
    QList<bool> m_alerts;
    QPointer<SettingsTab> m_current;
    SettingsPage::SettingsStatus m_status = SettingsPage::Unchanged;
};
