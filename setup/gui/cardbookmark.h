#pragma once

#include <QString>
#include <QWidget>

class QLabel;

// A bookmark row that names a part of a settings tab for the "Jump to" menu.
class CardBookmark : public QWidget
{
    Q_OBJECT
public:
    explicit CardBookmark(const QString& title, QWidget* parent = nullptr);
    QString title() const;

private:
    QLabel* m_title = nullptr;
};
