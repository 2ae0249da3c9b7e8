// The 16 swatches: the colour rule, picking and registering with the mouse, switching between
// My palette and the basic palette, and what a foreign palette file's odd values do to them.

#include "palette/PaletteTestSupport.h"

#include <QAccessible>

Q_DECLARE_METATYPE(RGB)

class SwatchesTest : public QObject {
    Q_OBJECT

private slots:
    void colourRule_data() {
        QTest::addColumn<RGB>("rgb");
        QTest::addColumn<qint64>("colour");
        QTest::newRow("orange &H0080FF") << RGB{255, 128, 0} << 33023LL;
        QTest::newRow("white") << RGB{255, 255, 255} << 0xFFFFFFLL;
        QTest::newRow("red 256: the mark") << RGB{256, 0, 0} << qint64(UnshowableColor);
        QTest::newRow("green 256: the mark") << RGB{0, 256, 0} << qint64(UnshowableColor);
        QTest::newRow("blue 256: the mark") << RGB{0, 0, 256} << qint64(UnshowableColor);
        QTest::newRow("red -1: the mark") << RGB{-1, 2, 3} << qint64(UnshowableColor); // -1 alone packs to it
    }
    void colourRule() {
        QFETCH(RGB, rgb);
        QFETCH(qint64, colour);
        QCOMPARE(qint64(SwatchColor(rgb[0], rgb[1], rgb[2])), colour);
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
        p.setSliders(18, 52, 86);
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
        p.setSliders(200, 100, 50);
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

    // Entries no swatch can show get the mark, silently, and every other swatch its own entry, never an
    // earlier palette's colour; screen readers name the mark 「表示できない色」. Only a left click on
    // such a swatch says why it cannot be picked.
    void unshowableEntriesShowTheMark_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("previewed as the panel opens with it first") << "first";
        QTest::newRow("previewed with a click") << "click";
        QTest::newRow("loaded") << "loaded";
        QTest::newRow("loaded, palettes switched and back") << "switched";
        QTest::newRow("loaded, another previewed and gone back") << "back";
    }
    void unshowableEntriesShowTheMark() {
        QFETCH(QString, how);
        Fixture p;
        p.setSliders(18, 52, 86);
        PaletteTable foreign; // black
        foreign.setEntry(0, 256, 0x1000, 0);
        foreign.setEntry(5, 7, -1, 0);
        foreign.setEntry(15, 0, 0, INT32_MIN);
        p.put("foreign.pdt", foreign);
        if (how != "first") {
            p.put("0.pdt", Fixture::filled(3));
        }
        p.open(false);
        if (how != "first") {
            p.pick("foreign.pdt");
        }
        if (how != "first" && how != "click") {
            TestWindow::click(p.f.cmdOK);
        }
        if (how == "switched") {
            p.f.mnu_pallete[0]->trigger();
            p.f.mnu_pallete[1]->trigger();
        } else if (how == "back") {
            p.open(false);
            QVERIFY(p.shows(Fixture::filled(3)));
            TestWindow::click(p.f.cmdCancel);
        }
        QVERIFY(p.shows(foreign) && p.m().PaletteView == foreign);
        QCOMPARE(p.boxes().size(), 0);
        const auto nameOf = [&](int i) {
            return QAccessible::queryAccessibleInterface(p.f.lblPallete[std::size_t(i)])->text(QAccessible::Name);
        };
        QCOMPARE(nameOf(0), QString("表示できない色"));
        QCOMPARE(nameOf(1), QString("#000000"));
        // The mark: light grey, crossed through the middle.
        QVERIFY(TestWindow::shownColour(p.f.lblPallete[5], {16, 4}) == QColor(0xD8, 0xD8, 0xD8) &&
                TestWindow::shownColour(p.f.lblPallete[5], {16, 12}).lightness() < 0xA0);
        // Painting works on its own texts, never on those of the colour being edited.
        QCOMPARE(p.m().HexR + p.m().HexG + p.m().HexB, QString("123456"));
        if (p.m().FilePanelOpen) {
            TestWindow::click(p.f.cmdOK);
        }
        TestWindow::press(p.f.lblPallete[5]);
        QCOMPARE(p.boxes().size(), 1);
        QCOMPARE(p.boxes()[0].text, QString("この色は選べません: 緑 の値 -1 は 0～255 の範囲外です。"));
        QCOMPARE(p.sliders(), (RGB{18, 52, 86}));
        TestWindow::press(p.f.lblPallete[1]);
        QVERIFY(p.sliders() == (RGB{0, 0, 0}) && p.boxes().size() == 1);
    }

    void outOfRangePickMovesNoSlider_data() {
        QTest::addColumn<RGB>("rgb");
        QTest::addColumn<QString>("told");
        QTest::newRow("red 256") << RGB{256, 0, 0} << QString("赤 の値 256 は");
        QTest::newRow("blue 300 after good red and green") << RGB{10, 20, 300} << QString("青 の値 300 は");
        QTest::newRow("green -5") << RGB{10, -5, 0} << QString("緑 の値 -5 は");
    }
    void outOfRangePickMovesNoSlider() {
        QFETCH(RGB, rgb);
        QFETCH(QString, told);
        Fixture p;
        p.m().PaletteView.setEntry(6, rgb[0], rgb[1], rgb[2]); // as a foreign file's preview has it
        p.setSliders(1, 2, 3);
        const QString hex = p.f.lblHex->Caption();
        TestWindow::press(p.f.lblPallete[6]);
        QCOMPARE(p.boxes().size(), 1);
        QVERIFY2(p.boxes()[0].text.contains(told), qPrintable(p.boxes()[0].text));
        QCOMPARE(p.sliders(), (RGB{1, 2, 3}));
        QCOMPARE(p.f.lblHex->Caption(), hex);
        TestWindow::press(p.f.lblPallete[7]); // the good swatch beside it still picks
        QCOMPARE(p.sliders(), (RGB{255, 255, 255}));
    }
};

QTEST_MAIN(SwatchesTest)
#include "tst_swatches.moc"
