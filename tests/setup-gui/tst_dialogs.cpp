// Options menu, option dialogs, rollover callouts and the in-window dialog
// shell over a stand-in main window.

#include "busybutton.h"
#include "cardfooter.h"
#include "cardheader.h"
#include "secretbutton.h"
#include "cardpopupmenu.h"
#include "cardpushbutton.h"
#include "cardtabbedpages.h"
#include "commondialog.h"
#include "connectingstatuspage.h"
#include "mainwindowdialog.h"
#include "mainwindowdialogwidget.h"
#include "mainwindowmenu.h"
#include "mainwindowmenucontroller.h"
#include "productcard.h"
#include "rollovericon.h"
#include "rollovericoncallout.h"
#include "settingslineedit.h"
#include "settingspage.h"
#include "settingssliderwitheditablevalue.h"
#include "settingstab.h"
#include "testmodepixmap.h"
#include "visibledevice.h"

#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <QVBoxLayout>
#include <QProgressBar>
#include <QtTest>

namespace {
class CountingPage : public MainWindowDialogWidget
{
public:
    explicit CountingPage(const QString& text)
    {
        m_text = text;
        buildMe("Add", "Close");
    }
    int shown = 0;
    QString m_text;
    void aboutToShow() override { ++shown; }

protected:
    void buildContents(QVBoxLayout* layout) override { layout->addWidget(new QLabel(m_text)); }
};

class AddingPage : public CountingPage
{
public:
    AddingPage()
        : CountingPage("adds")
    {
    }
    int added = 0;
    void onAddPressed() override { ++added; }
};

class WatchedTab : public SettingsTab
{
public:
    int selected = 0;
    int deselected = 0;
    void onTabSelected() override { ++selected; }
    void onTabDeselected() override { ++deselected; }
};

class SavingPage : public SettingsPage
{
public:
    int applied = 0;
    int recalled = 0;

protected:
    void applyChanges() override { ++applied; }
    void recallRemotePreset() override { ++recalled; }
};

class HeaderDevice : public VisibleDevice
{
public:
    QString name = "Edit bay";
    QPixmap icon;
    QString familyName() const override { return "Ondavia"; }
    QString modelName() const override { return "Ondavia Duo"; }
    QString ipAddress() const override { return {}; }
    QPixmap modelImage() const override { return {}; }
    QPixmap modelThumb() const override { return {}; }
    QString deviceName() const override { return name; }
    QPixmap launcherConnectionIcon() const override { return {}; }
    QPixmap cardConnectionIcon() const override { return icon; }
    bool firmwareUpdateOnly() const override { return false; }
    QString currentFirmwareString() const override { return {}; }
    bool firmwareUpdateAvailable() const override { return false; }
    QString availableFirmwareString() const override { return {}; }
    DeviceFirmwareUpdater* getFirmwareUpdater() override { return nullptr; }
    bool isTestMode() const override { return false; }
    QWidget* summaryWidget() const override { return nullptr; }
};

QPixmap square(int side)
{
    QPixmap p(side, side);
    p.fill(Qt::gray);
    return p;
}
} // namespace

class TestDialogs : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void menuWithoutOptions();
    void menuWithOneOption();
    void menuWithTwoOptions();
    void closeKeepsThePage();
    void addWithoutOverrideCloses();
    void calloutPlacement();
    void commonDialogStates();
    void busyButtonFrames();
    void productCardFollowsWindow();
    void tabStatusAndSave();
    void footerVariants();
    void statusPagesAndTestMode();
    void saveCommitsTheFieldBeingEdited();
    void popupMenuOptions();
    void cardHeader();

private:
    QWidget* m_window = nullptr;
};

void TestDialogs::init()
{
    m_window = new QWidget;
    m_window->resize(900, 700);
    m_window->move(100, 100);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
}

void TestDialogs::cleanup()
{
    delete m_window;
    m_window = nullptr;
}

void TestDialogs::menuWithoutOptions()
{
    MainWindowMenuController controller(m_window);
    controller.build(m_window);
    QVERIFY(!controller.menu());
    QVERIFY(!controller.dialog());
}

void TestDialogs::menuWithOneOption()
{
    auto* anchor = new QWidget(m_window);
    anchor->setGeometry(40, 600, 20, 20);
    CountingPage page("only");
    MainWindowMenuController controller(m_window);
    controller.addOption("Only", &page);
    controller.build(anchor);
    QVERIFY(!controller.menu());
    QVERIFY(controller.dialog());
    QVERIFY(controller.dialog()->isVisible());
    QCOMPARE(controller.dialog()->titleLabel()->text(), QString("Only"));
    QCOMPARE(controller.shownWidget(), &page);
    QCOMPARE(page.shown, 1);
    QVERIFY(page.isVisible());
    QVERIFY(controller.dialog()->frame()->width() >= 390);
    QVERIFY(controller.dialog()->frame()->height() >= 120);
    QCOMPARE(controller.dialog()->geometry(), m_window->rect());
    controller.closeDialog();
}

void TestDialogs::menuWithTwoOptions()
{
    auto* anchor = new QWidget(m_window);
    // Well inside the (800 x 600) offscreen screen, so the menu is not moved to fit.
    anchor->setGeometry(40, 300, 20, 20);
    anchor->show();
    CountingPage first("first");
    CountingPage second("second");
    MainWindowMenuController controller(m_window);
    controller.addOption("First", &first);
    controller.addOption("Second", &second);
    controller.build(anchor);
    QVERIFY(!controller.dialog());
    MainWindowMenu* menu = controller.menu();
    QVERIFY(menu);
    QTRY_VERIFY(menu->isVisible());
    const QList<QAction*> actions = menu->actions();
    QCOMPARE(actions.size(), 2);
    QCOMPARE(actions.at(0)->text(), QString("First"));
    QCOMPARE(actions.at(1)->text(), QString("Second"));
    // Bottom edge 10 pixels above the anchor.
    QCOMPARE(menu->pos(), anchor->mapToGlobal(QPoint(0, -10 - menu->sizeHint().height())));
    actions.at(1)->trigger();
    QVERIFY(controller.dialog());
    QCOMPARE(controller.shownWidget(), &second);
    QCOMPARE(controller.dialog()->titleLabel()->text(), QString("Second"));
    QCOMPARE(second.shown, 1);
    QCOMPARE(first.shown, 0);
    controller.closeDialog();

    // A fresh build replaces the old menu; clear() drops it.
    controller.clear();
    QVERIFY(!controller.menu());
    QVERIFY(controller.options().isEmpty());
}

void TestDialogs::closeKeepsThePage()
{
    QPointer<CountingPage> page = new CountingPage("kept");
    MainWindowMenuController controller(m_window);
    controller.addOption("Kept", page);
    controller.build(m_window);
    QPointer<MainWindowDialog> dialog = controller.dialog();
    QVERIFY(dialog && dialog->isVisible());
    page->closeButton()->click();
    QVERIFY(!dialog || !dialog->isVisible());
    QVERIFY(page);
    QCOMPARE(page->parent(), nullptr);
    // The page survives the dialog and shows again next time.
    delete dialog.data();
    QVERIFY(page);
    controller.clear();
    controller.addOption("Kept", page);
    controller.build(m_window);
    QVERIFY(controller.dialog()->isVisible());
    QCOMPARE(page->shown, 2);
    QVERIFY(page->isVisible());
    controller.closeDialog();

    // A dialog destroyed while open (the window closing) hands the page back.
    controller.build(m_window);
    QVERIFY(page->parent());
    delete controller.dialog();
    QVERIFY(page);
    QCOMPARE(page->parent(), nullptr);
    delete page.data();
}

void TestDialogs::addWithoutOverrideCloses()
{
    CountingPage plain("plain");
    AddingPage adding;
    MainWindowMenuController controller(m_window);
    controller.addOption("Plain", &plain);
    controller.build(m_window);
    QSignalSpy closed(&plain, &MainWindowDialogWidget::closePressed);
    plain.addButton()->click();
    QCOMPARE(closed.count(), 1);
    QVERIFY(!controller.dialog()->isVisible());

    controller.clear();
    controller.addOption("Adding", &adding);
    controller.build(m_window);
    adding.addButton()->click();
    QCOMPARE(adding.added, 1);
    QVERIFY(controller.dialog()->isVisible());
    adding.setAddButtonEnabled(false);
    QVERIFY(!adding.addButton()->isEnabled());
    // The buttons sit at the right of the page, Add 134 pixels after Close.
    QCOMPARE(adding.addButton()->x() - adding.closeButton()->x(), 134);
    controller.closeDialog();
}

void TestDialogs::calloutPlacement()
{
    auto* icon = new RolloverIcon(square(20), "Explains the row", m_window, m_window);
    icon->move(300, 200);
    icon->show();
    icon->callout()->setFixedWidth(100);
    QCOMPARE(icon->calloutOffset(), QPoint(-40, 24));
    QVERIFY(!icon->callout()->isVisible());

    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(icon, &enter);
    QVERIFY(icon->callout()->isVisible());
    QCOMPARE(icon->callout()->pos(), icon->mapToGlobal(QPoint(-40, 24)));
    QCOMPARE(icon->callout()->text(), QString("Explains the row"));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(icon, &leave);
    QVERIFY(!icon->callout()->isVisible());

    // Odd sizes halve towards zero on both sides.
    auto* odd = new RolloverIcon(square(15), "x", m_window, m_window);
    odd->callout()->setFixedWidth(51);
    QCOMPARE(odd->calloutOffset(), QPoint(7 - 25, 19));
    // The callout goes with its icon.
    QPointer<RolloverIconCallout> callout = odd->callout();
    delete odd;
    QVERIFY(callout.isNull());
}

void TestDialogs::commonDialogStates()
{
    CommonDialog dialog(m_window);
    dialog.showTitleText("Update");
    dialog.showTwoTexts("Needs an update.", "It takes a minute.");
    dialog.showTwoButtons("Cancel", "Update");
    dialog.showOverWindow();
    QVERIFY(dialog.firstButton()->isVisible() && dialog.secondButton()->isVisible());
    QVERIFY(!dialog.singleButton()->isVisible());
    QVERIFY(!dialog.progressBar()->isVisible() && !dialog.busyButton()->isVisible());
    QSignalSpy yes(&dialog, &CommonDialog::yesClicked);
    QSignalSpy no(&dialog, &CommonDialog::noClicked);
    QSignalSpy close(&dialog, &CommonDialog::closeClicked);
    dialog.secondButton()->click();
    dialog.firstButton()->click();
    QCOMPARE(yes.count(), 1);
    QCOMPARE(no.count(), 1);

    dialog.showOneText("Updating...");
    dialog.showProgressBar();
    QVERIFY(!dialog.secondText()->isVisible());
    QVERIFY(dialog.progressBar()->isVisible());
    QVERIFY(!dialog.firstButton()->isVisible() && !dialog.singleButton()->isVisible());
    dialog.setProgress(140);
    QCOMPARE(dialog.progressBar()->value(), 100);

    dialog.showBusyButton();
    QVERIFY(dialog.busyButton()->isVisible() && dialog.busyButton()->isBusy());
    QVERIFY(!dialog.progressBar()->isVisible());

    dialog.showOneButton("Close");
    QVERIFY(!dialog.busyButton()->isVisible() && !dialog.busyButton()->isBusy());
    QVERIFY(dialog.singleButton()->isVisible());
    dialog.singleButton()->click();
    QCOMPARE(close.count(), 1);

    // The frame stays centred when the window changes size.
    m_window->resize(1000, 760);
    QCOMPARE(dialog.geometry(), m_window->rect());
    QCOMPARE(dialog.frame()->geometry().center().x(), m_window->width() / 2 - (1 - dialog.frame()->width() % 2));
}

void TestDialogs::busyButtonFrames()
{
    BusyButton busy;
    QCOMPARE(busy.currentFrame(), 0);
    busy.setBusy(true);
    QCOMPARE(busy.currentFrame(), 1);
    for (int i = 0; i < 11; ++i)
        QMetaObject::invokeMethod(&busy, "onTick");
    QCOMPARE(busy.currentFrame(), 12);
    QMetaObject::invokeMethod(&busy, "onTick");
    QCOMPARE(busy.currentFrame(), 1);
    QVERIFY(!busy.currentImage().isNull());
    busy.setBusy(false);
    QCOMPARE(busy.currentFrame(), 0);
}

void TestDialogs::productCardFollowsWindow()
{
    ProductCard card(nullptr, m_window, Qt::darkCyan);
    card.show();
    QCOMPARE(card.size(), m_window->size());
    QCOMPARE(card.body()->geometry(), QRect((900 - 619) / 2, 20, 620, 700 - 39));
    m_window->resize(1001, 810);
    QCOMPARE(card.size(), QSize(1001, 810));
    QCOMPARE(card.body()->geometry(), QRect((1001 - 619) / 2, 20, 620, 810 - 39));
    QCOMPARE(card.background()->geometry(), m_window->rect());
}

void TestDialogs::tabStatusAndSave()
{
    SavingPage page;
    auto* video = new WatchedTab;
    auto* audio = new WatchedTab;
    SettingsLineEdit* name = video->addLineEditRow("Name", SettingsLineEdit::kNonEmpty);
    name->setText("Deck");
    page.addTab(video, "Video");
    page.addTab(audio, "Audio");
    page.setIsImmediateApply(true);
    page.show();
    QCOMPARE(page.numTabs(), 2);
    QCOMPARE(page.currentTab(), video);
    CardFooter* footer = page.footer();
    QVERIFY(footer->saveButton()->isEnabled());

    name->selectAll();
    QTest::keyClick(name, Qt::Key_Delete);
    QCOMPARE(video->settingsStatus(), SettingsPage::Invalid);
    QVERIFY(!footer->saveButton()->isEnabled());
    QVERIFY(!page.tabbedPages()->hasAlert(0));
    page.selectTab(1);
    QVERIFY(page.tabbedPages()->hasAlert(0)); // marked when left invalid
    QCOMPARE(video->deselected, 1);
    QCOMPARE(audio->selected, 1);
    page.selectTab(1);
    QCOMPARE(audio->selected, 1); // no change, no notice

    QTest::keyClicks(name, "D");
    QCOMPARE(video->settingsStatus(), SettingsPage::Changed);
    QVERIFY(!page.tabbedPages()->hasAlert(0));
    QVERIFY(footer->saveButton()->isEnabled());

    QSignalSpy closed(&page, &SettingsPage::closePage);
    footer->saveButton()->click();
    QCOMPARE(page.applied, 1);
    QCOMPARE(closed.count(), 1);
    QCOMPARE(video->settingsStatus(), SettingsPage::Unchanged);
    footer->cancelButton()->click();
    QCOMPARE(page.recalled, 1);
    QCOMPARE(closed.count(), 2);

    page.showTab("Audio", false);
    QVERIFY(!page.tabbedPages()->isTabVisible(1));
    QCOMPARE(page.currentTab(), video);
    page.enableSaveButton(false);
    QVERIFY(!footer->saveButton()->isEnabled());
}

void TestDialogs::footerVariants()
{
    SettingsPage page;
    page.show();
    page.setIsImmediateApply(true);
    QVERIFY(page.footer()->saveButton()->isVisible() && page.footer()->cancelButton()->isVisible());
    page.setDeviceHasNoSettings();
    QCOMPARE(page.footer()->saveButton()->text(), QString("Close"));
    QVERIFY(page.footer()->saveButton()->isVisible());
    QVERIFY(!page.footer()->cancelButton()->isVisible());
    page.setSettingsButtonVisible(false);
    QVERIFY(!page.footer()->settingsButton()->isVisible());
    QSignalSpy option(&page, &SettingsPage::menuOptionPressed);
    page.addMenuOption("Reset", 7);
    page.footer()->menu()->actions().first()->trigger();
    QCOMPARE(option.count(), 1);
    QCOMPARE(option.first().first().toInt(), 7);
}

void TestDialogs::statusPagesAndTestMode()
{
    ConnectingStatusPage connecting;
    QCOMPARE(connecting.message(), QString("Connecting..."));
    connecting.setMessage("Waking the card...");
    QCOMPARE(connecting.message(), QString("Waking the card..."));
    connecting.setMessage(QString());
    QCOMPARE(connecting.message(), QString("Connecting..."));
    QSignalSpy cancelled(&connecting, &ConnectingStatusPage::connectionCancelled);
    connecting.cancelButton()->click();
    QCOMPARE(cancelled.count(), 1);

    const TestModePixmap blank(QPixmap(), 120, 40, 12, 8);
    QCOMPARE(blank.size(), QSize(120, 40));
    QVERIFY(blank.textPointSize() > 0 && blank.textPointSize() < 70);
    QVERIFY(blank.toImage().pixelColor(0, 0).alpha() == 0);
    const TestModePixmap roomy(square(800), 800, 800, 0, 0);
    QCOMPARE(roomy.textPointSize(), 70);
    const TestModePixmap tiny(square(4), 4, 4, 0, 0);
    QCOMPARE(tiny.textPointSize(), 0);
}

void TestDialogs::saveCommitsTheFieldBeingEdited()
{
    struct Page : SettingsPage {
        SettingsSliderWithEditableValue* slider = nullptr;
        double seen = -1;
        void applyChanges() override { seen = slider->realValue(); }
    } page;
    auto* tab = new SettingsTab;
    page.slider = tab->addSliderRowWithEditableValue("Gain", 0, 10, 1, "dB");
    page.addTab(tab, "Audio");
    page.setIsImmediateApply(true);
    page.show();
    page.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&page));
    page.slider->valueField()->setFocus();
    QTRY_VERIFY(page.slider->valueField()->hasFocus());
    page.slider->valueField()->selectAll();
    QTest::keyClicks(page.slider->valueField(), "7.5"); // no Return
    page.footer()->saveButton()->click();
    QCOMPARE(page.seen, 7.5);
}

void TestDialogs::popupMenuOptions()
{
    CardPopupMenu menu;
    menu.beginExclusiveGroup();
    menu.addOption("Low", 1, true);
    menu.addOption("High", 2, true);
    menu.endExclusiveGroup();
    menu.addOption("Reset", 9);
    QVERIFY(menu.selectOption(1));
    QVERIFY(menu.selectOption(2));
    QVERIFY(!menu.optionAction(1)->isChecked());
    QVERIFY(menu.optionAction(2)->isChecked());
    QVERIFY(!menu.selectOption(9)); // not checkable
    QVERIFY(!menu.selectOption(5));
    QSignalSpy pressed(&menu, &CardPopupMenu::menuOptionPressed);
    menu.optionAction(9)->trigger();
    QCOMPARE(pressed.count(), 1);
    QCOMPARE(pressed.first().first().toInt(), 9);
}

void TestDialogs::cardHeader()
{
    HeaderDevice device;
    ProductCard card(&device, m_window, Qt::darkCyan);
    card.show();
    CardHeader* header = card.header();
    QCOMPARE(header->nameLabel()->text(), QString("Edit bay"));
    QCOMPARE(header->modelLabel()->text(), QString("Ondavia Duo"));
    QVERIFY(!header->connectionIcon()->isVisible());
    QCOMPARE(header->modelLabel()->width(), 328);

    device.icon = square(16);
    device.name = QString(200, 'x');
    card.refreshHeader(&device);
    QVERIFY(header->connectionIcon()->isVisible());
    QCOMPARE(header->connectionIcon()->width(), 26);
    QCOMPARE(header->modelLabel()->width(), 328 - 26);
    QVERIFY(header->nameLabel()->text().endsWith(QChar(0x2026))); // elided

    QSignalSpy egg(header, &CardHeader::showEasterEgg);
    QTest::mouseDClick(header->secretButton(), Qt::LeftButton);
    QCOMPARE(egg.count(), 0);
    // The card answers the secret with a modal message; answer it here.
    QString said;
    QTimer::singleShot(0, [&said] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            said = box->text();
            box->accept();
        }
    });
    QTest::mouseDClick(header->secretButton(), Qt::LeftButton, Qt::ShiftModifier);
    QCOMPARE(egg.count(), 1);
    QCOMPARE(said, QString("No device specific details"));
}

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
