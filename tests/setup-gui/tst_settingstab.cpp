// Settings tabs: separators, groups, editable and linked sliders, status.

#include "buttonrowtbase.h"
#include "cardbookmark.h"
#include "cardpopupmenu.h"
#include "cardscrollarea.h"
#include "cardseparatordark.h"
#include "cardseparatordarkmiddle.h"
#include "comboboxbuilder.h"
#include "comboboxtbase.h"
#include "commongui.h"
#include "flatimagebutton.h"
#include "imagegroupbutton.h"
#include "rowspacer.h"
#include "settingscheckbox.h"
#include "settingscombobox.h"
#include "settingslabel.h"
#include "settingslineedit.h"
#include "settingsradiobutton.h"
#include "settingsslider.h"
#include "settingssliderwitheditablevalue.h"
#include "settingstab.h"
#include "sliderlink.h"
#include "tightvboxlayout.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QScrollBar>
#include <QtTest>

namespace {
// The class names of the content column, top to bottom ("Row" for rows).
QStringList column(const SettingsTab& tab)
{
    QStringList out;
    QLayout* layout = tab.contentLayout();
    for (int i = 0; i < layout->count(); ++i) {
        QWidget* w = layout->itemAt(i)->widget();
        if (!w)
            continue;
        if (qobject_cast<CardSeparatorDarkMiddle*>(w))
            out << "Middle";
        else if (qobject_cast<CardSeparatorDark*>(w))
            out << "Dark";
        else if (auto* s = qobject_cast<RowSpacer*>(w))
            out << QStringLiteral("Spacer%1").arg(s->height());
        else if (qobject_cast<CardSection*>(w))
            out << "Section";
        else if (w->inherits("CardBookmark"))
            out << "Bookmark";
        else
            out << "Row";
    }
    return out;
}

QPixmap swatch(int w = 40, int h = 30)
{
    QPixmap p(w, h);
    p.fill(Qt::darkCyan);
    return p;
}

void commit(SettingsSliderWithEditableValue* s, const QString& text)
{
    s->valueField()->selectAll();
    if (text.isEmpty())
        QTest::keyClick(s->valueField(), Qt::Key_Delete);
    else
        QTest::keyClicks(s->valueField(), text);
    QTest::keyClick(s->valueField(), Qt::Key_Return);
}
} // namespace

class TestSettingsTab : public QObject
{
    Q_OBJECT
private slots:
    void fixedPoint_data();
    void fixedPoint();
    void sliderCommits_data();
    void sliderCommits();
    void sliderPreviousValueAndIncrement();
    void sliderRangeBeyondFixedPoint();
    void sliderDefaultButton();
    void sliderStatusIcon();
    void linkEqualAndOffset();
    void linkProportional();
    void separators();
    void sectionsHoldTheirRows();
    void imageGroupGrid();
    void imageGroupMismatchedCounts();
    void checkBoxGroups();
    void radioGroups();
    void comboBoxAccess();
    void buttonRowAccess();
    void settingsStatus();
    void rowManagement();
    void linkFollowsItsSliders();
    void bookmarksAndSectionButtons();
    void wheelNeedsFocus();
};

void TestSettingsTab::fixedPoint_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<int>("places");
    QTest::addColumn<int>("expected");
    QTest::newRow("half up") << 0.5 << 0 << 1;
    QTest::newRow("negative half up") << -0.5 << 0 << 0;
    QTest::newRow("negative one and a half") << -1.5 << 0 << -1;
    QTest::newRow("below half") << -0.49 << 0 << 0;
    QTest::newRow("two places") << 12.34 << 2 << 1234;
    QTest::newRow("negative two places") << -12.345 << 2 << -1234; // product -1234.4999...
    // 1.005 * 100 is 100.49999999999999 in double precision.
    QTest::newRow("product rounding") << 1.005 << 2 << 100;
    QTest::newRow("three places") << 0.0015 << 3 << 2;
    QTest::newRow("above int") << 2148.0 << 6 << std::numeric_limits<int>::max();
    QTest::newRow("below int") << -2149.0 << 6 << std::numeric_limits<int>::min();
    QTest::newRow("not a number") << std::nan("") << 2 << 0;
}

void TestSettingsTab::fixedPoint()
{
    QFETCH(double, x);
    QFETCH(int, places);
    QFETCH(int, expected);
    QCOMPARE(CommonGui::toFixedPoint(x, places), expected);
    QCOMPARE(CommonGui::fromFixedPoint(expected, places), expected / std::pow(10.0, places));
}

void TestSettingsTab::sliderCommits_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("in range") << "42.5" << 42.5 << "42.50";
    QTest::newRow("negative") << "-7.25" << -7.25 << "-7.25";
    QTest::newRow("above the top") << "150" << 100.0 << "100.00";
    QTest::newRow("below the bottom") << "-150" << -100.0 << "-100.00";
    QTest::newRow("minus only") << "-" << 20.0 << "20.00";
    QTest::newRow("dot only") << "." << 20.0 << "20.00";
    QTest::newRow("empty") << "" << 20.0 << "20.00";
    QTest::newRow("plus only") << "+" << 20.0 << "20.00";
    QTest::newRow("minus and dot") << "-." << 20.0 << "20.00";
    QTest::newRow("plus and dot") << "+." << 20.0 << "20.00";
}

void TestSettingsTab::sliderCommits()
{
    QFETCH(QString, typed);
    QFETCH(double, value);
    QFETCH(QString, shown);
    SettingsTab tab;
    SettingsSliderWithEditableValue* s = tab.addSliderRowWithEditableValue("Gain", -100, 100, 2, "dB");
    s->setRealValue(20.0);
    QSignalSpy changes(s, qOverload<double>(&SettingsSliderWithEditableValue::valueChanged));
    commit(s, typed);
    QCOMPARE(s->valueField()->text(), shown);
    QCOMPARE(s->realValue(), value);
    QCOMPARE(s->slider()->value(), CommonGui::toFixedPoint(value, 2));
    QCOMPARE(changes.count(), 1);
    QCOMPARE(changes.first().first().toDouble(), value);

    // Leaving the field afterwards, or without typing, changes nothing.
    emit s->valueField()->editingFinished();
    QCOMPARE(changes.count(), 1);
}

void TestSettingsTab::sliderPreviousValueAndIncrement()
{
    SettingsSliderWithEditableValue s;
    s.setDecimalPlaces(1);
    s.setMinimum(0);
    s.setMaximum(10);
    QVERIFY(!s.hasPreviousValue());
    s.setRealValue(4);
    QCOMPARE(s.previousRealValue(), 4.0); // the first change records itself
    s.setRealValue(6);
    QCOMPARE(s.previousRealValue(), 4.0);
    s.slider()->setValue(80); // a drag to 8.0
    QCOMPARE(s.realValue(), 8.0);
    QCOMPARE(s.previousRealValue(), 6.0);
    QCOMPARE(s.valueField()->text(), QString("8.0"));
    s.setRealValue(25); // clamped
    QCOMPARE(s.realValue(), 10.0);

    double remainder = 0;
    s.setRealValue(5);
    QVERIFY(s.incrementValue(2.5, remainder));
    QCOMPARE(s.realValue(), 7.5);
    QVERIFY(!s.incrementValue(4, remainder));
    QCOMPARE(s.realValue(), 10.0);
    QCOMPARE(remainder, 1.5);
    QVERIFY(!s.incrementValue(-12, remainder));
    QCOMPARE(s.realValue(), 0.0);
    QCOMPARE(remainder, -2.0);
}

void TestSettingsTab::sliderRangeBeyondFixedPoint()
{
    // 6 places hold about +-2147 in an int: the bounds saturate there and
    // value, field and slider keep agreeing.
    const double top = std::numeric_limits<int>::max() / 1e6;
    SettingsTab tab;
    SettingsSliderWithEditableValue* s = tab.addSliderRowWithEditableValue("Delay", -5000, 5000, 6, "ms");
    QCOMPARE(s->maximum(), top);
    QVERIFY(s->minimum() >= std::numeric_limits<int>::min() / 1e6);
    QVERIFY(s->slider()->minimum() < 0);
    s->setRealValue(3000);
    QCOMPARE(s->realValue(), top);
    QCOMPARE(s->slider()->value(), std::numeric_limits<int>::max());

    // More places after the range: the range is refitted.
    SettingsSliderWithEditableValue late;
    late.setDecimalPlaces(0);
    late.setMaximum(100000);
    late.setDecimalPlaces(6);
    QCOMPARE(late.maximum(), top);
    QCOMPARE(late.slider()->maximum(), std::numeric_limits<int>::max());
}

void TestSettingsTab::sliderDefaultButton()
{
    SettingsTab tab;
    SettingsSliderWithEditableValue* s = tab.addSliderRowWithEditableValue("Level", 0, 10, 1, "", true, 3.5);
    tab.show();
    s->setRealValue(9);
    QVERIFY(s->defaultButton()->isVisible());
    s->defaultButton()->click();
    QCOMPARE(s->realValue(), 3.5);
    QCOMPARE(s->valueField()->text(), QString("3.5"));
    s->setRealValue(9);
    s->setSliderEnabled(false);
    QVERIFY(!s->defaultButton()->isEnabled());
    s->defaultButton()->click();
    QCOMPARE(s->realValue(), 9.0);
}

void TestSettingsTab::sliderStatusIcon()
{
    SettingsTab tab;
    SettingsSliderWithEditableValue* s = tab.addSliderRowWithEditableValue("Gain", -100, 100, 0, "dB");
    SettingsSliderWithEditableValue::SettingsSliderLineEdit* field = s->valueField();
    tab.show();
    QApplication::setActiveWindow(&tab);
    QVERIFY(QTest::qWaitForWindowActive(&tab));
    auto iconShown = [field] {
        const QList<QAction*> actions = field->actions();
        return std::any_of(actions.begin(), actions.end(), [](QAction* a) { return a->isVisible(); });
    };
    field->setFocus();
    QVERIFY(field->hasFocus());
    field->selectAll();
    QTest::keyClicks(field, "-");
    QCOMPARE(field->statusIcon(), SettingsLineEdit::kAlertIcon);
    QVERIFY(!iconShown()); // off unless asked for

    s->setStatusIconEnabled(true);
    QCOMPARE(field->statusIcon(), SettingsLineEdit::kAlertIcon);
    QVERIFY(iconShown());
    QTest::keyClicks(field, "5");
    QCOMPARE(field->statusIcon(), SettingsLineEdit::kOkIcon);
    QTest::keyClicks(field, "00"); // -500: out of range
    QCOMPARE(field->statusIcon(), SettingsLineEdit::kAlertIcon);
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(field->text(), QString("-100"));
    QCOMPARE(field->statusIcon(), SettingsLineEdit::kOkIcon);
    field->clearFocus();
    QCOMPARE(field->statusIcon(), SettingsLineEdit::kNoIcon);
    QVERIFY(!iconShown());
    field->setFocus();
    QVERIFY(iconShown());
    s->setStatusIconEnabled(false);
    QVERIFY(!iconShown());
}

void TestSettingsTab::linkEqualAndOffset()
{
    SettingsTab tab;
    auto* a = tab.addSliderRowWithEditableValue("A", 0, 100, 0, "");
    auto* b = tab.addSliderRowWithEditableValue("B", 0, 100, 0, "");
    auto* c = tab.addSliderRowWithEditableValue("C", 0, 100, 0, "");
    auto* d = tab.addSliderRowWithEditableValue("D", 0, 100, 0, "");
    SliderLink* equal = tab.linkSliders(a, b, SliderLink::Equal);
    SliderLink* offset = tab.linkSliders(c, d, SliderLink::Offset);
    QVERIFY(equal && offset);

    a->setRealValue(30);
    QCOMPARE(b->realValue(), 0.0); // not linked yet
    equal->setLinked(true);
    QSignalSpy bNotices(b, qOverload<>(&SettingsSliderWithEditableValue::valueChanged));
    a->setRealValue(40);
    QCOMPARE(b->realValue(), 40.0);
    QCOMPARE(bNotices.count(), 1); // the page hears of the follower once
    b->setRealValue(70);
    QCOMPARE(a->realValue(), 70.0);
    equal->linkButton()->click(); // unlinks
    QVERIFY(!equal->isLinked());
    a->setRealValue(10);
    QCOMPARE(b->realValue(), 70.0);

    c->setRealValue(20);
    d->setRealValue(90);
    offset->setLinked(true);
    c->setRealValue(25);
    QCOMPARE(d->realValue(), 95.0);
    // D can only take 5 more, so C gives back what D could not follow.
    c->setRealValue(40);
    QCOMPARE(d->realValue(), 100.0);
    QCOMPARE(c->realValue(), 30.0);
}

void TestSettingsTab::linkProportional()
{
    SettingsTab tab;
    auto* a = tab.addSliderRowWithEditableValue("A", 0, 100, 2, "");
    auto* b = tab.addSliderRowWithEditableValue("B", 0, 200, 2, "");
    SliderLink* link = tab.linkSliders(a, b, SliderLink::Proportional);
    a->setRealValue(50);
    b->setRealValue(100);
    link->setLinked(true);
    a->setRealValue(70);
    QCOMPARE(b->realValue(), 140.0);
    a->setRealValue(10);
    QCOMPARE(b->realValue(), 20.0);
    b->setRealValue(60);
    QCOMPARE(a->realValue(), 30.0);

    // Captured at A 50, B 150: B leaves its range above A 75.
    link->setLinked(false);
    a->setRealValue(50);
    b->setRealValue(150);
    link->setLinked(true);
    a->setRealValue(90);
    QCOMPARE(a->realValue(), 75.0);
    QCOMPARE(b->realValue(), 200.0);
    a->setRealValue(75.05); // inside the 0.1 tolerance: not pulled back
    QCOMPARE(a->realValue(), 75.05);
    QCOMPARE(b->realValue(), 200.0);
}

void TestSettingsTab::separators()
{
    SettingsTab tab;
    tab.addSection("Video");
    tab.addLabelRow("Model", "X");            // first row after a section
    tab.addLabelRow("Serial", "1");           // control after control
    tab.addBookmark("Output");                // bookmark inside a section
    tab.addLabelRow("Format", "1080p");
    tab.beginRowGroup();                      // spacer, then no fillers
    tab.addLabelRow("Gain", "0");
    tab.addLabelRow("Pan", "0");
    tab.endRowGroup();
    tab.addSection("Audio");                  // second section
    tab.addLabelRow("Level", "0");
    QCOMPARE(column(tab), QStringList({"Section", "Spacer11", "Row", "Spacer11", "Row", "Middle", "Bookmark",
                                       "Spacer11", "Row", "Spacer11", "Row", "Row", "Spacer28", "Middle",
                                       "Section", "Row"}));

    SettingsTab other;
    other.addBookmark("First"); // nothing before: a spacer
    other.addBookmark("Second");
    QCOMPARE(column(other), QStringList({"Spacer11", "Bookmark", "Middle", "Bookmark"}));
    other.endSettingsTab();
    QCOMPARE(other.lastRowKind(), SettingsTab::Bookmark);
}

void TestSettingsTab::sectionsHoldTheirRows()
{
    SettingsTab tab;
    CardSection* video = tab.addSection("Video");
    SettingsLabel* model = tab.addLabelRow("Model", "X");
    CardSection* audio = tab.addSection("Audio");
    tab.addLabelRow("Level", "0");
    // Going back to the first section puts new rows after its last row.
    tab.setActiveSection(video);
    SettingsLabel* late = tab.addLabelRow("Late", "1");
    QWidget* lateRow = tab.findRowContaining(late);
    QWidget* modelRow = tab.findRowContaining(model);
    const int lateAt = tab.contentLayout()->indexOf(lateRow);
    QVERIFY(lateAt > tab.contentLayout()->indexOf(modelRow));
    QVERIFY(lateAt < tab.contentLayout()->indexOf(audio));
    QVERIFY(video->containsRow(lateRow));
    tab.show();
    tab.showSection(video, false);
    QVERIFY(!lateRow->isVisible() && !modelRow->isVisible() && !video->isVisible());
    QVERIFY(audio->isVisible());
}

void TestSettingsTab::imageGroupGrid()
{
    SettingsTab tab;
    QVector<ImageGroupButton*> buttons;
    GridSettings two = GridSettings::labelledImageRow();
    two.columns = 2;
    const QString label = "Packing";
    QButtonGroup* group = tab.addImageButtonGroup(&label, QVector<QPixmap>(5, swatch()), {10, 11, 12, 13, 14},
                                                  {"a", "b", "c", "d", "e"}, &buttons, two, false);
    QVERIFY(group);
    QCOMPARE(buttons.size(), 5);
    auto* grid = buttons.first()->parentWidget()->findChild<QGridLayout*>();
    QVERIFY(grid);
    QCOMPARE(grid->rowCount(), 3);
    int lastRow = 0;
    for (int c = 0; c < grid->columnCount(); ++c)
        lastRow += grid->itemAtPosition(2, c) ? 1 : 0;
    QCOMPARE(lastRow, 1);
    QCOMPARE(group->id(buttons.at(3)->button()), 13);
    QVERIFY(group->exclusive());

    // Checking one repaints the others unchecked; the captions follow.
    buttons.at(1)->button()->click();
    QVERIFY(buttons.at(1)->isChecked());
    buttons.at(4)->button()->click();
    QVERIFY(!buttons.at(1)->isChecked());
    QCOMPARE(group->checkedId(), 14);
    QVERIFY(buttons.at(4)->captionLabel()->palette().color(QPalette::WindowText).alpha() == 255);
    QVERIFY(buttons.at(1)->captionLabel()->palette().color(QPalette::WindowText).alpha() == 127);
    // Height: three rows of the tallest button, two gaps and both margins.
    const int h = buttons.first()->sizeHint().height();
    QWidget* frame = tab.findRowContaining(buttons.first());
    QCOMPARE(frame->height(), 3 * h + 2 * two.verticalSpacing + 2 * two.verticalMargin);
}

void TestSettingsTab::imageGroupMismatchedCounts()
{
    SettingsTab tab;
    QVERIFY(!tab.addImageButtonGroup(QVector<QPixmap>(3, swatch()), {1, 2}));
    QVERIFY(!tab.addImageButtonGroup(QVector<QPixmap>(2, swatch()), {}, {"only one"}));
    QVERIFY(!tab.addImageButtonGroupRow({swatch()}, {}, {})); // no open group
    QButtonGroup* plain = tab.addPlainImageButtonGroup(QVector<QPixmap>(2, swatch()));
    QVERIFY(plain);
    QVERIFY(plain->id(plain->buttons().first()) < 0); // no values: no real ids
}

void TestSettingsTab::checkBoxGroups()
{
    SettingsTab tab;
    QVector<SettingsCheckBox*> one;
    tab.addCheckBoxGroup("Single", &one, {"Only"});
    QCOMPARE(one.size(), 1);
    QCOMPARE(tab.findRowContaining(one.first())->height(), 31);

    QVector<SettingsCheckBox*> five;
    tab.addCheckBoxGroup("Five", &five, {"1", "2", "3", "4", "5"});
    QWidget* row = tab.findRowContaining(five.first());
    QCOMPARE(row->height(), 3 * 24 + 2 * 6);
    auto* grid = row->findChild<QGridLayout*>();
    QCOMPARE(grid->columnCount(), 2);
    QCOMPARE(grid->rowCount(), 3);
    // Both grids share a minimum column width.
    QCOMPARE(grid->columnMinimumWidth(0), 112);
    QCOMPARE(tab.findRowContaining(one.first())->findChild<QGridLayout*>()->columnMinimumWidth(0), 112);

    const int rows = tab.contentLayout()->count();
    tab.addCheckBoxGroup("Empty", nullptr, {});
    QCOMPARE(tab.contentLayout()->count(), rows);
    QVERIFY(!tab.addCheckBoxGroupRow("orphan"));
}

void TestSettingsTab::radioGroups()
{
    SettingsTab tab;
    QVERIFY(!tab.addRadioButtonRow("orphan", 1));
    QButtonGroup* group = tab.beginRadioGroup("Input");
    SettingsRadioButton* sdi = tab.addRadioButtonRow("SDI", 1);
    SettingsRadioButton* hdmi = tab.addRadioButtonRow("HDMI", 4);
    tab.endRadioGroup();
    QCOMPARE(sdi->y(), 8);
    QCOMPARE(hdmi->y(), 35);
    QCOMPARE(tab.findRowContaining(sdi)->height(), 63);
    QCOMPARE(group->id(hdmi), 4);

    QVector<SettingsRadioButton*> out;
    QButtonGroup* grid = tab.addRadioButtonGroup("Rate", &out, {"24", "25", "30"}, {24, 25, 30}, 2);
    QCOMPARE(out.size(), 3);
    QCOMPARE(grid->id(out.at(2)), 30);
    QCOMPARE(tab.findRowContaining(out.first())->height(), 2 * 24 + 6);
    QVector<SettingsRadioButton*> single;
    tab.addRadioButtonGroup("Mode", &single, {"On", "Off"}, {1, 0}, 2);
    QCOMPARE(tab.findRowContaining(single.first())->height(), 31);
}

void TestSettingsTab::comboBoxAccess()
{
    SettingsTab tab;
    ComboBoxBuilder builder;
    builder.add("Stereo", 2);
    builder.add("Eight channels", 8);
    builder.add("Sixteen channels", 16);
    ComboBoxTBase combo(builder.build(tab, "Channels", 200));
    QVERIFY(combo.exists());
    QCOMPARE(combo.combo()->size(), QSize(200, 27));
    QSignalSpy changed(&tab, &SettingsTab::settingsStatusChanged);
    QVERIFY(combo.set(8));
    QVERIFY(!combo.set(6)); // no item carries it
    int value = 0;
    QVERIFY(combo.get(value));
    QCOMPARE(value, 8);
    QCOMPARE(changed.count(), 0); // set blocks the combo's signals
    QVERIFY(combo.setLabel(16, "16 channels"));
    QCOMPARE(combo.combo()->itemText(2), QString("16 channels"));
    QVERIFY(combo.combo()->setIndexEnabled(0, false));
    QVERIFY(!combo.combo()->isIndexEnabled(0));
    QVERIFY(!combo.combo()->setIndexEnabled(9, false));
    // A value without an item is shown as no choice, not the last one.
    QVERIFY(!combo.setOrClear(6));
    QCOMPARE(combo.combo()->currentIndex(), -1);
    QCOMPARE(changed.count(), 0);

    ComboBoxTBase missing;
    QVERIFY(!missing.exists());
    QVERIFY(!missing.set(2));
    QVERIFY(!missing.get(value));
    QVERIFY(!missing.setLabel(2, "x"));
}

void TestSettingsTab::buttonRowAccess()
{
    SettingsTab tab;
    ButtonRowTBase row(tab.addImageButtonGroup(QVector<QPixmap>(3, swatch()), {5, 6, 7}));
    int id = 0;
    QVERIFY(!row.get(id));
    QCOMPARE(id, -1);
    QVERIFY(row.set(6));
    QVERIFY(row.get(id));
    QCOMPARE(id, 6);
    QVERIFY(!row.set(99));
    QVERIFY(row.get(id));
    QVERIFY(!row.setOrClear(99));
    QVERIFY(!row.get(id));
    QVERIFY(row.buttons()->exclusive());
    QVERIFY(row.setOrClear(7));
    QVERIFY(row.setEnabled(false));
    for (QAbstractButton* b : row.buttons()->buttons())
        QVERIFY(!b->isEnabled());
    ButtonRowTBase missing;
    QVERIFY(!missing.set(6) && !missing.get(id) && !missing.setEnabled(true));
}

void TestSettingsTab::settingsStatus()
{
    SettingsTab tab;
    SettingsLineEdit* address = tab.addLineEditRow("Address", SettingsLineEdit::kIpAddress);
    SettingsLineEdit* name = tab.addLineEditRow("Name", SettingsLineEdit::kNonEmpty);
    SettingsCheckBox* box = tab.addCheckBoxRow("Enable", "On");
    name->setText("Deck");
    address->setText("10.0.0.1");
    QSignalSpy changed(&tab, &SettingsTab::settingsStatusChanged);

    box->click();
    QCOMPARE(tab.settingsStatus(), SettingsPage::Changed);
    box->click();
    QCOMPARE(changed.count(), 1); // only transitions are announced

    address->selectAll();
    QTest::keyClicks(address, "10.0.");
    QCOMPARE(tab.settingsStatus(), SettingsPage::Invalid);
    const int afterInvalid = changed.count();
    QTest::keyClicks(address, "0");
    QCOMPARE(changed.count(), afterInvalid); // still invalid, no repeat
    box->click();
    QCOMPARE(tab.settingsStatus(), SettingsPage::Invalid); // a change never clears Invalid

    name->selectAll();
    QTest::keyClick(name, Qt::Key_Delete);
    QTest::keyClicks(address, ".9");
    QCOMPARE(tab.settingsStatus(), SettingsPage::Invalid); // the name is still empty
    QTest::keyClicks(name, "D");
    QCOMPARE(tab.settingsStatus(), SettingsPage::Changed);
    tab.setSettingsStatus(SettingsPage::Unchanged);
    QCOMPARE(tab.settingsStatus(), SettingsPage::Unchanged);
}

void TestSettingsTab::rowManagement()
{
    SettingsTab tab;
    tab.addSection("S");
    SettingsCheckBox* first = tab.addCheckBoxRow("First", "a");
    SettingsCheckBox* second = tab.addCheckBoxRow("Second", "b");
    SettingsCheckBox* third = tab.addCheckBoxRow("Third", "c");
    tab.show();
    QWidget* secondRow = tab.findRowContaining(second);
    const int at = tab.contentLayout()->indexOf(secondRow);
    QWidget* spacerBefore = tab.contentLayout()->itemAt(at - 1)->widget();
    QVERIFY(qobject_cast<RowSpacer*>(spacerBefore));
    tab.showRowContaining(second, false);
    QVERIFY(!secondRow->isVisible() && !spacerBefore->isVisible());
    tab.showRowContaining(second, true);
    QVERIFY(secondRow->isVisible() && spacerBefore->isVisible());

    tab.setEnabledRowContaining(third, false);
    QVERIFY(!third->isEnabled());

    const int before = tab.contentLayout()->count();
    QPointer<QWidget> spacer(spacerBefore);
    tab.removeRowContaining(second);
    QCOMPARE(tab.contentLayout()->count(), before - 2);
    QVERIFY(spacer.isNull());
    QVERIFY(!tab.currentSection()->containsRow(secondRow));
    tab.removeRowContaining(first);
    QCOMPARE(tab.contentLayout()->count(), before - 4);
    QVERIFY(tab.findRowContaining(third));
    QCOMPARE(tab.findRowContaining(&tab), nullptr);

    // The first row of a later section has no spacer before it (the section
    // header is there), so the spacer after it goes with it.
    CardSection* more = tab.addSection("More");
    SettingsCheckBox* lead = tab.addCheckBoxRow("Lead", "d");
    SettingsCheckBox* tail = tab.addCheckBoxRow("Tail", "e");
    const int withBoth = tab.contentLayout()->count();
    tab.removeRowContaining(lead);
    QCOMPARE(tab.contentLayout()->count(), withBoth - 2);
    const int tailAt = tab.contentLayout()->indexOf(tab.findRowContaining(tail));
    QCOMPARE(tab.contentLayout()->itemAt(tailAt - 1)->widget(), more);
}

void TestSettingsTab::linkFollowsItsSliders()
{
    SettingsTab tab;
    tab.addSection("Levels");
    auto* a = tab.addSliderRowWithEditableValue("A", 0, 10, 0, "");
    auto* b = tab.addSliderRowWithEditableValue("B", 0, 10, 0, "");
    SliderLink* link = tab.linkSliders(a, b, SliderLink::Equal);
    tab.endSettingsTab();
    tab.resize(620, 400);
    tab.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tab));
    QTRY_VERIFY(link->isVisible());
    // Beside the value fields, spanning the distance between them.
    const QPoint fieldA = a->valueField()->mapTo(tab.contentWidget(), QPoint(a->valueField()->width(), 0));
    QCOMPARE(link->x(), fieldA.x() + 32);
    const int centreA = a->valueField()->mapTo(tab.contentWidget(), a->valueField()->rect().center()).y();
    const int centreB = b->valueField()->mapTo(tab.contentWidget(), b->valueField()->rect().center()).y();
    QVERIFY(link->geometry().top() <= centreA && link->geometry().bottom() >= centreB);

    tab.showRowContaining(b, false);
    QTRY_VERIFY(!link->isVisible());
    tab.showRowContaining(b, true);
    QTRY_VERIFY(link->isVisible());
    a->setValueDisplayVisible(false);
    QTRY_VERIFY(!link->isVisible());
    a->setValueDisplayVisible(true);
    QTRY_VERIFY(link->isVisible());
    tab.removeRowContaining(b);
    QTRY_VERIFY(!link->isVisible());
    QVERIFY(!tab.linkSliders(a, a, SliderLink::Equal));
    QVERIFY(!tab.linkSliders(a, nullptr, SliderLink::Equal));
}

void TestSettingsTab::bookmarksAndSectionButtons()
{
    SettingsTab tab;
    tab.addHeader("Audio", QString(), true);
    QVERIFY(tab.bookmarkButton());
    CardSection* inputs = tab.addSection("Inputs");
    for (int i = 0; i < 12; ++i)
        tab.addLabelRow(QString("Row %1").arg(i), "value");
    tab.addBookmark("Outputs");
    for (int i = 0; i < 12; ++i)
        tab.addLabelRow(QString("Row %1").arg(i), "value");
    tab.endSettingsTab();
    QCOMPARE(tab.bookmarkMenu()->actions().size(), 1);
    tab.resize(620, 300);
    tab.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tab));
    tab.bookmarkMenu()->actions().first()->trigger();
    QCOMPARE(tab.scrollArea()->verticalScrollBar()->value(), tab.bookmarks().first()->y());
    QVERIFY(tab.scrollArea()->verticalScrollBar()->value() > 0);
    tab.scrollToBookmark(5); // no such bookmark: stays put
    QCOMPARE(tab.scrollArea()->verticalScrollBar()->value(), tab.bookmarks().first()->y());

    FlatImageButton* button = tab.addSectionButton(inputs, ":/Info");
    QCOMPARE(button->x(), 589 + inputs->contentMargin());
    QCOMPARE(button->y(), (inputs->height() - button->height()) / 2);
    QVERIFY(!tab.addSectionButton(nullptr, ":/Info"));

    // A header with its menu added after the first bookmark keeps it.
    SettingsTab late;
    late.addBookmark("Early");
    late.addHeader("Video", QString(), true);
    late.addBookmark("Later");
    QCOMPARE(late.bookmarkMenu()->actions().size(), 2);
    QCOMPARE(late.bookmarkMenu()->actions().first()->text(), QString("Early"));
}

void TestSettingsTab::wheelNeedsFocus()
{
    SettingsTab tab;
    auto* slider = qobject_cast<SettingsSlider*>(tab.addSliderRowAndValue("Level"));
    SettingsComboBox* combo = tab.addComboBoxRow("Mode", 120);
    combo->addItems({"a", "b", "c"});
    slider->setRange(0, 10);
    slider->setValue(5);
    tab.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tab));
    // The tab holds the keys, as in a card just opened: no control has the focus.
    tab.setFocus();
    auto wheel = [](QWidget* w) {
        QWheelEvent event(QPointF(5, 5), w->mapToGlobal(QPoint(5, 5)), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w, &event);
    };
    wheel(slider);
    wheel(combo);
    QCOMPARE(slider->value(), 5);
    QCOMPARE(combo->currentIndex(), 0);
    QTest::keyClick(slider, Qt::Key_Right);
    QCOMPARE(slider->value(), 5);
}

QTEST_MAIN(TestSettingsTab)
#include "tst_settingstab.moc"
