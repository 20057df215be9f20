#pragma once

#include <QPointer>
#include <QWidget>

class CardPushButton;
class DeviceList;
class FlatImageButton;
class QLabel;
class QStackedWidget;
class VisibleDevice;

// The gallery: the current device with its picture, name, model and setup
// button, arrows to step to its neighbours and its summary below; or the
// empty state when no device is present. It only reads the device list and
// the devices; every action goes back to the main window as a request.
class VisibleDevicesWidget : public QWidget
{
    Q_OBJECT

public:
    enum Page
    {
        DevicePage = 0,
        FirmwarePage = 1,
        EmptyPage = 2
    };
    static constexpr int kEmptyWidth = 470;
    static constexpr int kDeviceWidth = 400;
    static constexpr int kPictureHeight = 360;

    VisibleDevicesWidget(DeviceList& deviceList, QWidget* parent = nullptr);
    ~VisibleDevicesWidget() override;

    void updateDeviceDisplay();

    FlatImageButton* pictureButton() const { return m_picture; }
    QLabel* nameLabel() const { return m_name; }
    QLabel* modelLabel() const { return m_model; }
    QLabel* connectionIconLabel() const { return m_connectionIcon; }
    QLabel* messageLabel() const { return m_message; }
    QLabel* firmwareStatusLabel() const { return m_firmwareStatus; }
    QLabel* availableFirmwareLabel() const { return m_availableFirmware; }
    CardPushButton* updateNowButton() const { return m_updateNow; }
    FlatImageButton* leftArrow() const { return m_left; }
    FlatImageButton* rightArrow() const { return m_right; }
    FlatImageButton* setupButton() const { return m_setup; }
    FlatImageButton* controlAppButton() const { return m_controlApp; }
    QStackedWidget* pages() const { return m_pages; }
    // The summary of the current device while it is shown, else null.
    QWidget* summaryWidget() const { return m_summary; }

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

protected:
    // Left/Right and Home/End step through the devices.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildDeviceBox();
    void showPage(Page page);
    void setBoxWidth(int width);
    void setPicture(const QPixmap& picture);
    void showEmptyState();
    void showFirmwarePage(VisibleDevice* device);
    void showDevicePage(VisibleDevice* device);
    void releaseSummary();

    DeviceList& m_deviceList;
    FlatImageButton* m_left = nullptr;
    FlatImageButton* m_right = nullptr;
    FlatImageButton* m_picture = nullptr;
    QLabel* m_name = nullptr;
    QStackedWidget* m_pages = nullptr;
    QLabel* m_connectionIcon = nullptr;
    QLabel* m_model = nullptr;
    FlatImageButton* m_setup = nullptr;
    FlatImageButton* m_controlApp = nullptr;
    QLabel* m_firmwareCurrent = nullptr;
    QLabel* m_firmwareStatus = nullptr;
    QLabel* m_availableFirmware = nullptr;
    CardPushButton* m_updateNow = nullptr;
    QLabel* m_message = nullptr;
    QWidget* m_deviceBox = nullptr;
    QWidget* m_summaryArea = nullptr;
    // Lent by the current device, which owns it; handed back (without a
    // parent) when another device is shown and when the gallery goes.
    QPointer<QWidget> m_summary;
};
