#include "columnseparator.h"

#include "colourpalette.h"

ColumnSeparator::ColumnSeparator(QWidget* parent) : QWidget(parent)
{
    setFixedWidth(1);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral("background: %1;").arg(ColourPalette::toHtmlQString(ColourPalette::kOwlGray)));
}
