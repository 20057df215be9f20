#pragma once

#include <QList>
#include <QMap>
#include <QWidget>

#include <cstdint>

class HorizontalScrollArea;
class LabelledImage;
class QLabel;
class VisibleZeltra;

// The live video state of a card, shown under its picture in the gallery: the
// input connection and format, what each output carries and the reference
// input, in up to three titled columns. Follows the card's change notices.
// Owned by the card (it has no parent while the gallery shows another card).
class VisibleZeltraSummaryWidget : public QWidget
{
    Q_OBJECT

public:
    // Keys of the extra views of one output connection: the second link of
    // a dual-link connection, and the dedicated down-converted SDI output.
    static constexpr uint32_t kSecondLinkFlag = 0x80000000u;
    static constexpr uint32_t kDownConvertedSDI = 0x40000001u;

    explicit VisibleZeltraSummaryWidget(VisibleZeltra& device, QWidget* parent = nullptr);

    bool hasInputColumn() const;
    bool hasOutputColumn() const;
    bool hasReferenceColumn() const;
    LabelledImage* inputWidget() const { return m_input; }
    LabelledImage* referenceWidget() const { return m_reference; }
    // Output widgets by key (connection value with the flag bits above).
    QList<uint32_t> outputKeys() const { return m_outputs.keys(); }
    LabelledImage* outputWidget(uint32_t key) const { return m_outputs.value(key); }

signals:
    // The set of shown columns or connections changed; the size may differ.
    void outputWidgetChanged();

public slots:
    void onDeviceStatusChanged();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Column
    {
        QWidget* widget = nullptr;
        QWidget* separator = nullptr;
        QLayout* items = nullptr;
    };
    struct OutputEntry
    {
        uint32_t key = 0;
        QString label;
        QString info;
        QString image;
    };

    Column makeColumn(const QString& title, bool withSeparator);
    bool refreshInput();
    bool refreshOutputs();
    bool refreshReference();
    QList<OutputEntry> wantedOutputs() const;
    void updateSeparators();

    VisibleZeltra& m_device;
    HorizontalScrollArea* m_scrollArea = nullptr;
    QWidget* m_content = nullptr;
    Column m_inputColumn;
    Column m_outputColumn;
    Column m_referenceColumn;
    LabelledImage* m_input = nullptr;
    LabelledImage* m_reference = nullptr;
    QMap<uint32_t, LabelledImage*> m_outputs;
};
