#include "ipportedit.h"

#include "unsignedintvalidator.h"

IpPortEdit::IpPortEdit(QWidget* parent) : MainWindowDialogLineEdit(parent)
{
    // No sign and no leading zero, which a plain integer validator lets
    // through ("+1024", "01024").
    setValidator(UnsignedIntValidator::sharedPort());
}
