#pragma once

#include <QWidget>

// An empty row of a fixed height between the rows of a settings tab.
class RowSpacer : public QWidget
{
    Q_OBJECT
public:
    explicit RowSpacer(int height, QWidget* parent = nullptr);
};
