#pragma once

#include <QWidget>

// The thin vertical rule between the columns of a device summary.
class ColumnSeparator : public QWidget
{
    Q_OBJECT

public:
    explicit ColumnSeparator(QWidget* parent = nullptr);
};
