#pragma once

#include "device.h"

#include <QDialog>

class QPushButton;

// Asks whether to update one card. Result 1: update now; 2: not now, and
// the Control key was held (stop asking for this version); 0: not now.
class CheckUpdateDialog : public QDialog
{
    Q_OBJECT
public:
    enum Result { DontUpdate = 0, UpdateNow = 1, DontUpdateAndIgnore = 2 };

    explicit CheckUpdateDialog(const Device& device, QWidget* parent = nullptr);

    QPushButton* updateButton() const { return m_update; }
    QPushButton* dontUpdateButton() const { return m_dontUpdate; }

public slots:
    void cancelClicked();

private:
    QPushButton* m_dontUpdate = nullptr;
    QPushButton* m_update = nullptr;
};
