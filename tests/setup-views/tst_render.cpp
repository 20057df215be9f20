// Pictures of the main window's views for review, written to the build
// folder's tests/pictures: the empty gallery, one card, several cards with
// their dots, a card in test mode, the card list, and the main window over
// the simulator's built-in cards.

#include <QtTest>

#include <QPainter>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTemporaryDir>

#include "devicelist.h"
#include "dotswidget.h"
#include "flatimagebutton.h"
#include "labelledimage.h"
#include "simctl.h"
#include "staticdata.h"
#include "viewselectionbar.h"
#include "testdevice.h"
#include "visibledeviceswidget.h"
#include "visiblezeltra.h"
#include "visiblezeltrasummarywidget.h"
#include "windowfooter.h"
#include "zeltraadminutilitywindow.h"
#include "zeltrafamily.h"
#include "zeltravisibledeviceslistviewwidget.h"
#include "testhome.h"

class TestRender : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void emptyGallery();
    void mainWindowWithSimulatedCards();
    void liveChangeFromSimulator();
    void cardInTestMode();
    void cardList();
    void relayedCards_data();
    void relayedCards();
    void galleryWithMarkupLabels();
    void listWithMarkupLabels();
    void hundredDevices();
    void focusedControls();

private:
    bool save(QWidget* widget, const QString& name);
    VisibleZeltra* cardWithModel(int64_t modelId) const;

    QTemporaryDir m_home;
    QString m_folder;
    ZeltraAdminUtilityWindow* m_window = nullptr;
    ZeltraFamily* m_family = nullptr;
};

void TestRender::initTestCase()
{
    QVERIFY(useTestHome(m_home));
    initialiseStaticData();
    m_folder = QStringLiteral(ONDAVIA_PICTURES_DIR);
    QVERIFY(QDir().mkpath(m_folder));
}

void TestRender::cleanupTestCase()
{
    delete m_window;
    delete m_family;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

bool TestRender::save(QWidget* widget, const QString& name)
{
    // Let the window finish widening before it is photographed.
    QTest::qWait(800);
    const QString path = m_folder + QLatin1Char('/') + name + QStringLiteral(".png");
    const bool saved = widget->grab().save(path);
    qInfo().noquote() << "wrote" << path;
    return saved;
}

VisibleZeltra* TestRender::cardWithModel(int64_t modelId) const
{
    DeviceList& list = m_window->deviceList();
    for (int i = 0; i < list.numberOfDevice(); ++i) {
        auto* card = dynamic_cast<VisibleZeltra*>(list.deviceAt(i));
        if (card && card->modelId() == modelId)
            return card;
    }
    return nullptr;
}

void TestRender::emptyGallery()
{
    ZeltraAdminUtilityWindow window;
    window.show();
    QTRY_VERIFY(window.footer());
    QCOMPARE(window.galleryView()->pages()->currentIndex(), int(VisibleDevicesWidget::EmptyPage));
    QVERIFY(save(&window, QStringLiteral("views-empty-gallery")));
}

void TestRender::mainWindowWithSimulatedCards()
{
    m_window = new ZeltraAdminUtilityWindow;
    m_family = new ZeltraFamily;
    m_window->addFamily(m_family);
    m_window->show();
    // Fourteen of the fifteen built-in cards are shown.
    QTRY_COMPARE_WITH_TIMEOUT(m_window->deviceList().numberOfDevice(), 14, 15000);
    QTRY_COMPARE(m_window->footer()->dotsWidget()->dotCount(), 14);
    QVERIFY(m_window->galleryView()->summaryWidget());
    QVERIFY(save(m_window, QStringLiteral("views-main-window")));
}

void TestRender::liveChangeFromSimulator()
{
    // Another source reaches the first card's input: its summary follows.
    auto* summary = qobject_cast<VisibleZeltraSummaryWidget*>(m_window->galleryView()->summaryWidget());
    QVERIFY(summary && summary->inputWidget());
    QVERIFY(SimCtl::run({ QStringLiteral("format"), QStringLiteral("0"), QStringLiteral("4k59") }));
    QTRY_COMPARE(summary->inputWidget()->info(), QStringLiteral("2160p59.94"));
    QVERIFY(save(m_window, QStringLiteral("views-main-window-live")));
}

void TestRender::cardInTestMode()
{
    VisibleZeltra* atlas = cardWithModel(76);
    QVERIFY(atlas && atlas->isTestMode());
    m_window->deviceList().setCurrentDevice(m_window->deviceList().indexOfDevice(atlas));
    QVERIFY(save(m_window, QStringLiteral("views-test-mode")));
    m_window->deviceList().setCurrentDevice(0);
}

void TestRender::cardList()
{
    ViewSelectionBar* bar = m_window->footer()->viewSelectionBar();
    QVERIFY(bar);
    QTest::mouseClick(bar->listButton(), Qt::LeftButton);
    QCOMPARE(m_window->viewStack()->currentWidget(), m_window->listView());
    QVERIFY(!m_window->footer()->dotsWidget()->isVisible());
    QVERIFY(save(m_window, QStringLiteral("views-list")));
    // Every row at once, the card in test mode among them.
    auto* list = qobject_cast<ZeltraVisibleDevicesListViewWidget*>(m_window->listView());
    QVERIFY(list);
    QCOMPARE(list->table()->rowCount(), 14);
    // Scrolled to the end, the captions stay where they were.
    list->table()->verticalScrollBar()->setValue(list->table()->verticalScrollBar()->maximum());
    QVERIFY(save(m_window, QStringLiteral("views-list-scrolled")));
    const QSize size = m_window->size();
    m_window->resize(size.width(), 1000);
    QVERIFY(save(list->table(), QStringLiteral("views-list-all-rows")));
    m_window->resize(size);
    QTest::mouseClick(bar->galleryButton(), Qt::LeftButton);
}

void TestRender::relayedCards_data()
{
    // A window showing only some cards of the simulated set; in list view
    // at the given size, and once more after the cards leave.
    QTest::addColumn<QList<int>>("models");
    QTest::addColumn<int>("current"); // -1: list view
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("emptyName");
    QTest::newRow("views-one-card") << QList<int>{ 77 } << 0 << QSize() << QString();
    QTest::newRow("views-several-cards") << QList<int>{ 61, 67, 72, 73 } << 1 << QSize() << QString();
    QTest::newRow("views-list-two-rows") << QList<int>{ 61, 76 } << -1 << QSize(900, 760) << QString();
    QTest::newRow("views-list-one-row") << QList<int>{ 61 } << -1 << QSize(780, 700)
                                        << QStringLiteral("views-list-no-cards");
}

void TestRender::relayedCards()
{
    QFETCH(QList<int>, models);
    QFETCH(int, current);
    QFETCH(QSize, size);
    QFETCH(QString, emptyName);
    TestFamily relay;
    for (int model : models) {
        VisibleZeltra* card = cardWithModel(model);
        QVERIFY(card);
        relay.devicesOnInit.append(card);
    }
    {
        ZeltraAdminUtilityWindow window;
        window.addFamily(&relay);
        window.show();
        if (size.isValid())
            window.resize(size);
        QTRY_COMPARE(window.deviceList().numberOfDevice(), models.size());
        if (current >= 0) {
            window.deviceList().setCurrentDevice(current);
        } else {
            QTest::mouseClick(window.footer()->viewSelectionBar()->listButton(), Qt::LeftButton);
            QCOMPARE(window.viewStack()->currentWidget(), window.listView());
        }
        QVERIFY(save(&window, QString::fromLatin1(QTest::currentDataTag())));
        if (!emptyName.isEmpty()) {
            for (VisibleDevice* card : qAsConst(relay.devicesOnInit))
                relay.withdraw(card);
            QVERIFY(save(&window, emptyName));
        }
    }
    // The relayed cards lent their summaries; the main window takes its back.
    m_window->galleryView()->updateDeviceDisplay();
}

void TestRender::galleryWithMarkupLabels()
{
    TestFamily family;
    TestDevice device(QStringLiteral("<b>x</b><i>italic</i><img src=\":/Logo\"> <font color=red>R</font>"));
    device.model = QStringLiteral("<u>Model</u> with a name far longer than the row beside the setup button");
    device.connectionIcon = QPixmap(QStringLiteral(":/Info"));
    family.devicesOnInit.append(&device);
    ZeltraAdminUtilityWindow window;
    window.addFamily(&family);
    window.show();
    QTRY_COMPARE(window.deviceList().numberOfDevice(), 1);
    QVERIFY(save(&window, QStringLiteral("views-gallery-markup")));
}

void TestRender::listWithMarkupLabels()
{
    VisibleZeltra* first = cardWithModel(61);
    VisibleZeltra* second = cardWithModel(77);
    VisibleZeltra* third = cardWithModel(71);
    QVERIFY(first && second && third);
    third->setInformationLabel(QString::fromUtf8("\u05D1\u05D3\u05D9\u05E7\u05D4 <font color=red>\u05D0</font>"));
    first->setInformationLabel(QStringLiteral("<b>x</b><i>italic</i><img src=\":/Logo\"> &amp; <font color=red>R</font>"));
    second->setInformationLabel(QStringLiteral("Edit suite two - ") + QString(53, QLatin1Char('x')));
    QTRY_VERIFY(first->deviceName().startsWith(QLatin1String("<b>")));
    // As the settings window does after a label change.
    m_window->updateDeviceInfo(first);
    m_window->resize(m_window->minimumSize());
    ViewSelectionBar* bar = m_window->footer()->viewSelectionBar();
    QTest::mouseClick(bar->listButton(), Qt::LeftButton);
    QVERIFY(save(m_window, QStringLiteral("views-list-markup")));
    QTest::mouseClick(bar->galleryButton(), Qt::LeftButton);
    QVERIFY(save(m_window, QStringLiteral("views-gallery-markup-card")));
    for (VisibleZeltra* card : { first, second, third })
        card->readFromPreferences();
    m_window->updateDeviceInfo(first);
}

void TestRender::hundredDevices()
{
    TestFamily family;
    QList<TestDevice*> devices;
    for (int i = 0; i < 100; ++i) {
        devices.append(new TestDevice(QStringLiteral("Device %1").arg(i + 1), &family));
        family.devicesOnInit.append(devices.last());
    }
    ZeltraAdminUtilityWindow window;
    window.addFamily(&family);
    window.show();
    QTRY_COMPARE(window.deviceList().numberOfDevice(), 100);
    window.deviceList().setCurrentDevice(99);
    QVERIFY(save(&window, QStringLiteral("views-hundred-devices")));
}

void TestRender::focusedControls()
{
    TestFamily family;
    for (const char* name : { "Edit bay", "Grading", "Playout" })
        family.devicesOnInit.append(new TestDevice(QString::fromLatin1(name), &family));
    ZeltraAdminUtilityWindow window;
    window.addFamily(&family);
    window.show();
    QTRY_COMPARE(window.deviceList().numberOfDevice(), 3);
    window.deviceList().setCurrentDevice(1);
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::qWait(800);

    VisibleDevicesWidget* gallery = window.galleryView();
    WindowFooter* footer = window.footer();
    const QList<FlatImageButton*> controls{ gallery->setupButton(), gallery->leftArrow(), gallery->rightArrow(),
                                            footer->dotsWidget()->dotAt(0), footer->dotsWidget()->dotAt(1),
                                            footer->viewSelectionBar()->galleryButton(),
                                            footer->viewSelectionBar()->listButton() };
    // Tab goes round all of them.
    QSet<QWidget*> reached;
    controls.first()->setFocus();
    for (int i = 0; i < 3 * controls.size(); ++i) {
        reached.insert(QApplication::focusWidget());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    // Each shows that it has the focus, the active view's button as well;
    // the pictures of them side by side, focused below unfocused.
    constexpr int kMargin = 24;
    const QSize cell(80, 60);
    QImage strip(cell.width() * controls.size(), cell.height() * 2, QImage::Format_ARGB32);
    strip.fill(Qt::black);
    QPainter painter(&strip);
    for (int i = 0; i < controls.size(); ++i) {
        FlatImageButton* control = controls.at(i);
        QVERIFY2(reached.contains(control), qPrintable(control->toolTip()));
        window.setFocus();
        const QImage unfocused = control->currentImage().toImage();
        const QRect around = QRect(control->mapTo(&window, QPoint()), control->size())
                                 .adjusted(-kMargin, -kMargin, kMargin, kMargin)
                           & window.rect();
        painter.drawPixmap(i * cell.width(), 0, window.grab(around).scaled(cell, Qt::KeepAspectRatio));
        control->setFocus();
        QVERIFY(control->hasFocus());
        QVERIFY2(control->currentImage().toImage() != unfocused, qPrintable(control->toolTip()));
        painter.drawPixmap(i * cell.width(), cell.height(), window.grab(around).scaled(cell, Qt::KeepAspectRatio));
    }
    painter.end();
    const QString path = m_folder + QStringLiteral("/views-focused-controls.png");
    QVERIFY(strip.save(path));
    qInfo().noquote() << "wrote" << path;
}

QTEST_MAIN(TestRender)
#include "tst_render.moc"
