#include "settingscombobox.h"

#include "commongui.h"
#include "settingsstyle.h"

#include <QListView>
#include <QStandardItemModel>
#include <QWheelEvent>

SettingsComboBox::SettingsComboBox(QWidget* parent)
    : QComboBox(parent)
{
    setFont(CommonGui::font(CommonGui::kRegularMedium));
    setFocusPolicy(Qt::StrongFocus);
    // A plain list view lets the style sheet reach the popup's items.
    setView(new QListView(this));
    setMaxVisibleItems(12);
    setStyleSheet(SettingsStyle::comboBox());
    // The open list is a window of its own, which would take the desktop's
    // font: it shows the items in the box's.
    view()->setFont(font());
}

void SettingsComboBox::changeEvent(QEvent* event)
{
    QComboBox::changeEvent(event);
    if (event->type() == QEvent::FontChange && view())
        view()->setFont(font());
}

bool SettingsComboBox::setIndexEnabled(int index, bool enabled)
{
    auto* items = qobject_cast<QStandardItemModel*>(model());
    if (!items || index < 0 || index >= items->rowCount())
        return false;
    QStandardItem* item = items->item(index);
    if (!item)
        return false;
    item->setFlags(enabled ? item->flags() | Qt::ItemIsEnabled : item->flags() & ~Qt::ItemIsEnabled);
    return true;
}

bool SettingsComboBox::isIndexEnabled(int index) const
{
    auto* items = qobject_cast<QStandardItemModel*>(model());
    if (!items || index < 0 || index >= items->rowCount() || !items->item(index))
        return false;
    return items->item(index)->flags() & Qt::ItemIsEnabled;
}

void SettingsComboBox::wheelEvent(QWheelEvent* event)
{
    if (hasFocus())
        QComboBox::wheelEvent(event);
    else
        event->ignore();
}
