#include "bookmarkselector.h"

#include "bookmarkmenu.h"
#include "colourpalette.h"
#include "commongui.h"
#include "flatimagebutton.h"
#include "tighthboxlayout.h"

#include <QLabel>
#include <QMouseEvent>

BookmarkSelector::BookmarkSelector(QWidget* parent)
    : QWidget(parent)
{
    setFixedHeight(24);
    setCursor(Qt::PointingHandCursor);
    auto* row = new TightHBoxLayout(this);
    m_text = CommonGui::label(CommonGui::kSemiboldMedium, ColourPalette::kWinterSkyGray, this);
    m_text->setText(tr("Jump to"));
    m_button = new FlatImageButton(QStringLiteral(":/Dropdown"), this);
    row->addWidget(m_text);
    row->addSpacing(4);
    row->addWidget(m_button);
    m_menu = new BookmarkMenu(this);
    connect(m_button, &QAbstractButton::clicked, this, &BookmarkSelector::raiseMenu);
    connect(m_menu, &BookmarkMenu::bookmarkSelected, this, &BookmarkSelector::bookmarkSelected);
}

int BookmarkSelector::addBookmark(const QString& title)
{
    return m_menu->addBookmark(title);
}

void BookmarkSelector::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        raiseMenu();
    QWidget::mousePressEvent(event);
}

void BookmarkSelector::raiseMenu()
{
    if (!m_menu->isEmpty())
        m_menu->raiseBelow(this, 2);
}
