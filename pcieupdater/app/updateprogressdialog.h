#pragma once

#include "device.h"

#include <QDialog>

class QLabel;
class QProgressBar;

// Shows an update's progress; cannot be closed until the update completes.
class UpdateProgressDialog : public QDialog
{
    Q_OBJECT
public:
    explicit UpdateProgressDialog(const Device& device, QWidget* parent = nullptr);

    int progressValue() const;
    QString deviceText() const;
    bool completed() const { return m_completed; }

public slots:
    void updateProgress(double percent);
    void updateComplete();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLabel* m_deviceLabel = nullptr;
    QProgressBar* m_bar = nullptr;
    bool m_completed = false;
    void* m_launcherEntry = nullptr;
};
