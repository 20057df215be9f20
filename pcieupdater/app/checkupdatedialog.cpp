#include "checkupdatedialog.h"

#include "dialoglayout.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QPushButton>

CheckUpdateDialog::CheckUpdateDialog(const Device& device, QWidget* parent) : QDialog(parent)
{
    const QString text =
        tr("<b>Software Update Required!</b><br/><br/>Your %1 needs a software update. This update takes only "
           "a few minutes, and makes sure you have the latest features and compatibility. Would you like to "
           "update now?")
            .arg(device.displayName().toHtmlEscaped()); // the name comes from the updater: show it as text
    QLabel* label = nullptr;
    QHBoxLayout* buttons = DialogLayout::build(this, text, &label);
    m_dontUpdate = DialogLayout::addButton(buttons, tr("Don't Update"));
    m_update = DialogLayout::addButton(buttons, tr("Update Now"));
    m_update->setDefault(true);

    setFixedWidth(540);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    // A fixed-size layout takes its width from the contents: give the text
    // what the 540 pixels leave beside the icon.
    const QMargins m = layout()->contentsMargins();
    label->setFixedWidth(540 - m.left() - m.right() - 80 - layout()->spacing());
    setSizeGripEnabled(false);
    setWindowFlags(Qt::WindowFlags(DialogLayout::kWindowFlags));
    setWindowTitle(tr("Morvane Software Update"));

    connect(m_update, &QPushButton::clicked, this, [this] { done(UpdateNow); });
    connect(m_dontUpdate, &QPushButton::clicked, this, &CheckUpdateDialog::cancelClicked);
}

void CheckUpdateDialog::cancelClicked()
{
    if (QGuiApplication::keyboardModifiers() & Qt::ControlModifier)
        done(DontUpdateAndIgnore);
    else
        reject();
}
