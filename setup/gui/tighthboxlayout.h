#pragma once

#include <QHBoxLayout>

// A horizontal box layout without spacing or margins.
class TightHBoxLayout : public QHBoxLayout
{
    Q_OBJECT
public:
    TightHBoxLayout();
    explicit TightHBoxLayout(QWidget* parent);
};
