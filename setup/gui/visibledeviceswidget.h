#pragma once

#include <QPointer>
#include <QWidget>

class DeviceList;
class QLabel;
class QPushButton;
class QStackedWidget;
class VisibleDevice;

// The gallery: one device at a time with its picture, name and buttons, or
// the empty state when no device is present. Every action goes back to the
// main window as a request signal.
class VisibleDevicesWidget : public QWidget
{
    Q_OBJECT

public:
    VisibleDevicesWidget(DeviceList& deviceList, QWidget* parent = nullptr);

    void updateDeviceDisplay();

    QPushButton* pictureButton() const { return m_picture; }
    QLabel* nameLabel() const { return m_name; }
    QLabel* messageLabel() const { return m_message; }
    QPushButton* leftArrow() const { return m_left; }
    QPushButton* rightArrow() const { return m_right; }

signals:
    void requestShowDevice(VisibleDevice* device);
    void requestShowControlApp(VisibleDevice* device);
    void requestFirmwareUpdate(VisibleDevice* device);
    void addByIpClicked();

public slots:
    void onDeviceListChanged();
    void onDeviceClicked();
    void onControlAppClicked();
    void onUpdateButtonClicked();
    void onLeftClicked();
    void onRightClicked();

private:
    DeviceList& m_deviceList;
    QPushButton* m_left = nullptr;
    QPushButton* m_right = nullptr;
    QPushButton* m_picture = nullptr;
    QLabel* m_name = nullptr;
    QStackedWidget* m_pages = nullptr;
    QLabel* m_model = nullptr;
    QPushButton* m_setup = nullptr;
    QPushButton* m_controlApp = nullptr;
    QLabel* m_firmwareStatus = nullptr;
    QPushButton* m_updateNow = nullptr;
    QLabel* m_message = nullptr;
    QWidget* m_summarySlot = nullptr;
    // Lent by the current device; handed back (no parent) when it changes.
    QPointer<QWidget> m_summary;
};
