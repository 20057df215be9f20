#pragma once

#include <QPixmap>
#include <QStringList>
#include <QVector>

class QButtonGroup;
class SettingsTab;

// Collects the options of an image-button row, then adds them as one row.
class ImageButtonRowBuilder
{
public:
    void add(const QPixmap& pixmap, const QString& caption, unsigned value);
    // A labelled row uses the labelled grid settings; an empty label the
    // unlabelled ones. Captions are shown when any option has one.
    QButtonGroup* build(SettingsTab& tab, const QString& label) const;

    int count() const { return m_pixmaps.size(); }

private:
    QVector<QPixmap> m_pixmaps;
    QVector<uint> m_values;
    QStringList m_captions;
};
