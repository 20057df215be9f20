#include "visiblezeltrasummarywidget.h"
#include "hidpipixmap.h"

#include "colourpalette.h"
#include "columnseparator.h"
#include "commongui.h"
#include "displaymodestrings.h"
#include "horizontalscrollarea.h"
#include "labelledimage.h"
#include "staticdata.h"
#include "tighthboxlayout.h"
#include "tightvboxlayout.h"
#include "visiblezeltra.h"

#include <QLabel>
#include <QPainter>
#include <QSet>

namespace {
constexpr uint32_t kSDI = 1;
constexpr uint32_t kOptical = 4;
constexpr int kColumnMargin = 22;
constexpr int kColumnTop = 10;
constexpr int kColumnBottom = 12;
constexpr int kTitleGap = 6;
constexpr int kItemSpacing = 24;
constexpr int kPanelRadius = 8;
} // namespace

VisibleZeltraSummaryWidget::VisibleZeltraSummaryWidget(VisibleZeltra& device, QWidget* parent)
    : QWidget(parent), m_device(device)
{
    setObjectName(QStringLiteral("VisibleZeltraSummaryWidget"));

    // Only the panel drawn by this widget has a background; everything on
    // it lets it show through.
    m_content = new QWidget;
    m_content->setAutoFillBackground(false);
    auto* row = new TightHBoxLayout(m_content);
    m_inputColumn = makeColumn(tr("VIDEO INPUT"), false);
    m_outputColumn = makeColumn(tr("VIDEO OUTPUT"), true);
    m_referenceColumn = makeColumn(tr("REF INPUT"), true);
    for (const Column* column : { &m_inputColumn, &m_outputColumn, &m_referenceColumn }) {
        if (column->separator)
            row->addWidget(column->separator);
        row->addWidget(column->widget);
    }

    m_scrollArea = new HorizontalScrollArea(this);
    m_scrollArea->setWidget(m_content);
    // setWidget turns the content's background on; the panel must show.
    m_content->setAutoFillBackground(false);
    auto* layout = new TightVBoxLayout(this);
    layout->addWidget(m_scrollArea);

    connect(&m_device, &VisibleZeltra::statusChanged, this, &VisibleZeltraSummaryWidget::onDeviceStatusChanged);
    connect(&m_device, &VisibleZeltra::propertyChanged, this, &VisibleZeltraSummaryWidget::onDeviceStatusChanged);
    connect(this, &VisibleZeltraSummaryWidget::outputWidgetChanged, m_scrollArea,
            &HorizontalScrollArea::contentChanged);
    onDeviceStatusChanged();
    m_scrollArea->contentChanged();
}

VisibleZeltraSummaryWidget::Column VisibleZeltraSummaryWidget::makeColumn(const QString& title, bool withSeparator)
{
    Column column;
    if (withSeparator)
        column.separator = new ColumnSeparator(m_content);
    column.widget = new QWidget(m_content);
    auto* layout = new TightVBoxLayout(column.widget);
    layout->setContentsMargins(kColumnMargin, kColumnTop, kColumnMargin, kColumnBottom);
    QLabel* caption = CommonGui::label(CommonGui::kSemiboldSmall, ColourPalette::kSmokeGray, column.widget);
    caption->setText(title);
    layout->addWidget(caption);
    layout->addSpacing(kTitleGap);
    auto* items = new TightHBoxLayout;
    items->setSpacing(kItemSpacing);
    layout->addLayout(items);
    layout->addStretch();
    column.items = items;
    column.widget->hide();
    if (column.separator)
        column.separator->hide();
    return column;
}

bool VisibleZeltraSummaryWidget::hasInputColumn() const
{
    return !m_inputColumn.widget->isHidden();
}

bool VisibleZeltraSummaryWidget::hasOutputColumn() const
{
    return !m_outputColumn.widget->isHidden();
}

bool VisibleZeltraSummaryWidget::hasReferenceColumn() const
{
    return !m_referenceColumn.widget->isHidden();
}

void VisibleZeltraSummaryWidget::onDeviceStatusChanged()
{
    bool changed = refreshInput();
    changed |= refreshOutputs();
    changed |= refreshReference();
    if (changed) {
        updateSeparators();
        updateGeometry();
        emit outputWidgetChanged();
    }
    update();
}

bool VisibleZeltraSummaryWidget::refreshInput()
{
    const bool wanted = m_device.supportsCapture();
    if (!wanted) {
        if (!m_input)
            return false;
        delete m_input;
        m_input = nullptr;
        m_inputColumn.widget->hide();
        return true;
    }
    const VideoConnectionInfo connection = kVideoConnections.value(uint32_t(m_device.getVideoInputConnection()));
    const QPixmap icon(connection.smallImage);
    const QString format = getVideoInputDisplayMode(&m_device);
    if (m_input) {
        const bool sameSize = m_input->label() == connection.caption;
        m_input->setImage(icon);
        m_input->setLabel(connection.caption);
        m_input->setInfo(format);
        return !sameSize;
    }
    m_input = new LabelledImage(icon, connection.caption, format, m_inputColumn.widget);
    m_inputColumn.items->addWidget(m_input);
    m_inputColumn.widget->show();
    return true;
}

QList<VisibleZeltraSummaryWidget::OutputEntry> VisibleZeltraSummaryWidget::wantedOutputs() const
{
    QList<OutputEntry> entries;
    if (!m_device.supportsPlayback())
        return entries;
    const int64_t outputs = m_device.getVideoOutputConnections();
    for (auto it = kVideoConnections.cbegin(); it != kVideoConnections.cend(); ++it) {
        const uint32_t connection = it.key();
        if (!(outputs & connection))
            continue;
        const QString plain = getVideoOutputDisplayMode(&m_device, connection);
        OutputEntry main{ connection, it->caption, plain, it->smallImage };
        QList<OutputEntry> extras;
        if ((connection == kSDI || connection == kOptical) && m_device.supportsSDIDualLink()) {
            const QString second = getVideoOutputDisplayMode(&m_device, connection | kSecondLinkFlag);
            if (second != plain)
                extras.append({ connection | kSecondLinkFlag, it->caption, second, it->smallImage });
        }
        if (connection == kSDI && m_device.hasDedicatedDownconvertedOutput()) {
            const QString down = getVideoOutputDisplayMode(&m_device, kDownConvertedSDI);
            if (down != plain)
                extras.append({ kDownConvertedSDI, it->caption, down, it->smallImage });
        }
        // The plain connection is link A; the next views are B (and C).
        if (!extras.isEmpty())
            main.label += QStringLiteral(" A");
        entries.append(main);
        const char* suffixes[] = { " B", " C" };
        for (int i = 0; i < extras.size(); ++i) {
            extras[i].label += QLatin1String(suffixes[i]);
            entries.append(extras[i]);
        }
    }
    return entries;
}

bool VisibleZeltraSummaryWidget::refreshOutputs()
{
    const QList<OutputEntry> entries = wantedOutputs();
    QSet<uint32_t> wantedKeys;
    for (const OutputEntry& entry : entries)
        wantedKeys.insert(entry.key);

    bool changed = false;
    for (auto it = m_outputs.begin(); it != m_outputs.end();) {
        if (wantedKeys.contains(it.key())) {
            ++it;
            continue;
        }
        delete it.value();
        it = m_outputs.erase(it);
        changed = true;
    }
    for (const OutputEntry& entry : entries) {
        LabelledImage* widget = m_outputs.value(entry.key);
        if (!widget) {
            widget = new LabelledImage(loadPicture(entry.image), entry.label, entry.info, m_outputColumn.widget);
            m_outputs.insert(entry.key, widget);
            changed = true;
        } else {
            changed |= widget->label() != entry.label;
            widget->setLabel(entry.label);
            widget->setInfo(entry.info);
        }
    }
    if (changed) {
        // Keep the table's order: connections by value, each followed by its
        // second link and its down-converted view.
        for (const OutputEntry& entry : entries) {
            m_outputColumn.items->removeWidget(m_outputs.value(entry.key));
            m_outputColumn.items->addWidget(m_outputs.value(entry.key));
        }
    }
    const bool visible = !entries.isEmpty();
    changed |= visible == m_outputColumn.widget->isHidden();
    m_outputColumn.widget->setVisible(visible);
    return changed;
}

bool VisibleZeltraSummaryWidget::refreshReference()
{
    const bool wanted = m_device.supportsReferenceInput();
    if (!wanted) {
        if (!m_reference)
            return false;
        delete m_reference;
        m_reference = nullptr;
        m_referenceColumn.widget->hide();
        return true;
    }
    const QString format = getVideoReferenceInputDisplayString(&m_device);
    const QString lock = getVideoReferenceInputLockStatus(&m_device);
    if (m_reference) {
        m_reference->setLabel(format);
        m_reference->setInfo(lock);
        return false;
    }
    m_reference = new LabelledImage(QPixmap(), format, lock, m_referenceColumn.widget);
    m_referenceColumn.items->addWidget(m_reference);
    m_referenceColumn.widget->show();
    return true;
}

void VisibleZeltraSummaryWidget::updateSeparators()
{
    // A rule stands before a column only when some column precedes it.
    bool anyBefore = !m_inputColumn.widget->isHidden();
    for (const Column* column : { &m_outputColumn, &m_referenceColumn }) {
        const bool shown = !column->widget->isHidden();
        column->separator->setVisible(shown && anyBefore);
        anyBefore |= shown;
    }
}

void VisibleZeltraSummaryWidget::paintEvent(QPaintEvent*)
{
    if (!hasInputColumn() && !hasOutputColumn() && !hasReferenceColumn())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(ColourPalette::kOwlGray);
    painter.setBrush(ColourPalette::kAsphaltGray);
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), kPanelRadius, kPanelRadius);
}
