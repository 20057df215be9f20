#include "imagebuttonrowbuilder.h"

#include "gridsettings.h"
#include "settingstab.h"

void ImageButtonRowBuilder::add(const QPixmap& pixmap, const QString& caption, unsigned value)
{
    m_pixmaps.append(pixmap);
    m_values.append(value);
    m_captions.append(caption);
}

QButtonGroup* ImageButtonRowBuilder::build(SettingsTab& tab, const QString& label) const
{
    bool anyCaption = false;
    for (const QString& c : m_captions)
        anyCaption = anyCaption || !c.isEmpty();
    const QStringList captions = anyCaption ? m_captions : QStringList();
    if (label.isEmpty())
        return tab.addImageButtonGroup(nullptr, m_pixmaps, m_values, captions, nullptr,
                                       GridSettings::unlabelledImageRow(), false);
    return tab.addImageButtonGroup(&label, m_pixmaps, m_values, captions, nullptr, GridSettings::labelledImageRow(),
                                   false);
}
