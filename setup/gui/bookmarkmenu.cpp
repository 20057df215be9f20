#include "bookmarkmenu.h"

BookmarkMenu::BookmarkMenu(QWidget* parent)
    : CardPopupMenu(parent)
{
    connect(this, &CardPopupMenu::menuOptionPressed, this, &BookmarkMenu::bookmarkSelected);
}

int BookmarkMenu::addBookmark(const QString& title)
{
    addOption(title, m_count);
    return m_count++;
}
