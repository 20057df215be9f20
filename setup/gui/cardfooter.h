#pragma once

#include <QWidget>

class CardPopupMenu;
class CardPushButton;
class FlatImageButton;
class QMenu;

// The bottom band of a settings page: the settings button with its menu on
// the left, Cancel and Save on the right.
class CardFooter : public QWidget
{
    Q_OBJECT
public:
    explicit CardFooter(QWidget* parent = nullptr);

    // 0 and 1 enable Save, 2 disables it.
    void setStatus(int status);
    void setIsImmediateApply(bool immediate);
    void setDeviceHasNoSettings();
    void setPanelLock(bool locked);
    void setSettingsButtonVisible(bool visible);

    void clearMenu();
    void addMenuOption(const QString& text, int value);
    void addSeparator();
    void addSubMenu(QMenu* menu);

    CardPushButton* saveButton() const { return m_save; }
    CardPushButton* cancelButton() const { return m_cancel; }
    FlatImageButton* settingsButton() const { return m_settings; }
    CardPopupMenu* menu() const { return m_menu; }

signals:
    void cancelPressed();
    void savePressed();
    void menuOptionPressed(int value);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void onSettingsClicked();

    FlatImageButton* m_settings = nullptr;
    CardPopupMenu* m_menu = nullptr;
    CardPushButton* m_cancel = nullptr;
    CardPushButton* m_save = nullptr;
};
