#pragma once

#include "flatimagebutton.h"

class QTimer;

// A close button that, while busy, turns through twelve animation frames.
class BusyButton : public FlatImageButton
{
    Q_OBJECT
public:
    explicit BusyButton(QWidget* parent = nullptr);

    void setBusy(bool busy);
    bool isBusy() const;
    // The frame shown, 1 to 12; 0 when not busy.
    int currentFrame() const { return m_frame; }

    static constexpr int kFrames = 12;
    static constexpr int kFrameMilliseconds = 80;

private slots:
    void onTick();

private:
    void showFrame(int frame);

    QTimer* m_timer = nullptr;
    int m_frame = 0;
};
