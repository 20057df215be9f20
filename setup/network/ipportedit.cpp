#include "ipportedit.h"

#include <QIntValidator>

IpPortEdit::IpPortEdit(QWidget* parent) : MainWindowDialogLineEdit(parent)
{
    setValidator(new QIntValidator(kLowestPort, kHighestPort, this));
}
