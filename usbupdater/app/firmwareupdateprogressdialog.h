#pragma once

#include "ui_firmwareupdateprogressdialog.h"

#include <QDialog>

class QKeyEvent;

// The small window that shows how far an update has come; shown and hidden
// as the updates come and go.
class FirmwareUpdateProgressDialog : public QDialog
{
    Q_OBJECT

public:
    explicit FirmwareUpdateProgressDialog(QWidget* parent = nullptr);

    // Sizes to the contents, centres on the desktop, activates and shows.
    void show();
    int value() const;
    // Names the unit being updated ("Update in progress" without a name).
    void setDeviceName(const QString& name);
    QString text() const;

public slots:
    // −1 hides the window; any other fraction shows it and sets the bar to
    // the whole percent below it.
    void setProgress(double fraction);

protected:
    // The update cannot be cancelled: Escape must not hide its progress.
    void keyPressEvent(QKeyEvent* event) override;

private:
    Ui::FirmwareUpdateProgressDialog m_ui;
};
