#pragma once

#include <QFrame>
#include <QList>
#include <QPixmap>

class DeviceList;
class FlatImageButton;
class QLabel;
class VisibleDevice;

// One dot per device in the footer, the current device's dot lit; a click
// on a dot makes its device current. A single device shows no dot.
class DotsWidget : public QFrame
{
    Q_OBJECT

public:
    static constexpr int kSpacing = 8;
    // More devices than this show "position / count" instead of dots, so the
    // row never widens the window.
    static constexpr int kMaxDots = 24;

    DotsWidget(DeviceList& deviceList, QFrame* parent = nullptr);

    int dotCount() const { return m_dots.size(); }
    FlatImageButton* dotAt(int index) const { return m_dots.value(index); }
    // Position of the lit dot, or -1.
    int currentDot() const { return m_current; }
    // The position text shown instead of the dots for many devices.
    QLabel* positionLabel() const { return m_position; }

public slots:
    void onDeviceListChanged(VisibleDevice* device);
    void onDotClicked();

private:
    void refresh();

    DeviceList& m_deviceList;
    QList<FlatImageButton*> m_dots;
    QLabel* m_position = nullptr;
    int m_current = -1;
    QPixmap m_on;
    QPixmap m_off;
    QPixmap m_onHover;
    QPixmap m_offHover;
};
