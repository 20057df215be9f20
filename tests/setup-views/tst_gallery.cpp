// The gallery and the footer over devices made in the test: the empty
// state, stepping with arrows and dots, the view switch, test mode, the
// firmware page and the secret entry.

#include <QtTest>

#include <QLabel>
#include <QPainter>
#include <QTextDocument>
#include <QStackedWidget>

#include <functional>

#include "appdefaults.h"
#include "cardpushbutton.h"
#include "devicelist.h"
#include "dotswidget.h"
#include "flatimagebutton.h"
#include "footerleftregion.h"
#include "secretbutton.h"
#include "viewselectionbar.h"
#include "testdevice.h"
#include "visibledeviceswidget.h"
#include "windowfooter.h"
#include "windowheader.h"
#include "zeltravisibledeviceslistviewwidget.h"

namespace {
bool sameImage(const QPixmap& a, const QPixmap& b)
{
    return a.toImage().convertToFormat(QImage::Format_ARGB32) == b.toImage().convertToFormat(QImage::Format_ARGB32);
}
} // namespace

class TestGallery : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qRegisterMetaType<VisibleDevice*>(); }
    void init();
    void cleanup();

    void emptyStateShowsNoDeviceAndHidesFooterControls();
    void singleDeviceShowsNoDotsAndNoArrows();
    void arrowsAndDotsStepThroughDevices();
    void removingDevicesShrinksDots();
    void viewSwitchHidesAndRestoresDots();
    void testModeDrawsOverlayOnPicture();
    void pictureRequestsSetupOnlyWhenAllowed();
    void firmwarePageOffersUpdate();
    void summaryIsLentAndGivenBack();
    void secretEntryNeedsShiftDoubleClick_data();
    void secretEntryNeedsShiftDoubleClick();
    void headerKeepsTitleClearOfLogo();
    void namesShowLiterally_data();
    void namesShowLiterally();
    void keysStepAndPress();
    void dotsAreNamedAfterTheirDevices();
    void manyDevicesKeepDotsRowNarrow();
    void tallGalleryCentresTheCard();
    void listTestModeMarkStaysOnTheCard_data();
    void listTestModeMarkStaysOnTheCard();

private:
    // Announces a new device; `setUp` gives it its answers first.
    TestDevice* addDevice(const QString& name, const std::function<void(TestDevice&)>& setUp = {});

    DeviceList* m_list = nullptr;
    TestFamily* m_family = nullptr;
    QWidget* m_window = nullptr;
    VisibleDevicesWidget* m_gallery = nullptr;
    WindowFooter* m_footer = nullptr;
    QList<TestDevice*> m_devices;
};

void TestGallery::init()
{
    m_list = new DeviceList;
    m_list->setSortOrder(DeviceList::ArrivalOrder);
    m_family = new TestFamily;
    connect(m_family, &ProductFamilyBase::deviceArrived, m_list, &DeviceList::onDeviceAdded);
    connect(m_family, &ProductFamilyBase::deviceRemoved, m_list, &DeviceList::onDeviceRemoved);
    m_window = new QWidget;
    m_window->resize(780, 680);
    m_gallery = new VisibleDevicesWidget(*m_list, m_window);
    m_footer = new WindowFooter(*m_list, m_window, true);
    m_footer->setGeometry(0, 600, 780, WindowFooter::kHeight);
    m_window->show();
}

void TestGallery::cleanup()
{
    delete m_window;
    qDeleteAll(m_devices);
    m_devices.clear();
    delete m_family;
    delete m_list;
}

TestDevice* TestGallery::addDevice(const QString& name, const std::function<void(TestDevice&)>& setUp)
{
    auto* device = new TestDevice(name);
    if (setUp)
        setUp(*device);
    m_devices.append(device);
    m_family->announce(device);
    return device;
}

void TestGallery::emptyStateShowsNoDeviceAndHidesFooterControls()
{
    QCOMPARE(m_gallery->pages()->currentIndex(), int(VisibleDevicesWidget::EmptyPage));
    QVERIFY(sameImage(m_gallery->pictureButton()->image(), QPixmap(QStringLiteral(":/NoDevice"))));
    QVERIFY(!m_gallery->pictureButton()->isEnabled());
    QCOMPARE(m_gallery->nameLabel()->text(), AppDefaults::noDeviceHeader());
    QCOMPARE(m_gallery->messageLabel()->text(), AppDefaults::noDeviceMessage());
    QCOMPARE(m_gallery->nameLabel()->width(), VisibleDevicesWidget::kEmptyWidth);
    QVERIFY(!m_gallery->leftArrow()->isVisible());
    QVERIFY(!m_gallery->rightArrow()->isVisible());
    QVERIFY(!m_footer->dotsWidget()->isVisible());
    QVERIFY(!m_footer->viewSelectionBar()->isVisible());

    // Clicking the disabled picture asks for nothing.
    QSignalSpy show(m_gallery, &VisibleDevicesWidget::requestShowDevice);
    m_gallery->onDeviceClicked();
    QCOMPARE(show.count(), 0);

    // The last device leaving brings the empty state back.
    TestDevice* device = addDevice(QStringLiteral("Only"));
    QCOMPARE(m_gallery->pages()->currentIndex(), int(VisibleDevicesWidget::DevicePage));
    m_family->withdraw(device);
    QCOMPARE(m_gallery->pages()->currentIndex(), int(VisibleDevicesWidget::EmptyPage));
    QCOMPARE(m_gallery->nameLabel()->text(), AppDefaults::noDeviceHeader());
    QVERIFY(!m_footer->viewSelectionBar()->isVisible());
}

void TestGallery::singleDeviceShowsNoDotsAndNoArrows()
{
    TestDevice* device = addDevice(QStringLiteral("Edit Bay"));
    QCOMPARE(m_gallery->nameLabel()->text(), QStringLiteral("Edit Bay"));
    QCOMPARE(m_gallery->modelLabel()->text(), QStringLiteral("Test Model"));
    QVERIFY(m_gallery->pictureButton()->isEnabled());
    QVERIFY(sameImage(m_gallery->pictureButton()->image(), device->image));
    QVERIFY(!m_gallery->leftArrow()->isVisible());
    QVERIFY(!m_gallery->rightArrow()->isVisible());
    QCOMPARE(m_footer->dotsWidget()->dotCount(), 1);
    QVERIFY(!m_footer->dotsWidget()->dotAt(0)->isVisible());
    QVERIFY(m_footer->viewSelectionBar()->isVisible());
}

void TestGallery::arrowsAndDotsStepThroughDevices()
{
    addDevice(QStringLiteral("A"));
    addDevice(QStringLiteral("B"));
    addDevice(QStringLiteral("C"));
    DotsWidget* dots = m_footer->dotsWidget();
    QCOMPARE(dots->dotCount(), 3);
    for (int i = 0; i < 3; ++i)
        QVERIFY(dots->dotAt(i)->isVisible());

    // Expected arrows and lit dot at each position.
    auto check = [&](int position) {
        QCOMPARE(m_list->getCurrentDeviceIndex(), position);
        QCOMPARE(m_gallery->nameLabel()->text(), QString(QChar('A' + position)));
        QCOMPARE(m_gallery->leftArrow()->isVisible(), position > 0);
        QCOMPARE(m_gallery->rightArrow()->isVisible(), position < 2);
        QCOMPARE(dots->currentDot(), position);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(sameImage(dots->dotAt(i)->image(), QPixmap(QStringLiteral(":/Dot_On"))), i == position);
    };
    check(0);
    QTest::mouseClick(m_gallery->rightArrow(), Qt::LeftButton);
    check(1);
    QTest::mouseClick(m_gallery->rightArrow(), Qt::LeftButton);
    check(2);
    QTest::mouseClick(m_gallery->leftArrow(), Qt::LeftButton);
    check(1);
    QTest::mouseClick(dots->dotAt(0), Qt::LeftButton);
    check(0);
    QTest::mouseClick(dots->dotAt(2), Qt::LeftButton);
    check(2);
}

void TestGallery::removingDevicesShrinksDots()
{
    TestDevice* a = addDevice(QStringLiteral("A"));
    addDevice(QStringLiteral("B"));
    TestDevice* c = addDevice(QStringLiteral("C"));
    m_list->setCurrentDevice(2);
    m_family->withdraw(c);
    DotsWidget* dots = m_footer->dotsWidget();
    QCOMPARE(dots->dotCount(), 2);
    // The removed device was current: the first entry takes over.
    QCOMPARE(dots->currentDot(), 0);
    QCOMPARE(m_gallery->nameLabel()->text(), QStringLiteral("A"));
    QVERIFY(m_gallery->rightArrow()->isVisible());
    m_family->withdraw(a);
    QCOMPARE(dots->dotCount(), 1);
    QVERIFY(!dots->dotAt(0)->isVisible());
    QVERIFY(!m_gallery->rightArrow()->isVisible());
}

void TestGallery::viewSwitchHidesAndRestoresDots()
{
    addDevice(QStringLiteral("A"));
    addDevice(QStringLiteral("B"));
    ViewSelectionBar* bar = m_footer->viewSelectionBar();
    QSignalSpy list(m_footer, &WindowFooter::listViewSelected);
    QSignalSpy gallery(m_footer, &WindowFooter::galleryViewSelected);
    QCOMPARE(bar->getActiveView(), int(ViewSelectionBar::GalleryView));

    QTest::mouseClick(bar->listButton(), Qt::LeftButton);
    QCOMPARE(list.count(), 1);
    QCOMPARE(bar->getActiveView(), int(ViewSelectionBar::ListView));
    // The main window answers with hideDots.
    m_footer->hideDots();
    QVERIFY(!m_footer->dotsWidget()->isVisible());
    // A new device in list view keeps the dots away.
    addDevice(QStringLiteral("C"));
    QVERIFY(!m_footer->dotsWidget()->isVisible());
    QVERIFY(bar->isVisible());

    QTest::mouseClick(bar->galleryButton(), Qt::LeftButton);
    QCOMPARE(gallery.count(), 1);
    m_footer->showDots();
    QVERIFY(m_footer->dotsWidget()->isVisible());
    QCOMPARE(bar->getActiveView(), int(ViewSelectionBar::GalleryView));
    QVERIFY(bar->galleryButton()->isChecked() && !bar->listButton()->isChecked());

    // Without a list view the dots always show, and there is no switch.
    WindowFooter plain(*m_list, m_window, false);
    QVERIFY(!plain.viewSelectionBar());
    plain.hideDots();
    plain.show();
    QVERIFY(plain.dotsWidget()->isVisible());
}

void TestGallery::testModeDrawsOverlayOnPicture()
{
    TestDevice* normal = addDevice(QStringLiteral("Normal"));
    TestDevice* testMode = addDevice(QStringLiteral("Test"), [](TestDevice& d) { d.testMode = true; });
    QVERIFY(sameImage(m_gallery->pictureButton()->image(), normal->image));

    m_list->setCurrentDevice(1);
    const QImage shown = m_gallery->pictureButton()->image().toImage();
    QCOMPARE(shown.size(), testMode->image.size());
    QVERIFY(!sameImage(m_gallery->pictureButton()->image(), testMode->image));
    // The overlay is red writing on the picture.
    bool red = false;
    for (int y = 0; y < shown.height() && !red; y += 2) {
        for (int x = 0; x < shown.width() && !red; x += 2) {
            const QColor colour = shown.pixelColor(x, y);
            red = colour.red() > 180 && colour.green() < 90 && colour.blue() < 90;
        }
    }
    QVERIFY(red);

    // Without a picture the overlay still has its canvas.
    testMode->image = QPixmap();
    m_list->updateDeviceInfo(testMode);
    QCOMPARE(m_gallery->pictureButton()->image().size(), QSize(400, 360));
}

void TestGallery::pictureRequestsSetupOnlyWhenAllowed()
{
    TestDevice* device = addDevice(QStringLiteral("A"));
    QSignalSpy show(m_gallery, &VisibleDevicesWidget::requestShowDevice);
    QTest::mouseClick(m_gallery->pictureButton(), Qt::LeftButton);
    QCOMPARE(show.count(), 1);
    QCOMPARE(show.at(0).at(0).value<VisibleDevice*>(), static_cast<VisibleDevice*>(device));
    QVERIFY(m_gallery->setupButton()->isVisible());

    device->showSetup = false;
    m_list->updateDeviceInfo(device);
    QVERIFY(!m_gallery->setupButton()->isVisible());
    QTest::mouseClick(m_gallery->pictureButton(), Qt::LeftButton);
    QCOMPARE(show.count(), 1);
}

void TestGallery::firmwarePageOffersUpdate()
{
    TestDevice* device = addDevice(QStringLiteral("Unit"), [](TestDevice& d) {
        d.firmwareOnly = true;
        d.currentFirmware = QStringLiteral("Version 2.1");
        d.updateAvailable = true;
        d.availableFirmware = QStringLiteral("2.4");
    });

    QCOMPARE(m_gallery->pages()->currentIndex(), int(VisibleDevicesWidget::FirmwarePage));
    QVERIFY(!m_gallery->pictureButton()->isEnabled());
    QCOMPARE(m_gallery->firmwareStatusLabel()->text(), QStringLiteral("Software update available."));
    QCOMPARE(m_gallery->availableFirmwareLabel()->text(), QStringLiteral("2.4"));
    QVERIFY(m_gallery->updateNowButton()->isVisible());
    QSignalSpy update(m_gallery, &VisibleDevicesWidget::requestFirmwareUpdate);
    QTest::mouseClick(m_gallery->updateNowButton(), Qt::LeftButton);
    QCOMPARE(update.count(), 1);

    device->updateAvailable = false;
    m_list->updateDeviceInfo(device);
    QCOMPARE(m_gallery->firmwareStatusLabel()->text(), QStringLiteral("Software is up to date."));
    QVERIFY(!m_gallery->updateNowButton()->isVisible());
    QVERIFY(!m_gallery->availableFirmwareLabel()->isVisible());
}

void TestGallery::summaryIsLentAndGivenBack()
{
    auto withSummary = [](TestDevice& d) { d.summary = new QWidget; };
    TestDevice* a = addDevice(QStringLiteral("A"), withSummary);
    TestDevice* b = addDevice(QStringLiteral("B"), withSummary);
    m_gallery->updateDeviceDisplay();

    QCOMPARE(m_gallery->summaryWidget(), a->summary.data());
    QVERIFY(m_gallery->isAncestorOf(a->summary));
    QVERIFY(a->summary->isVisible());

    m_list->selectNextDevice();
    QCOMPARE(m_gallery->summaryWidget(), b->summary.data());
    QVERIFY(!a->summary->parent());
    QVERIFY(!a->summary->isVisible());

    // The gallery going first must leave the summary to its device.
    delete m_window;
    m_window = nullptr;
    QVERIFY(b->summary);
    QVERIFY(!b->summary->parent());

    // The device going first takes its summary along; nothing dangles.
    m_window = new QWidget;
    m_gallery = new VisibleDevicesWidget(*m_list, m_window);
    QPointer<QWidget> lent = b->summary.data();
    QVERIFY(m_gallery->isAncestorOf(lent));
    m_family->withdraw(b);
    m_devices.removeOne(b);
    delete b;
    QVERIFY(!lent);
    QCOMPARE(m_gallery->summaryWidget(), a->summary.data());
}

void TestGallery::secretEntryNeedsShiftDoubleClick_data()
{
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("expected");
    QTest::newRow("plain") << int(Qt::NoModifier) << 0;
    QTest::newRow("shift") << int(Qt::ShiftModifier) << 1;
    QTest::newRow("control") << int(Qt::ControlModifier) << 0;
    QTest::newRow("shift+control") << int(Qt::ShiftModifier | Qt::ControlModifier) << 1;
}

void TestGallery::secretEntryNeedsShiftDoubleClick()
{
    QFETCH(int, modifiers);
    QFETCH(int, expected);
    SecretButton* secret = m_footer->leftRegion()->secretButton();
    QCOMPARE(secret->geometry(), QRect(0, 44, 20, 20));
    QSignalSpy egg(m_footer, &WindowFooter::easterEggClicked);
    QTest::mouseDClick(secret, Qt::LeftButton, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(egg.count(), expected);
    // A single click never counts, Shift or not.
    QTest::mouseClick(secret, Qt::LeftButton, Qt::ShiftModifier);
    QCOMPARE(egg.count(), expected);
    // This product has no options button; the menu hangs off the left region.
    QVERIFY(!m_footer->leftRegion()->menuButton());
    QCOMPARE(m_footer->menuButtonAnchor(), static_cast<QWidget*>(m_footer->leftRegion()));
}

void TestGallery::headerKeepsTitleClearOfLogo()
{
    WindowHeader header;
    header.resize(780, 76);
    QCOMPARE(header.height(), 76);
    QCOMPARE(header.title(), AppDefaults::headerTitle());
    const QPixmap logo(QStringLiteral(":/Logo"));
    QCOMPARE(header.logoPosition(), QPoint(780 - 23 - logo.width(), (76 - logo.height()) / 2));
    QCOMPARE(header.textRect().left(), 29);
    QVERIFY(header.textRect().right() < header.logoPosition().x());
    header.resize(1200, 76);
    QCOMPARE(header.logoPosition().x(), 1200 - 23 - logo.width());
}


void TestGallery::namesShowLiterally_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("markup") << QStringLiteral("<b>x</b><i>italic</i><img src=\":/Logo\">");
    QTest::newRow("entities") << QStringLiteral("A &amp; B &lt;tag&gt; &nbsp;");
    QTest::newRow("long") << QString(200, QLatin1Char('W'));
    // Glyphs whose ink overhangs their advance.
    QTest::newRow("overhang") << QStringLiteral("j") + QString(200, QLatin1Char('y'));
    QTest::newRow("right to left") << QString::fromUtf8("\u05D1\u05D3\u05D9\u05E7\u05D4 <font color=red>\u05D0</font>");
}

void TestGallery::namesShowLiterally()
{
    QFETCH(QString, name);
    TestDevice* device = addDevice(name);
    device->model = name;
    device->connectionIcon = QPixmap(24, 16);
    m_gallery->updateDeviceDisplay();
    const QLabel* shown = m_gallery->nameLabel();
    QCOMPARE(shown->textFormat(), Qt::PlainText);
    // Elided on the width the text takes on screen, never on raw markup.
    QVERIFY(shown->fontMetrics().horizontalAdvance(shown->text()) <= shown->width());
    const QString elided = shown->text();
    QVERIFY(elided == name || name.startsWith(elided.left(elided.size() - 1)));
    QTextDocument tip;
    tip.setHtml(shown->toolTip());
    QCOMPARE(tip.toPlainText(), name);
    // The model name gets from its row the width it was elided to.
    m_gallery->resize(780, 600);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    const QLabel* model = m_gallery->modelLabel();
    QVERIFY(model->sizeHint().width() <= model->width());
    const QRect inRow(model->mapTo(m_gallery->pages(), QPoint()), model->size());
    QVERIFY(m_gallery->pages()->rect().contains(inRow));
}

void TestGallery::keysStepAndPress()
{
    for (const char* name : { "A", "B", "C" })
        addDevice(QString::fromLatin1(name));
    QSignalSpy shown(m_gallery, &VisibleDevicesWidget::requestShowDevice);
    QApplication::setActiveWindow(m_window);
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    m_gallery->setFocus();
    QTest::keyClick(m_gallery, Qt::Key_Right);
    QCOMPARE(m_list->getCurrentDeviceIndex(), 1);
    QTest::keyClick(m_gallery, Qt::Key_End);
    QCOMPARE(m_list->getCurrentDeviceIndex(), 2);
    QTest::keyClick(m_gallery, Qt::Key_Home);
    QCOMPARE(m_list->getCurrentDeviceIndex(), 0);
    QTest::keyClick(m_gallery, Qt::Key_Left);
    QCOMPARE(m_list->getCurrentDeviceIndex(), 0);

    // Return and Space press the focused button; focus shows its hover look.
    FlatImageButton* setup = nullptr;
    for (FlatImageButton* button : m_gallery->findChildren<FlatImageButton*>()) {
        if (button->toolTip() == QLatin1String("Settings"))
            setup = button;
    }
    QVERIFY(setup);
    QVERIFY(setup->focusPolicy() & Qt::TabFocus);
    QVERIFY(!setup->accessibleName().isEmpty());
    setup->setFocus();
    QVERIFY(setup->hasFocus());
    QVERIFY(sameImage(setup->currentImage(), QPixmap(QStringLiteral(":/Setup_Hover"))));
    QTest::keyClick(setup, Qt::Key_Return);
    QTRY_COMPARE(shown.count(), 1);
    QTest::keyClick(setup, Qt::Key_Space);
    QCOMPARE(shown.count(), 2);
    // The step keys still work from a focused button.
    QTest::keyClick(setup, Qt::Key_Right);
    QCOMPARE(m_list->getCurrentDeviceIndex(), 1);
}

void TestGallery::dotsAreNamedAfterTheirDevices()
{
    addDevice(QStringLiteral("Edit bay"));
    TestDevice* odd = addDevice(QStringLiteral("<b>%2</b> &amp;"));
    DotsWidget* dots = m_footer->dotsWidget();
    QCOMPARE(dots->dotAt(0)->accessibleName(), QStringLiteral("Edit bay (device 1 of 2)"));
    // Taken literally: neither markup nor a place holder.
    QCOMPARE(dots->dotAt(1)->accessibleName(), QStringLiteral("<b>%2</b> &amp; (device 2 of 2)"));
    QTextDocument tip;
    tip.setHtml(dots->dotAt(1)->toolTip());
    QCOMPARE(tip.toPlainText(), dots->dotAt(1)->accessibleName());
    odd->name = QStringLiteral("Renamed");
    m_list->updateDeviceInfo(odd);
    QCOMPARE(dots->dotAt(1)->accessibleName(), QStringLiteral("Renamed (device 2 of 2)"));
}

void TestGallery::manyDevicesKeepDotsRowNarrow()
{
    DotsWidget* dots = m_footer->dotsWidget();
    for (int i = 0; i < 100; ++i)
        addDevice(QString::number(i));
    m_list->setCurrentDevice(41);
    QCOMPARE(dots->dotCount(), 0);
    QVERIFY(dots->positionLabel()->isVisible());
    QCOMPARE(dots->positionLabel()->text(), QStringLiteral("42 / 100"));
    // The text keeps its room as it grows.
    m_list->setCurrentDevice(99);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QVERIFY(dots->positionLabel()->width() >= dots->positionLabel()->sizeHint().width());
    QVERIFY(dots->positionLabel()->height() >= dots->positionLabel()->sizeHint().height());
    QVERIFY(m_footer->rect().contains(QRect(dots->positionLabel()->mapTo(m_footer, QPoint()),
                                            dots->positionLabel()->size())));
    QVERIFY(m_footer->minimumSizeHint().width() <= 780);
    for (int i = 0; i < 100 - DotsWidget::kMaxDots; ++i)
        m_family->withdraw(m_devices.at(i));
    QCOMPARE(dots->dotCount(), DotsWidget::kMaxDots);
    QVERIFY(!dots->positionLabel()->isVisible());
}


void TestGallery::tallGalleryCentresTheCard()
{
    TestDevice* device = addDevice(QStringLiteral("A"), [](TestDevice& d) {
        d.summary = new QWidget;
        d.summary->setFixedSize(600, 90);
    });
    m_gallery->updateDeviceDisplay();
    m_gallery->setGeometry(0, 0, 1300, 1000);
    QCoreApplication::processEvents();
    QTRY_VERIFY(device->summary->isVisible());

    // The spare height is shared above the picture and below the summary
    // (the gallery keeps 18 pixels above the card in any case).
    const int above = m_gallery->pictureButton()->mapTo(m_gallery, QPoint()).y();
    const int below = 1000 - (device->summary->mapTo(m_gallery, QPoint()).y() + 90);
    QVERIFY2(above > 200 && qAbs(above - below) <= 18, qPrintable(QStringLiteral("%1 / %2").arg(above).arg(below)));
}

void TestGallery::listTestModeMarkStaysOnTheCard_data()
{
    QTest::addColumn<QSize>("canvas");
    QTest::addColumn<QRect>("card");
    // A list thumbnail: a small card in the middle of a wide clear canvas.
    QTest::newRow("card on a clear canvas") << QSize(120, 40) << QRect(38, 4, 40, 32);
    QTest::newRow("card filling its picture") << QSize(120, 40) << QRect(0, 0, 120, 40);
    // No thumbnail: a 120 x 40 canvas whose mark keeps 12, 8 from each edge.
    QTest::newRow("no thumbnail") << QSize() << QRect(12, 8, 96, 24);
}

void TestGallery::listTestModeMarkStaysOnTheCard()
{
    QFETCH(QSize, canvas);
    QFETCH(QRect, card);
    QPixmap picture;
    if (canvas.isValid()) {
        picture = QPixmap(canvas);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        painter.fillRect(card, QColor(30, 90, 60));
    }
    const QImage before = picture.isNull() ? QImage(120, 40, QImage::Format_ARGB32_Premultiplied)
                                           : picture.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage blank = before;
    if (picture.isNull())
        blank.fill(Qt::transparent);
    const QImage after =
        ZeltraVisibleDevicesListViewWidget::testModeThumb(picture).toImage().convertToFormat(
            QImage::Format_ARGB32_Premultiplied);
    QCOMPARE(after.size(), QSize(120, 40));
    int marked = 0;
    for (int y = 0; y < after.height(); ++y) {
        for (int x = 0; x < after.width(); ++x) {
            if (after.pixel(x, y) == blank.pixel(x, y))
                continue;
            ++marked;
            QVERIFY2(card.contains(x, y), qPrintable(QStringLiteral("mark at %1, %2").arg(x).arg(y)));
        }
    }
    QVERIFY(marked > 20);
}

QTEST_MAIN(TestGallery)
#include "tst_gallery.moc"
