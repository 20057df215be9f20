#pragma once

#include "adminutilitywindow.h"

class MainWindowAnimator;
class QVariant;
class ZeltraVisibleDevicesListViewWidget;

// The main window of this product: devices in arrival order and a window
// that widens smoothly when its contents cannot fit its width; otherwise it
// keeps the size the user gave it.
class ZeltraAdminUtilityWindow : public AdminUtilityWindow
{
    Q_OBJECT

public:
    static constexpr int kExtraWidth = 100;
    static constexpr int kAnimationMs = 500;

    explicit ZeltraAdminUtilityWindow(QWidget* parent = nullptr);

    MainWindowAnimator* animator() const { return m_animator; }

protected:
    bool event(QEvent* event) override;
    QWidget* getListViewWidget() override;

private slots:
    void onAnimationWindowSizeChanged(const QVariant& value);
    void onAnimationFinished();

private:
    MainWindowAnimator* m_animator = nullptr;
    // The card list, made on the first request.
    ZeltraVisibleDevicesListViewWidget* m_listViewWidget = nullptr;
};
