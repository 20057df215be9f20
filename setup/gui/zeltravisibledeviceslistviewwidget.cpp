#include "zeltravisibledeviceslistviewwidget.h"

#include "colourpalette.h"
#include "commongui.h"
#include "customscrollbar.h"
#include "devicelist.h"
#include "displaymodestrings.h"
#include "flatimagebutton.h"
#include "staticdata.h"
#include "testmodepixmap.h"
#include "tighthboxlayout.h"
#include "tightvboxlayout.h"
#include "visiblezeltra.h"
#include "zeltravisibledeviceslistviewwidget_scrollarea.h"

#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QTableWidget>

namespace {
// Where "TEST MODE" starts on a list thumbnail.
constexpr int kTestModeTextX = 12;
constexpr int kTestModeTextY = 8;
// Canvas of a test-mode card without a thumbnail.
constexpr int kBlankThumbWidth = 120;
constexpr int kBlankThumbHeight = 40;
constexpr int kTextIndent = 12;

// The part of a picture that is not transparent, in its own pixels.
QRect visibleBounds(const QPixmap& picture)
{
    const QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32);
    int left = image.width(), top = image.height(), right = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) == 0)
                continue;
            left = qMin(left, x);
            right = qMax(right, x);
            top = qMin(top, y);
            bottom = qMax(bottom, y);
        }
    }
    if (right < 0)
        return QRect();
    const qreal ratio = picture.devicePixelRatio();
    const QRectF bounds(left / ratio, top / ratio, (right - left + 1) / ratio, (bottom - top + 1) / ratio);
    return bounds.toAlignedRect();
}
} // namespace

QPixmap ZeltraVisibleDevicesListViewWidget::testModeThumb(const QPixmap& picture)
{
    if (picture.isNull()) {
        // The mark keeps the same inset from every edge of the blank canvas.
        QPixmap canvas(kBlankThumbWidth, kBlankThumbHeight);
        canvas.fill(Qt::transparent);
        return TestModePixmap(canvas, kBlankThumbWidth - 2 * kTestModeTextX, kBlankThumbHeight - 2 * kTestModeTextY,
                              kTestModeTextX, kTestModeTextY);
    }
    // A thumbnail is drawn on a wider transparent canvas so that every row's
    // picture lines up; the mark belongs on the card itself, so it gets the
    // visible part, a word a line where one line would be too small to read.
    const QRect card = visibleBounds(picture);
    if (card.isEmpty())
        return picture;
    return TestModePixmap(picture, card.width(), card.height(), card.x(), card.y(), true);
}

namespace {
QString tableStyleSheet()
{
    const QString background = ColourPalette::toHtmlQString(ColourPalette::kThunderstormGray);
    const QString rule = ColourPalette::toHtmlQString(ColourPalette::kOwlGray);
    return QStringLiteral("QTableWidget { background: %1; color: %2; border: none; gridline-color: %1;"
                          " selection-background-color: %1; selection-color: %2; }"
                          "QTableWidget::item { border-bottom: 1px solid %3; padding-left: %5px; }"
                          "QHeaderView { background: %1; border: none; }"
                          "QHeaderView::section { background: %1; color: %4; border: none;"
                          " border-bottom: 1px solid %3; padding-left: %6px; }")
        .arg(background, ColourPalette::toHtmlQString(ColourPalette::kBonesGray), rule,
             ColourPalette::toHtmlQString(ColourPalette::kSmokeGray))
        .arg(kTextIndent)
        // Captions line up with the cell text, which the item view insets a
        // little further than its padding.
        .arg(kTextIndent + 3);
}

} // namespace

ZeltraVisibleDevicesListViewWidget::ZeltraVisibleDevicesListViewWidget(DeviceList& deviceList, QWidget* parent)
    : VisibleDevicesListViewWidget(deviceList, parent), m_columnWidths(ColumnCount, 0)
{
    setObjectName(QStringLiteral("ZeltraVisibleDevicesListViewWidget"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ColourPalette::kThunderstormGray);
    setPalette(pal);

    m_headerStrip = new QWidget(this);
    m_headerStrip->setFixedHeight(kHeaderStripHeight);

    m_table = new QTableWidget(0, ColumnCount, this);
    m_table->setHorizontalHeaderLabels(
        { tr("PRODUCT"), tr("LABEL"), tr("VIDEO IN"), tr("OUTPUT FORMAT"), tr("GENLOCK"), QString() });
    m_table->setStyleSheet(tableStyleSheet());
    m_table->setFont(CommonGui::font(CommonGui::kRegular));
    m_table->horizontalHeader()->setFont(CommonGui::font(CommonGui::kSemiboldSmall));
    m_table->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_table->horizontalHeader()->setHighlightSections(false);
    m_table->horizontalHeader()->setSectionsClickable(false);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->horizontalHeader()->setFixedHeight(32);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setDefaultSectionSize(kRowHeight);
    m_table->setShowGrid(false);
    m_table->setFrameShape(QFrame::NoFrame);
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setFocusPolicy(Qt::NoFocus);
    m_table->setWordWrap(false);
    // A label the column cannot hold ends in an ellipsis; its tooltip has it all.
    m_table->setTextElideMode(Qt::ElideRight);
    // The table fills the view and scrolls its own rows under the captions,
    // on its own background; the scroll area only scrolls sideways when the
    // window is narrower than the shortest useful row.
    m_table->setVerticalScrollBar(new CustomScrollBar(Qt::Vertical, m_table));
    m_table->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_table->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_table->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_table->viewport()->installEventFilter(this);

    m_scrollArea = new ZeltraVisibleDevicesListViewWidget_ScrollArea(this);
    m_scrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollArea->setWidget(m_table);

    auto* column = new TightVBoxLayout(this);
    column->addWidget(m_headerStrip);
    column->addWidget(m_scrollArea, 1);

    connect(m_table, &QTableWidget::cellClicked, this, &ZeltraVisibleDevicesListViewWidget::onListViewCellClicked);

    // A view made after the first arrivals still lists them.
    for (int i = 0; i < deviceList.numberOfDevice(); ++i)
        onDeviceAdded(deviceList.deviceAt(i));
    resizeTable();
}

QString ZeltraVisibleDevicesListViewWidget::listLabel(const QString& label)
{
    if (label.size() <= kMaxLabelLength)
        return label;
    return label.left(kCutLabelLength) + QStringLiteral("...");
}

int ZeltraVisibleDevicesListViewWidget::rowOfDevice(VisibleDevice* device) const
{
    QTableWidgetItem* marker = m_rows.value(device);
    return marker ? marker->row() : -1;
}

VisibleDevice* ZeltraVisibleDevicesListViewWidget::deviceAtRow(int row) const
{
    QTableWidgetItem* marker = m_table->item(row, SetupColumn);
    return marker ? marker->data(Qt::UserRole).value<VisibleDevice*>() : nullptr;
}

void ZeltraVisibleDevicesListViewWidget::onDeviceAdded(VisibleDevice* device)
{
    auto* zeltra = dynamic_cast<VisibleZeltra*>(device);
    if (!zeltra || m_rows.contains(device))
        return;

    const int row = m_table->rowCount();
    m_table->insertRow(row);
    auto* marker = new QTableWidgetItem;
    marker->setFlags(Qt::ItemIsEnabled);
    marker->setData(Qt::UserRole, QVariant::fromValue(device));
    m_table->setItem(row, SetupColumn, marker);

    auto* thumb = new QLabel;
    thumb->setAlignment(Qt::AlignCenter);
    // Clicks on the picture count as clicks on the row.
    thumb->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_table->setCellWidget(row, ProductColumn, thumb);

    if (zeltra->shouldShowSetup()) {
        auto* holder = new QWidget;
        auto* holderLayout = new TightHBoxLayout(holder);
        auto* setup = new FlatImageButton(QStringLiteral(":/ListSetup"), holder);
        setup->setHoverImage(QStringLiteral(":/ListSetupHover"));
        setup->setToolTip(tr("Settings"));
        setup->setData(QVariant::fromValue(device));
        holderLayout->addWidget(setup, 0, Qt::AlignCenter);
        connect(setup, &FlatImageButton::clicked, this, &ZeltraVisibleDevicesListViewWidget::onSetupButtonClicked);
        m_table->setCellWidget(row, SetupColumn, holder);
    }

    connect(zeltra, &VisibleZeltra::statusChanged, this, &ZeltraVisibleDevicesListViewWidget::onDeviceStatusChanged);
    connect(zeltra, &VisibleZeltra::propertyChanged, this,
            &ZeltraVisibleDevicesListViewWidget::onDeviceStatusChanged);
    // A device deleted without a removal notice must not leave a row that
    // points at it.
    connect(zeltra, &QObject::destroyed, this, [this, device] { removeDeviceRow(device); });
    m_rows.insert(device, marker);
    m_table->show();
    updateDeviceDisplay(zeltra);
}

void ZeltraVisibleDevicesListViewWidget::onDeviceRemoved(VisibleDevice* device)
{
    if (auto* zeltra = dynamic_cast<VisibleZeltra*>(device))
        QObject::disconnect(zeltra, nullptr, this, nullptr);
    removeDeviceRow(device);
}

void ZeltraVisibleDevicesListViewWidget::removeDeviceRow(VisibleDevice* device)
{
    QTableWidgetItem* marker = m_rows.take(device);
    if (!marker)
        return;
    m_table->removeRow(marker->row());
    resizeTable();
}

void ZeltraVisibleDevicesListViewWidget::onDeviceInfoChanged(VisibleDevice* device)
{
    if (auto* zeltra = dynamic_cast<VisibleZeltra*>(device))
        updateDeviceDisplay(zeltra);
}

void ZeltraVisibleDevicesListViewWidget::onDeviceStatusChanged()
{
    if (auto* zeltra = qobject_cast<VisibleZeltra*>(sender()))
        updateDeviceDisplay(zeltra);
}

void ZeltraVisibleDevicesListViewWidget::onListViewCellClicked(int row, int)
{
    VisibleDevice* device = deviceAtRow(row);
    if (device && device->shouldShowSetup())
        emit requestShowDevice(device);
}

void ZeltraVisibleDevicesListViewWidget::onSetupButtonClicked()
{
    if (auto* button = qobject_cast<FlatImageButton*>(sender())) {
        if (auto* device = button->data().value<VisibleDevice*>())
            emit requestShowDevice(device);
    }
}

void ZeltraVisibleDevicesListViewWidget::setCellText(int row, int column, const QString& text)
{
    QTableWidgetItem* item = m_table->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        item->setFlags(Qt::ItemIsEnabled);
        item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        m_table->setItem(row, column, item);
    }
    item->setText(text);
}

void ZeltraVisibleDevicesListViewWidget::updateDeviceDisplay(VisibleZeltra* device)
{
    const int row = rowOfDevice(device);
    if (row < 0)
        return;

    if (auto* thumb = qobject_cast<QLabel*>(m_table->cellWidget(row, ProductColumn))) {
        QPixmap picture = device->modelListThumb();
        if (device->isTestMode())
            picture = testModeThumb(picture);
        thumb->setPixmap(picture);
        thumb->setMinimumWidth(picture.width() / picture.devicePixelRatio());
    }

    const QString name = device->deviceName();
    setCellText(row, LabelColumn, listLabel(name));
    m_table->item(row, LabelColumn)->setToolTip(CommonGui::plainToolTip(name));
    m_table->item(row, LabelColumn)->setForeground(ColourPalette::kMilkGray);
    // "-" for what a card lacks, never a blank cell.
    setCellText(row, VideoInColumn, getVideoInSummary(device));
    setCellText(row, OutputFormatColumn, getOutputFormatSummary(device));
    setCellText(row, GenlockColumn, getGenlockSummary(device));
    resizeTable();
}

void ZeltraVisibleDevicesListViewWidget::resizeTable()
{
    QHeaderView* header = m_table->horizontalHeader();
    for (int column = 0; column < ColumnCount; ++column) {
        const QTableWidgetItem* caption = m_table->horizontalHeaderItem(column);
        int content = caption ? QFontMetrics(header->font()).horizontalAdvance(caption->text()) + kTextIndent : 0;
        for (int row = 0; row < m_table->rowCount(); ++row) {
            if (QWidget* widget = m_table->cellWidget(row, column))
                content = qMax(content, widget->sizeHint().width());
            if (QTableWidgetItem* item = m_table->item(row, column))
                content = qMax(content, m_table->fontMetrics().horizontalAdvance(item->text()) + kTextIndent);
        }
        m_columnWidths[column] = content + kColumnPadding;
    }
    layoutColumns();
}

bool ZeltraVisibleDevicesListViewWidget::eventFilter(QObject* watched, QEvent* event)
{
    // The rows' room changes with the window and with the scroll bar.
    if (watched == m_table->viewport() && event->type() == QEvent::Resize)
        layoutColumns();
    return VisibleDevicesListViewWidget::eventFilter(watched, event);
}

void ZeltraVisibleDevicesListViewWidget::layoutColumns()
{
    int others = 0;
    for (int column = 0; column < ColumnCount; ++column) {
        if (column != LabelColumn)
            others += m_columnWidths[column];
    }
    // The label takes what the other columns leave: spare room when there is
    // some, so the setup buttons stay at the right edge, and less than its
    // text when there is not, down to a useful minimum. Below that the view
    // scrolls sideways; the scroll bar's room is kept so it never covers
    // the setup buttons.
    const int labelMinimum = qMin(m_columnWidths[LabelColumn], kMinLabelWidth);
    const int room = m_table->viewport()->width() - others;
    for (int column = 0; column < ColumnCount; ++column) {
        const int width = column == LabelColumn ? qMax(labelMinimum, room) : m_columnWidths[column];
        m_table->setColumnWidth(column, width);
    }
    m_table->setMinimumWidth(others + labelMinimum + CustomScrollBar::kThickness);
}
