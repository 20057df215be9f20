#pragma once

#include <QMenu>

class QSignalMapper;

// The white rounded popup menu of the footer's options button.
class MainWindowMenu : public QMenu
{
    Q_OBJECT
public:
    explicit MainWindowMenu(QWidget* parent = nullptr);

    // Adds an entry whose choice emits menuOptionPressed(value).
    QAction* addOption(const QString& text, int value);
    // Pops up with the bottom edge at `widget`'s `point` (global position).
    void raiseMenuAbove(QWidget* widget, QPoint point);
    // Where raiseMenuAbove would place the menu's top-left corner.
    QPoint positionAbove(QWidget* widget, QPoint point) const;

    static QString styleSheetText();

signals:
    void menuOptionPressed(int value);

private:
    QSignalMapper* m_mapper = nullptr;
};
