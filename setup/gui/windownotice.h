#pragma once

#include <QLabel>

// A short message shown over the bottom of a window for a few seconds and
// then removed, for news the user need not answer (a device that left).
class WindowNotice : public QLabel
{
    Q_OBJECT
public:
    static constexpr int kShownMs = 4000;

    // Shows `text` over `window`; a notice still shown there is replaced.
    static WindowNotice* post(QWidget* window, const QString& text, int shownMs = kShownMs);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    WindowNotice(QWidget* window, const QString& text);
    void place();
};
