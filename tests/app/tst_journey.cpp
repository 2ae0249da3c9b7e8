// One whole session driven through the window's own controls, checking the display at each
// step: composing both colours in both modes, registering swatches, saving, switching
// palettes, loading, copying in every format and quitting.

#include "resources/StringTable.h"
#include "support/TestWindow.h"

#include <QApplication>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QtEndian>

using RGB = std::array<int, 3>;

namespace {

void clickUpArrow(ColorSlider* slider) {
    TestWindow::click(slider, TestWindow::sliderPart(slider, QStyle::SC_ScrollBarSubLine).center());
}

void keys(QWidget* w, Qt::Key key, int times = 1) {
    for (int i = 0; i < times; ++i) {
        QTest::keyClick(w, key);
    }
}

// The 16 colours of a palette file.
std::array<RGB, 16> decode(const QByteArray& bytes) {
    std::array<RGB, 16> entries{};
    for (std::size_t i = 0; i < 16; ++i) {
        for (std::size_t c = 0; c < 3; ++c) {
            entries[i][c] = qFromLittleEndian<qint32>(bytes.constData() + 4 * (i + 16 * c));
        }
    }
    return entries;
}

} // namespace

class JourneyTest : public QObject {
    Q_OBJECT
private slots:
    void wholeSession();
};

void JourneyTest::wholeSession() {
    TestWindow t;
    frmColor& f = *t.frm;
    Module1& m = t.m();
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    auto display = [&](const char* code, const char* readout) {
        return f.lblHex->Caption() == QString::fromLatin1(code) &&
               f.lblExplain->Caption() == QString::fromUtf8(readout);
    };

    // Background colour, full colour: red stays, green by keys, blue by keys and arrow clicks.
    QCOMPARE(QApplication::focusWidget(), f.VScrColor[0]);
    QTest::keyClick(f.VScrColor[0], Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), f.VScrColor[1]);
    keys(f.VScrColor[1], Qt::Key_End);
    keys(f.VScrColor[1], Qt::Key_PageUp, 8);
    QTest::keyClick(f.VScrColor[1], Qt::Key_Tab);
    keys(f.VScrColor[2], Qt::Key_End);
    clickUpArrow(f.VScrColor[2]);
    clickUpArrow(f.VScrColor[2]);
    QCOMPARE(t.sliders(), (RGB{255, 128, 2}));
    QVERIFY(display("FF8002", "(R255－G128－B2)"));
    QCOMPARE(f.txtColor->BackColor(), 0x0280FF);
    QCOMPARE(f.txtColor->ForeColor(), 0x000000);
    QCOMPARE(m.BackgroundRGB, (std::array<std::int32_t, 3>{255, 128, 2}));
    TestWindow::press(f.lblPallete[0], Qt::RightButton);
    QCOMPARE(f.lblPallete[0]->BackColor(), 0x0280FF);

    // Text colour in 216-colour mode: an arrow click is one level, a page key too.
    TestWindow::click(f.optColor[1]);
    QVERIFY(f.optColor[1]->isChecked() && !m.EditingBackground);
    QCOMPARE(t.sliders(), (RGB{0, 0, 0}));
    QVERIFY(display("000000", "(R0－G0－B0)"));
    TestWindow::click(f.cmdColor[3]);
    QCOMPARE(f.Caption(), LoadResString(107));
    clickUpArrow(f.VScrColor[0]);
    keys(f.VScrColor[1], Qt::Key_PageUp, 2);
    keys(f.VScrColor[2], Qt::Key_Home);
    QCOMPARE(t.sliders(), (RGB{51, 102, 255}));
    QVERIFY(display("3366FF", "(R51－G102－B255)"));
    QCOMPARE(f.txtColor->ForeColor(), 0xFF6633);
    QCOMPARE(f.txtColor->BackColor(), 0x0280FF); // the background stays
    TestWindow::press(f.lblPallete[5], Qt::RightButton);
    QCOMPARE(f.lblPallete[5]->BackColor(), 0xFF6633);

    // Back to the background: loading it into the sliders snaps it in 216-colour mode.
    TestWindow::click(f.optColor[0]);
    QCOMPARE(t.sliders(), (RGB{255, 102, 0}));
    QCOMPARE(m.BackgroundRGB, (std::array<std::int32_t, 3>{255, 102, 0}));
    QCOMPARE(m.TextRGB, (std::array<std::int32_t, 3>{51, 102, 255}));
    QVERIFY(display("FF6600", "(R255－G102－B0)"));
    QCOMPARE(f.txtColor->BackColor(), 0x0066FF);
    TestWindow::click(f.cmdColor[3]);
    QCOMPARE(f.Caption(), LoadResString(106));

    // Save My palette under a typed name.
    TestWindow::click(f.cmdColor[0]);
    QVERIFY(f.txtPallete->isVisible() && !f.cmdOK->isEnabled());
    TestWindow::click(f.txtPallete);
    QTest::keyClicks(f.txtPallete, QStringLiteral("journey"));
    QVERIFY(f.cmdOK->isEnabled());
    TestWindow::click(f.cmdOK);
    QVERIFY(t.os.messageBoxes.isEmpty());
    const QByteArray saved = t.readFile(QStringLiteral("journey.pdt"));
    QCOMPARE(saved.size(), 192);
    std::array<RGB, 16> expected{};
    expected.fill(RGB{255, 255, 255});
    expected[0] = {255, 128, 2};
    expected[5] = {51, 102, 255};
    QCOMPARE(decode(saved), expected);
    QCOMPARE(f.FilPallete->ListCount(), 1);
    QCOMPARE(f.FilPallete->List(0), QStringLiteral("journey.pdt"));
    QVERIFY(m.FilePanelOpen && f.txtPallete->isVisible()); // the panel stays open after a save
    TestWindow::click(f.cmdCancel);
    QVERIFY(!m.FilePanelOpen && f.VScrColor[0]->isVisible() && f.FilPallete->isHidden());
    QCOMPARE(f.Caption(), LoadResString(131));

    // The basic palette: pick red; back to My palette, the registered colours are there.
    TestWindow::click(f.cmdColor[5]);
    TestWindow::click(f.lblPallete[12]);
    QCOMPARE(t.sliders(), (RGB{255, 0, 0}));
    QVERIFY(display("FF0000", "(R255－G0－B0)"));
    TestWindow::click(f.cmdColor[5]);
    QCOMPARE(f.lblPallete[0]->BackColor(), 0x0280FF);
    QCOMPARE(f.lblPallete[5]->BackColor(), 0xFF6633);
    TestWindow::press(f.lblPallete[0], Qt::RightButton); // red over the saved colour
    QCOMPARE(f.lblPallete[0]->BackColor(), 0x0000FF);
    QCOMPARE(m.MyPalette.at(0, 1), 0);

    // Load the saved palette back: click the file, then the load button.
    TestWindow::click(f.cmdColor[1]);
    QCOMPARE(f.cmdOK->text(), LoadResString(134));
    QListWidgetItem* file = f.FilPallete->item(0);
    TestWindow::click(f.FilPallete->viewport(), f.FilPallete->visualItemRect(file).center());
    QCOMPARE(f.FilPallete->ListIndex(), 0);
    QCOMPARE(f.lblPallete[0]->BackColor(), 0x0280FF); // the preview
    QCOMPARE(m.MyPalette.at(0, 1), 0);
    TestWindow::click(f.cmdOK);
    QVERIFY(!m.FilePanelOpen && f.FilPallete->isHidden() && !f.cmdOK->isEnabled());
    QCOMPARE(m.MyPalette, m.PaletteView);
    QCOMPARE(m.MyPalette.at(0, 1), 128);
    QCOMPARE(f.lblPallete[0]->BackColor(), 0x0280FF);
    QCOMPARE(t.sliders(), (RGB{255, 0, 0})); // loading changes no colour

    // Pick the loaded text colour as background and copy it in every format.
    TestWindow::click(f.lblPallete[5]);
    QVERIFY(display("3366FF", "(R51－G102－B255)"));
    QCOMPARE(f.txtColor->BackColor(), 0xFF6633);
    TestWindow::click(f.cmdColor[2]);
    TestWindow::click(f.cmdColor[4]);
    TestWindow::click(f.cmdColor[2]);
    TestWindow::click(f.cmdColor[4]);
    TestWindow::click(f.cmdColor[2]);
    QCOMPARE(t.os.clipboardTexts, (QStringList{"3366FF", "#3366FF", "&HFF6633"}));
    // The menu changes the format from the next colour change on.
    f.mnu_Copymode[1]->trigger();
    QCOMPARE(f.cmdColor[4]->Picture(), 106);
    TestWindow::click(f.cmdColor[2]);
    QCOMPARE(t.os.clipboard, QStringLiteral("&HFF6633"));
    keys(f.VScrColor[0], Qt::Key_Down);
    TestWindow::click(f.cmdColor[2]);
    QCOMPARE(t.os.clipboard, QStringLiteral("#3266FF"));
    QCOMPARE(t.os.clipboardClears, 5);

    // Quit: the help file is released and the saved palette is all that is left.
    TestWindow::click(f.cmdColor[7]);
    QVERIFY(!f.isVisible());
    QCOMPARE(t.os.quitHelpFiles, QStringList{t.path(QStringLiteral("swatchly.hlp"))});
    QCOMPARE(t.readFile(QStringLiteral("journey.pdt")), saved);
    QVERIFY(t.os.messageBoxes.isEmpty());
}

QTEST_MAIN(JourneyTest)
#include "tst_journey.moc"
