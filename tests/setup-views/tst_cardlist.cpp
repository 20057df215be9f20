// The card list view and the card summary over simulated cards: the six
// columns, what each row shows, the summary's columns and outputs, and live
// refresh when the simulator reports a change.

#include <QtTest>

#include <QHeaderView>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>

#include "colourpalette.h"
#include "devicelist.h"
#include "flatimagebutton.h"
#include "labelledimage.h"
#include "simctl.h"
#include "staticdata.h"
#include "visiblezeltra.h"
#include "visiblezeltrasummarywidget.h"
#include "zeltraapi.h"
#include "zeltrafamily.h"
#include "zeltravisibledeviceslistviewwidget.h"
#include "testhome.h"

using ListView = ZeltraVisibleDevicesListViewWidget;

class TestCardList : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void tableHasSixTitledColumns();
    void layoutKeepsCaptionsSetupAndBackground();
    void labelIsCutAfter63Characters_data();
    void labelIsCutAfter63Characters();
    void rowsShowEachCardsFormats();
    void cardWithoutCaptureHasNoInput();
    void statusNoticeRefreshesRowAndSummary();
    void referenceNoticeRefreshesLock();
    void dualLinkOutputShowsSecondLinkWhileItDiffers();
    void clicksRequestTheRowsDevice();
    void unplugAndPlugFollowTheList();

private:
    VisibleZeltra* cardNamed(const QString& prefix) const;
    QString cell(VisibleDevice* device, int column) const;

    QTemporaryDir m_home;
    ZeltraFamily* m_family = nullptr;
    DeviceList* m_list = nullptr;
    ListView* m_view = nullptr;
};

VisibleZeltra* TestCardList::cardNamed(const QString& prefix) const
{
    for (int i = 0; i < m_list->numberOfDevice(); ++i) {
        auto* card = dynamic_cast<VisibleZeltra*>(m_list->deviceAt(i));
        if (card && card->modelName().startsWith(prefix))
            return card;
    }
    return nullptr;
}

QString TestCardList::cell(VisibleDevice* device, int column) const
{
    const int row = m_view->rowOfDevice(device);
    QTableWidgetItem* item = row < 0 ? nullptr : m_view->table()->item(row, column);
    return item ? item->text() : QStringLiteral("<none>");
}

void TestCardList::initTestCase()
{
    qRegisterMetaType<VisibleDevice*>();
    QVERIFY(useTestHome(m_home, ONDAVIA_TEST_DATA_DIR "/viewcards.json"));
    initialiseStaticData();
}

void TestCardList::cleanupTestCase()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestCardList::init()
{
    m_list = new DeviceList;
    m_list->setSortOrder(DeviceList::ArrivalOrder);
    m_view = new ListView(*m_list);
    m_view->resize(900, 400);
    m_view->show();
    m_family = new ZeltraFamily;
    connect(m_family, &ProductFamilyBase::deviceArrived, m_list, &DeviceList::onDeviceAdded);
    connect(m_family, &ProductFamilyBase::deviceRemoved, m_list, &DeviceList::onDeviceRemoved);
    connect(m_family, &ProductFamilyBase::deviceInfoChanged, m_list, &DeviceList::onDeviceInfoChanged);
    m_family->init();
    QTRY_COMPARE_WITH_TIMEOUT(m_list->numberOfDevice(), 2, 10000);
    QVERIFY(cardNamed(QStringLiteral("Views Studio")));
    QVERIFY(cardNamed(QStringLiteral("Views Player")));
}

void TestCardList::cleanup()
{
    // Cards changed by a test go back to their described state.
    SimCtl::run({ QStringLiteral("plug"), QStringLiteral("all") });
    m_family->destroy();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    delete m_view;
    delete m_family;
    delete m_list;
}

void TestCardList::tableHasSixTitledColumns()
{
    QTableWidget* table = m_view->table();
    QCOMPARE(table->columnCount(), 6);
    const QStringList expected{ "PRODUCT", "LABEL", "VIDEO IN", "OUTPUT FORMAT", "GENLOCK", "" };
    for (int column = 0; column < 6; ++column) {
        QCOMPARE(table->horizontalHeaderItem(column)->text(), expected[column]);
        // Every column leaves room beyond its widest content.
        QVERIFY2(table->columnWidth(column) >= ListView::kColumnPadding, qPrintable(QString::number(column)));
    }
    QCOMPARE(table->rowCount(), 2);
}

void TestCardList::layoutKeepsCaptionsSetupAndBackground()
{
    QTableWidget* table = m_view->table();
    QHeaderView* captions = table->horizontalHeader();
    VisibleDevice* studio = cardNamed(QStringLiteral("Views Studio"));
    const int row = m_view->rowOfDevice(studio);
    QWidget* setup = table->cellWidget(row, ListView::SetupColumn);
    const auto inView = [this](QWidget* widget) {
        return m_view->rect().contains(QRect(widget->mapTo(m_view, QPoint()), widget->size()));
    };

    // The captions sit near the top, not under an empty band.
    QVERIFY2(captions->mapTo(m_view, QPoint()).y() <= 20,
             qPrintable(QString::number(captions->mapTo(m_view, QPoint()).y())));

    // Taller than its rows: the table's own background fills the rest.
    m_view->resize(900, 600);
    QTRY_COMPARE(table->height(), 600 - ListView::kHeaderStripHeight);
    const QImage picture = m_view->grab().toImage();
    QCOMPARE(picture.pixelColor(450, 590), QColor(ColourPalette::kThunderstormGray));

    // At the smallest window the 70-character label gives way to the setup
    // buttons, without a sideways scroll bar; wider, the label is whole.
    const int labelText = table->fontMetrics().horizontalAdvance(table->item(row, ListView::LabelColumn)->text());
    m_view->resize(780, 600);
    QTRY_VERIFY(inView(setup));
    QVERIFY(table->columnWidth(ListView::LabelColumn) < labelText);
    QVERIFY(!m_view->findChild<QScrollArea*>()->horizontalScrollBar()->isVisible());
    m_view->resize(1400, 600);
    QTRY_VERIFY(table->columnWidth(ListView::LabelColumn) > labelText);
    QVERIFY(inView(setup));

    // Shorter than its rows: the rows scroll under captions that stay.
    m_view->resize(780, ListView::kHeaderStripHeight + captions->height() + ListView::kRowHeight);
    QTRY_VERIFY(table->verticalScrollBar()->maximum() > 0);
    const QPoint captionsAt = captions->mapTo(m_view, QPoint());
    table->verticalScrollBar()->setValue(table->verticalScrollBar()->maximum());
    QCOMPARE(captions->mapTo(m_view, QPoint()), captionsAt);
    QVERIFY(inView(captions));
    QVERIFY(inView(setup) || inView(table->cellWidget(1 - row, ListView::SetupColumn)));
}

void TestCardList::labelIsCutAfter63Characters_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("shown");
    const QString x63(63, QLatin1Char('x'));
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("63 kept") << x63 << x63;
    QTest::newRow("64 marked") << x63 + "y" << x63 + "y...";
    QTest::newRow("70 cut") << x63 + "yzzzzzz" << x63 + "y...";
    // Cut by characters, not bytes.
    const QString wide(70, QChar(0x00e9));
    QTest::newRow("accented") << wide << wide.left(64) + "...";
}

void TestCardList::labelIsCutAfter63Characters()
{
    QFETCH(QString, label);
    QFETCH(QString, shown);
    QCOMPARE(ListView::listLabel(label), shown);
}

void TestCardList::rowsShowEachCardsFormats()
{
    VisibleZeltra* studio = cardNamed(QStringLiteral("Views Studio"));
    const QString label = studio->deviceName();
    QCOMPARE(label.size(), 70);
    QCOMPARE(cell(studio, ListView::LabelColumn), label.left(64) + QStringLiteral("..."));
    QCOMPARE(cell(studio, ListView::VideoInColumn), QStringLiteral("SDI: 1080i50"));
    QCOMPARE(cell(studio, ListView::OutputFormatColumn), QStringLiteral("1080i50"));
    QCOMPARE(cell(studio, ListView::GenlockColumn), QStringLiteral("1080i50"));
    // Both cards may be set up from their row.
    for (VisibleDevice* device : { static_cast<VisibleDevice*>(studio), m_list->deviceAt(1) }) {
        const int row = m_view->rowOfDevice(device);
        QVERIFY(m_view->table()->cellWidget(row, ListView::SetupColumn));
        QCOMPARE(m_view->deviceAtRow(row), device);
    }
}

void TestCardList::cardWithoutCaptureHasNoInput()
{
    VisibleZeltra* player = cardNamed(QStringLiteral("Views Player"));
    QVERIFY(!player->supportsCapture());
    QCOMPARE(cell(player, ListView::LabelColumn), QStringLiteral("Views Player"));
    // What a card lacks reads "-" in every column, the input as the others.
    QCOMPARE(cell(player, ListView::VideoInColumn), QStringLiteral("-"));
    QCOMPARE(cell(player, ListView::OutputFormatColumn), QStringLiteral("1080p25"));
    QCOMPARE(cell(player, ListView::GenlockColumn), QStringLiteral("-"));

    auto* summary = qobject_cast<VisibleZeltraSummaryWidget*>(player->summaryWidget());
    QVERIFY(summary);
    QVERIFY(!summary->hasInputColumn());
    QVERIFY(!summary->inputWidget());
    QVERIFY(!summary->hasReferenceColumn());
    QVERIFY(summary->hasOutputColumn());
    QCOMPARE(summary->outputKeys(), QList<uint32_t>{ 2u });
    QCOMPARE(summary->outputWidget(2)->label(), QStringLiteral("HDMI"));
    QCOMPARE(summary->outputWidget(2)->info(), QStringLiteral("1080p25"));
}

void TestCardList::statusNoticeRefreshesRowAndSummary()
{
    VisibleZeltra* studio = cardNamed(QStringLiteral("Views Studio"));
    auto* summary = qobject_cast<VisibleZeltraSummaryWidget*>(studio->summaryWidget());
    QVERIFY(summary && summary->hasInputColumn());
    QCOMPARE(summary->inputWidget()->label(), QStringLiteral("SDI"));
    QCOMPARE(summary->inputWidget()->info(), QStringLiteral("1080i50"));

    // Only the card's notice reaches the views; nothing else is prodded.
    QVERIFY(SimCtl::run({ QStringLiteral("signal"), QStringLiteral("0"), QStringLiteral("off") }));
    QTRY_COMPARE(cell(studio, ListView::VideoInColumn), QStringLiteral("SDI"));
    QTRY_COMPARE(summary->inputWidget()->info(), QStringLiteral("-"));

    QVERIFY(SimCtl::run({ QStringLiteral("format"), QStringLiteral("0"), QStringLiteral("Hp25") }));
    QTRY_COMPARE(cell(studio, ListView::VideoInColumn), QStringLiteral("SDI: 1080p25"));
    QTRY_COMPARE(summary->inputWidget()->info(), QStringLiteral("1080p25"));

    // A setting written by the utility comes back as a preference notice.
    studio->setVideoInputConnection(2);
    QTRY_COMPARE(cell(studio, ListView::VideoInColumn).section(QLatin1Char(':'), 0, 0), QStringLiteral("HDMI"));
    QTRY_COMPARE(summary->inputWidget()->label(), QStringLiteral("HDMI"));
    studio->readFromPreferences();
}

void TestCardList::referenceNoticeRefreshesLock()
{
    VisibleZeltra* studio = cardNamed(QStringLiteral("Views Studio"));
    auto* summary = qobject_cast<VisibleZeltraSummaryWidget*>(studio->summaryWidget());
    QVERIFY(summary->hasReferenceColumn());
    QCOMPARE(summary->referenceWidget()->label(), QStringLiteral("1080i50"));
    QCOMPARE(summary->referenceWidget()->info(), QStringLiteral("Locked"));

    QVERIFY(SimCtl::run({ QStringLiteral("reference"), QStringLiteral("0"), QStringLiteral("unlocked"),
                     QStringLiteral("Hp25") }));
    QTRY_COMPARE(summary->referenceWidget()->info(), QStringLiteral("-"));
    QTRY_COMPARE(summary->referenceWidget()->label(), QStringLiteral("1080p25"));
    QTRY_COMPARE(cell(studio, ListView::GenlockColumn), QStringLiteral("1080p25"));
}

void TestCardList::dualLinkOutputShowsSecondLinkWhileItDiffers()
{
    VisibleZeltra* studio = cardNamed(QStringLiteral("Views Studio"));
    auto* summary = qobject_cast<VisibleZeltraSummaryWidget*>(studio->summaryWidget());
    // The down-converting output conversion sends PAL down link B only.
    const QList<uint32_t> dual{ 1u, 2u, 0x80000001u };
    QCOMPARE(summary->outputKeys(), dual);
    QCOMPARE(summary->outputWidget(1)->label(), QStringLiteral("SDI A"));
    QCOMPARE(summary->outputWidget(1)->info(), QStringLiteral("1080i50"));
    QCOMPARE(summary->outputWidget(0x80000001u)->label(), QStringLiteral("SDI B"));
    QCOMPARE(summary->outputWidget(0x80000001u)->info(), QStringLiteral("PAL"));
    QCOMPARE(summary->outputWidget(2)->label(), QStringLiteral("HDMI"));

    // Without a conversion both links carry the same: one plain SDI widget.
    QSignalSpy changed(summary, &VisibleZeltraSummaryWidget::outputWidgetChanged);
    studio->setOutputConversionMode(zeltraCode("none"));
    QTRY_COMPARE(summary->outputKeys(), (QList<uint32_t>{ 1u, 2u }));
    QCOMPARE(summary->outputWidget(1)->label(), QStringLiteral("SDI"));
    QVERIFY(changed.count() >= 1);

    studio->setOutputConversionMode(zeltraCode("HWlb"));
    QTRY_COMPARE(summary->outputKeys(), dual);
    QCOMPARE(summary->outputWidget(1)->label(), QStringLiteral("SDI A"));
    studio->readFromPreferences();
}

void TestCardList::clicksRequestTheRowsDevice()
{
    QSignalSpy requests(m_view, &ListView::requestShowDevice);
    QTableWidget* table = m_view->table();
    VisibleDevice* player = cardNamed(QStringLiteral("Views Player"));
    const int row = m_view->rowOfDevice(player);
    const QRect label = table->visualItemRect(table->item(row, ListView::LabelColumn));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, label.center());
    QCOMPARE(requests.count(), 1);
    QCOMPARE(requests.at(0).at(0).value<VisibleDevice*>(), player);

    // The picture cell counts as the row, and the setup button asks as well.
    const QRect picture = table->visualRect(table->model()->index(row, ListView::ProductColumn));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, picture.center());
    QCOMPARE(requests.count(), 2);
    auto* setup = table->cellWidget(row, ListView::SetupColumn)->findChild<FlatImageButton*>();
    QVERIFY(setup);
    QTest::mouseClick(setup, Qt::LeftButton);
    QCOMPARE(requests.count(), 3);
    QCOMPARE(requests.at(2).at(0).value<VisibleDevice*>(), player);
}

void TestCardList::unplugAndPlugFollowTheList()
{
    VisibleDevice* player = cardNamed(QStringLiteral("Views Player"));
    QVERIFY(SimCtl::run({ QStringLiteral("unplug"), QStringLiteral("1") }));
    QTRY_COMPARE(m_view->table()->rowCount(), 1);
    QCOMPARE(m_view->rowOfDevice(player), -1);
    QVERIFY(m_view->deviceAtRow(0) == cardNamed(QStringLiteral("Views Studio")));
    // The removed card is deleted later; its row must not outlive it.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    QVERIFY(SimCtl::run({ QStringLiteral("plug"), QStringLiteral("1") }));
    QTRY_COMPARE(m_view->table()->rowCount(), 2);
    VisibleDevice* again = cardNamed(QStringLiteral("Views Player"));
    QCOMPARE(m_view->rowOfDevice(again), 1);
    QCOMPARE(cell(again, ListView::OutputFormatColumn), QStringLiteral("1080p25"));
}

QTEST_MAIN(TestCardList)
#include "tst_cardlist.moc"
