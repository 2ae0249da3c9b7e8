// The 16 swatches: the colour rule, picking and registering with the mouse and the keyboard, the
// keyboard's focus stop, switching between My palette and the basic palette, and what a foreign
// palette file's odd values do to them.

#include "palette/PaletteTestSupport.h"

#include <QAccessible>

Q_DECLARE_METATYPE(RGB)

class SwatchesTest : public QObject {
    Q_OBJECT

private slots:
    // A mouse button ("left", "right", "middle") or a key on swatch 1: the keys do what the
    // clicks do, and modified keys nothing.
    void mouseAndKeys_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("basic");
        QTest::addColumn<RGB>("after"); // the sliders
        QTest::addColumn<bool>("registers");
        const RGB kept{18, 52, 86};
        QTest::newRow("left on My palette picks white") << "left" << false << RGB{255, 255, 255} << false;
        QTest::newRow("left on the basic palette picks navy") << "left" << true << RGB{0, 0, 128} << false;
        QTest::newRow("right on My palette registers") << "right" << false << kept << true;
        QTest::newRow("right on the basic palette") << "right" << true << kept << false;
        QTest::newRow("middle on My palette") << "middle" << false << kept << false;
        QTest::newRow("middle on the basic palette") << "middle" << true << kept << false;
        QTest::newRow("Space on My palette picks white") << "Space" << false << RGB{255, 255, 255} << false;
        QTest::newRow("Space on the basic palette picks navy") << "Space" << true << RGB{0, 0, 128} << false;
        QTest::newRow("Return picks") << "Return" << true << RGB{0, 0, 128} << false;
        QTest::newRow("keypad Enter picks") << "Num+Enter" << true << RGB{0, 0, 128} << false;
        QTest::newRow("Shift+Space") << "Shift+Space" << true << kept << false;
        QTest::newRow("Alt+Return") << "Alt+Return" << true << kept << false;
        QTest::newRow("Ctrl+Return on My palette registers") << "Ctrl+Return" << false << kept << true;
        QTest::newRow("Ctrl+keypad Enter on My palette registers") << "Ctrl+Num+Enter" << false << kept << true;
        QTest::newRow("Shift+F10 on My palette registers") << "Shift+F10" << false << kept << true;
        QTest::newRow("F10 alone") << "F10" << false << kept << false;
        QTest::newRow("Ctrl+F10") << "Ctrl+F10" << false << kept << false;
        QTest::newRow("menu key on My palette registers") << "Menu" << false << kept << true;
        QTest::newRow("Shift+menu key") << "Shift+Menu" << false << kept << false;
        QTest::newRow("Ctrl+Return on the basic palette") << "Ctrl+Return" << true << kept << false;
        QTest::newRow("Shift+F10 on the basic palette") << "Shift+F10" << true << kept << false;
        QTest::newRow("menu key on the basic palette") << "Menu" << true << kept << false;
    }
    void mouseAndKeys() {
        QFETCH(QString, input);
        QFETCH(bool, basic);
        QFETCH(RGB, after);
        QFETCH(bool, registers);
        Fixture p;
        if (basic) {
            p.f.mnu_pallete[0]->trigger();
        }
        p.setSliders(18, 52, 86);
        const PaletteTable basicTable = p.m().BasicPalette;
        Swatches expected = p.shown();
        PaletteTable mine = Fixture::filled(255);
        if (registers) {
            mine.setEntry(1, 18, 52, 86);
            expected[1] = 0x563412;
        }
        const QHash<QString, Qt::MouseButton> buttons{
            {"left", Qt::LeftButton}, {"right", Qt::RightButton}, {"middle", Qt::MiddleButton}};
        if (buttons.contains(input)) {
            TestWindow::press(p.f.lblPallete[1], buttons[input]);
        } else {
            const QKeyCombination key = QKeySequence(input)[0];
            QVERIFY(key.key() != Qt::Key_unknown);
            QTest::keyClick(p.f.lblPallete[1], key.key(), key.keyboardModifiers());
        }
        QCOMPARE(p.shown(), expected);
        QVERIFY(p.m().MyPalette == mine && p.m().PaletteView == mine && p.m().BasicPalette == basicTable);
        QCOMPARE(p.sliders(), after);
        QVERIFY(p.boxes().isEmpty());
    }

    // The keyboard's focus mark moves over the swatches as they lie, in rows of 6, 6 and 4, and
    // stops at the edges.
    void keyMoves_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("to"); // -1: the key moves nothing
        const auto row = [](int from, Qt::Key key, int to, const char* what) {
            QTest::addRow("%d %s", from, what) << from << int(key) << to;
        };
        row(0, Qt::Key_Left, 0, "left at the left edge stays");
        row(1, Qt::Key_Left, 0, "left");
        row(6, Qt::Key_Left, 6, "left at the left edge of row 2 stays");
        row(7, Qt::Key_Left, 6, "left in row 2");
        row(12, Qt::Key_Left, 12, "left at the left edge of row 3 stays");
        row(4, Qt::Key_Right, 5, "right");
        row(5, Qt::Key_Right, 5, "right at the right edge stays, no wrap");
        row(10, Qt::Key_Right, 11, "right in row 2");
        row(11, Qt::Key_Right, 11, "right at the right edge of row 2 stays");
        row(14, Qt::Key_Right, 15, "right in row 3");
        row(15, Qt::Key_Right, 15, "right at the end of the short row 3 stays");
        row(0, Qt::Key_Up, 0, "up in row 1 stays");
        row(5, Qt::Key_Up, 5, "up at the right of row 1 stays");
        row(6, Qt::Key_Up, 0, "up from row 2");
        row(11, Qt::Key_Up, 5, "up from the right of row 2");
        row(12, Qt::Key_Up, 6, "up from row 3");
        row(15, Qt::Key_Up, 9, "up from the end of row 3");
        row(0, Qt::Key_Down, 6, "down from row 1");
        row(5, Qt::Key_Down, 11, "down from the right of row 1");
        row(9, Qt::Key_Down, 15, "down from the 4th column of row 2");
        row(10, Qt::Key_Down, 15, "down from the 5th column of row 2 to the last of row 3");
        row(11, Qt::Key_Down, 15, "down from the 6th column of row 2 to the last of row 3");
        row(12, Qt::Key_Down, 12, "down in row 3 stays");
        row(15, Qt::Key_Down, 15, "down at the end stays");
        row(9, Qt::Key_Home, 0, "Home");
        row(2, Qt::Key_End, 15, "End");
        row(3, Qt::Key_PageDown, -1, "PageDown");
        row(3, Qt::Key_Tab, -1, "Tab");
    }
    void keyMoves() {
        QFETCH(int, from);
        QFETCH(int, key);
        QFETCH(int, to);
        QCOMPARE(frmColor::SwatchToward(from, key).value_or(-1), to);
    }

    // The swatches are one focus stop after all others, which keeps the swatch it last had; the
    // arrows move it with the focus mark; the hint line names the keys when the keyboard brings
    // the focus, and the mouse still finds the hints it always had.
    void focusStop() {
        Fixture p;
        p.f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&p.f));
        const auto focused = [] { return QApplication::focusWidget(); };
        const auto marked = [&p](int i) { // the focus mark's left side, inside the border
            return TestWindow::shownColour(p.f.lblPallete[std::size_t(i)], {2, 12}) ==
                   p.f.palette().color(QPalette::Active, QPalette::Highlight);
        };
        const auto stops = [&p] {
            QList<int> taking;
            for (int i = 0; i < 16; ++i) {
                if (p.f.lblPallete[std::size_t(i)]->focusPolicy() != Qt::NoFocus) {
                    taking << i;
                }
            }
            return taking;
        };
        QVERIFY(!marked(0));
        QTest::keyClick(p.f.VScrColor[0], Qt::Key_Backtab);
        QVERIFY(focused() == p.f.lblPallete[0] && marked(0) && !marked(1));
        QCOMPARE(p.f.lblExplain->Caption(), QStringLiteral("Ctrl+Enter：色登録／Space：色選択"));
        TestWindow::hover(p.f.lblPallete[3]); // the mouse's hint, as always
        QCOMPARE(p.f.lblExplain->Caption(), QStringLiteral("右クリック：色登録／左クリック：色選択"));
        QTest::keyClick(focused(), Qt::Key_Right);
        QVERIFY(focused() == p.f.lblPallete[1] && marked(1) && !marked(0) && stops() == QList<int>{1});
        QTest::keyClick(focused(), Qt::Key_Down);
        QVERIFY(focused() == p.f.lblPallete[7] && stops() == QList<int>{7});
        QCOMPARE(p.f.lblExplain->Caption(), QStringLiteral("Ctrl+Enter：色登録／Space：色選択"));
        QTest::keyClick(focused(), Qt::Key_Tab); // out to the first stop, and back to the same swatch
        QCOMPARE(focused(), p.f.VScrColor[0]);
        QTest::keyClick(focused(), Qt::Key_Backtab);
        QVERIFY(focused() == p.f.lblPallete[7] && marked(7));
        // The basic palette: its own hint, the same keys to move.
        p.f.mnu_pallete[0]->trigger();
        QTest::keyClick(focused(), Qt::Key_Tab);
        QTest::keyClick(focused(), Qt::Key_Backtab);
        QCOMPARE(p.f.lblExplain->Caption(), QStringLiteral("１６色パレット（Space：色選択）"));
        QTest::keyClick(focused(), Qt::Key_End);
        QVERIFY(focused() == p.f.lblPallete[15] && stops() == QList<int>{15});
        // The keys' hints fit the hint line.
        for (const QString& hint :
             {QStringLiteral("Ctrl+Enter：色登録／Space：色選択"), QStringLiteral("１６色パレット（Space：色選択）")}) {
            QVERIFY2(p.f.lblExplain->fontMetrics().horizontalAdvance(hint) <= p.f.lblExplain->width() - 2,
                     qPrintable(hint));
        }
        // Coming back with the window changes no hint.
        TestWindow::hover(p.f.lblPallete[4]);
        p.f.lblPallete[15]->clearFocus();
        p.f.lblPallete[15]->setFocus(Qt::ActiveWindowFocusReason);
        QCOMPARE(p.f.lblExplain->Caption(), QStringLiteral("１６色パレット（左クリック：色選択）"));
    }

    // While the file panel is open the swatches take no key, and a screen reader's action does
    // nothing: as a click, which a disabled swatch does not take.
    void nothingInThePanel_data() {
        QTest::addColumn<QString>("input"); // a key, or "press" / "register" for the screen reader
        for (const char* input : {"Space", "Ctrl+Return", "Menu", "press", "register"}) {
            QTest::addRow("%s", input) << QString::fromLatin1(input);
        }
    }
    void nothingInThePanel() {
        QFETCH(QString, input);
        Fixture p;
        p.setSliders(18, 52, 86);
        p.open(true);
        QAccessibleInterface* swatch = QAccessible::queryAccessibleInterface(p.f.lblPallete[2]);
        if (input == u"press") {
            swatch->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        } else if (input == u"register") {
            swatch->actionInterface()->doAction(swatch->actionInterface()->actionNames().value(1));
        } else {
            const QKeyCombination key = QKeySequence(input)[0];
            QTest::keyClick(p.f.lblPallete[2], key.key(), key.keyboardModifiers());
        }
        QVERIFY(p.m().MyPalette == Fixture::filled(255) && p.shows(Fixture::filled(255)));
        QCOMPARE(p.sliders(), (RGB{18, 52, 86}));
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
        PaletteTable foreign; // black; each channel just outside 0..255, and far outside
        foreign.setEntry(0, 256, 0x1000, 0);
        foreign.setEntry(2, 0, 0, 256);
        foreign.setEntry(3, 256, 0, 0);
        foreign.setEntry(4, 0, 256, 0);
        foreign.setEntry(5, 7, -1, 0);
        foreign.setEntry(6, -1, 2, 3); // -1 alone would pack to the mark
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
        QCOMPARE(nameOf(0), QString("色見本 1/16 表示できない色"));
        QCOMPARE(nameOf(1), QString("色見本 2/16 #000000"));
        // The mark: light grey, crossed through the middle.
        QVERIFY(TestWindow::shownColour(p.f.lblPallete[5], {16, 4}) == QColor(0xD8, 0xD8, 0xD8) &&
                TestWindow::shownColour(p.f.lblPallete[5], {16, 12}).lightness() < 0xA0);
        // Painting works on its own texts, never on those of the colour being edited.
        QCOMPARE(p.m().HexR + p.m().HexG + p.m().HexB, QString("123456"));
        if (p.m().FilePanelOpen) {
            TestWindow::click(p.f.cmdOK);
        }
        // A left click names the first channel out of range and moves no slider; a good swatch still picks.
        const QString hex = p.f.lblHex->Caption();
        for (const auto& [swatch, told] : std::initializer_list<std::pair<int, const char*>>{
                 {0, "赤 の値 256"}, {2, "青 の値 256"}, {5, "緑 の値 -1"}}) {
            TestWindow::press(p.f.lblPallete[std::size_t(swatch)]);
            QCOMPARE(p.boxes().last().text, QString("この色は選べません: %1 は 0～255 の範囲外です。").arg(told));
        }
        QVERIFY(p.boxes().size() == 3 && p.sliders() == (RGB{18, 52, 86}) && p.f.lblHex->Caption() == hex);
        TestWindow::press(p.f.lblPallete[1]);
        QVERIFY(p.sliders() == (RGB{0, 0, 0}) && p.boxes().size() == 3);
    }
};

QTEST_MAIN(SwatchesTest)
#include "tst_swatches.moc"
