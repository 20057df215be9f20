#pragma once

#include <QWidget>

class BookmarkMenu;
class FlatImageButton;
class QLabel;

// A "Jump to" drop-down: pressing it lists the bookmarks of a page and
// choosing one reports its index.
class BookmarkSelector : public QWidget
{
    Q_OBJECT
public:
    explicit BookmarkSelector(QWidget* parent = nullptr);

    int addBookmark(const QString& title);
    BookmarkMenu* menu() const { return m_menu; }

signals:
    void bookmarkSelected(int index);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void raiseMenu();

    QLabel* m_text = nullptr;
    FlatImageButton* m_button = nullptr;
    BookmarkMenu* m_menu = nullptr;
};
