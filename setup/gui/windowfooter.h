#pragma once

#include <QFrame>
#include <QList>

class DeviceList;
class QPushButton;
class VisibleDevice;

// The band along the bottom of the main window: the options button (only
// where the product offers add-by-address), a hidden entry to the build
// details, one dot per device and the gallery/list switch.
class WindowFooter : public QFrame
{
    Q_OBJECT

public:
    WindowFooter(DeviceList& deviceList, QWidget* parent, bool hasListView);

    void showDots();
    void hideDots();
    void updateDisplay();

    // Where the options menu is anchored: the menu button, or the left
    // region when the product has no menu button.
    QWidget* menuButtonAnchor() const;
    QPushButton* menuButton() const { return m_menuButton; }
    QWidget* dotsWidget() const { return m_dots; }
    QWidget* viewSelectionBar() const { return m_viewBar; }

signals:
    void menuButtonClicked();
    void easterEggClicked();
    void galleryViewSelected();
    void listViewSelected();

public slots:
    void onDeviceListChanged(VisibleDevice* device);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void rebuildDots();

    DeviceList& m_deviceList;
    QWidget* m_leftRegion = nullptr;
    QPushButton* m_menuButton = nullptr;
    QWidget* m_secret = nullptr;
    QWidget* m_dots = nullptr;
    QList<QPushButton*> m_dotButtons;
    QWidget* m_viewBar = nullptr;
    QPushButton* m_galleryButton = nullptr;
    QPushButton* m_listButton = nullptr;
    bool m_galleryActive = true;
};
