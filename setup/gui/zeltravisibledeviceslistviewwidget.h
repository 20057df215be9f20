#pragma once

#include "visibledeviceslistviewwidget.h"

#include <QMap>

class QTableWidget;
class QTableWidgetItem;
class VisibleZeltra;
class ZeltraVisibleDevicesListViewWidget_ScrollArea;

// The card family's list view: one table row per card with its thumbnail,
// label, input, output and reference formats and a setup button, refreshed
// whenever the card reports a change.
class ZeltraVisibleDevicesListViewWidget : public VisibleDevicesListViewWidget
{
    Q_OBJECT

public:
    enum Column
    {
        ProductColumn = 0,
        LabelColumn = 1,
        VideoInColumn = 2,
        OutputFormatColumn = 3,
        GenlockColumn = 4,
        SetupColumn = 5,
        ColumnCount = 6
    };
    // Room above the captions, as much as the gallery leaves above its card.
    static constexpr int kHeaderStripHeight = 18;
    static constexpr int kRowHeight = 56;
    static constexpr int kColumnPadding = 24;
    static constexpr int kMaxLabelLength = 63;
    static constexpr int kCutLabelLength = 64;
    // The narrowest the label column gets before the view scrolls sideways.
    static constexpr int kMinLabelWidth = 160;

    ZeltraVisibleDevicesListViewWidget(DeviceList& deviceList, QWidget* parent = nullptr);

    QTableWidget* table() const { return m_table; }
    // The table row of a device, or -1.
    int rowOfDevice(VisibleDevice* device) const;
    VisibleDevice* deviceAtRow(int row) const;

    // A label as the list shows it: one longer than 63 characters is cut to
    // 64 and followed by "...".
    static QString listLabel(const QString& label);

    void updateDeviceDisplay(VisibleZeltra* device);

    // A card's list thumbnail with "TEST MODE" written on the card it shows,
    // never past it. A missing thumbnail gives a blank canvas with the mark.
    static QPixmap testModeThumb(const QPixmap& picture);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

protected slots:
    void onDeviceAdded(VisibleDevice* device) override;
    void onDeviceRemoved(VisibleDevice* device) override;
    void onDeviceInfoChanged(VisibleDevice* device) override;

private slots:
    void onDeviceStatusChanged();
    void onListViewCellClicked(int row, int column);
    void onSetupButtonClicked();

private:
    void removeDeviceRow(VisibleDevice* device);
    void setCellText(int row, int column, const QString& text);
    void resizeTable();
    void layoutColumns();

    QWidget* m_headerStrip = nullptr;
    ZeltraVisibleDevicesListViewWidget_ScrollArea* m_scrollArea = nullptr;
    QTableWidget* m_table = nullptr;
    // Each device's marker item in the setup column; the row follows it.
    QMap<VisibleDevice*, QTableWidgetItem*> m_rows;
    // Content widths of the columns before the spare room is handed out.
    QVector<int> m_columnWidths;
};
