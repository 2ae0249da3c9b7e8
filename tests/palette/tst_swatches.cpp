// The 16 swatches: the colour rule, picking and registering with the mouse, switching between
// My palette and the basic palette, and what a foreign palette file's odd values do to them.

#include "palette/PaletteTestSupport.h"

Q_DECLARE_METATYPE(RGB)

class SwatchesTest : public QObject {
    Q_OBJECT

private slots:
    void colourRule_data() {
        QTest::addColumn<RGB>("rgb");
        QTest::addColumn<qint64>("colour"); // more than 32 bits: overflow
        QTest::newRow("orange &H0080FF") << RGB{255, 128, 0} << 33023LL;
        QTest::newRow("red 256 paints (0, 1, 0)") << RGB{256, 0, 0} << 256LL;
        QTest::newRow("red 256 widens the text") << RGB{256, 1, 2} << 0x201100LL;
        QTest::newRow("blue 4096, exactly eight digits") << RGB{0, 0, 4096} << 0x10000000LL;
        QTest::newRow("blue 0x8000 sets the sign bit") << RGB{0, 0, 0x8000} << qint64(INT32_MIN);
        QTest::newRow("red -1, FFFFFFFF alone fits") << RGB{-1, 0, 0} << -1LL;
        QTest::newRow("blue 65536, nine digits") << RGB{0, 0, 0x10000} << (1LL << 32);
        QTest::newRow("red -1 behind green 1") << RGB{-1, 1, 0} << (1LL << 32);
        QTest::newRow("green -1") << RGB{0, -1, 0} << (1LL << 32);
    }
    void colourRule() {
        QFETCH(RGB, rgb);
        QFETCH(qint64, colour);
        if (colour == 1LL << 32) {
            QVERIFY_THROWS_EXCEPTION(AppError, SwatchColor(rgb[0], rgb[1], rgb[2]));
        } else {
            QCOMPARE(qint64(SwatchColor(rgb[0], rgb[1], rgb[2])), colour);
        }
    }

    void mouse_data() {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<bool>("basic");
        QTest::addColumn<RGB>("after"); // the sliders
        QTest::newRow("left on My palette picks white") << Qt::LeftButton << false << RGB{255, 255, 255};
        QTest::newRow("left on the basic palette picks navy") << Qt::LeftButton << true << RGB{0, 0, 128};
        QTest::newRow("right on My palette registers") << Qt::RightButton << false << RGB{18, 52, 86};
        QTest::newRow("right on the basic palette") << Qt::RightButton << true << RGB{18, 52, 86};
        QTest::newRow("middle on My palette") << Qt::MiddleButton << false << RGB{18, 52, 86};
        QTest::newRow("middle on the basic palette") << Qt::MiddleButton << true << RGB{18, 52, 86};
    }
    void mouse() {
        QFETCH(Qt::MouseButton, button);
        QFETCH(bool, basic);
        QFETCH(RGB, after);
        Fixture p;
        if (basic) {
            p.f.mnu_pallete[0]->trigger();
        }
        p.setRGB({18, 52, 86});
        const PaletteTable basicTable = p.m().BasicPalette;
        Swatches expected = p.shown();
        PaletteTable mine = Fixture::filled(255);
        if (button == Qt::RightButton && !basic) {
            mine.setEntry(1, 18, 52, 86);
            expected[1] = 0x563412;
        }
        TestWindow::press(p.f.lblPallete[1], button);
        QCOMPARE(p.shown(), expected);
        QVERIFY(p.m().MyPalette == mine && p.m().PaletteView == mine && p.m().BasicPalette == basicTable);
        QCOMPARE(p.sliders(), after);
        QCOMPARE(p.m().BackgroundRGB, (std::array<std::int32_t, 3>{after[0], after[1], after[2]}));
        QCOMPARE(p.f.lblHex->Caption(), QString::asprintf("%02X%02X%02X", after[0], after[1], after[2]));
        QVERIFY(p.boxes().isEmpty());
    }

    void registrations() {
        Fixture p;
        p.setRGB({200, 100, 50});
        TestWindow::click(p.f.optColor[1]); // the text colour is registered
        p.reg(15, {0, 128, 255});
        QCOMPARE(p.m().BackgroundRGB, (std::array<std::int32_t, 3>{200, 100, 50}));
        TestWindow::click(p.f.optColor[0]);
        // It survives switching to the basic palette and back.
        p.f.mnu_pallete[0]->trigger();
        QVERIFY(p.shows(p.m().BasicPalette));
        TestWindow::click(p.f.cmdColor[5]); // back to My palette by the toolbar
        QVERIFY(!p.m().ShowingBasicPalette && p.f.mnu_pallete[1]->isChecked() && !p.f.mnu_pallete[0]->isChecked());
        QVERIFY(p.shows(p.m().MyPalette) && p.f.lblPallete[15]->BackColor() == 0xFF8000);
        // The background, being edited, takes it with a left click.
        TestWindow::press(p.f.lblPallete[15]);
        QCOMPARE(p.m().BackgroundRGB, (std::array<std::int32_t, 3>{0, 128, 255}));
        QVERIFY(p.f.txtColor->BackColor() == 0xFF8000 && p.f.txtColor->ForeColor() == 0xFF8000);
    }

    void overflowStopsPaintingAtFailingSwatch() {
        Fixture p;
        p.setRGB({18, 52, 86});
        PaletteTable foreign;                // black
        foreign.setEntry(2, 256, 0x1000, 0); // "00" "1000" "100"
        foreign.setEntry(5, 7, -1, 0);       // "00" "FFFFFFFF" "07": ten digits
        p.f.mnu_pallete[0]->trigger();
        const Swatches basic = p.shown();
        p.m().MyPalette = p.m().PaletteView = foreign;
        p.f.mnu_pallete[1]->trigger();
        QCOMPARE(p.boxes().size(), 1); // the standard error message, naming the values
        QVERIFY2(p.boxes()[0].style == 0 && p.boxes()[0].title.isEmpty() && p.boxes()[0].text.contains("R7, G-1, B0"),
                 qPrintable(p.boxes()[0].text));
        for (std::size_t i = 0; i < 16; ++i) {
            QCOMPARE(p.f.lblPallete[i]->BackColor(), i == 2 ? 0x1000100 : i < 5 ? 0 : basic[i]);
        }
        QVERIFY(!p.m().ShowingBasicPalette && p.f.mnu_pallete[1]->isChecked());
        // Painting works on its own texts, never on those of the colour being edited.
        QCOMPARE(p.m().HexR + p.m().HexG + p.m().HexB, QString("123456"));
    }

    void outOfRangePickMovesNoSlider_data() {
        QTest::addColumn<RGB>("rgb");
        QTest::addColumn<int>("bad");
        QTest::newRow("red 256") << RGB{256, 0, 0} << 256;
        QTest::newRow("blue 300 after good red and green") << RGB{10, 20, 300} << 300;
        QTest::newRow("green -5") << RGB{10, -5, 0} << -5;
    }
    void outOfRangePickMovesNoSlider() {
        QFETCH(RGB, rgb);
        QFETCH(int, bad);
        Fixture p;
        p.m().PaletteView.setEntry(6, rgb[0], rgb[1], rgb[2]); // as a foreign file's preview has it
        p.setRGB({1, 2, 3});
        const QString hex = p.f.lblHex->Caption();
        TestWindow::press(p.f.lblPallete[6]);
        QCOMPARE(p.boxes().size(), 1);
        QVERIFY2(p.boxes()[0].text.contains(QString::number(bad)), qPrintable(p.boxes()[0].text));
        QCOMPARE(p.sliders(), (RGB{1, 2, 3}));
        QCOMPARE(p.f.lblHex->Caption(), hex);
        TestWindow::press(p.f.lblPallete[7]); // the good swatch beside it still picks
        QCOMPARE(p.sliders(), (RGB{255, 255, 255}));
    }
};

QTEST_MAIN(SwatchesTest)
#include "tst_swatches.moc"
