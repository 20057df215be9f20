#pragma once

#include "mainwindowdialoglineedit.h"

// A port field (1024 to 49151) for product-family plug-ins; the utility
// itself does not create one.
class IpPortEdit : public MainWindowDialogLineEdit
{
    Q_OBJECT

public:
    static constexpr int kLowestPort = 1024;
    static constexpr int kHighestPort = 49151;

    explicit IpPortEdit(QWidget* parent = nullptr);
};
