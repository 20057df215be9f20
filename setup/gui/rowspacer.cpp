#include "rowspacer.h"

RowSpacer::RowSpacer(int height, QWidget* parent)
    : QWidget(parent)
{
    setFixedHeight(height);
}
