#pragma once

#include <QFrame>
#include <QList>
#include <QPixmap>

class DeviceList;
class FlatImageButton;
class VisibleDevice;

// One dot per device in the footer, the current device's dot lit; a click
// on a dot makes its device current. A single device shows no dot.
class DotsWidget : public QFrame
{
    Q_OBJECT

public:
    static constexpr int kSpacing = 8;

    DotsWidget(DeviceList& deviceList, QFrame* parent = nullptr);

    int dotCount() const { return m_dots.size(); }
    FlatImageButton* dotAt(int index) const { return m_dots.value(index); }
    // Position of the lit dot, or -1.
    int currentDot() const { return m_current; }

public slots:
    void onDeviceListChanged(VisibleDevice* device);
    void onDotClicked();

private:
    void refresh();

    DeviceList& m_deviceList;
    QList<FlatImageButton*> m_dots;
    int m_current = -1;
    QPixmap m_on;
    QPixmap m_off;
};
