#pragma once

#include <QFrame>

class DeviceList;
class DotsWidget;
class FooterLeftRegion;
class QWidget;
class ViewSelectionBar;
class VisibleDevice;

// The band along the bottom of the main window: the options button (only
// where the product offers options) and the hidden entry to the build
// details on the left, one dot per device in the middle and, when the window
// has a list view, the gallery/list switch on the right.
class WindowFooter : public QFrame
{
    Q_OBJECT

public:
    static constexpr int kHeight = 64;

    WindowFooter(DeviceList& deviceList, QWidget* parent, bool hasListView);

    void showDots();
    void hideDots();
    void updateDisplay();

    // Where the options menu is anchored: the menu button, or the left
    // region when the product has no menu button.
    QWidget* menuButtonAnchor() const;
    FooterLeftRegion* leftRegion() const { return m_leftRegion; }
    DotsWidget* dotsWidget() const { return m_dots; }
    // Null without a list view.
    ViewSelectionBar* viewSelectionBar() const { return m_viewBar; }

signals:
    void menuButtonClicked();
    void easterEggClicked();
    void galleryViewSelected();
    void listViewSelected();

public slots:
    void onDeviceListChanged(VisibleDevice* device);

private:
    bool galleryActive() const;

    DeviceList& m_deviceList;
    FooterLeftRegion* m_leftRegion = nullptr;
    DotsWidget* m_dots = nullptr;
    ViewSelectionBar* m_viewBar = nullptr;
    // Whether the window shows its gallery; without a view bar it always does.
    bool m_dotsWanted = true;
};
