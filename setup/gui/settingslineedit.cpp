#include "settingslineedit.h"
#include "hidpipixmap.h"

#include "commongui.h"
#include "ipaddressvalidator.h"
#include "nonemptyvalidator.h"
#include "settingsstyle.h"

#include <QAction>
#include <QKeyEvent>

SettingsLineEdit::SettingsLineEdit(QWidget* parent)
    : QLineEdit(parent)
{
    setFont(CommonGui::font(CommonGui::kRegularMedium));
    setAttribute(Qt::WA_MacShowFocusRect, false);
    setStyleSheet(SettingsStyle::lineEdit());
    m_statusAction = addAction(QIcon(), QLineEdit::TrailingPosition);
    m_statusAction->setVisible(false);
    connect(this, &QLineEdit::textChanged, this, &SettingsLineEdit::updateStatusIcon);
}

void SettingsLineEdit::setStandardVerifier(int kind)
{
    switch (kind) {
    case kNonEmpty: setValidator(NonEmptyValidator::shared()); break;
    case kIpAddress: setValidator(IpAddressValidator::shared()); break;
    default: setValidator(nullptr); break;
    }
    updateStatusIcon();
}

void SettingsLineEdit::setStatusIconEnabled(bool enabled)
{
    m_statusIconEnabled = enabled;
    updateStatusIcon();
}

bool SettingsLineEdit::isAcceptable() const
{
    return hasAcceptableInput();
}

void SettingsLineEdit::updateStatusIcon()
{
    StatusIcon icon = kNoIcon;
    if (!isAcceptable())
        icon = kAlertIcon;
    else if (hasFocus())
        icon = kOkIcon;
    m_icon = icon;
    const bool show = m_statusIconEnabled && icon != kNoIcon;
    if (show)
        m_statusAction->setIcon(QIcon(loadPicture(icon == kAlertIcon ? QStringLiteral(":/Field_Icon_Alert")
                                                                    : QStringLiteral(":/Field_Icon_OK"))));
    m_statusAction->setVisible(show);
}

void SettingsLineEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    updateStatusIcon();
}

void SettingsLineEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    updateStatusIcon();
}

void SettingsLineEdit::keyPressEvent(QKeyEvent* event)
{
    QLineEdit::keyPressEvent(event);
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        focusNextPrevChild(true);
}
