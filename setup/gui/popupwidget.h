#pragma once

#include <QWidget>

// A floating widget shown at a point. All open popups close together.
class PopupWidget : public QWidget
{
    Q_OBJECT
public:
    explicit PopupWidget(QWidget* parent = nullptr);
    ~PopupWidget() override;

    // Moves the popup's top-left corner to `globalPoint` and shows it.
    void showAt(const QPoint& globalPoint);
    void positionAt(const QPoint& globalPoint);
    static void hideAll();
    static int openCount();

signals:
    void aboutToHide();

protected:
    void hideEvent(QHideEvent* event) override;
    void showEvent(QShowEvent* event) override;
};
