#pragma once

#include "adminutilitydialog.h"

class BusyButton;
class CardPushButton;
class QLabel;
class QProgressBar;

// The in-window message dialog: a title band, one or two texts, and either
// buttons (one or two), a progress bar or a busy close button.
class CommonDialog : public AdminUtilityDialog
{
    Q_OBJECT
public:
    explicit CommonDialog(QWidget* window);

    void showTitleText(const QString& text);
    void showOneText(const QString& text);
    void showTwoTexts(const QString& first, const QString& second);
    void showProgressBar();
    void showBusyButton();
    void showOneButton(const QString& text);
    void showTwoButtons(const QString& first, const QString& second);
    void setProgress(int percent);

    QLabel* titleLabel() const { return m_title; }
    QLabel* firstText() const { return m_text1; }
    QLabel* secondText() const { return m_text2; }
    QProgressBar* progressBar() const { return m_progress; }
    BusyButton* busyButton() const { return m_busy; }
    CardPushButton* firstButton() const { return m_first; }
    CardPushButton* secondButton() const { return m_second; }
    CardPushButton* singleButton() const { return m_single; }

signals:
    void yesClicked();
    void noClicked();
    void closeClicked();

protected:
    // The band behind the title; subclasses restyle it.
    void setTitleColours(const QColor& background, const QColor& text);

private:
    void hideControls();
    void refit();

    QLabel* m_title = nullptr;
    QWidget* m_rule = nullptr;
    QLabel* m_text1 = nullptr;
    QLabel* m_text2 = nullptr;
    QProgressBar* m_progress = nullptr;
    BusyButton* m_busy = nullptr;
    QWidget* m_buttons = nullptr;
    CardPushButton* m_first = nullptr;
    CardPushButton* m_second = nullptr;
    CardPushButton* m_single = nullptr;
};
