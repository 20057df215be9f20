#pragma once

#include "cardsection.h"
#include "gridsettings.h"
#include "settingspage.h"

#include <QList>
#include <QPixmap>
#include <QPointer>
#include <QStringList>
#include <QVector>
#include <QWidget>

class CardBookmark;
class CardPopupMenu;
class CardScrollArea;
class QAbstractButton;
class CardPushButton;
class FlatImageButton;
class ImageGroupButton;
class QButtonGroup;
class QFrame;
class QGridLayout;
class QLabel;
class QLineEdit;
class QSlider;
class RolloverIcon;
class RowSpacer;
class SettingsAlertAndResponse;
class SettingsBookmarkButton;
class SettingsCheckBox;
class SettingsComboBox;
class SettingsLabel;
class SettingsLineEdit;
class SettingsRadioButton;
class SettingsSlider;
class SettingsSliderValue;
class SettingsSliderWithEditableValue;
class SliderLink;
class TightVBoxLayout;

// The base of every settings page: a scrolling column of labelled rows
// (label on the left, control on the right) under section headers, with
// thin separators. A tab knows nothing of devices; pages build their rows
// through it, keep the control pointers and read and write the values
// themselves. The one state that leaves the tab is its settings status.
class SettingsTab : public QWidget
{
    Q_OBJECT
public:
    // The kind of the row added last; drives the separators.
    enum RowKind { None = 0, Bookmark = 1, Header = 2, Section = 3, Control = 4 };

    // Column alignment of several grids (see align()).
    enum AlignType { kAlignByColumn = 0, kAlignAllToWidest = 1, kAlignToMinimum = 2 };

    // Combo box widths are plain pixel counts.
    using ComboWidth = int;

    static constexpr int kRowHeight = 31;
    static constexpr int kRowWidth = 620;
    static constexpr int kControlX = 205;

    explicit SettingsTab(QWidget* parent = nullptr);
    ~SettingsTab() override;

    // Header and sections.
    CardSection* addHeader(const QString& title, const QString& iconPath = QString(),
                           bool withBookmarkMenu = false);
    CardSection* addSection(const QString& title);
    CardSection* addSection(CardSection* section);
    FlatImageButton* addSectionButton(CardSection* section, const QString& imagePath);
    void showSection(CardSection* section, bool visible);
    void setActiveSection(CardSection* section);
    void addBookmark(const QString& title);

    // Labelled rows.
    virtual SettingsLabel* addLabelRow(const QString& label, const QString& text);
    virtual SettingsLineEdit* addLineEditRow(const QString& label, int kind = 2);
    void watchLineEdit(QLineEdit* edit);
    virtual QButtonGroup* beginRadioGroup(const QString& label);
    virtual SettingsRadioButton* addRadioButtonRow(const QString& text, int id);
    void endRadioGroup();
    QButtonGroup* addRadioButtonGroup(const QString& label, QVector<SettingsRadioButton*>* outPointers,
                                      const QStringList& labels, const QVector<int>& ids, int columns = 2);
    virtual CardPushButton* addPushButtonRow(const QString& label, const QString& text);
    virtual CardPushButton* addCardPushButtonRow(const QString& label, const QString& text);
    virtual SettingsCheckBox* addCheckBoxRow(const QString& label, const QString& text);
    virtual SettingsComboBox* addComboBoxRow(const QString& label, ComboWidth width);
    virtual QSlider* addSliderRow(const QString& label, const QString& format);
    virtual QSlider* addSliderRowAndValue(const QString& label, SettingsSliderValue** value = nullptr);
    virtual SettingsSliderWithEditableValue* addSliderRowWithEditableValue(
        const QString& label, double minimum, double maximum, int decimals, const QString& units,
        bool defaultEnabled = false, double defaultValue = 0.0);
    virtual SliderLink* linkSliders(SettingsSliderWithEditableValue* a, SettingsSliderWithEditableValue* b,
                                    int type);
    virtual SettingsAlertAndResponse* addAlert(const QString& label, const QString& text,
                                               const QString& buttonText, bool alarmed);
    virtual void addCheckBoxGroup(const QString& label, QVector<SettingsCheckBox*>* outPointers,
                                  const QStringList& texts);

    // Image button groups. Values become the button ids; captions, when
    // given, are shown under the buttons. Counts must match the pixmaps.
    virtual QButtonGroup* addImageButtonGroup(const QString& label, const QVector<QPixmap>& pixmaps,
                                              const QVector<uint>& values = {},
                                              const QStringList& captions = {},
                                              QVector<ImageGroupButton*>* out = nullptr);
    virtual QButtonGroup* addImageButtonGroup(const QVector<QPixmap>& pixmaps, const QVector<uint>& values = {},
                                              const QStringList& captions = {},
                                              QVector<ImageGroupButton*>* out = nullptr);
    virtual QButtonGroup* addPlainImageButtonGroup(const QVector<QPixmap>& pixmaps,
                                                   const QVector<uint>& values = {},
                                                   const QStringList& captions = {},
                                                   QVector<ImageGroupButton*>* out = nullptr);
    virtual QButtonGroup* addImageButtonGroup(const QString& label, const QVector<const QPixmap*>& pixmaps,
                                              const QVector<uint>& values = {},
                                              const QStringList& captions = {},
                                              QVector<ImageGroupButton*>* out = nullptr);
    virtual QButtonGroup* addImageButtonGroup(const QVector<const QPixmap*>& pixmaps,
                                              const QVector<uint>& values = {},
                                              const QStringList& captions = {},
                                              QVector<ImageGroupButton*>* out = nullptr);
    virtual QButtonGroup* addPlainImageButtonGroup(const QVector<const QPixmap*>& pixmaps,
                                                   const QVector<uint>& values = {},
                                                   const QStringList& captions = {},
                                                   QVector<ImageGroupButton*>* out = nullptr);
    // The general form; `label` may be null for an unlabelled group.
    virtual QButtonGroup* addImageButtonGroup(const QString* label, const QVector<QPixmap>& pixmaps,
                                              const QVector<uint>& values, const QStringList& captions,
                                              QVector<ImageGroupButton*>* out, const GridSettings& settings,
                                              bool plain);

    // Image groups built row by row.
    virtual QButtonGroup* beginImageButtonGroup(const QString& label, const GridSettings& settings);
    virtual QButtonGroup* beginImageButtonGroup(const GridSettings& settings = GridSettings::unlabelledImageRow());
    virtual bool addImageButtonGroupRow(const QVector<QPixmap>& pixmaps, const QVector<uint>& values,
                                        const QStringList& captions, QVector<ImageGroupButton*>* out = nullptr,
                                        bool plain = false);
    virtual QFrame* endImageButtonGroup();

    // Check-box groups built row by row.
    virtual void beginCheckBoxGroup(const QString& label);
    virtual SettingsCheckBox* addCheckBoxGroupRow(const QString& text);
    virtual QFrame* endCheckBoxGroup();

    // Grid radio groups built button by button.
    virtual QButtonGroup* beginRadioGroupWithGridLayout(const QString& label, int columns = 2);
    virtual SettingsRadioButton* addRadioButtonRowToGrid(const QString& text, int id);
    virtual QFrame* endRadioGroupWithGridLayout();

    // Rollover icons.
    RolloverIcon* addIconWithRolloverText(const QPixmap& pixmap, const QString& text, QWidget* beside);
    RolloverIcon* decorateRowWidgetWithRolloverIcon(QWidget* widget, const QPixmap& pixmap, const QString& text);

    // Raw rows.
    RowSpacer* addRowSpacer(int height);
    void addWidget(QWidget* widget);
    void addControlRow(QWidget* widget);
    void beginRowGroup();
    void endRowGroup();
    void endSettingsTab();

    // Row management.
    QWidget* findRowContaining(QWidget* widget) const;
    void showRowContaining(QWidget* widget, bool visible);
    void setEnabledRowContaining(QWidget* widget, bool enabled);
    void removeRowContaining(QWidget* widget);
    void deleteWidget(QWidget* widget);

    // Makes the columns of several grids line up.
    static void align(const QList<QGridLayout*>& grids, int type, bool includeHidden, int width = 0);

    SettingsPage::SettingsStatus settingsStatus() const { return m_status; }
    void setSettingsStatus(SettingsPage::SettingsStatus status);

    RowKind lastRowKind() const { return m_lastKind; }
    QWidget* contentWidget() const { return m_content; }
    TightVBoxLayout* contentLayout() const { return m_contentLayout; }
    CardScrollArea* scrollArea() const { return m_scroll; }
    CardSection* headerSection() const { return m_header; }
    CardSection* currentSection() const { return m_currentSection; }
    QList<CardSection*> sections() const;
    QList<CardBookmark*> bookmarks() const;
    CardPopupMenu* bookmarkMenu() const { return m_bookmarkMenu; }
    SettingsBookmarkButton* bookmarkButton() const { return m_bookmarkButton; }
    // Scrolls so that bookmark `index` is at the top.
    void scrollToBookmark(int index);

    // Puts the controls in reading order for Tab and gives each the name a
    // screen reader speaks (its row's label and, for an option, the
    // option's text) and the row's rollover text as its description. Runs
    // whenever rows come, go or show; names set by a page are kept.
    void updateKeyboardAccess();
    // The label at the left of a row, if it has one.
    static QLabel* rowLabel(const QWidget* row);
    // The name of `control` in a row labelled `rowText` of section
    // `sectionText`.
    static QString spokenName(QWidget* control, const QString& rowText, const QString& sectionText);

signals:
    void settingsStatusChanged();
    // A button of a group built here was clicked and the choice changed
    // (a click on the button already chosen changes nothing and is not
    // reported). Emitted after onAnyControlChanged() has run for it.
    void buttonGroupChoiceChanged(QButtonGroup* group, int id);

public slots:
    virtual void onTabSelected();
    virtual void onTabDeselected();
    virtual void onAnyControlChanged();
    void onLineEditChanged();
    void onImageGroupButtonToggled(QAbstractButton* button, bool checked);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // Adds the filler that belongs before a row of `kind`.
    void addingRow(RowKind kind);
    // A row of `height` with its label, ready for a control at kControlX.
    QWidget* createLabelledRow(const QString& label, int height = kRowHeight);
    // The row of a plain slider with its value display.
    virtual SettingsSlider* commonAddSliderRow(const QString& label, SettingsSliderValue** value);
    // A 620-wide row whose content frame holds a grid laid out by `settings`.
    QFrame* createRowWithGridLayout(const QString* label, const GridSettings& settings, QGridLayout** grid);
    void checkLineEditInvalidStatus();
    void buildBookmarkMenu(CardSection* header);

private:
    void scheduleKeyboardAccess();
    // Sizes a finished check-box or radio grid and adds it as a control row.
    QFrame* finishButtonGrid(QFrame* frame, QGridLayout* grid, int rows);
    void connectChange(QObject* sender, const char* signal);
    // Reports the group's clicks that change its choice as control changes.
    void watchButtonGroup(QButtonGroup* group);
    void alignButtonGrids();
    void alignImageGrids();
    QButtonGroup* addImageButtonGroupFromPointers(const QString* label, const QVector<const QPixmap*>& pixmaps,
                                                  const QVector<uint>& values, const QStringList& captions,
                                                  QVector<ImageGroupButton*>* out, const GridSettings& settings,
                                                  bool plain);

    TightVBoxLayout* m_outer = nullptr;
    CardScrollArea* m_scroll = nullptr;
    QWidget* m_content = nullptr;
    TightVBoxLayout* m_contentLayout = nullptr;

    RowKind m_lastKind = None;
    bool m_inRowGroup = false;

    CardPopupMenu* m_bookmarkMenu = nullptr;
    SettingsBookmarkButton* m_bookmarkButton = nullptr;
    QList<QPointer<CardBookmark>> m_bookmarks;

    // Open radio group.
    QWidget* m_radioRow = nullptr;
    QButtonGroup* m_radioGroup = nullptr;
    int m_radioNextY = 0;

    // Open grid radio group.
    QButtonGroup* m_gridRadioGroup = nullptr;
    QFrame* m_gridRadioFrame = nullptr;
    QGridLayout* m_gridRadioLayout = nullptr;
    int m_gridRadioRow = 0;
    int m_gridRadioColumn = 0;
    int m_gridRadioColumns = 2;

    // Open check-box group.
    QFrame* m_checkFrame = nullptr;
    QGridLayout* m_checkLayout = nullptr;
    int m_checkRow = 0;
    int m_checkColumn = 0;

    // Open image group.
    QFrame* m_imageFrame = nullptr;
    QGridLayout* m_imageLayout = nullptr;
    QButtonGroup* m_imageGroup = nullptr;
    GridSettings m_imageSettings;
    int m_imageRows = 0;
    int m_imageRowHeights = 0;

    QList<QPointer<QGridLayout>> m_buttonGrids; // check-box and radio grids
    QPointer<QAbstractButton> m_toggledByClick; // the button the pending click toggled
    QList<QPointer<QGridLayout>> m_imageGrids;

    CardSection* m_header = nullptr;
    QPointer<CardSection> m_currentSection;
    QList<QPointer<CardSection>> m_sections;

    SettingsPage::SettingsStatus m_status = SettingsPage::Unchanged;
    QList<QPointer<QLineEdit>> m_watched;
    bool m_accessPending = false;
};
