#include "cardsection.h"

#include "colourpalette.h"
#include "commongui.h"

#include <QLabel>
#include <QPixmap>

CardSection::CardSection(const QString& title, const QString& iconPath, int height, QWidget* parent)
    : QWidget(parent)
{
    setFixedHeight(height);
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral("CardSection { background: white; }"));

    int x = kContentMargin + kTitleX;
    if (!iconPath.isEmpty()) {
        const QPixmap icon(iconPath);
        m_icon = new QLabel(this);
        m_icon->setPixmap(icon);
        m_icon->setFixedSize(icon.size() / icon.devicePixelRatio());
        // The icon hangs in the margin left of the title block.
        m_icon->move(x, 11);
        x += m_icon->width() + 8;
    }
    m_title = CommonGui::label(CommonGui::kSemiboldLarge, ColourPalette::kWinterSkyGray, this);
    m_title->setText(title);
    m_title->setGeometry(x, 0, 560 - x, height);
    m_title->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

QString CardSection::title() const
{
    return m_title->text();
}

void CardSection::addRow(QWidget* row)
{
    if (row && !containsRow(row))
        m_rows.append(row);
}

void CardSection::removeRow(QWidget* row)
{
    for (int i = m_rows.size() - 1; i >= 0; --i) {
        if (m_rows.at(i) == row || m_rows.at(i).isNull())
            m_rows.removeAt(i);
    }
}

bool CardSection::containsRow(const QWidget* row) const
{
    for (const QPointer<QWidget>& r : m_rows) {
        if (r == row)
            return true;
    }
    return false;
}

QList<QWidget*> CardSection::rows() const
{
    QList<QWidget*> out;
    for (const QPointer<QWidget>& r : m_rows) {
        if (r)
            out.append(r.data());
    }
    return out;
}

QWidget* CardSection::lastRow() const
{
    for (int i = m_rows.size() - 1; i >= 0; --i) {
        if (m_rows.at(i))
            return m_rows.at(i).data();
    }
    return nullptr;
}

void CardSection::showSection()
{
    setSectionVisible(true);
}

void CardSection::hideSection()
{
    setSectionVisible(false);
}

void CardSection::setSectionVisible(bool visible)
{
    setVisible(visible);
    for (QWidget* row : rows())
        row->setVisible(visible);
}
