#include "aboutbox.h"
#include "horizontalscrollarea.h"
#include "adminutilityapplication.h"
#include "adminutilitywindow.h"
#include "mainwindowanimator.h"
#include "mainwindowdialog.h"
#include "mainwindowdialogwidget.h"
#include "mainwindowmenu.h"
#include "mainwindowmenucontroller.h"
#include "rollovericon.h"
#include "rollovericoncallout.h"
#include "startupdeviceopener.h"
#include "testfamily.h"
#include "visibledeviceslistviewwidget.h"
#include "visibledeviceswidget.h"
#include "windowfooter.h"
#include "windowheader.h"
#include "zeltraadminutilitywindow.h"

#include <QFile>
#include <QLabel>
#include <QFontDatabase>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QtTest>

#include <functional>

namespace {
QSettings productSettings()
{
    return QSettings(QStringLiteral("Morvane"), QStringLiteral("Morvane Ondavia Administration"));
}

// Runs `check` on the next modal dialog and closes it.
void answerModal(std::function<void(QWidget*)> check, bool* seen)
{
    *seen = false;
    QTimer::singleShot(0, [check, seen] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        *seen = true;
        check(modal);
        modal->close();
    });
}

// Sends a vertical wheel turn to `target` through the application object.
bool wheel(QWidget* target)
{
    const QPoint centre = target->rect().center();
    QWheelEvent event(QPointF(centre), QPointF(target->mapToGlobal(centre)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    return QApplication::sendEvent(target, &event);
}
} // namespace

class WheelCounter : public QObject
{
public:
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Wheel)
            ++count;
        return false;
    }
};

class MainWindowTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_settingsDir;

private slots:
    void initTestCase()
    {
        QVERIFY(m_settingsDir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsDir.path());
        qRegisterMetaType<VisibleDevice*>();
    }

    void init() { productSettings().clear(); }

    void firstStartAndRestoredGeometry()
    {
        QSize saved;
        {
            ZeltraAdminUtilityWindow window;
            QCOMPARE(window.windowTitle(), QStringLiteral("Morvane Ondavia Setup"));
            const int expectedHeight = window.menuBar()->height() + 680;
            QCOMPARE(window.minimumSize(), QSize(780, expectedHeight));
            QCOMPARE(window.size(), QSize(780, expectedHeight));
            QVERIFY(!productSettings().contains("geometry"));
            // The bundles are linked into everything that links the shell,
            // and the window registers the fonts.
            QVERIFY(QFile::exists(QStringLiteral(":/Logo")));
            QVERIFY(QFile::exists(QStringLiteral(":/AboutIcon")));
            QVERIFY(QFontDatabase().families().contains(QStringLiteral("Open Sans")));

            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            window.resize(1010, 820);
            saved = window.size();
            QVERIFY(window.close());
        }
        QVERIFY(productSettings().contains("geometry"));

        ZeltraAdminUtilityWindow again;
        QCOMPARE(again.size(), saved);
    }

    void familyRefusingToClose()
    {
        ZeltraAdminUtilityWindow window;
        TestFamily willing(QStringLiteral("Willing"));
        TestFamily stubborn(QStringLiteral("Stubborn"));
        TestFamily later(QStringLiteral("Later"));
        stubborn.allowClose = false;
        for (TestFamily* family : {&willing, &stubborn, &later})
            window.addFamily(family);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QVERIFY(!window.close());
        QVERIFY(window.isVisible());
        QCOMPARE(willing.closeQuestions, 1);
        QCOMPARE(stubborn.closeQuestions, 1);
        QCOMPARE(later.closeQuestions, 0);
        QVERIFY(!productSettings().contains("geometry"));

        stubborn.allowClose = true;
        QVERIFY(window.close());
        QCOMPARE(later.closeQuestions, 1);
    }

    void startupRunsOnceAndConnectsFamilies()
    {
        TestDevice early(QStringLiteral("Early"));
        TestDevice late(QStringLiteral("Late"));
        TestFamily family(QStringLiteral("Cards"));
        family.devicesOnInit = {&early};
        PlainFamily plain;
        {
            ZeltraAdminUtilityWindow window;
            window.addFamily(&family);
            window.addFamily(&plain);
            QVERIFY(!window.isStarted());
            QVERIFY(!window.footer());

            // The posted start-up runs once the event loop turns.
            QTRY_VERIFY(window.isStarted());
            WindowFooter* footer = window.footer();
            QVERIFY(footer);
            window.postShowStartup();
            QCOMPARE(window.footer(), footer);
            QCOMPARE(family.initCount, 1);
            QCOMPARE(plain.initCount, 0);

            // Devices found during init already reached the list, and the
            // connections exist once only.
            QCOMPARE(window.deviceList().numberOfDevice(), 1);
            family.announce(&late);
            QCOMPARE(window.deviceList().numberOfDevice(), 2);
            QCOMPARE(window.deviceList().indexOfDevice(&late), 1);
            QVERIFY(window.networkBrowser().isStarted());
            QCOMPARE(family.destroyCount, 0);
        }
        QCOMPARE(family.destroyCount, 1);
        QCOMPARE(plain.destroyCount, 1);
    }

    void requestsReachTheDevicesFamily()
    {
        ZeltraAdminUtilityWindow window;
        TestFamily first(QStringLiteral("First"));
        TestFamily second(QStringLiteral("Second"));
        window.addFamily(&first);
        window.addFamily(&second);
        window.postShowStartup();
        TestDevice device(QStringLiteral("D"));
        TestDevice unknown(QStringLiteral("U"));
        second.announce(&device);

        window.showDevice(nullptr);
        window.showDevice(&unknown);
        emit window.galleryView()->requestShowDevice(&device);
        emit window.galleryView()->requestFirmwareUpdate(&device);
        auto* list = qobject_cast<VisibleDevicesListViewWidget*>(window.listView());
        QVERIFY(list);
        emit list->requestShowDevice(&device);
        QVERIFY(first.shown.isEmpty());
        QCOMPARE(second.shown, (QList<VisibleDevice*>{&device, &device}));
        QCOMPARE(second.shownIn, static_cast<AdminUtilityWindow*>(&window));
        QCOMPARE(second.updated, QList<VisibleDevice*>{&device});
    }

    // --open: the device at the index once it has arrived, opened once; an
    // index that never arrives opens nothing and the opener gives up.
    void openAtStartup_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("shown"); // -1: none
        QTest::newRow("second device, arriving late") << 1 << 1;
        QTest::newRow("first device, listed already") << 0 << 0;
        QTest::newRow("index never reached") << 5 << -1;
    }

    void openAtStartup()
    {
        QFETCH(int, index);
        QFETCH(int, shown);
        ZeltraAdminUtilityWindow window;
        TestFamily family(QStringLiteral("F"));
        window.addFamily(&family);
        window.postShowStartup();
        TestDevice a(QStringLiteral("A")), b(QStringLiteral("B")), c(QStringLiteral("C"));
        family.announce(&a);
        QPointer<StartupDeviceOpener> opener = new StartupDeviceOpener(window, index, 300);
        QTest::qWait(20);
        family.announce(&b);
        family.announce(&c);
        QTRY_VERIFY(!opener);
        QTest::qWait(20);
        const QList<VisibleDevice*> devices{ &a, &b, &c };
        QCOMPARE(family.shown, shown < 0 ? QList<VisibleDevice*>() : QList<VisibleDevice*>{ devices[shown] });
    }

    void viewSwitch()
    {
        ZeltraAdminUtilityWindow window;
        TestFamily family(QStringLiteral("Cards"));
        window.addFamily(&family);
        window.postShowStartup();
        TestDevice device(QStringLiteral("D"));
        family.announce(&device);
        QWidget* list = window.listView();
        QWidget* gallery = window.galleryView();
        QVERIFY(list);
        QCOMPARE(window.viewStack()->count(), 2);
        QCOMPARE(window.viewStack()->currentWidget(), gallery);

        emit window.footer()->listViewSelected();
        QCOMPARE(window.viewStack()->currentWidget(), list);
        // Without devices the empty state stands in for the list, which
        // comes back with the next arrival.
        family.withdraw(&device);
        QCOMPARE(window.viewStack()->currentWidget(), gallery);
        family.announce(&device);
        QCOMPARE(window.viewStack()->currentWidget(), list);
        emit window.footer()->galleryViewSelected();
        QCOMPARE(window.viewStack()->currentWidget(), gallery);
        family.withdraw(&device);
        family.announce(&device);
        QCOMPARE(window.viewStack()->currentWidget(), gallery);
    }

    void quitShortcutClosesThroughCloseEvent()
    {
        ZeltraAdminUtilityWindow window;
        TestFamily stubborn(QStringLiteral("Stubborn"));
        stubborn.allowClose = false;
        window.addFamily(&stubborn);
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(stubborn.closeQuestions, 1);
        QVERIFY(window.isVisible());
        stubborn.allowClose = true;
        QTest::keyClick(&window, Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(!window.isVisible());
        QVERIFY(window.menuBar()->actions().first()->text().contains(QLatin1Char('&')));
    }

    void optionsMenuAsksBaseFamiliesInOrder()
    {
        ZeltraAdminUtilityWindow window;
        TestFamily first(QStringLiteral("First"));
        TestFamily second(QStringLiteral("Second"));
        PlainFamily plain;
        MainWindowDialogWidget page;
        first.optionWidget = &page;
        second.optionWidget = &page;
        window.addFamily(&first);
        window.addFamily(&plain);
        window.addFamily(&second);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(window.footer());

        // Nothing to offer: no menu and no dialog.
        window.onMenuButtonClicked();
        QVERIFY(window.menuController());
        QVERIFY(window.menuController()->options().isEmpty());
        QVERIFY(!window.menuController()->menu());
        QVERIFY(!window.menuController()->dialog());

        first.menuTitles = QStringList{QStringLiteral("Alpha")};
        second.menuTitles = QStringList{QStringLiteral("Beta")};
        window.onMenuButtonClicked();
        const auto& options = window.menuController()->options();
        QCOMPARE(options.size(), 2);
        QCOMPARE(options.at(0).title, QStringLiteral("Alpha"));
        QCOMPARE(options.at(1).title, QStringLiteral("Beta"));
        QCOMPARE(plain.menuRequests, 0);
        QVERIFY(window.menuController()->menu());
        window.menuController()->menu()->close();

        // A second press starts again from an empty menu.
        window.onMenuButtonClicked();
        QCOMPARE(window.menuController()->options().size(), 2);
        window.menuController()->menu()->close();

        // The add-by-address entry point offers only that page, which this
        // product does not have.
        window.onAddByIpClicked();
        QVERIFY(window.menuController()->options().isEmpty());
    }

    void buildDetails()
    {
        const QString text = AdminUtilityWindow::buildInformationText();
        const QRegularExpression shape(QStringLiteral("^\\*\\* Build information\\n"
                                                      "\\tTime: +\\t\\d{14}\\n"
                                                      "\\tRC Tag: +\\t[^\\n]*\\n"
                                                      "\\tRevision: *\\t[0-9a-f]{40}\\n$"));
        QVERIFY2(shape.match(text).hasMatch(), qPrintable(text));

        ZeltraAdminUtilityWindow window;
        TestFamily first(QStringLiteral("First"));
        TestFamily second(QStringLiteral("Second"));
        window.addFamily(&first);
        window.addFamily(&second);
        bool seen = false;
        QStringList titles;
        QString secondInfo;
        answerModal(
            [&](QWidget* dialog) {
                auto* tabs = dialog->findChild<QTabWidget*>();
                QVERIFY(tabs);
                for (int i = 0; i < tabs->count(); ++i)
                    titles << tabs->tabText(i);
                if (auto* label = tabs->widget(1)->findChild<QLabel*>())
                    secondInfo = label->text();
                QVERIFY(!(dialog->windowFlags() & Qt::WindowContextHelpButtonHint));
            },
            &seen);
        window.showBuildDetails();
        QVERIFY(seen);
        QCOMPARE(titles, (QStringList{"First", "Second"}));
        QCOMPARE(secondInfo, QStringLiteral("build of Second"));
    }

    void aboutBox()
    {
        ZeltraAdminUtilityWindow window;
        bool seen = false;
        QSize size;
        answerModal([&](QWidget* dialog) { size = dialog->size(); }, &seen);
        window.showAboutBox();
        QVERIFY(seen);
        QCOMPARE(size, QSize(285, 288));
        QVERIFY(AboutBox::versionText().startsWith(QStringLiteral("Version ")));
    }

    void sizeAnimation()
    {
        ZeltraAdminUtilityWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(window.footer());
        QCoreApplication::processEvents();
        const int height = window.height();

        // Contents that need more room widen the window over 500 ms.
        auto* wide = new QWidget;
        wide->setMinimumWidth(1100);
        window.viewStack()->addWidget(wide);
        QTRY_COMPARE(window.animator()->state(), QAbstractAnimation::Running);
        const int target = window.sizeHint().width() + 100;
        QVERIFY(target > 1100);
        QCOMPARE(window.animator()->duration(), 500);
        QCOMPARE(window.animator()->endValue().toSize(), QSize(target, height));
        QTRY_COMPARE_WITH_TIMEOUT(window.animator()->state(), QAbstractAnimation::Stopped, 3000);
        // The offscreen platform may round the final resize by a pixel.
        QCOMPARE(window.animator()->currentValue().toSize(), window.animator()->endValue().toSize());
        QVERIFY(qAbs(window.width() - target) <= 2);
        QCOMPARE(window.minimumWidth(), window.width());

        // Narrower contents only lower the minimum width, never below 780.
        delete wide;
        QCoreApplication::processEvents();
        window.resize(1400, height);
        QEvent request(QEvent::LayoutRequest);
        QCoreApplication::sendEvent(&window, &request);
        QCOMPARE(window.minimumWidth(), qMax(780, window.sizeHint().width() + 100));
        QVERIFY(window.minimumWidth() < 1100);
        QCOMPARE(window.animator()->state(), QAbstractAnimation::Stopped);
    }

    void wideRowKeepsTheUsersWidth()
    {
        ZeltraAdminUtilityWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(window.footer());
        QCoreApplication::processEvents();
        const int height = window.height();
        QCOMPARE(window.width(), 780);

        // A row that likes 1200 pixels but scrolls, as a card's summary does.
        auto* row = new HorizontalScrollArea;
        auto* content = new QWidget;
        auto* contentRow = new QHBoxLayout(content);
        contentRow->addSpacing(1200);
        content->setMinimumHeight(60);
        row->setWidget(content);
        row->contentChanged();
        window.viewStack()->addWidget(row);
        window.viewStack()->setCurrentWidget(row);
        QTest::qWait(50);
        QCOMPARE(window.animator()->state(), QAbstractAnimation::Stopped);
        QCOMPARE(window.width(), 780);
        QVERIFY(row->width() < 1200);

        // Widened by the user and narrowed again, it goes back to 780.
        window.resize(1300, height);
        QTest::qWait(50);
        QCOMPARE(window.width(), 1300);
        window.resize(780, height);
        QTest::qWait(50);
        QCOMPARE(window.minimumWidth(), 780);
        QCOMPARE(window.width(), 780);
        QCOMPARE(window.animator()->state(), QAbstractAnimation::Stopped);
    }

    void namesAndAboutBoxClose()
    {
        ZeltraAdminUtilityWindow window;
        WindowHeader* header = window.findChild<WindowHeader*>();
        QVERIFY(header);
        QFile desktop(QStringLiteral(ONDAVIA_TEST_DATA_DIR "/../../packaging/desktop/com.morvane.OndaviaSetup.desktop"));
        QVERIFY(desktop.open(QIODevice::ReadOnly | QIODevice::Text));
        QString menuName;
        for (const QByteArray& line : desktop.readAll().split('\n')) {
            if (line.startsWith("Name="))
                menuName = QString::fromUtf8(line.mid(5));
        }

        QString aboutTitle;
        bool closeShown = false;
        bool closedByButton = false;
        bool seen = false;
        answerModal(
            [&](QWidget* dialog) {
                aboutTitle = dialog->windowTitle();
                auto* box = qobject_cast<AboutBox*>(dialog);
                QVERIFY(box && box->closeButton());
                closeShown = box->closeButton()->isVisible()
                    && dialog->rect().contains(box->closeButton()->geometry());
                QTest::mouseClick(box->closeButton(), Qt::LeftButton);
                closedByButton = !dialog->isVisible();
            },
            &seen);
        window.showAboutBox();
        QVERIFY(seen);

        // Where the program names itself, and the name each place uses.
        const QList<QPair<QString, QString>> names{
            { window.windowTitle(), QStringLiteral("Morvane Ondavia Setup") },
            { menuName, QStringLiteral("Morvane Ondavia Setup") },
            { aboutTitle, QStringLiteral("About Morvane Ondavia Setup") },
            { header->title(), QStringLiteral("Ondavia Setup") },
        };
        for (const auto& name : names)
            QCOMPARE(name.first, name.second);
        QVERIFY(closeShown);
        QVERIFY(closedByButton);
    }

    void wheelOverRolloverIconIsSwallowed()
    {
        QWidget page;
        auto* icon = new RolloverIcon(QPixmap(QStringLiteral(":/Info")), QStringLiteral("Explains the row"),
                                      &page, &page);
        auto* label = new QLabel(QStringLiteral("row"), &page);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        WheelCounter iconWheels;
        WheelCounter labelWheels;
        icon->installEventFilter(&iconWheels);
        label->installEventFilter(&labelWheels);

        QVERIFY(wheel(icon));
        QCOMPARE(iconWheels.count, 0);

        // An ordinary widget still gets its wheel.
        wheel(label);
        QCOMPARE(labelWheels.count, 1);
    }

    void wheelOutsideActivePopupIsSwallowed()
    {
        QWidget window;
        auto* slider = new QSlider(Qt::Horizontal, &window);
        slider->setRange(0, 100);
        slider->setValue(50);
        window.resize(300, 100);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QMenu popup;
        popup.addAction(QStringLiteral("One"));
        popup.popup(window.mapToGlobal(QPoint(10, 10)));
        QTRY_COMPARE(QApplication::activePopupWidget(), static_cast<QWidget*>(&popup));

        QVERIFY(AdminUtilityApplication::shouldSwallowWheel(slider));
        QVERIFY(!AdminUtilityApplication::shouldSwallowWheel(&popup));
        QVERIFY(wheel(slider));
        QCOMPARE(slider->value(), 50);

        popup.close();
        QTRY_VERIFY(!QApplication::activePopupWidget());
        QVERIFY(!AdminUtilityApplication::shouldSwallowWheel(slider));
        wheel(slider);
        QVERIFY(slider->value() != 50);
    }
};

int main(int argc, char** argv)
{
    AdminUtilityApplication app(argc, argv);
    MainWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainwindow.moc"
