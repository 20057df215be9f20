#pragma once

#include <QVBoxLayout>

// A vertical box layout without spacing or margins.
class TightVBoxLayout : public QVBoxLayout
{
    Q_OBJECT
public:
    TightVBoxLayout();
    explicit TightVBoxLayout(QWidget* parent);
};
