#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

class QLabel;

// A titled section of a settings tab. The section widget is the header row;
// the rows under it are siblings in the tab's column that the section keeps
// in a list, so that showing or hiding the section shows or hides them too.
class CardSection : public QWidget
{
    Q_OBJECT
public:
    explicit CardSection(const QString& title, const QString& iconPath = QString(), int height = 44,
                         QWidget* parent = nullptr);

    QString title() const;
    QLabel* titleLabel() const { return m_title; }
    QLabel* iconLabel() const { return m_icon; }
    // Left margin of the header's content; buttons on the header add it.
    int contentMargin() const { return kContentMargin; }

    void addRow(QWidget* row);
    void removeRow(QWidget* row);
    bool containsRow(const QWidget* row) const;
    QList<QWidget*> rows() const;
    QWidget* lastRow() const;

    void showSection();
    void hideSection();
    void setSectionVisible(bool visible);

    static constexpr int kContentMargin = 0;
    static constexpr int kTitleX = 30;

private:
    QLabel* m_title = nullptr;
    QLabel* m_icon = nullptr;
    QList<QPointer<QWidget>> m_rows;
};
