// The toolbar's state cycles, the window as a whole (dragging it by its labels and background,
// always on top from the menu and the button, the version box) and the hint line, fed by real
// mouse moves over the shown window.

#include "resources/StringTable.h"
#include "support/TestWindow.h"

#include <QCursor>
#include <QTest>
#include <tuple>

namespace {

const QString Untouched = QStringLiteral("(untouched)");
// No texts of the table: the slider read-out, and the hint line keeping its text.
constexpr TextId Readout{0};
constexpr TextId NoChange{-1};

// What the hint line says after the mouse comes in from outside the window onto a point of a
// control (its centre if null).
QString hintAt(frmColor& f, QWidget* w, QPoint at = {}) {
    QCursor::setPos(f.geometry().bottomRight() + QPoint(200, 200));
    QCoreApplication::processEvents();
    f.lblExplain->setCaption(Untouched);
    TestWindow::hover(w, at);
    return f.lblExplain->Caption();
}

} // namespace

class ToolbarTest : public QObject {
    Q_OBJECT
private slots:
    void copyFormatButton_data() {
        // From each format, chosen in the menu: the button steps through the first three only,
        // and from an added one to the first.
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<PictureId>("picture");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("then"); // after one more press
        using enum PictureId;
        // clang-format off
        QTest::addRow("digits -> HTML") << 0 << 1 << HtmlFormat << "#FF8000" << "&H0080FF";
        QTest::addRow("HTML -> &H") << 1 << 2 << AmpHFormat << "&H0080FF" << "FF8000";
        QTest::addRow("&H -> digits, not rgb()") << 2 << 0 << PlainHexFormat << "FF8000" << "#FF8000";
        QTest::addRow("rgb() -> digits, not hsl()") << 3 << 0 << PlainHexFormat << "FF8000" << "#FF8000";
        QTest::addRow("hsl() -> digits") << 4 << 0 << PlainHexFormat << "FF8000" << "#FF8000";
        QTest::addRow("0x -> digits") << 5 << 0 << PlainHexFormat << "FF8000" << "#FF8000";
        // clang-format on
    }
    void copyFormatButton() {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(PictureId, picture);
        QFETCH(QString, code);
        QFETCH(QString, then);
        TestWindow t;
        frmColor& f = *t.frm;
        f.mnu_Copymode.at(static_cast<std::size_t>(from))->trigger();
        t.setSliders(255, 128, 0);
        const QString readout = f.lblExplain->Caption();
        TestWindow::click(f.cmdColor[4]);
        QCOMPARE(t.m().CopyMode, CopyFormats.at(static_cast<std::size_t>(to)));
        QCOMPARE(f.cmdColor[4]->Picture(), picture);
        QCOMPARE(f.lblHex->Caption(), code); // at once, unlike the menu
        for (std::size_t i = 0; i < f.mnu_Copymode.size(); ++i) {
            QCOMPARE(f.mnu_Copymode[i]->Checked(), int(i) == to);
        }
        QVERIFY(t.sliders() == (std::array<int, 3>{255, 128, 0}) && f.lblExplain->Caption() == readout);
        // Painting the basic palette leaves the code to the sliders' colour.
        TestWindow::click(f.cmdColor[5]);
        TestWindow::click(f.cmdColor[4]);
        QCOMPARE(f.lblHex->Caption(), then);
    }

    void drag_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QPoint>("at"); // its centre if null
        QTest::addColumn<bool>("handle");
        // clang-format off
        const std::tuple<const char*, QPoint, bool> rows[] = {
            {"Label1(0)", {16, 12}, true}, {"Label1(0)", {16, 29}, true}, {"Label1(1)", {16, 12}, true},
            {"Label1(2)", {16, 12}, true}, {"lblHex", {}, true}, {"lblExplain", {}, true},
            {"client", {48, 28}, true}, {"client", {80, 28}, true}, {"client", {216, 50}, true},
            {"client", {306, 20}, true}, {"Label1(0)", {16, 100}, false}, {"VScrColor(1)", {}, false},
            {"optColor(0)", {}, false}, {"txtColor", {}, false}, {"cmdColor(2)", {}, false},
            {"lblPallete(0)", {}, false},
        };
        // clang-format on
        for (const auto& [control, at, handle] : rows) {
            QTest::addRow("%s at %d,%d", control, at.x(), at.y()) << QString::fromLatin1(control) << at << handle;
        }
    }

    void drag() {
        QFETCH(QString, control);
        QFETCH(QPoint, at);
        QFETCH(bool, handle);
        TestWindow t;
        QWidget* w = t.control(control);
        const QPoint point = at.isNull() ? w->rect().center() : at;
        // A click, or a press with moves each one pixel short of the drag distance (across plus
        // down, as Qt counts it), moves nothing; a move of exactly the distance starts the window
        // manager's move, and a press starts it once however far the pointer goes on.
        const int d = QApplication::startDragDistance(), h = d / 2;
        TestWindow::pressInWindow(w, point, Qt::LeftButton);
        TestWindow::pressInWindow(w, point, Qt::LeftButton, {{d - 1, 0}, {0, 1 - d}, {-h, h + 1 - d}});
        QCOMPARE(t.os.dragCount, 0);
        TestWindow::pressInWindow(w, point, Qt::LeftButton, {{h, h - d}});
        QCOMPARE(t.os.dragCount, handle ? 1 : 0);
        TestWindow::pressInWindow(w, point, Qt::LeftButton, {{0, -d}, {2 * d, d}, {3 * d, -d}});
        QCOMPARE(t.os.dragCount, handle ? 2 : 0);
        QCOMPARE(t.os.dragFrom,
                 handle ? w->mapToGlobal(point) : QPoint()); // the window keeps its place under the pointer
        if (handle) { // the other buttons do nothing (on a scroll bar the right one opens a menu)
            TestWindow::pressInWindow(w, point, Qt::RightButton, {{3 * d, d}});
            TestWindow::pressInWindow(w, point, Qt::MiddleButton, {{3 * d, d}});
            QCOMPARE(t.os.dragCount, 2);
        }
    }

    void topmostFromMenuAndButtonAgree() {
        TestWindow t;
        frmColor& f = *t.frm;
        const QRect where = f.geometry();
        bool on = false;
        for (bool menu : {true, false, false, true}) {
            menu ? f.mnu_Window_Topmost->trigger() : TestWindow::click(f.cmdColor[6]);
            on = !on;
            QVERIFY(f.mnu_Window_Topmost->Checked() == on && t.m().IsTopmost == on);
            QVERIFY(f.cmdColor[6]->Picture() == (on ? PictureId::OnTop : PictureId::NotOnTop) &&
                    f.geometry() == where && f.isVisible());
        }
        QCOMPARE(t.os.alwaysOnTopCalls, (QList<bool>{true, false, true, false}));
    }

    void versionBox() {
        TestWindow t;
        t.frm->mnu_ver->trigger();
        QCOMPARE(t.os.messageBoxes.size(), 1);
        const auto& box = t.os.messageBoxes.first();
        const QStringList lines = box.text.split(QStringLiteral("\r\n"));
        QVERIFY2(lines.size() == 3 && lines[0] == u"Swatchly! バージョン1.0" && lines[1].isEmpty(),
                 qPrintable(box.text));
        QVERIFY(!lines[2].trimmed().isEmpty() && !lines[2].contains(u'\n') && !lines[2].contains(u'\r'));
        QVERIFY(box.style == 0 && box.title.isEmpty());
    }

    void hints_data() {
        QTest::addColumn<QString>("clicks"); // the toolbar buttons clicked first
        QTest::addColumn<QString>("control");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QString>("hint");
        using Row = std::tuple<const char*, QString, QPoint, TextId>;
        const auto add = [](const Row& row) {
            const auto& [clicks, control, at, id] = row;
            QTest::addRow("%s at %d,%d after '%s'", qPrintable(control), at.x(), at.y(), clicks)
                << QString::fromLatin1(clicks) << control << at
                << (id == Readout    ? QStringLiteral("(R1－G20－B0)")
                    : id == NoChange ? Untouched
                                     : LoadResString(id));
        };
        using enum TextId;
        for (int i = 0; i < 16; ++i) { // all the same
            add({"", QStringLiteral("lblPallete(%1)").arg(i), {}, MySwatchHint});
        }
        // clang-format off
        const Row rows[] = {
            {"", "cmdColor(0)", {}, SaveButtonHint}, {"", "cmdColor(1)", {}, LoadButtonHint},
            {"", "cmdColor(2)", {}, CopyHint}, {"", "cmdColor(3)", {}, ModeButtonHint},
            {"", "cmdColor(4)", {}, FormatButtonHint}, {"", "cmdColor(5)", {}, MyPaletteHint},
            {"", "cmdColor(6)", {}, NotOnTopHint}, {"", "cmdColor(7)", {}, QuitHint},
            {"", "optColor(0)", {}, BackgroundOptionHint}, {"", "optColor(1)", {}, TextOptionHint},
            {"", "txtColor", {}, PreviewHint}, {"", "lblHex", {}, CodeHint}, {"", "lblExplain", {}, HintLineHint},
            // The letters above their sliders: R answers down to its slider (480 twips), while under
            // G and B the strip from 375 to 480 twips is bare window area.
            {"", "client", {16, 0}, RedHint}, {"", "client", {16, 31}, RedHint}, {"", "client", {16, 32}, NoChange},
            {"", "client", {48, 24}, GreenHint}, {"", "client", {48, 25}, Readout},
            {"", "client", {80, 24}, BlueHint}, {"", "client", {80, 31}, Readout},
            // The read-out over the bare area only while the panel is closed; no hint over the
            // sliders or the menu bar.
            {"", "client", {216, 50}, Readout}, {"", "client", {306, 5}, Readout}, {"1", "client", {216, 50}, NoChange},
            {"", "VScrColor(1)", {}, NoChange}, {"", "VScrColor(2)", {5, 150}, NoChange}, {"", "menuBar", {}, NoChange},
            // Texts that follow the palette shown and the panel's purpose.
            {"5", "lblPallete(3)", {}, BasicSwatchHint}, {"5", "cmdColor(5)", {}, BasicPaletteHint},
            {"55", "lblPallete(3)", {}, MySwatchHint}, {"55", "cmdColor(5)", {}, MyPaletteHint},
            {"0", "FilPallete", {}, SaveListHint}, {"0", "FilPallete", {1, 1}, SaveListHint},
            {"0", "txtPallete", {}, NameBoxHint}, {"0", "cmdOK", {}, SaveActionHint}, {"0", "cmdCancel", {}, SaveBackHint},
            {"0", "cmdColor(7)", {}, QuitHint}, {"1", "FilPallete", {}, LoadListHint}, {"1", "cmdOK", {}, LoadActionHint},
            {"1", "cmdCancel", {}, LoadBackHint},
        };
        // clang-format on
        for (const Row& row : rows) {
            add(row);
        }
    }

    void hints() {
        QFETCH(QString, clicks);
        QFETCH(QString, control);
        QFETCH(QPoint, at);
        QFETCH(QString, hint);
        TestWindow t;
        t.writeFile(QStringLiteral("a.pdt"), QByteArray(192, '\0')); // the panel's OK button usable
        t.setSliders(1, 20, 0);
        for (QChar button : clicks) {
            TestWindow::click(t.frm->cmdColor.at(static_cast<std::size_t>(button.digitValue())));
        }
        QCOMPARE(hintAt(*t.frm, t.control(control), at), hint);
    }

    void everyMoveWritesTheHintInForce() {
        // Not only entering a control: each move over it writes its hint, with the state in force.
        TestWindow t;
        frmColor& f = *t.frm;
        QCOMPARE(hintAt(f, f.cmdColor[6]), LoadResString(TextId::NotOnTopHint));
        TestWindow::click(f.cmdColor[6]); // a click writes no hint
        QCOMPARE(f.lblExplain->Caption(), LoadResString(TextId::NotOnTopHint));
        TestWindow::hover(f.cmdColor[6], QPoint(10, 10));
        QCOMPARE(f.lblExplain->Caption(), LoadResString(TextId::OnTopHint));
        f.VScrColor[1]->setValue(7); // the read-out replaces it
        TestWindow::hover(f.cmdColor[6], QPoint(12, 10));
        QCOMPARE(f.lblExplain->Caption(), LoadResString(TextId::OnTopHint));
    }
};

QTEST_MAIN(ToolbarTest)
#include "tst_toolbar.moc"
