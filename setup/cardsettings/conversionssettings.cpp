#include "conversionssettings.h"
#include "hidpipixmap.h"

#include "cardrules.h"
#include "cardsection.h"
#include "imagegroupbutton.h"
#include "flatimagebutton.h"
#include "settingscheckbox.h"
#include "settingscombobox.h"
#include "visiblezeltra.h"

#include <QButtonGroup>
#include <QFrame>
#include <QSignalBlocker>

namespace {
constexpr uint32_t kNoConversion = zeltraCode("none");
constexpr int kComboWidth = 240;

// The "Display As:" row: three buttons a line, captions under the pictures.
GridSettings modeGrid()
{
    return { 24, 14, 33, 3, 15, 7, 15 };
}
} // namespace

ConversionsSettings::ConversionsSettings(VisibleZeltra& device, QWidget* parent)
    : ZeltraSettingsTab(device, parent)
{
    m_input.table = &kVideoInputConversionModes;
    m_output.table = &kVideoOutputConversionModes;

    m_input.groups = CardRules::conversionGroups(device, false);
    if (!m_input.groups.isEmpty()) {
        m_input.section = addSection(tr("Input Conversion"));
        m_input.combo = addComboBoxRow(tr("Input conversion:"), kComboWidth);
        nameSetting(m_input.combo, "input-conversion");
        for (const ConversionModeGroup& group : qAsConst(m_input.groups))
            m_input.combo->addItem(group.name);
        connect(m_input.combo, qOverload<int>(&QComboBox::currentIndexChanged), this,
                &ConversionsSettings::onInputConversionGroupChanged);
    }

    // Without a choice the section is left out, so that a card without input
    // conversion gets no tab.
    m_output.groups = CardRules::conversionGroups(device, true);
    if (!m_output.groups.isEmpty()) {
        m_output.section = addSection(tr("Output Conversion"));
        m_output.combo = addComboBoxRow(tr("Output conversion:"), kComboWidth);
        nameSetting(m_output.combo, "output-conversion");
        for (const ConversionModeGroup& group : qAsConst(m_output.groups))
            m_output.combo->addItem(group.name);
        connect(m_output.combo, qOverload<int>(&QComboBox::currentIndexChanged), this,
                &ConversionsSettings::onOutputConversionGroupChanged);
    }

    endSettingsTab();
    onPropertyChanged();
    watchModifications(true);
}

bool ConversionsSettings::isOutputModeSupported(uint32_t mode) const
{
    return device().supportsOutputConversionMode(mode);
}

bool ConversionsSettings::isNoneGroup(const Direction& direction, int index) const
{
    if (index < 0 || index >= direction.groups.size())
        return false;
    return CardRules::isNoConversionGroup(direction.groups.at(index));
}

void ConversionsSettings::rebuildModes(Direction& direction, int index)
{
    const bool output = &direction == &m_output;
    if (direction.modeRow)
        removeRowContaining(direction.modeRow);
    if (output && m_convertAnalog)
        removeRowContaining(m_convertAnalog);
    direction.buttons.clear();
    direction.builtIndex = index;
    if (index < 0 || index >= direction.groups.size() || isNoneGroup(direction, index))
        return;

    const QVector<uint32_t> modes = CardRules::conversionModes(device(), output, direction.groups.at(index));
    if (modes.isEmpty())
        return;

    // The spacing and separator that lead to the next section stay after
    // the new rows.
    QList<QWidget*> trailing;
    for (QList<QWidget*> rows = direction.section->rows(); !rows.isEmpty() && !isAControlRow(rows.last());)
        trailing.prepend(rows.takeLast());
    for (QWidget* filler : qAsConst(trailing))
        direction.section->removeRow(filler);

    CardSection* previous = currentSection();
    setActiveSection(direction.section);
    if (output && device().supportsDownConversionOnAllAnalogOutputs())
    {
        m_convertAnalog = addCheckBoxRow(QString(), tr("Convert Analog Outputs"));
        nameSetting(m_convertAnalog, "convert-analog-outputs");
    }

    QVector<QPixmap> pixmaps;
    QVector<uint> values;
    QStringList captions;
    for (uint32_t mode : qAsConst(modes)) {
        // A mode without a row of its own gets a bare button.
        const ConversionModeInfo info = direction.table->value(mode);
        pixmaps << loadPicture(info.image);
        values << mode;
        captions << info.label;
    }
    QVector<ImageGroupButton*> created;
    const QString label = tr("Display As:");
    direction.modes = addImageButtonGroup(&label, pixmaps, values, captions, &created, modeGrid(), false);
    nameSetting(direction.modes, output ? "output-conversion" : "input-conversion");
    for (int i = 0; i < created.size() && i < modes.size(); ++i)
        direction.buttons.insert(modes.at(i), created.at(i));
    if (!created.isEmpty())
        direction.modeRow = qobject_cast<QFrame*>(findRowContaining(created.first()));
    for (QWidget* filler : qAsConst(trailing))
        direction.section->addRow(filler);
    setActiveSection(previous);
}

void ConversionsSettings::clickFirstMode(Direction& direction)
{
    if (!direction.modes)
        return;
    // Buttons keep the order in which they were added, the group's own;
    // choosing a group at once chooses its first mode.
    const QList<QAbstractButton*> buttons = direction.modes->buttons();
    if (!buttons.isEmpty())
        buttons.first()->click();
}

void ConversionsSettings::onInputConversionGroupChanged(int index)
{
    rebuildModes(m_input, index);
    clickFirstMode(m_input);
}

void ConversionsSettings::onOutputConversionGroupChanged(int index)
{
    rebuildModes(m_output, index);
    if (m_convertAnalog) {
        const QSignalBlocker blocker(m_convertAnalog);
        m_convertAnalog->setChecked(device().getDownConversionOnAllAnalogOutputs());
    }
    clickFirstMode(m_output);
}

void ConversionsSettings::refresh(Direction& direction, uint32_t mode)
{
    if (!direction.combo)
        return;
    const int index = CardRules::conversionGroupOf(direction.groups, mode);
    {
        const QSignalBlocker blocker(direction.combo);
        direction.combo->setCurrentIndex(index);
    }
    // Rebuilding only when the group differs keeps the buttons under the
    // pointer while the card merely confirms a mode of the same group.
    if (index != direction.builtIndex || (!direction.modeRow && !isNoneGroup(direction, index)))
        rebuildModes(direction, index);
    if (ImageGroupButton* button = direction.buttons.value(mode)) {
        const QSignalBlocker blocker(direction.modes);
        button->button()->setChecked(true);
        button->onToggled(true);
        for (ImageGroupButton* other : qAsConst(direction.buttons)) {
            if (other != button)
                other->onToggled(false);
        }
    }
}

void ConversionsSettings::onPropertyChanged()
{
    refresh(m_input, uint32_t(device().getInputConversionMode()));
    refresh(m_output, uint32_t(device().getOutputConversionMode()));
    if (m_convertAnalog) {
        const QSignalBlocker blocker(m_convertAnalog);
        m_convertAnalog->setChecked(device().getDownConversionOnAllAnalogOutputs());
    }
}

void ConversionsSettings::apply(Direction& direction, bool input)
{
    if (!direction.combo)
        return;
    const bool changed = hasChanged(*direction.combo) || (direction.modes && hasChanged(*direction.modes));
    const int index = direction.combo->currentIndex();
    if (!changed || index < 0)
        return;
    uint32_t mode = kNoConversion;
    if (!isNoneGroup(direction, index)) {
        if (!direction.modes || direction.modes->checkedId() == -1)
            return;
        mode = uint32_t(direction.modes->checkedId());
    }
    CardRules::setConversionMode(device(), !input, mode);
}

void ConversionsSettings::onApplyChanges()
{
    apply(m_input, true);
    apply(m_output, false);
    if (m_convertAnalog && hasChanged(*m_convertAnalog))
        device().setDownConversionOnAllAnalogOutputs(m_convertAnalog->isChecked());
}
