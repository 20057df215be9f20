#pragma once

#include "mainwindowdialoglineedit.h"

// An IPv4 address field for product-family plug-ins; the utility itself
// does not create one.
class IpAddressEdit : public MainWindowDialogLineEdit
{
    Q_OBJECT

public:
    explicit IpAddressEdit(QWidget* parent = nullptr);
};
