// The 16 swatches: the colour rule, picking and registering with the mouse, switching between
// My palette and the basic palette, and what a foreign palette file's odd values do to them.

#include "palette/PaletteFile.h"
#include "palette/PaletteTable.h"
#include "support/TestWindow.h"

#include <QTest>
#include <optional>

using RGB = std::array<int, 3>;
using Stored = std::array<std::int32_t, 3>;
Q_DECLARE_METATYPE(RGB)
Q_DECLARE_METATYPE(std::optional<std::int32_t>)

namespace {

void setSliders(frmColor& f, RGB rgb) {
    for (std::size_t i = 0; i < 3; ++i) {
        f.VScrColor[i]->setValue(rgb[i]);
    }
}

RGB entry(const PaletteTable& table, int i) {
    return {table.at(i, 0), table.at(i, 1), table.at(i, 2)};
}

std::array<std::int32_t, 16> swatchColours(const frmColor& f) {
    std::array<std::int32_t, 16> colours{};
    for (std::size_t i = 0; i < 16; ++i) {
        colours[i] = f.lblPallete[i]->BackColor();
    }
    return colours;
}

// Loads a palette file written into the program folder into My palette the way a user does:
// the load button, the file in the list, the load button of the panel.
void loadThroughPanel(TestWindow& t, const QString& name, const PaletteTable& table) {
    t.writeFile(name, PaletteFile::encode(table));
    frmColor& f = *t.frm;
    TestWindow::click(f.cmdColor[1]);
    QVERIFY(t.m().FilePanelOpen);
    // The only file: opening selected and previewed it.
    QCOMPARE(f.FilPallete->ListCount(), 1);
    QCOMPARE(f.FilPallete->List(0), name);
    TestWindow::click(f.cmdOK);
    QVERIFY(!t.m().FilePanelOpen);
    QCOMPARE(t.m().MyPalette, table);
}

PaletteTable whiteWith(int i, std::int32_t r, std::int32_t g, std::int32_t b) {
    PaletteTable table;
    table.fill(255, 255, 255);
    table.setEntry(i, r, g, b);
    return table;
}

} // namespace

class SwatchesTest : public QObject {
    Q_OBJECT

private slots:
    void colourRule_data();
    void colourRule();
    void leftClickPicks_data();
    void leftClickPicks();
    void rightClickRegistersSliderColour();
    void textColourRegisteredThenTakenByBackground();
    void basicPaletteCannotBeChanged();
    void middleButtonDoesNothing();
    void registrationSurvivesSwitches();
    void choosingShownPaletteAgainRepaints();
    void paintingLeavesCurrentColourAlone();
    void overflowStopsPaintingAtFailingSwatch();
    void outOfRangePickMovesNoSlider_data();
    void outOfRangePickMovesNoSlider();
};

void SwatchesTest::colourRule_data() {
    QTest::addColumn<int>("r");
    QTest::addColumn<int>("g");
    QTest::addColumn<int>("b");
    QTest::addColumn<std::optional<std::int32_t>>("colour"); // none: overflow

    using C = std::optional<std::int32_t>;
    QTest::newRow("orange &H0080FF") << 255 << 128 << 0 << C(33023);
    QTest::newRow("black") << 0 << 0 << 0 << C(0);
    QTest::newRow("single digits padded") << 1 << 2 << 10 << C(0x0A0201);
    QTest::newRow("red 256 &H0000100") << 256 << 0 << 0 << C(256);
    QTest::newRow("green 256 is 65536") << 0 << 256 << 0 << C(0x10000);
    QTest::newRow("blue 256, seven digits") << 0 << 0 << 256 << C(0x1000000);
    QTest::newRow("red 0x10000 shifts into blue") << 0x10000 << 0 << 0 << C(0x10000);
    QTest::newRow("blue 4096, exactly eight digits") << 0 << 0 << 4096 << C(0x10000000);
    QTest::newRow("blue 0x8000 sets the sign bit") << 0 << 0 << 0x8000 << C(INT32_MIN);
    QTest::newRow("red 0x7FFFFFFF") << 0x7FFFFFFF << 0 << 0 << C(0x7FFFFFFF);
    QTest::newRow("red -1, FFFFFFFF alone fits") << -1 << 0 << 0 << C(-1);
    QTest::newRow("red -256, FFFFFF00") << -256 << 0 << 0 << C(-256);
    QTest::newRow("blue 65536, nine digits") << 0 << 0 << 0x10000 << C();
    QTest::newRow("green 0x1000000, nine digits") << 0 << 0x1000000 << 0 << C();
    QTest::newRow("red -1 behind green 1") << -1 << 1 << 0 << C();
    QTest::newRow("green -1") << 0 << -1 << 0 << C();
    QTest::newRow("blue -1") << 5 << 0 << -1 << C();
    QTest::newRow("all 256") << 256 << 256 << 256 << C();
}

void SwatchesTest::colourRule() {
    QFETCH(int, r);
    QFETCH(int, g);
    QFETCH(int, b);
    QFETCH(std::optional<std::int32_t>, colour);
    if (colour) {
        QCOMPARE(SwatchColor(r, g, b), *colour);
        return;
    }
    try {
        SwatchColor(r, g, b);
        QFAIL("no overflow");
    } catch (const AppError& error) {
        // The message names the entry's values.
        for (int v : {r, g, b}) {
            QVERIFY2(error.message().contains(QString::number(v)), qPrintable(error.message()));
        }
    }
}

void SwatchesTest::leftClickPicks_data() {
    QTest::addColumn<bool>("basic");
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("mode216");
    QTest::addColumn<RGB>("picked");
    QTest::addColumn<QString>("hex");

    QTest::newRow("my palette, never registered: white")
        << false << 7 << false << RGB{255, 255, 255} << QStringLiteral("FFFFFF");
    QTest::newRow("basic navy") << true << 1 << false << RGB{0, 0, 128} << QStringLiteral("000080");
    QTest::newRow("basic olive") << true << 9 << false << RGB{128, 128, 0} << QStringLiteral("808000");
    QTest::newRow("basic silver in 216 colours snaps down")
        << true << 11 << true << RGB{153, 153, 153} << QStringLiteral("999999");
}

void SwatchesTest::leftClickPicks() {
    QFETCH(bool, basic);
    QFETCH(int, index);
    QFETCH(bool, mode216);
    QFETCH(RGB, picked);
    QFETCH(QString, hex);
    TestWindow t;
    frmColor& f = *t.frm;
    if (mode216) {
        f.mnu_Color_216->trigger();
    }
    setSliders(f, {0, 51, 102});
    if (basic) {
        f.mnu_pallete[0]->trigger();
    }
    TestWindow::press(f.lblPallete[static_cast<std::size_t>(index)], Qt::LeftButton);

    QCOMPARE(t.sliders(), picked);
    QCOMPARE(t.m().BackgroundRGB, (Stored{picked[0], picked[1], picked[2]}));
    QCOMPARE(t.m().TextRGB, (Stored{0, 0, 0}));
    const std::int32_t packed = picked[0] + 256 * picked[1] + 65536 * picked[2];
    QCOMPARE(f.txtColor->BackColor(), packed);
    QCOMPARE(f.lblHex->Caption(), hex);
    QCOMPARE(f.lblExplain->Caption(), QStringLiteral("(R%1－G%2－B%3)").arg(picked[0]).arg(picked[1]).arg(picked[2]));
    QVERIFY(t.os.messageBoxes.isEmpty());
}

void SwatchesTest::rightClickRegistersSliderColour() {
    TestWindow t;
    frmColor& f = *t.frm;
    setSliders(f, {18, 52, 86});
    const QString hex = f.lblHex->Caption();
    TestWindow::press(f.lblPallete[4], Qt::RightButton);

    QCOMPARE(entry(t.m().PaletteView, 4), (RGB{18, 52, 86}));
    QCOMPARE(entry(t.m().MyPalette, 4), (RGB{18, 52, 86}));
    QCOMPARE(f.lblPallete[4]->BackColor(), 0x563412);
    // Only that entry; the colour being edited and its display stay.
    QCOMPARE(t.m().MyPalette, whiteWith(4, 18, 52, 86));
    QCOMPARE(t.sliders(), (RGB{18, 52, 86}));
    QCOMPARE(f.lblHex->Caption(), hex);
    QCOMPARE(f.lblPallete[3]->BackColor(), 0xFFFFFF);

    // Registering again over the same swatch replaces it.
    setSliders(f, {1, 2, 3});
    TestWindow::press(f.lblPallete[4], Qt::RightButton);
    QCOMPARE(t.m().MyPalette, whiteWith(4, 1, 2, 3));
    QCOMPARE(t.m().PaletteView, t.m().MyPalette);
}

void SwatchesTest::textColourRegisteredThenTakenByBackground() {
    TestWindow t;
    frmColor& f = *t.frm;
    setSliders(f, {200, 100, 50}); // background
    TestWindow::click(f.optColor[1]);
    QVERIFY(!t.m().EditingBackground);
    setSliders(f, {10, 20, 30}); // text colour
    TestWindow::press(f.lblPallete[0], Qt::RightButton);
    QCOMPARE(entry(t.m().MyPalette, 0), (RGB{10, 20, 30}));
    QCOMPARE(t.m().BackgroundRGB, (Stored{200, 100, 50}));

    TestWindow::click(f.optColor[0]);
    QCOMPARE(t.sliders(), (RGB{200, 100, 50}));
    TestWindow::press(f.lblPallete[0], Qt::LeftButton);
    QCOMPARE(t.m().BackgroundRGB, (Stored{10, 20, 30}));
    QCOMPARE(t.m().TextRGB, (Stored{10, 20, 30}));
    QCOMPARE(f.txtColor->BackColor(), 0x1E140A);
    QCOMPARE(f.txtColor->ForeColor(), 0x1E140A);
}

void SwatchesTest::basicPaletteCannotBeChanged() {
    TestWindow t;
    frmColor& f = *t.frm;
    f.mnu_pallete[0]->trigger();
    const auto before = swatchColours(f);
    const PaletteTable basic = t.m().BasicPalette;
    setSliders(f, {1, 2, 3});
    TestWindow::press(f.lblPallete[2], Qt::RightButton);
    QCOMPARE(swatchColours(f), before);
    QCOMPARE(t.m().BasicPalette, basic);
    QCOMPARE(t.m().MyPalette, whiteWith(0, 255, 255, 255));
    QCOMPARE(t.m().PaletteView, t.m().MyPalette);
    QCOMPARE(t.sliders(), (RGB{1, 2, 3}));
}

void SwatchesTest::middleButtonDoesNothing() {
    TestWindow t;
    frmColor& f = *t.frm;
    setSliders(f, {1, 2, 3});
    for (bool basic : {false, true}) {
        if (basic) {
            f.mnu_pallete[0]->trigger();
        }
        const auto before = swatchColours(f);
        TestWindow::press(f.lblPallete[12], Qt::MiddleButton);
        QCOMPARE(t.sliders(), (RGB{1, 2, 3}));
        QCOMPARE(t.m().BackgroundRGB, (Stored{1, 2, 3}));
        QCOMPARE(swatchColours(f), before);
        QCOMPARE(t.m().MyPalette, whiteWith(0, 255, 255, 255));
    }
    QVERIFY(t.os.messageBoxes.isEmpty());
}

void SwatchesTest::registrationSurvivesSwitches() {
    TestWindow t;
    frmColor& f = *t.frm;
    setSliders(f, {0, 128, 255});
    TestWindow::press(f.lblPallete[15], Qt::RightButton);
    f.mnu_pallete[0]->trigger();
    QCOMPARE(f.lblPallete[15]->BackColor(), 0xFFFFFF); // basic white
    QCOMPARE(f.lblPallete[1]->BackColor(), 0x800000);  // basic navy
    TestWindow::click(f.cmdColor[5]);                  // back to My palette by the toolbar
    QVERIFY(!t.m().ShowingBasicPalette);
    QCOMPARE(f.lblPallete[15]->BackColor(), 0xFF8000);
    QCOMPARE(f.lblPallete[1]->BackColor(), 0xFFFFFF);
    QCOMPARE(entry(t.m().MyPalette, 15), (RGB{0, 128, 255}));
    setSliders(f, {9, 9, 9});
    TestWindow::press(f.lblPallete[15], Qt::LeftButton);
    QCOMPARE(t.sliders(), (RGB{0, 128, 255}));
}

void SwatchesTest::choosingShownPaletteAgainRepaints() {
    TestWindow t;
    frmColor& f = *t.frm;
    f.mnu_pallete[0]->trigger();
    const auto basic = swatchColours(f);
    f.lblPallete[3]->setBackColor(0x123456);
    f.mnu_pallete[0]->trigger();
    QCOMPARE(swatchColours(f), basic);
    QVERIFY(f.mnu_pallete[0]->isChecked());
    QVERIFY(!f.mnu_pallete[1]->isChecked());
    QVERIFY(!f.cmdColor[0]->isEnabled());
    QVERIFY(!f.cmdColor[1]->isEnabled());
    QCOMPARE(f.cmdColor[5]->Picture(), 110);
    QVERIFY(t.m().ShowingBasicPalette);

    f.mnu_pallete[1]->trigger();
    f.lblPallete[3]->setBackColor(0x123456);
    f.mnu_pallete[1]->trigger();
    QCOMPARE(f.lblPallete[3]->BackColor(), 0xFFFFFF);
    QVERIFY(f.mnu_pallete[1]->isChecked());
    QVERIFY(!f.mnu_pallete[0]->isChecked());
    QVERIFY(f.cmdColor[0]->isEnabled());
    QVERIFY(f.cmdColor[1]->isEnabled());
    QCOMPARE(f.cmdColor[5]->Picture(), 111);
}

void SwatchesTest::paintingLeavesCurrentColourAlone() {
    TestWindow t;
    frmColor& f = *t.frm;
    f.mnu_Copymode[1]->trigger();
    setSliders(f, {18, 52, 86});
    QCOMPARE(f.lblHex->Caption(), QStringLiteral("#123456"));
    // A foreign entry goes through texts longer than two digits.
    loadThroughPanel(t, QStringLiteral("odd.pdt"), whiteWith(2, 256, 0x1000, 0));
    f.mnu_pallete[0]->trigger();
    f.mnu_pallete[1]->trigger();
    QCOMPARE(t.m().HexR, QStringLiteral("12"));
    QCOMPARE(t.m().HexG, QStringLiteral("34"));
    QCOMPARE(t.m().HexB, QStringLiteral("56"));
    QCOMPARE(f.lblHex->Caption(), QStringLiteral("#123456"));
    QCOMPARE(f.lblPallete[2]->BackColor(), 0x1000100); // "00" "1000" "100"
    QVERIFY(t.os.messageBoxes.isEmpty());
}

void SwatchesTest::overflowStopsPaintingAtFailingSwatch() {
    TestWindow t;
    frmColor& f = *t.frm;
    PaletteTable foreign;
    for (int i = 0; i < 16; ++i) {
        foreign.setEntry(i, i, 0, 0);
    }
    foreign.setEntry(5, 7, -1, 0); // "00" "FFFFFFFF" "07": ten digits
    loadThroughPanel(t, QStringLiteral("foreign.pdt"), foreign);
    // The preview on opening already failed at swatch 5.
    QCOMPARE(t.os.messageBoxes.size(), 1);

    t.os.messageBoxes.clear();
    f.mnu_pallete[0]->trigger();
    const auto basic = swatchColours(f);
    f.mnu_pallete[1]->trigger();
    QCOMPARE(t.os.messageBoxes.size(), 1);
    const auto& box = t.os.messageBoxes.first();
    QCOMPARE(box.style, 0);
    QVERIFY(box.title.isEmpty());
    QVERIFY2(box.text.contains(QStringLiteral("-1")) && box.text.contains(QStringLiteral("7")), qPrintable(box.text));
    for (std::size_t i = 0; i < 16; ++i) {
        QCOMPARE(f.lblPallete[i]->BackColor(), i < 5 ? static_cast<std::int32_t>(i) : basic[i]);
    }
    // The switch itself happened before the painting failed.
    QVERIFY(!t.m().ShowingBasicPalette);
    QVERIFY(f.mnu_pallete[1]->isChecked());
    QCOMPARE(t.m().PaletteView, t.m().MyPalette);
}

void SwatchesTest::outOfRangePickMovesNoSlider_data() {
    QTest::addColumn<int>("r");
    QTest::addColumn<int>("g");
    QTest::addColumn<int>("b");
    QTest::addColumn<int>("bad");

    QTest::newRow("red 256") << 256 << 0 << 0 << 256;
    QTest::newRow("blue 300 after good red and green") << 10 << 20 << 300 << 300;
    QTest::newRow("green -5") << 10 << -5 << 0 << -5;
}

void SwatchesTest::outOfRangePickMovesNoSlider() {
    QFETCH(int, r);
    QFETCH(int, g);
    QFETCH(int, b);
    QFETCH(int, bad);
    TestWindow t;
    frmColor& f = *t.frm;
    loadThroughPanel(t, QStringLiteral("foreign.pdt"), whiteWith(6, r, g, b));
    t.os.messageBoxes.clear();
    setSliders(f, {1, 2, 3});
    const QString hex = f.lblHex->Caption();

    TestWindow::press(f.lblPallete[6], Qt::LeftButton);
    QCOMPARE(t.os.messageBoxes.size(), 1);
    QCOMPARE(t.os.messageBoxes.first().style, 0);
    QVERIFY2(t.os.messageBoxes.first().text.contains(QString::number(bad)), qPrintable(t.os.messageBoxes.first().text));
    QCOMPARE(t.sliders(), (RGB{1, 2, 3}));
    QCOMPARE(t.m().BackgroundRGB, (Stored{1, 2, 3}));
    QCOMPARE(f.lblHex->Caption(), hex);

    // The good swatches beside it still pick.
    TestWindow::press(f.lblPallete[7], Qt::LeftButton);
    QCOMPARE(t.sliders(), (RGB{255, 255, 255}));
    QCOMPARE(t.os.messageBoxes.size(), 1);
}

QTEST_MAIN(SwatchesTest)
#include "tst_swatches.moc"
