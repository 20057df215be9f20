#include "settingstab.h"
#include "hidpipixmap.h"

#include "cardbookmark.h"
#include "cardpopupmenu.h"
#include "cardpushbutton.h"
#include "cardscrollarea.h"
#include "cardsection.h"
#include "cardseparatordark.h"
#include "cardseparatordarkmiddle.h"
#include "colourpalette.h"
#include "commongui.h"
#include "flatimagebutton.h"
#include "imagegroupbutton.h"
#include "rollovericon.h"
#include "rowspacer.h"
#include "settingsalertandresponse.h"
#include "settingsbookmarkbutton.h"
#include "settingscheckbox.h"
#include "settingscombobox.h"
#include "settingslabel.h"
#include "settingslineedit.h"
#include "settingsradiobutton.h"
#include "settingsslider.h"
#include "settingsslidervalue.h"
#include "settingssliderwitheditablevalue.h"
#include "sliderlink.h"
#include "tighthboxlayout.h"
#include "tightvboxlayout.h"

#include <QButtonGroup>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QScrollBar>

#include <algorithm>

namespace {
constexpr int kLabelX = 30;
constexpr int kLabelY = 7;
constexpr int kLabelWidth = 160;
constexpr int kSpacer = 11;
constexpr int kSectionSpacer = 28;
constexpr int kGridLabelWidth = 190;
constexpr int kGridContentWidth = 430;
constexpr int kButtonGridMinimum = 112;
constexpr int kGroupItemHeight = 24;
} // namespace

SettingsTab::SettingsTab(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral("SettingsTab { background: white; }"));
    m_outer = new TightVBoxLayout(this);
    m_scroll = new CardScrollArea(this);
    m_content = new QWidget;
    m_content->setObjectName(QStringLiteral("settingsTabContent"));
    m_content->setAttribute(Qt::WA_StyledBackground);
    m_content->setStyleSheet(QStringLiteral("QWidget#settingsTabContent { background: white; }"));
    m_contentLayout = new TightVBoxLayout(m_content);
    m_scroll->setWidget(m_content);
    m_outer->addWidget(m_scroll);
    // Rows that come, go or show call for the reading order and names again.
    m_content->installEventFilter(this);
}

bool SettingsTab::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_content && event->type() == QEvent::LayoutRequest)
        scheduleKeyboardAccess();
    return QWidget::eventFilter(watched, event);
}

void SettingsTab::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    updateKeyboardAccess();
}

SettingsTab::~SettingsTab() = default;

// --- separators and raw rows -------------------------------------------

void SettingsTab::addingRow(RowKind kind)
{
    const RowKind previous = m_lastKind;
    if (previous == None) {
        if (kind != Section)
            addWidget(new RowSpacer(kSpacer));
    } else if (kind == Section) {
        addWidget(new RowSpacer(kSectionSpacer));
        addWidget(new CardSeparatorDarkMiddle);
    } else if (kind == Control) {
        if (previous != Section && !m_inRowGroup)
            addWidget(new RowSpacer(kSpacer));
    } else if (kind == Header || (kind == Bookmark && previous == Header)) {
        addWidget(new CardSeparatorDark);
    } else if (!m_inRowGroup) {
        addWidget(new CardSeparatorDarkMiddle);
    }
    m_lastKind = kind;
}

void SettingsTab::addWidget(QWidget* widget)
{
    if (!widget)
        return;
    if (!m_currentSection) {
        m_contentLayout->addWidget(widget);
        return;
    }
    QWidget* after = m_currentSection->lastRow();
    if (!after)
        after = m_currentSection;
    const int index = m_contentLayout->indexOf(after);
    m_contentLayout->insertWidget(index < 0 ? m_contentLayout->count() : index + 1, widget);
    m_currentSection->addRow(widget);
}

void SettingsTab::addControlRow(QWidget* widget)
{
    addingRow(Control);
    addWidget(widget);
}

RowSpacer* SettingsTab::addRowSpacer(int height)
{
    auto* spacer = new RowSpacer(height);
    addWidget(spacer);
    return spacer;
}

void SettingsTab::beginRowGroup()
{
    addingRow(Control);
    m_inRowGroup = true;
}

void SettingsTab::endRowGroup()
{
    m_inRowGroup = false;
}

void SettingsTab::endSettingsTab()
{
    m_currentSection = nullptr;
    m_lastKind = Bookmark;
    m_contentLayout->addWidget(new RowSpacer(kSectionSpacer));
    m_contentLayout->addStretch();
    updateKeyboardAccess();
}

QWidget* SettingsTab::createLabelledRow(const QString& label, int height)
{
    auto* row = new QWidget;
    row->setFixedHeight(height);
    if (!label.isEmpty()) {
        QLabel* title = CommonGui::label(CommonGui::kRegularMedium, ColourPalette::kWinterSkyGray, row);
        title->setObjectName(QStringLiteral("settingsRowLabel"));
        title->setText(label);
        title->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        title->setGeometry(kLabelX, kLabelY, kLabelWidth, 17);
    }
    return row;
}

void SettingsTab::connectChange(QObject* sender, const char* signal)
{
    connect(sender, signal, this, SLOT(onAnyControlChanged()));
}

// --- header, sections and bookmarks ------------------------------------

CardSection* SettingsTab::addHeader(const QString& title, const QString& iconPath, bool withBookmarkMenu)
{
    if (m_header)
        return m_header;
    m_header = new CardSection(title, iconPath, 40, this);
    m_outer->insertWidget(0, m_header);
    m_outer->insertWidget(1, new CardSeparatorDark(this));
    if (withBookmarkMenu)
        buildBookmarkMenu(m_header);
    return m_header;
}

void SettingsTab::buildBookmarkMenu(CardSection* header)
{
    if (m_bookmarkButton || !header)
        return;
    // Bookmarks added before the header already made the menu.
    if (!m_bookmarkMenu)
        m_bookmarkMenu = new CardPopupMenu(this);
    m_bookmarkButton = new SettingsBookmarkButton(tr("Jump to"), header);
    m_bookmarkButton->move(kRowWidth - 30 - m_bookmarkButton->width(),
                           (header->height() - m_bookmarkButton->height()) / 2);
    connect(m_bookmarkButton, &QPushButton::clicked, this, [this] { m_bookmarkMenu->raiseBelow(m_bookmarkButton, 2); });
    connect(m_bookmarkMenu, &CardPopupMenu::menuOptionPressed, this, &SettingsTab::scrollToBookmark);
}

void SettingsTab::addBookmark(const QString& title)
{
    addingRow(Bookmark);
    auto* bookmark = new CardBookmark(title);
    addWidget(bookmark);
    m_bookmarks.append(bookmark);
    if (!m_bookmarkMenu)
        m_bookmarkMenu = new CardPopupMenu(this);
    m_bookmarkMenu->addOption(title, m_bookmarks.size() - 1);
}

QList<CardBookmark*> SettingsTab::bookmarks() const
{
    QList<CardBookmark*> out;
    for (const QPointer<CardBookmark>& b : m_bookmarks) {
        if (b)
            out.append(b.data());
    }
    return out;
}

void SettingsTab::scrollToBookmark(int index)
{
    if (index < 0 || index >= m_bookmarks.size() || !m_bookmarks.at(index))
        return;
    m_scroll->verticalScrollBar()->setValue(m_bookmarks.at(index)->y());
}

CardSection* SettingsTab::addSection(const QString& title)
{
    return addSection(new CardSection(title));
}

CardSection* SettingsTab::addSection(CardSection* section)
{
    if (!section)
        return nullptr;
    if (!sections().isEmpty())
        addingRow(Section);
    // The header goes after whatever the previous section holds, but is
    // not one of its rows.
    int index = m_contentLayout->count();
    if (m_currentSection) {
        QWidget* last = m_currentSection->lastRow();
        const int at = m_contentLayout->indexOf(last ? last : m_currentSection.data());
        if (at >= 0)
            index = at + 1;
    }
    m_contentLayout->insertWidget(index, section);
    m_sections.append(section);
    m_currentSection = section;
    return section;
}

QList<CardSection*> SettingsTab::sections() const
{
    QList<CardSection*> out;
    for (const QPointer<CardSection>& s : m_sections) {
        if (s)
            out.append(s.data());
    }
    return out;
}

FlatImageButton* SettingsTab::addSectionButton(CardSection* section, const QString& imagePath)
{
    if (!section)
        return nullptr;
    const QPixmap full = loadPicture(imagePath);
    auto* button = new FlatImageButton(section);
    button->setImage(CommonGui::createTransparentIcon(full, CommonGui::kFadedOpacity));
    button->setHoverImage(full);
    button->setCheckedImage(full);
    button->resizeToFit();
    button->move(589 + section->contentMargin(), (section->height() - button->height()) / 2);
    button->setFocusPolicy(Qt::TabFocus);
    // Every section button of the pages brings the section's defaults back.
    const QString name = imagePath == QLatin1String(":/Refresh") ? tr("Reset %1 to defaults").arg(section->title())
                                                                 : section->title();
    button->setToolTip(name);
    button->setAccessibleName(name);
    button->show();
    return button;
}

void SettingsTab::showSection(CardSection* section, bool visible)
{
    if (!section)
        return;
    section->setSectionVisible(visible);
    // The spacing and line that lead from a section to the next one belong
    // to the first of them: they show only between two shown sections.
    const QList<CardSection*> all = sections();
    for (int i = 0; i < all.size(); ++i) {
        bool laterShown = false;
        for (int j = i + 1; j < all.size() && !laterShown; ++j)
            laterShown = !all.at(j)->isHidden();
        const bool show = !all.at(i)->isHidden() && laterShown;
        QList<QWidget*> rows = all.at(i)->rows();
        while (!rows.isEmpty()
               && (qobject_cast<RowSpacer*>(rows.last()) || qobject_cast<CardSeparatorDarkMiddle*>(rows.last()))) {
            rows.takeLast()->setVisible(show);
        }
    }
}

void SettingsTab::setActiveSection(CardSection* section)
{
    m_currentSection = section;
    m_lastKind = (section && section->rows().size() == 2) ? Header : Bookmark;
}

// --- labelled rows -----------------------------------------------------

SettingsLabel* SettingsTab::addLabelRow(const QString& label, const QString& text)
{
    addingRow(Control);
    QWidget* row = createLabelledRow(label);
    auto* value = new SettingsLabel(row);
    value->setText(text);
    value->setGeometry(kControlX, kLabelY, 385, 17);
    value->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    addWidget(row);
    return value;
}

SettingsLineEdit* SettingsTab::addLineEditRow(const QString& label, int kind)
{
    addingRow(Control);
    QWidget* row = createLabelledRow(label);
    auto* edit = new SettingsLineEdit(row);
    edit->setStandardVerifier(kind);
    edit->setGeometry(kControlX, 3, 260, 25);
    addWidget(row);
    watchLineEdit(edit);
    return edit;
}

void SettingsTab::watchLineEdit(QLineEdit* edit)
{
    if (!edit)
        return;
    for (const QPointer<QLineEdit>& e : qAsConst(m_watched)) {
        if (e == edit)
            return;
    }
    m_watched.append(edit);
    connect(edit, &QLineEdit::textEdited, this, &SettingsTab::onLineEditChanged);
}

QButtonGroup* SettingsTab::beginRadioGroup(const QString& label)
{
    addingRow(Control);
    m_radioRow = createLabelledRow(label);
    m_radioGroup = new QButtonGroup(m_radioRow);
    m_radioNextY = 8;
    watchButtonGroup(m_radioGroup);
    addWidget(m_radioRow);
    return m_radioGroup;
}

SettingsRadioButton* SettingsTab::addRadioButtonRow(const QString& text, int id)
{
    if (!m_radioRow || !m_radioGroup)
        return nullptr;
    auto* button = new SettingsRadioButton(text, m_radioRow);
    button->move(kControlX, m_radioNextY);
    button->show();
    m_radioGroup->addButton(button, id);
    m_radioNextY += 27;
    m_radioRow->setFixedHeight(m_radioNextY + 1);
    return button;
}

void SettingsTab::endRadioGroup()
{
    m_radioRow = nullptr;
    m_radioGroup = nullptr;
    m_radioNextY = 0;
}

CardPushButton* SettingsTab::addPushButtonRow(const QString& label, const QString& text)
{
    return addCardPushButtonRow(label, text);
}

CardPushButton* SettingsTab::addCardPushButtonRow(const QString& label, const QString& text)
{
    addingRow(Control);
    QWidget* row = createLabelledRow(label);
    auto* button = new CardPushButton(text, row);
    button->setFixedSize(114, 25);
    button->move(kControlX, 3);
    addWidget(row);
    return button;
}

SettingsCheckBox* SettingsTab::addCheckBoxRow(const QString& label, const QString& text)
{
    addingRow(Control);
    QWidget* row = createLabelledRow(label, 24);
    auto* box = new SettingsCheckBox(text, row);
    box->move(204, 5);
    connect(box, &QAbstractButton::clicked, this, &SettingsTab::onAnyControlChanged);
    addWidget(row);
    // The label sits level with the box.
    if (auto* title = row->findChild<QLabel*>())
        title->move(kLabelX, 6);
    return box;
}

SettingsComboBox* SettingsTab::addComboBoxRow(const QString& label, ComboWidth width)
{
    addingRow(Control);
    QWidget* row = createLabelledRow(label);
    auto* combo = new SettingsComboBox(row);
    combo->setFixedSize(width, 27);
    combo->move(kControlX, 2);
    connect(combo, qOverload<int>(&QComboBox::activated), this, &SettingsTab::onAnyControlChanged);
    addWidget(row);
    return combo;
}

QSlider* SettingsTab::addSliderRow(const QString& label, const QString& format)
{
    QSlider* slider = addSliderRowAndValue(label);
    if (auto* s = qobject_cast<SettingsSlider*>(slider))
        s->setFormat(format);
    return slider;
}

QSlider* SettingsTab::addSliderRowAndValue(const QString& label, SettingsSliderValue** value)
{
    return commonAddSliderRow(label, value);
}

SettingsSlider* SettingsTab::commonAddSliderRow(const QString& label, SettingsSliderValue** value)
{
    addingRow(Control);
    QWidget* row = createLabelledRow(label, 38);
    auto* slider = new SettingsSlider(row);
    slider->setGeometry(kControlX, 7, 330, 20);
    auto* display = new SettingsSliderValue(row);
    display->move(550, 7);
    slider->setValueDisplay(display);
    connect(slider, &QSlider::actionTriggered, this, &SettingsTab::onAnyControlChanged);
    addWidget(row);
    if (value)
        *value = display;
    return slider;
}

SettingsSliderWithEditableValue* SettingsTab::addSliderRowWithEditableValue(const QString& label, double minimum,
                                                                             double maximum, int decimals,
                                                                             const QString& units,
                                                                             bool defaultEnabled,
                                                                             double defaultValue)
{
    addingRow(Control);
    QWidget* row = createLabelledRow(label);
    auto* slider = new SettingsSliderWithEditableValue(row);
    slider->move(kControlX, 0);
    slider->setDecimalPlaces(decimals);
    slider->setMinimum(minimum);
    slider->setMaximum(maximum);
    slider->setLabel(units);
    slider->setDefaultEnabled(defaultEnabled);
    slider->setDefaultValue(defaultValue);
    connect(slider, qOverload<>(&SettingsSliderWithEditableValue::valueChanged), this,
            &SettingsTab::onAnyControlChanged);
    addWidget(row);
    return slider;
}

SliderLink* SettingsTab::linkSliders(SettingsSliderWithEditableValue* a, SettingsSliderWithEditableValue* b,
                                     int type)
{
    if (!a || !b || a == b)
        return nullptr;
    const auto linkType = static_cast<SliderLink::Type>(qBound(0, type, 2));
    return new SliderLink(a, b, linkType, m_content);
}

SettingsAlertAndResponse* SettingsTab::addAlert(const QString& label, const QString& text,
                                                const QString& buttonText, bool alarmed)
{
    addingRow(Control);
    QWidget* row = createLabelledRow(label);
    auto* alert = new SettingsAlertAndResponse(buttonText, row);
    alert->move(kControlX, 0);
    connect(alert->button(), &QAbstractButton::clicked, this, &SettingsTab::onAnyControlChanged);
    alert->setAlarmed(alarmed, text);
    addWidget(row);
    return alert;
}

// --- grid rows ---------------------------------------------------------

QFrame* SettingsTab::createRowWithGridLayout(const QString* label, const GridSettings& settings,
                                             QGridLayout** grid)
{
    // Rows take the tab's width, which a shown scroll bar narrows a little.
    auto* row = new QFrame;
    row->setMaximumWidth(kRowWidth);
    auto* line = new TightHBoxLayout(row);
    auto* content = new QFrame(row);
    if (label) {
        QLabel* title = CommonGui::label(CommonGui::kRegularMedium, ColourPalette::kWinterSkyGray, row);
        title->setObjectName(QStringLiteral("settingsRowLabel"));
        title->setText(*label);
        title->setAlignment(Qt::AlignRight | Qt::AlignTop);
        title->setFixedWidth(kGridLabelWidth);
        title->setContentsMargins(0, settings.labelTopMargin, 0, 0);
        line->addWidget(title, 0, Qt::AlignTop);
        content->setFixedWidth(kGridContentWidth);
    }
    // The grid fixes the content frame to its own size; the row's free
    // space goes to the right, or to both sides for a centred grid.
    const bool centred = !label && (settings.alignment & Qt::AlignHCenter);
    if (centred)
        line->addStretch();
    line->addWidget(content, 0, Qt::AlignTop);
    line->addStretch();
    auto* layout = new QGridLayout(content);
    layout->setContentsMargins(settings.horizontalMargin, settings.verticalMargin, settings.horizontalMargin,
                               settings.verticalMargin);
    layout->setHorizontalSpacing(settings.horizontalSpacing);
    layout->setVerticalSpacing(settings.verticalSpacing);
    layout->setAlignment(Qt::Alignment(settings.alignment));
    layout->setSizeConstraint(QLayout::SetFixedSize);
    if (grid)
        *grid = layout;
    return row;
}

void SettingsTab::align(const QList<QGridLayout*>& grids, int type, bool includeHidden, int width)
{
    auto counts = [includeHidden](QLayoutItem* item) {
        return item && item->widget() && (includeHidden || !item->widget()->isHidden());
    };
    int columns = 0;
    for (QGridLayout* grid : grids)
        columns = std::max(columns, grid->columnCount());

    if (type == kAlignToMinimum) {
        for (QGridLayout* grid : grids) {
            for (int c = 0; c < grid->columnCount(); ++c) {
                bool used = false;
                for (int r = 0; r < grid->rowCount() && !used; ++r)
                    used = counts(grid->itemAtPosition(r, c));
                if (used)
                    grid->setColumnMinimumWidth(c, width);
            }
        }
    } else if (type == kAlignAllToWidest) {
        int widest = 0;
        for (QGridLayout* grid : grids) {
            for (int i = 0; i < grid->count(); ++i) {
                QLayoutItem* item = grid->itemAt(i);
                if (counts(item))
                    widest = std::max(widest, item->widget()->sizeHint().width());
            }
        }
        for (QGridLayout* grid : grids) {
            for (int c = 0; c < grid->columnCount(); ++c) {
                bool used = false;
                for (int r = 0; r < grid->rowCount() && !used; ++r)
                    used = counts(grid->itemAtPosition(r, c));
                if (used)
                    grid->setColumnMinimumWidth(c, widest);
            }
        }
    } else {
        for (int c = 0; c < columns; ++c) {
            int widest = 0;
            for (QGridLayout* grid : grids) {
                for (int r = 0; r < grid->rowCount(); ++r) {
                    QLayoutItem* item = grid->itemAtPosition(r, c);
                    if (counts(item))
                        widest = std::max(widest, item->widget()->sizeHint().width());
                }
            }
            for (QGridLayout* grid : grids) {
                if (c < grid->columnCount())
                    grid->setColumnMinimumWidth(c, widest);
            }
        }
    }
    for (QGridLayout* grid : grids) {
        grid->activate();
        if (QWidget* parent = grid->parentWidget())
            parent->adjustSize();
    }
}

void SettingsTab::alignButtonGrids()
{
    QList<QGridLayout*> grids;
    for (const QPointer<QGridLayout>& g : qAsConst(m_buttonGrids)) {
        if (g)
            grids.append(g.data());
    }
    align(grids, kAlignToMinimum, false, kButtonGridMinimum);
}

void SettingsTab::alignImageGrids()
{
    QList<QGridLayout*> grids;
    for (const QPointer<QGridLayout>& g : qAsConst(m_imageGrids)) {
        if (g)
            grids.append(g.data());
    }
    align(grids, kAlignAllToWidest, false);
}

// --- check-box groups --------------------------------------------------

void SettingsTab::addCheckBoxGroup(const QString& label, QVector<SettingsCheckBox*>* outPointers,
                                   const QStringList& texts)
{
    beginCheckBoxGroup(label);
    for (const QString& text : texts) {
        SettingsCheckBox* box = addCheckBoxGroupRow(text);
        if (outPointers)
            outPointers->append(box);
    }
    endCheckBoxGroup();
}

void SettingsTab::beginCheckBoxGroup(const QString& label)
{
    if (m_checkFrame)
        endCheckBoxGroup();
    const GridSettings settings = GridSettings::checkBoxGroup();
    // Without a label the boxes still start in the control column, where
    // every other control of the tab starts.
    m_checkFrame = createRowWithGridLayout(&label, settings, &m_checkLayout);
    m_checkRow = 0;
    m_checkColumn = 0;
}

SettingsCheckBox* SettingsTab::addCheckBoxGroupRow(const QString& text)
{
    if (!m_checkFrame || !m_checkLayout)
        return nullptr;
    const int columns = GridSettings::checkBoxGroup().columns;
    auto* box = new SettingsCheckBox(text);
    box->setFixedHeight(kGroupItemHeight);
    m_checkLayout->addWidget(box, m_checkRow, m_checkColumn, Qt::Alignment(GridSettings::checkBoxGroup().alignment));
    connect(box, &QAbstractButton::clicked, this, &SettingsTab::onAnyControlChanged);
    if (++m_checkColumn >= columns) {
        m_checkColumn = 0;
        ++m_checkRow;
    }
    return box;
}

QFrame* SettingsTab::endCheckBoxGroup()
{
    QFrame* frame = m_checkFrame;
    QGridLayout* grid = m_checkLayout;
    m_checkFrame = nullptr;
    m_checkLayout = nullptr;
    if (!frame)
        return nullptr;
    if (grid->count() == 0) {
        delete frame;
        return nullptr;
    }
    return finishButtonGrid(frame, grid, (grid->count() + 1) / 2);
}

QFrame* SettingsTab::finishButtonGrid(QFrame* frame, QGridLayout* grid, int rows)
{
    if (rows <= 1) {
        // A single line sits in an ordinary row height.
        QMargins m = grid->contentsMargins();
        m.setTop(3);
        grid->setContentsMargins(m);
        frame->setFixedHeight(kRowHeight);
    } else {
        frame->setFixedHeight(rows * kGroupItemHeight + (rows - 1) * grid->verticalSpacing());
    }
    addingRow(Control);
    addWidget(frame);
    m_buttonGrids.append(grid);
    alignButtonGrids();
    return frame;
}

// --- grid radio groups -------------------------------------------------

QButtonGroup* SettingsTab::addRadioButtonGroup(const QString& label, QVector<SettingsRadioButton*>* outPointers,
                                               const QStringList& labels, const QVector<int>& ids, int columns)
{
    QButtonGroup* group = beginRadioGroupWithGridLayout(label, columns);
    for (int i = 0; i < labels.size(); ++i) {
        SettingsRadioButton* button = addRadioButtonRowToGrid(labels.at(i), i < ids.size() ? ids.at(i) : -1);
        if (outPointers)
            outPointers->append(button);
    }
    endRadioGroupWithGridLayout();
    return group;
}

QButtonGroup* SettingsTab::beginRadioGroupWithGridLayout(const QString& label, int columns)
{
    if (m_gridRadioFrame)
        endRadioGroupWithGridLayout();
    const GridSettings settings = GridSettings::gridRadioGroup();
    m_gridRadioFrame = createRowWithGridLayout(label.isEmpty() ? nullptr : &label, settings, &m_gridRadioLayout);
    m_gridRadioGroup = new QButtonGroup(m_gridRadioFrame);
    watchButtonGroup(m_gridRadioGroup);
    m_gridRadioRow = 0;
    m_gridRadioColumn = 0;
    m_gridRadioColumns = columns >= 1 ? columns : settings.columns;
    return m_gridRadioGroup;
}

SettingsRadioButton* SettingsTab::addRadioButtonRowToGrid(const QString& text, int id)
{
    if (!m_gridRadioFrame || !m_gridRadioLayout)
        return nullptr;
    auto* button = new SettingsRadioButton(text);
    button->setFixedHeight(kGroupItemHeight);
    m_gridRadioLayout->addWidget(button, m_gridRadioRow, m_gridRadioColumn,
                                 Qt::Alignment(GridSettings::gridRadioGroup().alignment));
    m_gridRadioGroup->addButton(button, id);
    if (++m_gridRadioColumn >= m_gridRadioColumns) {
        m_gridRadioColumn = 0;
        ++m_gridRadioRow;
    }
    return button;
}

QFrame* SettingsTab::endRadioGroupWithGridLayout()
{
    QFrame* frame = m_gridRadioFrame;
    QGridLayout* grid = m_gridRadioLayout;
    const int columns = m_gridRadioColumns;
    m_gridRadioFrame = nullptr;
    m_gridRadioLayout = nullptr;
    m_gridRadioGroup = nullptr;
    if (!frame)
        return nullptr;
    return finishButtonGrid(frame, grid, grid->count() == 0 ? 0 : (grid->count() + columns - 1) / columns);
}

// --- image groups ------------------------------------------------------

QButtonGroup* SettingsTab::beginImageButtonGroup(const QString& label, const GridSettings& settings)
{
    if (m_imageFrame)
        endImageButtonGroup();
    m_imageSettings = settings;
    m_imageFrame = createRowWithGridLayout(&label, settings, &m_imageLayout);
    m_imageGroup = new QButtonGroup(m_imageFrame);
    m_imageGroup->setExclusive(true);
    watchButtonGroup(m_imageGroup);
    connect(m_imageGroup, qOverload<QAbstractButton*, bool>(&QButtonGroup::buttonToggled), this, &SettingsTab::onImageGroupButtonToggled);
    m_imageRows = 0;
    m_imageRowHeights = 0;
    return m_imageGroup;
}

QButtonGroup* SettingsTab::beginImageButtonGroup(const GridSettings& settings)
{
    if (m_imageFrame)
        endImageButtonGroup();
    m_imageSettings = settings;
    m_imageFrame = createRowWithGridLayout(nullptr, settings, &m_imageLayout);
    m_imageGroup = new QButtonGroup(m_imageFrame);
    m_imageGroup->setExclusive(true);
    watchButtonGroup(m_imageGroup);
    connect(m_imageGroup, qOverload<QAbstractButton*, bool>(&QButtonGroup::buttonToggled), this, &SettingsTab::onImageGroupButtonToggled);
    m_imageRows = 0;
    m_imageRowHeights = 0;
    return m_imageGroup;
}

bool SettingsTab::addImageButtonGroupRow(const QVector<QPixmap>& pixmaps, const QVector<uint>& values,
                                         const QStringList& captions, QVector<ImageGroupButton*>* out, bool plain)
{
    if (!m_imageFrame || !m_imageLayout)
        return false;
    if ((!captions.isEmpty() && captions.size() != pixmaps.size())
        || (!values.isEmpty() && values.size() != pixmaps.size()))
        return false;
    int tallest = 0;
    for (int i = 0; i < pixmaps.size(); ++i) {
        const QString caption = captions.isEmpty() ? QString() : captions.at(i);
        auto* button = new ImageGroupButton(pixmaps.at(i), caption, plain);
        button->button()->setFocusPolicy(Qt::TabFocus);
        m_imageLayout->addWidget(button, m_imageRows, i, Qt::Alignment(36));
        m_imageGroup->addButton(button->button(), values.isEmpty() ? -1 : int(values.at(i)));
        tallest = std::max(tallest, button->sizeHint().height());
        if (out)
            out->append(button);
    }
    ++m_imageRows;
    m_imageRowHeights += tallest;
    return true;
}

QFrame* SettingsTab::endImageButtonGroup()
{
    QFrame* frame = m_imageFrame;
    QGridLayout* grid = m_imageLayout;
    m_imageFrame = nullptr;
    m_imageLayout = nullptr;
    m_imageGroup = nullptr;
    if (!frame)
        return nullptr;
    const int rows = std::max(1, m_imageRows);
    frame->setFixedHeight((rows - 1) * m_imageSettings.verticalSpacing + m_imageRowHeights
                          + 2 * m_imageSettings.verticalMargin);
    addingRow(Control);
    addWidget(frame);
    m_imageGrids.append(grid);
    alignImageGrids();
    return frame;
}

QButtonGroup* SettingsTab::addImageButtonGroup(const QString* label, const QVector<QPixmap>& pixmaps,
                                               const QVector<uint>& values, const QStringList& captions,
                                               QVector<ImageGroupButton*>* out, const GridSettings& settings,
                                               bool plain)
{
    const int n = pixmaps.size();
    if (n == 0)
        return nullptr;
    if ((!captions.isEmpty() && captions.size() != n) || (!values.isEmpty() && values.size() != n))
        return nullptr;
    QButtonGroup* group = label ? beginImageButtonGroup(*label, settings) : beginImageButtonGroup(settings);
    const int columns = settings.columns >= 1 ? settings.columns : n;
    for (int start = 0; start < n; start += columns) {
        const int count = std::min(columns, n - start);
        addImageButtonGroupRow(pixmaps.mid(start, count), values.isEmpty() ? QVector<uint>() : values.mid(start, count),
                               captions.isEmpty() ? QStringList() : captions.mid(start, count), out, plain);
    }
    endImageButtonGroup();
    return group;
}

QButtonGroup* SettingsTab::addImageButtonGroupFromPointers(const QString* label,
                                                           const QVector<const QPixmap*>& pixmaps,
                                                           const QVector<uint>& values, const QStringList& captions,
                                                           QVector<ImageGroupButton*>* out,
                                                           const GridSettings& settings, bool plain)
{
    QVector<QPixmap> copies;
    copies.reserve(pixmaps.size());
    for (const QPixmap* p : pixmaps)
        copies.append(p ? *p : QPixmap());
    return addImageButtonGroup(label, copies, values, captions, out, settings, plain);
}

QButtonGroup* SettingsTab::addImageButtonGroup(const QString& label, const QVector<QPixmap>& pixmaps,
                                               const QVector<uint>& values, const QStringList& captions,
                                               QVector<ImageGroupButton*>* out)
{
    return addImageButtonGroup(&label, pixmaps, values, captions, out, GridSettings::labelledImageRow(), false);
}

QButtonGroup* SettingsTab::addImageButtonGroup(const QVector<QPixmap>& pixmaps, const QVector<uint>& values,
                                               const QStringList& captions, QVector<ImageGroupButton*>* out)
{
    return addImageButtonGroup(nullptr, pixmaps, values, captions, out, GridSettings::unlabelledImageRow(), false);
}

QButtonGroup* SettingsTab::addPlainImageButtonGroup(const QVector<QPixmap>& pixmaps, const QVector<uint>& values,
                                                    const QStringList& captions, QVector<ImageGroupButton*>* out)
{
    return addImageButtonGroup(nullptr, pixmaps, values, captions, out, GridSettings::unlabelledImageRow(), true);
}

QButtonGroup* SettingsTab::addImageButtonGroup(const QString& label, const QVector<const QPixmap*>& pixmaps,
                                               const QVector<uint>& values, const QStringList& captions,
                                               QVector<ImageGroupButton*>* out)
{
    return addImageButtonGroupFromPointers(&label, pixmaps, values, captions, out, GridSettings::labelledImageRow(),
                                           false);
}

QButtonGroup* SettingsTab::addImageButtonGroup(const QVector<const QPixmap*>& pixmaps, const QVector<uint>& values,
                                               const QStringList& captions, QVector<ImageGroupButton*>* out)
{
    return addImageButtonGroupFromPointers(nullptr, pixmaps, values, captions, out,
                                           GridSettings::unlabelledImageRow(), false);
}

QButtonGroup* SettingsTab::addPlainImageButtonGroup(const QVector<const QPixmap*>& pixmaps,
                                                    const QVector<uint>& values, const QStringList& captions,
                                                    QVector<ImageGroupButton*>* out)
{
    return addImageButtonGroupFromPointers(nullptr, pixmaps, values, captions, out,
                                           GridSettings::unlabelledImageRow(), true);
}

void SettingsTab::watchButtonGroup(QButtonGroup* group)
{
    // A click toggles its button before it is reported as clicked; a click
    // on the chosen button of an exclusive group toggles nothing.
    connect(group, qOverload<QAbstractButton*, bool>(&QButtonGroup::buttonToggled), this,
            [this, group](QAbstractButton* button, bool checked) {
                // In an exclusive group the button left behind is unchecked
                // too; the click is the one that became checked.
                if (checked || !group->exclusive())
                    m_toggledByClick = button;
            });
    connect(group, qOverload<QAbstractButton*>(&QButtonGroup::buttonClicked), this, [this, group](QAbstractButton* button) {
        const bool changed = m_toggledByClick == button;
        m_toggledByClick = nullptr;
        if (!changed)
            return;
        QPointer<QButtonGroup> alive(group);
        onAnyControlChanged();
        if (alive)
            emit buttonGroupChoiceChanged(group, group->id(button));
    });
}

void SettingsTab::onImageGroupButtonToggled(QAbstractButton* button, bool checked)
{
    auto* group = qobject_cast<QButtonGroup*>(sender());
    if (!group)
        return;
    for (QAbstractButton* b : group->buttons()) {
        auto* image = qobject_cast<ImageGroupButton*>(b->parentWidget());
        if (!image)
            continue;
        if (b == button && checked)
            image->onToggled(true);
        else
            image->onToggled(false);
    }
}

// --- rollover icons ----------------------------------------------------

RolloverIcon* SettingsTab::addIconWithRolloverText(const QPixmap& pixmap, const QString& text, QWidget* beside)
{
    if (!beside || !beside->parentWidget())
        return nullptr;
    auto* icon = new RolloverIcon(pixmap, text, beside->parentWidget(), this);
    const QRect g = beside->geometry();
    icon->move(g.right() + 1 + 11, g.top() + (g.height() - icon->height()) / 2);
    icon->show();
    return icon;
}

RolloverIcon* SettingsTab::decorateRowWidgetWithRolloverIcon(QWidget* widget, const QPixmap& pixmap,
                                                             const QString& text)
{
    return addIconWithRolloverText(pixmap, text, widget);
}

// --- row management ----------------------------------------------------

QWidget* SettingsTab::findRowContaining(QWidget* widget) const
{
    QWidget* w = widget;
    while (w && w->parentWidget() != m_content)
        w = w->parentWidget();
    return w;
}

void SettingsTab::showRowContaining(QWidget* widget, bool visible)
{
    QWidget* row = findRowContaining(widget);
    if (!row)
        return;
    row->setVisible(visible);
    const int index = m_contentLayout->indexOf(row);
    QLayoutItem* before = index > 0 ? m_contentLayout->itemAt(index - 1) : nullptr;
    QWidget* previous = before ? before->widget() : nullptr;
    if (qobject_cast<RowSpacer*>(previous)) {
        previous->setVisible(visible);
    } else if (qobject_cast<CardSection*>(previous)) {
        QLayoutItem* after = m_contentLayout->itemAt(index + 1);
        if (after && qobject_cast<RowSpacer*>(after->widget()))
            after->widget()->setVisible(visible);
    }
}

void SettingsTab::setEnabledRowContaining(QWidget* widget, bool enabled)
{
    if (QWidget* row = findRowContaining(widget))
        row->setEnabled(enabled);
}

void SettingsTab::removeRowContaining(QWidget* widget)
{
    QWidget* row = findRowContaining(widget);
    if (!row)
        return;
    const int index = m_contentLayout->indexOf(row);
    QLayoutItem* before = index > 0 ? m_contentLayout->itemAt(index - 1) : nullptr;
    QLayoutItem* after = m_contentLayout->itemAt(index + 1);
    QWidget* spacer = nullptr;
    if (before && qobject_cast<RowSpacer*>(before->widget())) {
        spacer = before->widget();
    } else if (after && qobject_cast<RowSpacer*>(after->widget()) && m_currentSection
               && m_currentSection->containsRow(after->widget())) {
        spacer = after->widget();
    }
    deleteWidget(row);
    if (spacer)
        deleteWidget(spacer);
}

void SettingsTab::deleteWidget(QWidget* widget)
{
    if (!widget)
        return;
    for (CardSection* section : sections())
        section->removeRow(widget);
    const QList<QGridLayout*> inner = widget->findChildren<QGridLayout*>();
    for (QGridLayout* grid : inner) {
        m_buttonGrids.removeAll(grid);
        m_imageGrids.removeAll(grid);
    }
    m_contentLayout->removeWidget(widget);
    delete widget;
}

// --- settings status ---------------------------------------------------

void SettingsTab::setSettingsStatus(SettingsPage::SettingsStatus status)
{
    if (status == m_status)
        return;
    m_status = status;
    emit settingsStatusChanged();
}

void SettingsTab::onTabSelected()
{
}

void SettingsTab::onTabDeselected()
{
}

void SettingsTab::onAnyControlChanged()
{
    if (m_status == SettingsPage::Unchanged)
        setSettingsStatus(SettingsPage::Changed);
}

void SettingsTab::onLineEditChanged()
{
    auto* edit = qobject_cast<QLineEdit*>(sender());
    if (!edit)
        return;
    if (!edit->hasAcceptableInput()) {
        setSettingsStatus(SettingsPage::Invalid);
        return;
    }
    checkLineEditInvalidStatus();
    onAnyControlChanged();
}

void SettingsTab::checkLineEditInvalidStatus()
{
    if (m_status != SettingsPage::Invalid)
        return;
    for (const QPointer<QLineEdit>& e : qAsConst(m_watched)) {
        if (e && !e->hasAcceptableInput())
            return;
    }
    setSettingsStatus(SettingsPage::Changed);
}
