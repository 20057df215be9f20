// What a keyboard and a screen reader find in a settings tab: the reading
// order of its controls and the name each control is spoken by.

#include "settingstab.h"

#include "focustrap.h"
#include "imagegroupbutton.h"
#include "rollovericon.h"
#include "settingssliderwitheditablevalue.h"
#include "tightvboxlayout.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>

#include <algorithm>

namespace {
const char* const kOwnName = "settingsTabOwnName";
const char* const kOwnDescription = "settingsTabOwnDescription";

// A control that Tab or the arrows of its group can reach. Buttons of an
// exclusive group lose the Tab stop while another of the group holds it.
bool reachable(const QWidget* w)
{
    if (w->focusPolicy() != Qt::NoFocus)
        return !qobject_cast<const QComboBox*>(w->parentWidget());
    auto* button = qobject_cast<const QAbstractButton*>(w);
    return button && button->group();
}

QString withoutColon(QString text)
{
    text = text.trimmed();
    while (text.endsWith(QLatin1Char(':')))
        text.chop(1);
    return text.trimmed();
}

// Sets a name or description unless the code that made the control gave it
// one of its own.
void give(QWidget* w, const char* mark, const QString& text, bool description)
{
    const QString present = description ? w->accessibleDescription() : w->accessibleName();
    if (!present.isEmpty() && present != w->property(mark).toString())
        return;
    if (description)
        w->setAccessibleDescription(text);
    else
        w->setAccessibleName(text);
    w->setProperty(mark, text);
}

// The text a button shows: its own, or the caption under a picture button.
QString shownText(const QAbstractButton* button)
{
    if (!button->text().isEmpty())
        return button->text();
    if (auto* image = qobject_cast<const ImageGroupButton*>(button->parentWidget()))
        return image->captionLabel() ? image->captionLabel()->text() : QString();
    return QString();
}
} // namespace

QLabel* SettingsTab::rowLabel(const QWidget* row)
{
    if (!row)
        return nullptr;
    if (auto* label = row->findChild<QLabel*>(QStringLiteral("settingsRowLabel"), Qt::FindDirectChildrenOnly))
        return label;
    for (QLabel* label : row->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!qobject_cast<RolloverIcon*>(label) && !label->text().isEmpty())
            return label;
    }
    return nullptr;
}

QString SettingsTab::spokenName(QWidget* control, const QString& rowText, const QString& sectionText)
{
    const QString label = withoutColon(rowText);
    const QString context = label.isEmpty() ? withoutColon(sectionText) : label;
    auto* editable = qobject_cast<SettingsSliderWithEditableValue*>(control->parentWidget());
    if (editable && control == editable->valueField()) {
        const QString units = editable->unitsLabel() ? editable->unitsLabel()->text().trimmed() : QString();
        return units.isEmpty() ? tr("%1 value", "a slider's typed value").arg(context)
                               : tr("%1 in %2", "a slider's typed value and its unit").arg(context, units);
    }
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        const QString text = withoutColon(shownText(button));
        if (text.isEmpty())
            return button->toolTip().isEmpty() ? context : button->toolTip();
        if (context.isEmpty() || context == text)
            return text;
        return tr("%1: %2", "a row's label, then the option's text").arg(context, text);
    }
    return context;
}

void SettingsTab::updateKeyboardAccess()
{
    m_accessPending = false;
    // Every control with the index of its row: the header first, then the
    // rows of the content in the order they are shown.
    QHash<QWidget*, int> rowOf;
    QHash<QWidget*, QWidget*> rowWidget;
    auto collect = [&](QWidget* root, int fixedIndex) {
        for (QWidget* w : root->findChildren<QWidget*>()) {
            if (!reachable(w))
                continue;
            QWidget* row = w;
            while (row->parentWidget() && row->parentWidget() != m_content && row->parentWidget() != root)
                row = row->parentWidget();
            rowOf.insert(w, fixedIndex >= 0 ? fixedIndex : m_contentLayout->indexOf(row) + 1);
            rowWidget.insert(w, row);
        }
    };
    if (m_header)
        collect(m_header, 0);
    collect(m_content, -1);

    // Reading order: rows top to bottom; within a row the order the
    // controls were made in, which is left to right.
    QList<QWidget*> chain;
    QWidget* w = nextInFocusChain();
    for (int guard = 0; w && w != this && guard < 100000; ++guard, w = w->nextInFocusChain()) {
        if (rowOf.contains(w))
            chain << w;
    }
    QList<QWidget*> sorted = chain;
    std::stable_sort(sorted.begin(), sorted.end(), [&](QWidget* a, QWidget* b) { return rowOf.value(a) < rowOf.value(b); });
    if (sorted != chain) {
        // The block is laid again from where it starts, so that what
        // follows the tab in the chain (the page's footer) still follows.
        QWidget* previous = chain.first()->previousInFocusChain();
        for (QWidget* control : qAsConst(sorted)) {
            FocusTrap::placeAfter(previous, control);
            previous = control;
        }
    }

    for (QWidget* control : qAsConst(sorted)) {
        QWidget* row = rowWidget.value(control);
        QString section;
        if (auto* s = qobject_cast<CardSection*>(row))
            section = s->title();
        for (CardSection* s : sections()) {
            if (s->containsRow(row))
                section = s->title();
        }
        QLabel* label = rowLabel(row);
        give(control, kOwnName, spokenName(control, label ? label->text() : QString(), section), false);
        // The explanation behind a row's information icon describes the
        // row's controls.
        QStringList notes;
        for (RolloverIcon* icon : row->findChildren<RolloverIcon*>()) {
            if (!icon->isHidden() && !icon->text().isEmpty())
                notes << icon->text();
        }
        give(control, kOwnDescription, notes.join(QLatin1Char(' ')), true);
    }
}

void SettingsTab::scheduleKeyboardAccess()
{
    if (m_accessPending)
        return;
    m_accessPending = true;
    QTimer::singleShot(0, this, [this] {
        if (m_accessPending)
            updateKeyboardAccess();
    });
}
