#pragma once

#include "updateview.h"

#include <QMainWindow>
#include <QMetaType>

#include <memory>
#include <utility>
#include <vector>

class Device;
class FirmwareUpdateController;
class FirmwareUpdateDialog;
class FirmwareUpdateProgressDialog;

Q_DECLARE_METATYPE(std::shared_ptr<Device>)

// The view of the controller: a main window that is never shown itself,
// owning the message dialog and the progress window. update may be called
// from any thread and only queues; everything else runs on the GUI thread.
class GUIViewController : public QMainWindow, public UpdateView
{
    Q_OBJECT

public:
    explicit GUIViewController(FirmwareUpdateController* controller, QWidget* parent = nullptr);
    ~GUIViewController() override;

    void update(std::shared_ptr<Device> device) override;
    // Shows the progress window if needed; not used by the updater.
    void updateProgress(double fraction);

    FirmwareUpdateDialog* dialog() const { return m_dialog; }
    // The unit as the messages name it: its model, and the end of its
    // unique id when other units of that model are present.
    static QString unitName(const Device& device);
    FirmwareUpdateProgressDialog* progressDialog() const { return m_progress; }

signals:
    void setProgress(double fraction);

public slots:
    // Shows what the device's update state asks for and hands the user's
    // answer back to the controller.
    void updateUI(std::shared_ptr<Device> device);

private:
    int runMessage(int type, const QString& text);
    void activateView();
    // Records the modal state; false when it was shown for this device already.
    bool markShown(const std::shared_ptr<Device>& device, uint32_t state);

    FirmwareUpdateController* m_controller; // borrowed: the controller owns the view
    FirmwareUpdateDialog* m_dialog = nullptr;
    FirmwareUpdateProgressDialog* m_progress = nullptr;
    // The modal state shown last, so that the calls queued behind it, which
    // find the device still in that state, don't show it again.
    // Kept per device, as calls for several devices may interleave.
    std::vector<std::pair<std::weak_ptr<Device>, uint32_t>> m_shown;
};
