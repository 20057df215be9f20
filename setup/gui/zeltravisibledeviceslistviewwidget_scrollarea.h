#pragma once

#include <QScrollArea>

// The scroll area of the card list: frameless, on the view's dark background,
// with thin style-sheet scroll bars.
class ZeltraVisibleDevicesListViewWidget_ScrollArea : public QScrollArea
{
    Q_OBJECT

public:
    explicit ZeltraVisibleDevicesListViewWidget_ScrollArea(QWidget* parent = nullptr);

signals:
    void viewportResized();

protected:
    void resizeEvent(QResizeEvent* event) override;
};
