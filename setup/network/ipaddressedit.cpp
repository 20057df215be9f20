#include "ipaddressedit.h"

#include "ipaddressvalidator.h"

IpAddressEdit::IpAddressEdit(QWidget* parent) : MainWindowDialogLineEdit(parent)
{
    setValidator(IpAddressValidator::sharedForAddressEntry());
}
