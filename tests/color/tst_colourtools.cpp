// The colour tools: the contrast fixer, the colour-vision simulation, and the CSS and program-code
// forms of a colour read back by the paste.

#include "color/ColorCode.h"
#include "color/ColourVision.h"
#include "color/Contrast.h"
#include "color/ContrastFix.h"
#include "color/CssCode.h"

#include <QElapsedTimer>
#include <QTest>

using RGB = std::array<int, 3>;
using Outcome = ContrastFix::Outcome;
Q_DECLARE_METATYPE(RGB)
Q_DECLARE_METATYPE(ContrastFix::Outcome)
Q_DECLARE_METATYPE(ColourVision)

namespace {

Rgb rgb(RGB c) {
    return Rgb{c[0], c[1], c[2]};
}

RGB arr(Rgb c) {
    return RGB{c.r, c.g, c.b};
}

RGB pasted(const QString& code) {
    const ColorCodeReading read = ParseColorCode(code);
    return read.colour ? arr(*read.colour) : RGB{-1, -1, -1};
}

} // namespace

class ColourToolsTest : public QObject {
    Q_OBJECT

private slots:
    void fixContrast_data() {
        QTest::addColumn<RGB>("edited");
        QTest::addColumn<RGB>("other");
        QTest::addColumn<bool>("grid216");
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<int>("target");
        QTest::addColumn<RGB>("colour");
        QTest::addColumn<int>("tenths");
        QTest::addColumn<RGB>("nearer"); // one step nearer on the same way, short of the target
        const auto row = [](const char* name, RGB edited, RGB other, bool grid216, Outcome outcome, int target,
                            RGB colour, int tenths, RGB nearer = {-1, -1, -1}) {
            QTest::newRow(name) << edited << other << grid216 << outcome << target << colour << tenths << nearer;
        };
        const Outcome changed = Outcome::Changed, aaa = Outcome::AlreadyAaa, unreachable = Outcome::Unreachable;
        const RGB white{255, 255, 255}, black{0, 0, 0}, red{255, 0, 0}, g100{100, 100, 100}, g117{117, 117, 117};
        const RGB g118{118, 118, 118}, g119{119, 119, 119}, g89{89, 89, 89}, g102{102, 102, 102}, g153{153, 153, 153};
        // Text on white: the worked rows.
        row("#777777, 4.4 -> AA", g119, white, false, changed, 45, g118, 45);
        row("white on white", white, white, false, changed, 45, g118, 45, g119);
        row("#FF0000 -> darker red", red, white, false, changed, 45, {238, 0, 0}, 45, {239, 0, 0});
        row("#00FF00 -> darker green", {0, 255, 0}, white, false, changed, 45, {0, 138, 0}, 45, {0, 139, 0});
        // Mixed colours: each channel rounded to the nearest level on the way, not cut down.
        row("#FF8000 -> darker orange", {255, 128, 0}, white, false, changed, 45, {187, 92, 0}, 45);
        row("#3244D7 -> AAA, levels rounded", {50, 68, 215}, {215, 233, 241}, false, changed, 70, {41, 51, 199}, 70);
        // AA already: on to AAA; AAA already: nothing, also at exactly 7.0.
        row("#767676 AA -> AAA", g118, white, false, changed, 70, g89, 70);
        row("#5A5A5A 6.8 -> AAA", {90, 90, 90}, white, false, changed, 70, g89, 70);
        row("#595959 7.0, nothing", g89, white, false, aaa, 0, g89, 70);
        row("black, nothing", black, white, false, aaa, 0, black, 210);
        // Lighter text on a dark background; across the other colour where only that way reaches.
        row("#888888 on black -> AAA", {136, 136, 136}, black, false, changed, 70, {149, 149, 149}, 70,
            {148, 148, 148});
        row("black on #646464 -> light", black, g100, false, changed, 45, {225, 225, 225}, 45, {224, 224, 224});
        // Both ways reach 4.5:1 against #757575: the smaller change wins.
        row("#404040 on #757575 -> darker", {64, 64, 64}, g117, false, changed, 45, {2, 2, 2}, 45, {3, 3, 3});
        row("#B0B0B0 on #757575 -> lighter", {176, 176, 176}, g117, false, changed, 45, {253, 253, 253}, 45,
            {252, 252, 252});
        // 7:1 beyond reach: the best ratio and the colour that gives it, black or white.
        row("on #777777, black best", black, g119, false, unreachable, 70, black, 46);
        row("on #646464, white best", white, g100, false, unreachable, 70, white, 59);
        // 216-colour mode: only colours of the grid.
        row("216 #999999 -> #666666", g153, white, true, changed, 45, g102, 57);
        row("216 white on white", white, white, true, changed, 45, g102, 57, g153);
        row("216 red", red, white, true, changed, 45, {204, 0, 0}, 58);
        row("216 #FF9900 -> #996600", {255, 153, 0}, white, true, changed, 45, {153, 102, 0}, 49);
        row("216 #3399FF -> #0066CC", {51, 153, 255}, white, true, changed, 45, {0, 102, 204}, 55);
        row("216 #660033 stays pink", {102, 0, 51}, {61, 22, 57}, true, changed, 45, {255, 102, 153}, 55);
        row("216 #666666 -> AAA", g102, white, true, changed, 70, {51, 51, 51}, 126);
        // Lighter on the grid: rounding the 8-bit answer down to the grid (#666666, 3.6:1) would lose AA.
        row("216 #333333 on black -> #999999", {51, 51, 51}, black, true, changed, 45, g153, 73, g102);
    }
    void fixContrast() {
        QFETCH(RGB, edited);
        QFETCH(RGB, other);
        QFETCH(bool, grid216);
        QFETCH(Outcome, outcome);
        QFETCH(int, target);
        QFETCH(RGB, colour);
        QFETCH(int, tenths);
        QFETCH(RGB, nearer);
        const ContrastFix fix = FixContrast(rgb(edited), rgb(other), grid216);
        QCOMPARE(fix.outcome, outcome);
        QCOMPARE(fix.targetTenths, target);
        QCOMPARE(arr(fix.colour), colour);
        QCOMPARE(fix.tenths, tenths);
        if (nearer[0] >= 0) {
            QVERIFY(ContrastTenths(rgb(nearer), rgb(other)) < target);
        }
    }

    void fixKeepsTheHueOfPureColours() {
        // A pure colour darkens along its own line to black, (k, 0, 0) for red: the darkest
        // colour that reaches 4.5:1 on white is on that line, and the next lighter one is not.
        for (const RGB pure : {RGB{255, 0, 0}, RGB{0, 255, 0}, RGB{255, 255, 0}, RGB{0, 255, 255}, RGB{255, 0, 255}}) {
            const Rgb fixed = FixContrast(rgb(pure), Rgb{255, 255, 255}, false).colour;
            const int k = std::max({fixed.r, fixed.g, fixed.b});
            const auto onLine = [&](int level) {
                return Rgb{pure[0] ? level : 0, pure[1] ? level : 0, pure[2] ? level : 0};
            };
            QCOMPARE(arr(fixed), arr(onLine(k)));
            QVERIFY2(ContrastRatio(fixed, Rgb{255, 255, 255}) >= 4.5, qPrintable(QString::number(k)));
            QVERIFY(ContrastTenths(onLine(k + 1), Rgb{255, 255, 255}) < 45);
        }
    }

    void simulation_data() {
        // Computed once from the matrices printed in the paper's supplement: each level through
        // the sRGB transfer function to linear light, times the matrix, clipped to 0..1 and back.
        QTest::addColumn<ColourVision>("vision");
        QTest::addColumn<RGB>("colour");
        QTest::addColumn<RGB>("seen");
        const RGB blue{0x33, 0x66, 0xCC};
        QTest::addRow("none") << ColourVision::None << blue << blue;
        QTest::addRow("protan red") << ColourVision::Protan << RGB{255, 0, 0} << RGB{109, 95, 0};
        QTest::addRow("protan #3366CC") << ColourVision::Protan << blue << RGB{40, 114, 208};
        QTest::addRow("deutan red") << ColourVision::Deutan << RGB{255, 0, 0} << RGB{163, 144, 0};
        QTest::addRow("deutan green") << ColourVision::Deutan << RGB{0, 255, 0} << RGB{239, 214, 58};
        QTest::addRow("tritan blue") << ColourVision::Tritan << RGB{0, 0, 255} << RGB{0, 107, 150};
        QTest::addRow("tritan orange") << ColourVision::Tritan << RGB{255, 128, 0} << RGB{255, 98, 109};
        QTest::addRow("achromat #3366CC") << ColourVision::Achromat << blue << RGB{107, 107, 107};
    }
    void simulation() {
        QFETCH(ColourVision, vision);
        QFETCH(RGB, colour);
        QFETCH(RGB, seen);
        QCOMPARE(arr(SimulatedColour(rgb(colour), vision)), seen);
    }

    void simulationKeepsGreysAndLuminance() {
        for (const ColourVision vision : {ColourVision::Protan, ColourVision::Deutan, ColourVision::Tritan}) {
            QCOMPARE(arr(SimulatedColour(Rgb{0, 0, 0}, vision)), (RGB{0, 0, 0}));
            QCOMPARE(arr(SimulatedColour(Rgb{255, 255, 255}, vision)), (RGB{255, 255, 255}));
            for (int v = 0; v < 256; ++v) {
                const Rgb seen = SimulatedColour(Rgb{v, v, v}, vision);
                QVERIFY2(std::abs(seen.r - v) <= 1 && std::abs(seen.g - v) <= 1 && std::abs(seen.b - v) <= 1,
                         qPrintable(QString::number(v)));
            }
        }
        // Achromatopsia: a grey within one level of the colour's relative luminance.
        for (int c = 0; c < 256 * 256 * 256; c += 4099) {
            const Rgb colour{c & 0xFF, (c >> 8) & 0xFF, c >> 16};
            const Rgb grey = SimulatedColour(colour, ColourVision::Achromat);
            const int v = grey.r;
            const double y = RelativeLuminance(colour);
            QVERIFY(grey.g == v && grey.b == v);
            QVERIFY2(RelativeLuminance(Rgb{v - 1, v - 1, v - 1}) <= y || v == 0, qPrintable(QString::number(c)));
            QVERIFY2(RelativeLuminance(Rgb{v + 1, v + 1, v + 1}) >= y || v == 255, qPrintable(QString::number(c)));
        }
    }

    void confusion_data() {
        // Pairs on one confusion line through a grey: the one dichromat sees them alike, the
        // other red-green dichromat does not.
        QTest::addColumn<ColourVision>("vision");
        QTest::addColumn<ColourVision>("otherVision");
        QTest::addColumn<RGB>("a");
        QTest::addColumn<RGB>("b");
        QTest::addRow("protan") << ColourVision::Protan << ColourVision::Deutan << RGB{1, 95, 89} << RGB{208, 42, 88};
        QTest::addRow("deutan") << ColourVision::Deutan << ColourVision::Protan << RGB{0, 105, 88} << RGB{157, 0, 92};
    }
    void confusion() {
        QFETCH(ColourVision, vision);
        QFETCH(ColourVision, otherVision);
        QFETCH(RGB, a);
        QFETCH(RGB, b);
        const auto apart = [&](ColourVision v) {
            const Rgb x = SimulatedColour(rgb(a), v), y = SimulatedColour(rgb(b), v);
            return std::max({std::abs(x.r - y.r), std::abs(x.g - y.g), std::abs(x.b - y.b)});
        };
        QVERIFY(apart(vision) <= 1);
        QVERIFY(apart(otherVision) > 30);
        QVERIFY(apart(ColourVision::None) > 100);
    }

    void formats_data() {
        QTest::addColumn<RGB>("colour");
        QTest::addColumn<QString>("rgbCode");
        QTest::addColumn<QString>("hslCode");
        QTest::addColumn<QString>("hexCode");
        const auto row = [](const char* name, RGB colour, const char* rgbCode, const char* hslCode, const char* hex) {
            QTest::newRow(name) << colour << QString(rgbCode) << QString(hslCode) << QString(hex);
        };
        row("orange", {255, 128, 0}, "rgb(255, 128, 0)", "hsl(30, 100%, 50%)", "0xFF8000");
        row("black", {0, 0, 0}, "rgb(0, 0, 0)", "hsl(0, 0%, 0%)", "0x000000");
        row("white", {255, 255, 255}, "rgb(255, 255, 255)", "hsl(0, 0%, 100%)", "0xFFFFFF");
        row("grey, one decimal", {119, 119, 119}, "rgb(119, 119, 119)", "hsl(0, 0%, 46.7%)", "0x777777");
        row("one decimal, zeros cut", {254, 1, 0}, "rgb(254, 1, 0)", "hsl(0.2, 100%, 49.8%)", "0xFE0100");
        row("hue near 360", {255, 0, 1}, "rgb(255, 0, 1)", "hsl(359.8, 100%, 50%)", "0xFF0001");
        row("low digits", {1, 2, 3}, "rgb(1, 2, 3)", "hsl(210, 50%, 0.8%)", "0x010203");
        row("hue decimal", {0x7F, 0x00, 0x80}, "rgb(127, 0, 128)", "hsl(299.5, 100%, 25.1%)", "0x7F0080");
    }
    void formats() {
        QFETCH(RGB, colour);
        QFETCH(QString, rgbCode);
        QFETCH(QString, hslCode);
        QFETCH(QString, hexCode);
        const Rgb c = rgb(colour);
        QCOMPARE(CssRgbCode(c), rgbCode);
        QCOMPARE(CssHslCode(c), hslCode);
        QCOMPARE(HexLiteralCode(c), hexCode);
        // Every copy format pastes back to the colour.
        QString r, g, b;
        WriteHexDigits(r, c.r);
        WriteHexDigits(g, c.g);
        WriteHexDigits(b, c.b);
        for (const QString& code : {ColorCode(r, g, b, CopyFormat::PlainHex), ColorCode(r, g, b, CopyFormat::Html),
                                    ColorCode(r, g, b, CopyFormat::AmpH), rgbCode, hslCode, hexCode}) {
            QVERIFY2(pasted(code) == colour, qPrintable(code));
        }
    }

    void hslOfEveryColourPastesBack() {
        // All 16,777,216 colours, or every 17th under the address sanitizer, whose slower
        // strings would take minutes over all of them.
#ifdef __SANITIZE_ADDRESS__
        constexpr int stride = 17;
#else
        constexpr int stride = 1;
#endif
        QElapsedTimer clock;
        clock.start();
        int failures = 0, mostDecimals = 0;
        QString firstFailure;
        for (int c = 0; c < 1 << 24; c += stride) {
            const Rgb colour{c >> 16, (c >> 8) & 0xFF, c & 0xFF};
            const QString code = CssHslCode(colour);
            const ColorCodeReading read = ParseColorCode(code);
            if (!read.colour || *read.colour != colour) {
                if (failures++ == 0) {
                    firstFailure = code;
                }
            }
            int run = -1; // digits since the last point, -1 outside decimals
            for (const QChar ch : code) {
                run = ch == u'.' ? 0 : (run >= 0 && ch.isDigit()) ? run + 1 : -1;
                mostDecimals = std::max(mostDecimals, run);
            }
        }
        qInfo("%d colours in %lld ms", (1 << 24) / stride, static_cast<long long>(clock.elapsed()));
        QVERIFY2(failures == 0, qPrintable(QStringLiteral("%1 failures, first %2").arg(failures).arg(firstFailure)));
        QCOMPARE(mostDecimals, 1);
    }
};

QTEST_GUILESS_MAIN(ColourToolsTest)
#include "tst_colourtools.moc"
