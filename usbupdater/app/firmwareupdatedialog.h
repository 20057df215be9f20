#pragma once

#include "ui_firmwareupdatedialog.h"

#include <QDialog>
#include <QString>

class QGraphicsScene;
class QKeyEvent;

// The modal message of the updater: asks whether to update and reports the
// outcome. One dialog is reused for every message.
class FirmwareUpdateDialog : public QDialog
{
    Q_OBJECT

public:
    explicit FirmwareUpdateDialog(QWidget* parent = nullptr);
    ~FirmwareUpdateDialog() override;

    // Title, message and Cancel button for a Ui::UpdateMessageType; "%1" in
    // the message is filled with text where the type has one. Unknown types
    // change nothing. Re-sizes and centres the dialog.
    void setMessage(int type, const QString& text);
    // Activates, raises and runs the dialog; non-zero when accepted.
    int exec() override;

    QString title() const;
    QString message() const;
    bool cancelVisible() const;

    // The icon file that suits a device pixel ratio.
    static QString iconPath(qreal devicePixelRatio);

protected:
    // Return is the default button; Escape is Cancel where the message has
    // one and OK where OK is the only answer.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void centre();

    Ui::FirmwareUpdateDialog m_ui;
    QGraphicsScene* m_scene = nullptr;
};
