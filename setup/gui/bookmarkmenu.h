#pragma once

#include "cardpopupmenu.h"

// The menu of a "Jump to" selector: one entry per bookmark, by index.
class BookmarkMenu : public CardPopupMenu
{
    Q_OBJECT
public:
    explicit BookmarkMenu(QWidget* parent = nullptr);

    // Adds an entry for the next bookmark and returns its index.
    int addBookmark(const QString& title);
    int bookmarkCount() const { return m_count; }

signals:
    void bookmarkSelected(int index);

private:
    int m_count = 0;
};
