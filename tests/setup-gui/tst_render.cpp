// Renders the toolkit's widgets to PNG files under the build folder
// (render/setup-gui) so the design can be looked at. Each scene is also
// checked for the pieces it must show.

#include "busybutton.h"
#include "cardfooter.h"
#include "cardpopupmenu.h"
#include "cardpushbutton.h"
#include "cardscrollarea.h"
#include "cardsection.h"
#include "cardtabbedpages.h"
#include "colourpalette.h"
#include "commondialog.h"
#include "commongui.h"
#include "commonsettingsdialog.h"
#include "connectingstatuspage.h"
#include "flatimagebutton.h"
#include "imagegroupbutton.h"
#include "mainwindowdialog.h"
#include "mainwindowdialoglineedit.h"
#include "mainwindowdialogwidget.h"
#include "mainwindowmenu.h"
#include "mainwindowmenucontroller.h"
#include "productcard.h"
#include "rollovericon.h"
#include "rollovericoncallout.h"
#include "settingsalertandresponse.h"
#include "settingscheckbox.h"
#include "settingscombobox.h"
#include "settingslabel.h"
#include "settingslineedit.h"
#include "settingspage.h"
#include "settingsradiobutton.h"
#include "settingsslider.h"
#include "settingsslidervalue.h"
#include "settingssliderwitheditablevalue.h"
#include "settingstab.h"
#include "sliderlink.h"
#include "statuspage.h"
#include "testmodepixmap.h"
#include "visibledevice.h"

#include <QButtonGroup>
#include <QDir>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QtTest>

namespace {

QString outputDir()
{
    const QString dir = QStringLiteral(ONDAVIA_RENDER_DIR);
    QDir().mkpath(dir);
    return dir;
}

void save(const QImage& image, const QString& name)
{
    const QString path = outputDir() + QLatin1Char('/') + name + QStringLiteral(".png");
    QVERIFY2(image.save(path), qPrintable(path));
    qInfo("wrote %s", qPrintable(path));
}

// Lets pending layout and paint settle, then saves the widget's picture.
void snap(QWidget* widget, const QString& name)
{
    QCoreApplication::processEvents();
    save(widget->grab().toImage(), name);
}

// Stands in for the main window: a dark window with a header band, so that
// the dimmed sheet and the card over it read as they do in the program.
class StandInWindow : public QWidget
{
public:
    StandInWindow()
    {
        resize(780, 720);
        setAttribute(Qt::WA_StyledBackground);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), ColourPalette::kThunderstormGray);
        QLinearGradient g(0, 0, 0, 76);
        g.setColorAt(0, ColourPalette::kAsphaltGray);
        g.setColorAt(0.5, ColourPalette::kHurricaneGray);
        g.setColorAt(1, ColourPalette::kNightskyGray);
        p.fillRect(0, 0, width(), 76, g);
        p.setPen(ColourPalette::kMilkGray);
        p.setFont(CommonGui::font(CommonGui::kLightHuge));
        p.drawText(QRect(29, 0, 400, 76), Qt::AlignLeft | Qt::AlignVCenter, "Ondavia Setup");
        p.fillRect(0, 76, width(), 1, Qt::black);
        p.setPen(ColourPalette::kOwlGray);
        p.setBrush(ColourPalette::kStormGray);
        p.drawRoundedRect(QRect(width() / 2 - 200, 150, 400, 300), 8, 8);
    }
};

class SampleDevice : public VisibleDevice
{
public:
    QString familyName() const override { return "Ondavia"; }
    QString modelName() const override { return "Ondavia Quattro 4K"; }
    QString ipAddress() const override { return {}; }
    QPixmap modelImage() const override { return {}; }
    QPixmap modelThumb() const override { return {}; }
    QString deviceName() const override { return "Studio B capture"; }
    QPixmap launcherConnectionIcon() const override { return {}; }
    QPixmap cardConnectionIcon() const override { return QPixmap(":/Info"); }
    bool firmwareUpdateOnly() const override { return false; }
    QString currentFirmwareString() const override { return "4.2"; }
    bool firmwareUpdateAvailable() const override { return false; }
    QString availableFirmwareString() const override { return {}; }
    DeviceFirmwareUpdater* getFirmwareUpdater() override { return nullptr; }
    bool isTestMode() const override { return false; }
    QWidget* summaryWidget() const override { return nullptr; }
};

// A small picture for the sample image buttons: a connector plate.
QPixmap plate(const QString& text, const QColor& colour)
{
    QPixmap pixmap(64, 44);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(colour.darker(130), 1.5));
    p.setBrush(colour);
    p.drawRoundedRect(QRectF(2, 6, 60, 32), 6, 6);
    p.setBrush(Qt::white);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(14, 22), 5, 5);
    p.setPen(Qt::white);
    p.setFont(CommonGui::font(CommonGui::kSemiboldSmall));
    p.drawText(QRectF(22, 6, 38, 32), Qt::AlignCenter, text);
    return pixmap;
}

QPixmap glyph(const QString& text)
{
    QPixmap pixmap(48, 48);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(ColourPalette::kRaincloudGray, 2));
    p.setBrush(ColourPalette::kMilkGray);
    p.drawRoundedRect(QRectF(3, 3, 42, 42), 8, 8);
    p.setFont(CommonGui::font(CommonGui::kSemibold));
    p.drawText(QRectF(3, 3, 42, 42), Qt::AlignCenter, text);
    return pixmap;
}

// A tab that uses every kind of row and control.
class SampleTab : public SettingsTab
{
public:
    RolloverIcon* rollover = nullptr;
    SettingsSliderWithEditableValue* gainA = nullptr;

    SampleTab()
    {
        addHeader(tr("Video Input"), ":/Info", true);

        addSection(tr("Connection"));
        addLabelRow(tr("Detected format:"), "1080p59.94 (SDI)");
        QButtonGroup* input = beginRadioGroup(tr("Input:"));
        addRadioButtonRow(tr("SDI"), 1)->setChecked(true);
        addRadioButtonRow(tr("HDMI"), 2);
        addRadioButtonRow(tr("Component"), 3);
        endRadioGroup();
        Q_UNUSED(input)
        QVector<SettingsRadioButton*> rates;
        addRadioButtonGroup(tr("Frame rate:"), &rates, {"23.98", "24", "25", "29.97", "50", "59.94"},
                            {0, 1, 2, 3, 4, 5}, 3);
        rates.at(3)->setChecked(true);
        SettingsComboBox* combo = addComboBoxRow(tr("Colour space:"), 200);
        combo->addItems({"Rec. 709", "Rec. 2020", "Rec. 601"});
        SettingsCheckBox* tally = addCheckBoxRow(tr("Tally:"), tr("Light the tally on capture"));
        tally->setChecked(true);
        QVector<SettingsCheckBox*> boxes;
        addCheckBoxGroup(tr("Audio channels:"), &boxes, {"1 - 2", "3 - 4", "5 - 6", "7 - 8", "9 - 10"});
        boxes.at(0)->setChecked(true);
        boxes.at(2)->setChecked(true);

        addBookmark(tr("Levels"));
        gainA = addSliderRowWithEditableValue(tr("Luma gain:"), -100, 100, 2, "%", true, 0);
        auto* gainB = addSliderRowWithEditableValue(tr("Chroma gain:"), -100, 100, 2, "%", true, 0);
        gainA->setRealValue(12.5);
        gainB->setRealValue(12.5);
        linkSliders(gainA, gainB, SliderLink::Equal)->setLinked(true);
        auto* offA = addSliderRowWithEditableValue(tr("Black level:"), -20, 20, 1, "IRE");
        auto* offB = addSliderRowWithEditableValue(tr("White level:"), 80, 120, 1, "IRE");
        offA->setRealValue(-2);
        offB->setRealValue(100);
        linkSliders(offA, offB, SliderLink::Offset);
        auto* cb = addSliderRowWithEditableValue(tr("Cb gain:"), 0, 100, 0, "");
        auto* cr = addSliderRowWithEditableValue(tr("Cr gain:"), 0, 200, 0, "");
        cb->setRealValue(50);
        cr->setRealValue(100);
        linkSliders(cb, cr, SliderLink::Proportional)->setLinked(true);
        SettingsSliderValue* value = nullptr;
        QSlider* plainSlider = addSliderRowAndValue(tr("Sharpness:"), &value);
        if (auto* s = qobject_cast<SettingsSlider*>(plainSlider)) {
            s->setMinMax(0, 10);
            s->setValue(4);
        }
        addSliderRow(tr("Delay:"), tr("%1 frames"))->setRange(0, 8);

        addSection(tr("Network"));
        addLineEditRow(tr("Name:"), SettingsLineEdit::kNonEmpty)->setText("Studio B");
        SettingsLineEdit* address = addLineEditRow(tr("Address:"), SettingsLineEdit::kIpAddress);
        address->setText("192.168.10.");
        rollover = decorateRowWidgetWithRolloverIcon(
            address, QPixmap(":/Info"), tr("The address this card answers on; it takes effect at once."));
        addCardPushButtonRow(tr("Identify:"), tr("Blink"));
        addAlert(tr("Firmware:"), tr("An update is ready to install."), tr("Update"), true);
        addAlert(tr("Reference:"), tr("Locked to Tri-Sync"), tr("Retry"), false);

        addSection(tr("Connectors"));
        QVector<ImageGroupButton*> connectors;
        GridSettings threeAcross = GridSettings::labelledImageRow();
        threeAcross.columns = 3;
        const QString video = tr("Video:");
        addImageButtonGroup(&video,
                            QVector<QPixmap>{plate("SDI", ColourPalette::kAccentColour),
                                             plate("HDMI", QColor(70, 110, 190)),
                                             plate("YUV", QColor(190, 120, 50)),
                                             plate("S-V", QColor(140, 90, 170)),
                                             plate("CVBS", QColor(200, 170, 40))},
                            {1, 2, 3, 4, 5}, {"SDI", "HDMI", "Component", "S-Video", "Composite"}, &connectors,
                            threeAcross, false);
        connectors.at(1)->button()->setChecked(true);
        QVector<ImageGroupButton*> packing;
        addImageButtonGroup(QVector<QPixmap>{glyph("L|R"), glyph("T/B"), glyph("FS")}, {0, 1, 2},
                            {"Side by side", "Top and bottom", "Frame packed"}, &packing);
        packing.at(1)->button()->setChecked(true);
        addPlainImageButtonGroup(QVector<QPixmap>{glyph("+"), glyph("-")});
        endSettingsTab();
    }
};

QImage composite(QWidget* base, const QList<QWidget*>& floating)
{
    QImage image = base->grab().toImage();
    QPainter p(&image);
    for (QWidget* w : floating) {
        if (!w->isVisible())
            continue;
        const QPoint at = w->mapToGlobal(QPoint(0, 0)) - base->mapToGlobal(QPoint(0, 0));
        p.drawImage(at, w->grab().toImage());
    }
    return image;
}

class OptionPage : public MainWindowDialogWidget
{
public:
    explicit OptionPage(const QString& hint)
        : m_hint(hint)
    {
        buildMe(tr("Add"), tr("Close"));
    }

protected:
    void buildContents(QVBoxLayout* layout) override
    {
        auto* hint = CommonGui::label(CommonGui::kRegular, ColourPalette::kRaincloudGray, this);
        hint->setText(m_hint);
        hint->setAlignment(Qt::AlignCenter);
        auto* edit = new MainWindowDialogLineEdit(this);
        edit->setStandardVerifier(MainWindowDialogLineEdit::kIpAddress);
        edit->setPlaceholderText("192.168.1.20");
        edit->setFixedWidth(300);
        layout->addWidget(hint);
        layout->addSpacing(14);
        layout->addWidget(edit, 0, Qt::AlignHCenter);
    }

private:
    QString m_hint;
};

} // namespace

class TestRender : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void settingsTab();
    void productCard();
    void commonDialogs();
    void optionsMenuAndDialog();
};

void TestRender::initTestCase()
{
    CommonGui::registerFonts();
}

void TestRender::settingsTab()
{
    SampleTab tab;
    tab.resize(620, 400);
    tab.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tab));
    // Tall enough to show every row without scrolling.
    const int content = tab.contentWidget()->sizeHint().height();
    tab.resize(620, content + tab.headerSection()->height() + 1);
    QCoreApplication::processEvents();
    QVERIFY(tab.scrollArea()->verticalScrollBar()->maximum() == 0);
    tab.rollover->showPopup();
    save(composite(&tab, {tab.rollover->callout()}), "settings_tab");
    tab.rollover->hidePopup();

    // The same tab at a normal window height, scrolled to its bookmark.
    tab.resize(620, 560);
    QCoreApplication::processEvents();
    tab.scrollToBookmark(0);
    save(tab.grab().toImage(), "settings_tab_scrolled");
    QCOMPARE(tab.bookmarks().size(), 1);
}

void TestRender::productCard()
{
    StandInWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    SampleDevice device;
    ProductCard card(&device, &window, ColourPalette::kAccentColour);
    auto* connecting = new ConnectingStatusPage;
    auto* settings = new SettingsPage;
    auto* sample = new SampleTab;
    settings->addTab(sample, "Video Input");
    auto* output = new SettingsTab;
    output->addHeader("Video Output");
    output->addSection("Format");
    output->addComboBoxRow("Output format:", 220)->addItem("1080p59.94");
    output->endSettingsTab();
    settings->addTab(output, "Video Output");
    settings->addTab(new SettingsTab, "Audio");
    settings->addTab(new SettingsTab, "About");
    settings->setIsImmediateApply(true);
    settings->setSettingsButtonVisible(false);
    card.addPage(connecting);
    card.addPage(settings);
    card.show();

    card.showPage(connecting);
    snap(&window, "product_card_connecting");

    auto* plain = new StatusPage;
    auto* column = new QVBoxLayout(plain);
    auto* note = CommonGui::label(CommonGui::kRegular, ColourPalette::kWinterSkyGray, plain);
    note->setText("This device needs updating");
    note->setAlignment(Qt::AlignCenter);
    column->addWidget(note);
    card.showPage(plain);
    snap(&window, "product_card_status");

    card.showPage(settings);
    snap(&window, "product_card_settings");
    // A field left invalid marks its tab when the user moves on.
    sample->setSettingsStatus(SettingsPage::Invalid);
    settings->selectTab(1);
    snap(&window, "product_card_settings_output");
    QCOMPARE(card.body()->width(), 620);
    QVERIFY(settings->tabbedPages()->hasAlert(0));
    QVERIFY(!settings->footer()->saveButton()->isEnabled());
}

void TestRender::commonDialogs()
{
    StandInWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    CommonDialog dialog(&window);
    dialog.showTitleText("Software Update");
    dialog.showTwoTexts("This Example Device needs a Software Update.",
                        "Before you can edit the settings of this Example Device, it must be updated to the "
                        "latest software version.");
    dialog.showTwoButtons("Cancel", "Update");
    dialog.showOverWindow();
    snap(&window, "dialog_two_buttons");

    dialog.showTwoTexts("Updating Example Device...",
                        "Do not unplug this Example Device while the update is in progress.");
    dialog.showProgressBar();
    dialog.setProgress(62);
    snap(&window, "dialog_progress");

    dialog.showOneText("Searching for devices...");
    dialog.showBusyButton();
    QTest::qWait(3 * BusyButton::kFrameMilliseconds);
    snap(&window, "dialog_busy");

    dialog.showTitleText(QString());
    dialog.showOneText("This Example Device has been updated.");
    dialog.showOneButton("Close");
    snap(&window, "dialog_one_button");

    CommonSettingsDialog settingsStyle(&window);
    dialog.hide();
    settingsStyle.showTitleText("Reset settings");
    settingsStyle.showOneText("Restore the factory settings of this card?");
    settingsStyle.showTwoButtons("Cancel", "Reset");
    settingsStyle.showOverWindow();
    snap(&window, "dialog_settings_style");
}

void TestRender::optionsMenuAndDialog()
{
    StandInWindow window;
    window.resize(780, 560);
    window.move(0, 0);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* options = new FlatImageButton(&window);
    options->setImage(CommonGui::createTransparentIcon(QPixmap(":/Settings"), CommonGui::kRestingOpacity));
    options->setHoverImage(QPixmap(":/Settings"));
    options->resizeToFit();
    options->move(40, window.height() - 50);
    options->show();

    OptionPage first("Enter the address of the unit to add.");
    OptionPage second("Enter the address of the network deck.");
    MainWindowMenuController controller(&window);
    controller.addOption("Add a Ondavia", &first);
    controller.addOption("Add a network deck", &second);
    controller.build(options);
    QVERIFY(controller.menu());
    QTRY_VERIFY(controller.menu()->isVisible());
    controller.menu()->setActiveAction(controller.menu()->actions().first());
    QCoreApplication::processEvents();
    save(composite(&window, {controller.menu()}), "options_menu");

    controller.menu()->actions().at(1)->trigger();
    QVERIFY(controller.dialog());
    snap(&window, "options_dialog");
    controller.closeDialog();
}

QTEST_MAIN(TestRender)
#include "tst_render.moc"
