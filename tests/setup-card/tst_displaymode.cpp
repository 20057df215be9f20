// Naming, menu order, the conversion mapping and the per-connection naming of
// display modes, over display modes made in the test.

#include <QtTest>

#include "displaymode.h"
#include "displaymodestrings.h"
#include "fakedisplaymode.h"

namespace {

uint32_t code(const QByteArray& text)
{
    if (text.size() != 4)
        return 0;
    return (uint32_t(uint8_t(text[0])) << 24) | (uint32_t(uint8_t(text[1])) << 16) | (uint32_t(uint8_t(text[2])) << 8)
        | uint32_t(uint8_t(text[3]));
}

QByteArray text(uint32_t value)
{
    QByteArray t(4, ' ');
    for (int i = 0; i < 4; ++i)
        t[i] = char((value >> (24 - 8 * i)) & 0xFF);
    return t;
}

} // namespace

class TestDisplayMode : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void naming_data();
    void naming();
    void modeWithoutName();
    void displayOrder();
    void displayOrderToleratesBadRates();
    void outputMapping_data();
    void outputMapping();
    void connectionNaming_data();
    void connectionNaming();
    void hdmiWithoutMatchingMode();
};

void TestDisplayMode::cleanup()
{
    // Every reference a DisplayMode took has been given back.
    QCOMPARE(FakeDisplayMode::liveCount(), 0);
}

void TestDisplayMode::naming_data()
{
    QTest::addColumn<QByteArray>("mode");
    QTest::addColumn<uint>("flags");
    QTest::addColumn<bool>("shortName");
    QTest::addColumn<QString>("expected");

    QTest::newRow("plain") << QByteArray("Hp25") << 0u << false << "1080p25";
    QTest::newRow("PsF") << QByteArray("Hp25") << 1u << false << "1080PsF25";
    QTest::newRow("3D") << QByteArray("Hp25") << 2u << false << "1080p25 3D";
    QTest::newRow("PsF 3D") << QByteArray("Hp25") << 3u << false << "1080PsF25 3D";
    QTest::newRow("PsF replaces every p") << QByteArray("hp59") << 1u << false << "720PsF59.94";
    QTest::newRow("NTSC p short") << QByteArray("ntsp") << 0u << true << "NTSC";
    QTest::newRow("NTSC p long") << QByteArray("ntsp") << 0u << false << "NTSC p";
    QTest::newRow("PAL p short") << QByteArray("palp") << 0u << true << "PAL";
    QTest::newRow("DCI 23.98 short") << QByteArray("H23d") << 0u << true << "1080p23.98";
    QTest::newRow("short then PsF") << QByteArray("H23d") << 1u << true << "1080PsF23.98";
    QTest::newRow("short of an HD mode") << QByteArray("Hi50") << 0u << true << "1080i50";
}

void TestDisplayMode::naming()
{
    QFETCH(QByteArray, mode);
    QFETCH(uint, flags);
    QFETCH(bool, shortName);
    QFETCH(QString, expected);

    const QMap<uint32_t, DisplayMode> table = standardModes();
    const DisplayMode displayMode = table.value(code(mode));
    QVERIFY(displayMode.isValid());
    QCOMPARE(shortName ? displayMode.getShortName(flags) : displayMode.getName(flags), expected);
}

void TestDisplayMode::modeWithoutName()
{
    // A mode the library cannot name stays nameless whatever the flags.
    const DisplayMode mode = takeMode(new FakeDisplayMode("ntsp", nullptr, 720, 486, 1001, 60000, kZeltraFieldProgressive));
    QCOMPARE(mode.getName(3), QString());
    QCOMPARE(mode.getShortName(0), QString());
    QCOMPARE(DisplayMode().getName(3), QString());
}

void TestDisplayMode::displayOrder()
{
    const QMap<uint32_t, DisplayMode> table = standardModes();
    std::vector<DisplayMode> modes(table.cbegin(), table.cend());
    std::reverse(modes.begin(), modes.end());
    std::stable_sort(modes.begin(), modes.end(), DisplayModesDisplayOrderSort);

    QStringList order;
    for (const DisplayMode& mode : modes)
        order << QString::fromLatin1(text(mode.getModeId()));
    const auto position = [&](const char* id) { return order.indexOf(QString::fromLatin1(id)); };

    // SD before 720 before 1080 before 2K before UHD.
    QVERIFY(position("pal ") < position("hp50"));
    QVERIFY(position("hp59") < position("23ps"));
    QVERIFY(position("Hp50") < position("2k24"));
    QVERIFY(position("2k25") < position("4k24"));
    // At one size: progressive in ascending whole rates, then interlaced,
    // so 1080p30 comes before 1080i59.94 and 1080p50 before 1080i50.
    QVERIFY(position("24ps") < position("Hp25"));
    QVERIFY(position("Hp25") < position("Hp30"));
    QVERIFY(position("Hp30") < position("Hi59"));
    QVERIFY(position("Hp50") < position("Hi50"));
    QVERIFY(position("Hi50") < position("Hi59"));
    // NTSC (486 lines) is smaller than PAL (576 lines).
    QVERIFY(position("ntsp") < position("pal "));
}

void TestDisplayMode::displayOrderToleratesBadRates()
{
    // A library that reports a zero or negative duration must not crash the
    // sort; such a mode counts as rate 0.
    const QMap<uint32_t, DisplayMode> table = modeTable({
        new FakeDisplayMode("Hp30", "1080p30", 1920, 1080, 1000, 30000, kZeltraFieldProgressive),
        new FakeDisplayMode("bad0", "zero", 1920, 1080, 0, 30000, kZeltraFieldProgressive),
        new FakeDisplayMode("bad1", "negative", 1920, 1080, -1, 30000, kZeltraFieldProgressive),
        new FakeDisplayMode("huge", "huge", 1920, 1080, 1, INT64_MAX, kZeltraFieldProgressive),
    });
    QCOMPARE(table.value(code("bad0")).getWholeFrameRate(), 0u);
    QCOMPARE(table.value(code("bad1")).getWholeFrameRate(), 0u);
    std::vector<DisplayMode> modes(table.cbegin(), table.cend());
    std::sort(modes.begin(), modes.end(), DisplayModesDisplayOrderSort);
    QCOMPARE(modes.back().getModeId(), code("huge"));
}

void TestDisplayMode::outputMapping_data()
{
    QTest::addColumn<uint>("connection");
    QTest::addColumn<QByteArray>("mode");
    QTest::addColumn<QByteArray>("conversion");
    QTest::addColumn<bool>("hasSetting");
    QTest::addColumn<bool>("allAnalog");
    QTest::addColumn<QByteArray>("expected");

    // Analog outputs follow a down-conversion only when all analog outputs
    // down-convert.
    QTest::newRow("component, letterbox, not all analog") << 8u << QByteArray("Hi59") << QByteArray("HWlb") << true << false << QByteArray("Hi59");
    QTest::newRow("component, letterbox, all analog") << 8u << QByteArray("Hi59") << QByteArray("HWlb") << true << true << QByteArray("ntsc");
    QTest::newRow("composite, anamorphic, all analog") << 16u << QByteArray("Hp50") << QByteArray("HWam") << false << true << QByteArray("pal ");
    // Without a conversion, component carries HD interlaced and no 2K.
    QTest::newRow("component, UHD 24") << 8u << QByteArray("4k24") << QByteArray("none") << true << false << QByteArray("24ps");
    QTest::newRow("component, 1080p50") << 8u << QByteArray("Hp50") << QByteArray("none") << true << false << QByteArray("Hi50");
    QTest::newRow("component, 2K") << 8u << QByteArray("2k24") << QByteArray("none") << true << false << QByteArray("iunk");
    QTest::newRow("component, 1080p25 kept") << 8u << QByteArray("Hp25") << QByteArray("none") << true << false << QByteArray("Hp25");
    // Composite and S-Video carry SD only.
    QTest::newRow("composite, HD") << 16u << QByteArray("Hp25") << QByteArray("none") << true << false << QByteArray("iunk");
    QTest::newRow("S-Video, PAL p") << 32u << QByteArray("palp") << QByteArray("none") << true << false << QByteArray("palp");
    // HDMI shows the output mode whatever the conversion.
    QTest::newRow("HDMI ignores conversion") << 2u << QByteArray("Hi59") << QByteArray("HWlb") << true << true << QByteArray("Hi59");
    // Digital outputs: the down-conversion set, by card kind.
    QTest::newRow("SDI down, 1080p30, with setting") << 1u << QByteArray("Hp30") << QByteArray("h2sd") << true << false << QByteArray("ntsc");
    QTest::newRow("SDI down, 1080p30, without setting") << 1u << QByteArray("Hp30") << QByteArray("h2sd") << false << false << QByteArray("Hp30");
    QTest::newRow("SDI down, 1080p24, with setting") << 1u << QByteArray("24ps") << QByteArray("ltbx") << true << false << QByteArray("pal ");
    QTest::newRow("SDI down keeps DCI 23.98") << 1u << QByteArray("H23d") << QByteArray("amph") << true << false << QByteArray("H23d");
    QTest::newRow("SDI down, 720p59.94") << 1u << QByteArray("hp59") << QByteArray("HWcc") << false << false << QByteArray("ntsc");
    // Other conversions on digital outputs.
    QTest::newRow("720 to 1080 cross") << 1u << QByteArray("hp50") << QByteArray("720c") << true << false << QByteArray("Hi50");
    QTest::newRow("UHD down to HD") << 4u << QByteArray("4k59") << QByteArray("HWud") << true << false << QByteArray("Hp59");
    QTest::newRow("SD up to 1080i") << 1u << QByteArray("ntsc") << QByteArray("ua1i") << true << false << QByteArray("Hi59");
    QTest::newRow("SD up to 720p") << 1u << QByteArray("pal ") << QByteArray("up7p") << true << false << QByteArray("hp50");
    QTest::newRow("up-conversion leaves HD") << 1u << QByteArray("Hp25") << QByteArray("u41i") << true << false << QByteArray("Hp25");
    QTest::newRow("unknown conversion") << 1u << QByteArray("Hp25") << QByteArray("zzzz") << true << false << QByteArray("Hp25");
}

void TestDisplayMode::outputMapping()
{
    QFETCH(uint, connection);
    QFETCH(QByteArray, mode);
    QFETCH(QByteArray, conversion);
    QFETCH(bool, hasSetting);
    QFETCH(bool, allAnalog);
    QFETCH(QByteArray, expected);

    QCOMPARE(text(mapOutputDisplayMode(connection, code(mode), code(conversion), hasSetting, allAnalog)), expected);
}

void TestDisplayMode::connectionNaming_data()
{
    QTest::addColumn<uint>("connection");
    QTest::addColumn<QByteArray>("mode");
    QTest::addColumn<uint>("flags");
    QTest::addColumn<QString>("expected");

    QTest::newRow("SDI 1080p25") << 1u << QByteArray("Hp25") << 0u << "1080p25";
    QTest::newRow("SDI PsF keeps PsF") << 1u << QByteArray("Hp25") << 1u << "1080PsF25";
    QTest::newRow("SDI NTSC short name") << 1u << QByteArray("ntsp") << 0u << "NTSC";
    QTest::newRow("mode not in table") << 1u << QByteArray("4k60") << 0u << "-";
    QTest::newRow("unknown mode") << 1u << QByteArray("iunk") << 0u << "-";
    // HDMI shows a 2048-wide mode as the 1920-wide mode of its rate.
    QTest::newRow("HDMI 2K 24p") << 2u << QByteArray("2k24") << 0u << "1080p24";
    QTest::newRow("HDMI 2K 25p") << 2u << QByteArray("2k25") << 0u << "1080p25";
    // HDMI has no PsF: 25/29.97/30 go out interlaced, 23.98/24 progressive.
    QTest::newRow("HDMI PsF 25") << 2u << QByteArray("Hp25") << 1u << "1080i50";
    QTest::newRow("HDMI PsF 29.97") << 2u << QByteArray("Hp29") << 1u << "1080i59.94";
    QTest::newRow("HDMI PsF 24") << 2u << QByteArray("24ps") << 1u << "1080p24";
    QTest::newRow("HDMI PsF 50 has no form") << 2u << QByteArray("Hp50") << 1u << "-";
    QTest::newRow("HDMI PsF 30 without interlaced mode") << 2u << QByteArray("Hp30") << 1u << "-";
    QTest::newRow("HDMI 3D kept") << 2u << QByteArray("Hp25") << 2u << "1080p25 3D";
    // Component: no 3D, nothing wider than 1920, no 1080 above 30.
    QTest::newRow("component 1080p30") << 8u << QByteArray("Hp30") << 0u << "1080p30";
    QTest::newRow("component 1080p50") << 8u << QByteArray("Hp50") << 0u << "-";
    QTest::newRow("component 2K") << 8u << QByteArray("2k24") << 0u << "-";
    QTest::newRow("component 3D") << 8u << QByteArray("Hp25") << 2u << "-";
    QTest::newRow("component 720p50") << 8u << QByteArray("hp50") << 0u << "720p50";
    // Composite and S-Video: SD only.
    QTest::newRow("composite HD") << 16u << QByteArray("Hp25") << 0u << "-";
    QTest::newRow("composite PAL") << 16u << QByteArray("pal ") << 0u << "PAL";
    QTest::newRow("S-Video 720p") << 32u << QByteArray("hp50") << 0u << "-";
}

void TestDisplayMode::connectionNaming()
{
    QFETCH(uint, connection);
    QFETCH(QByteArray, mode);
    QFETCH(uint, flags);
    QFETCH(QString, expected);

    QCOMPARE(formatDisplayMode(connection, code(mode), flags, standardModes()), expected);
}

void TestDisplayMode::hdmiWithoutMatchingMode()
{
    // A 2K mode whose rate has no 1920-wide progressive twin shows nothing.
    const QMap<uint32_t, DisplayMode> table = modeTable({
        new FakeDisplayMode("2k24", "2K DCI 24p", 2048, 1080, 1000, 24000, kZeltraFieldProgressive),
        new FakeDisplayMode("Hi50", "1080i50", 1920, 1080, 1000, 25000, kZeltraFieldUpper),
    });
    QCOMPARE(formatDisplayMode(2, code("2k24"), 0, table), QStringLiteral("-"));
    QCOMPARE(formatDisplayMode(1, code("2k24"), 0, table), QStringLiteral("2K DCI 24p"));
}

QTEST_GUILESS_MAIN(TestDisplayMode)
#include "tst_displaymode.moc"
