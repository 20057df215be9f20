#include "cardbookmark.h"

#include "colourpalette.h"
#include "commongui.h"

#include <QLabel>
#include <QVariant>

CardBookmark::CardBookmark(const QString& title, QWidget* parent)
    : QWidget(parent)
{
    setFixedHeight(36);
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral("CardBookmark { background: white; }"));
    m_title = CommonGui::label(CommonGui::kSemibold, ColourPalette::kAccentColour, this);
    m_title->setText(title.toUpper());
    m_title->setGeometry(30, 0, 560, 36);
    m_title->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_title->setProperty("bookmarkTitle", title);
}

QString CardBookmark::title() const
{
    return m_title->property("bookmarkTitle").toString();
}
