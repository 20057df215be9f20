#pragma once

#include <QPushButton>

// The "Jump to" button on a tab's header that raises the bookmark menu.
class SettingsBookmarkButton : public QPushButton
{
    Q_OBJECT
public:
    explicit SettingsBookmarkButton(const QString& text, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
