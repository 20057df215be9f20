#include "commonsettingsdialog.h"

#include "colourpalette.h"

CommonSettingsDialog::CommonSettingsDialog(QWidget* window)
    : CommonDialog(window)
{
    setTitleColours(ColourPalette::kAccentColour, Qt::white);
}
