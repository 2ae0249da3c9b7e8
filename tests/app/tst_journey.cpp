// One whole session driven through the window's own controls, checking the display, the
// clipboard and the files at each step.

#include "palette/PaletteFile.h"
#include "resources/StringTable.h"
#include "support/TestWindow.h"

#include <QTest>

class JourneyTest : public QObject {
    Q_OBJECT
private slots:
    void wholeSession() {
        TestWindow t;
        frmColor& f = *t.frm;
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        const auto shows = [&](const char* code, const char* readout) {
            return f.lblHex->Caption() == QString::fromLatin1(code) &&
                   f.lblExplain->Caption() == QString::fromUtf8(readout);
        };
        const QPoint upArrow = TestWindow::sliderPart(f.VScrColor[0], QStyle::SC_ScrollBarSubLine).center();
        // A copy right after start-up; whatever the clipboard held goes.
        t.os.clipboard = QStringLiteral("something from before");
        TestWindow::click(f.cmdColor[2]);

        // The background in full colour: green by keys, blue by a key and arrow clicks.
        QTest::keyClick(f.VScrColor[1], Qt::Key_End);
        for (int i = 0; i < 8; ++i) {
            QTest::keyClick(f.VScrColor[1], Qt::Key_PageUp);
        }
        QTest::keyClick(f.VScrColor[2], Qt::Key_End);
        TestWindow::click(f.VScrColor[2], upArrow);
        TestWindow::click(f.VScrColor[2], upArrow);
        QVERIFY(shows("FF8002", "(R255－G128－B2)") && f.txtColor->BackColor() == 0x0280FF);
        TestWindow::press(f.lblPallete[0], Qt::RightButton);

        // The text colour in 216-colour mode: an arrow click is one level, a page key too.
        TestWindow::click(f.optColor[1]);
        QVERIFY(shows("000000", "(R0－G0－B0)"));
        TestWindow::click(f.cmdColor[3]);
        QVERIFY(f.Caption() == LoadResString(TextId::Web216Mode) &&
                f.cmdColor[3]->text() == LoadResString(TextId::Web216Button));
        TestWindow::click(f.VScrColor[0], upArrow);
        QTest::keyClick(f.VScrColor[1], Qt::Key_PageUp);
        QTest::keyClick(f.VScrColor[1], Qt::Key_PageUp);
        QTest::keyClick(f.VScrColor[2], Qt::Key_Home);
        QVERIFY(shows("3366FF", "(R51－G102－B255)"));
        QVERIFY(f.txtColor->ForeColor() == 0xFF6633 && f.txtColor->BackColor() == 0x0280FF);
        TestWindow::press(f.lblPallete[5], Qt::RightButton);

        // Back to the background, snapped as it is loaded; the mode button again: full colour.
        TestWindow::click(f.optColor[0]);
        QVERIFY(shows("FF6600", "(R255－G102－B0)"));
        TestWindow::click(f.cmdColor[3]);
        QVERIFY(f.Caption() == LoadResString(TextId::FullColorMode) &&
                f.cmdColor[3]->text() == LoadResString(TextId::FullColorButton));

        // Save My palette under a typed name.
        TestWindow::click(f.cmdColor[0]);
        TestWindow::click(f.txtPallete);
        QTest::keyClicks(f.txtPallete, QStringLiteral("journey"));
        TestWindow::click(f.cmdOK);
        PaletteTable mine;
        mine.fill(255, 255, 255);
        mine.setEntry(0, 255, 128, 2);
        mine.setEntry(5, 51, 102, 255);
        const QByteArray saved = t.readFile(QStringLiteral("journey.pdt"));
        QCOMPARE(PaletteFile::decode(saved), mine);
        TestWindow::click(f.cmdCancel);

        // The basic palette, with the file buttons disabled; pick its red.
        TestWindow::click(f.cmdColor[5]);
        QVERIFY(f.cmdColor[5]->Picture() == PictureId::BasicPalette && f.mnu_pallete[0]->Checked() &&
                !f.mnu_pallete[1]->Checked());
        QVERIFY(!f.cmdColor[0]->isEnabled() && !f.cmdColor[1]->isEnabled());
        TestWindow::click(f.lblPallete[12]);
        QVERIFY(shows("FF0000", "(R255－G0－B0)"));
        // My palette again, as registered; red over the first entry.
        TestWindow::click(f.cmdColor[5]);
        QVERIFY(f.cmdColor[5]->Picture() == PictureId::MyPalette && !f.mnu_pallete[0]->Checked() &&
                f.mnu_pallete[1]->Checked());
        QVERIFY(f.cmdColor[0]->isEnabled() && f.cmdColor[1]->isEnabled());
        QVERIFY(f.lblPallete[0]->BackColor() == 0x0280FF && f.lblPallete[5]->BackColor() == 0xFF6633);
        TestWindow::press(f.lblPallete[0], Qt::RightButton);

        // Load the saved palette back: click the file, then the load button.
        TestWindow::click(f.cmdColor[1]);
        TestWindow::click(f.FilPallete->viewport(), f.FilPallete->visualItemRect(f.FilPallete->item(0)).center());
        TestWindow::click(f.cmdOK);
        QVERIFY(f.FilPallete->isHidden() && t.m().MyPalette == mine && f.lblPallete[0]->BackColor() == 0x0280FF);
        QVERIFY(shows("FF0000", "(R255－G0－B0)")); // loading changes no colour

        // Pick the loaded text colour as background and copy it in every format.
        TestWindow::click(f.lblPallete[5]);
        QVERIFY(shows("3366FF", "(R51－G102－B255)") && f.txtColor->BackColor() == 0xFF6633);
        for (int i = 0; i < 3; ++i) {
            TestWindow::click(f.cmdColor[2]);
            TestWindow::click(f.cmdColor[4]);
        }
        // The menu changes the format from the next colour change on.
        f.mnu_Copymode[1]->trigger();
        TestWindow::click(f.cmdColor[2]);
        QTest::keyClick(f.VScrColor[0], Qt::Key_Down);
        TestWindow::click(f.cmdColor[2]);
        QCOMPARE(t.os.clipboardTexts, (QStringList{"FFFFFF", "3366FF", "#3366FF", "&HFF6633", "3366FF", "#3266FF"}));
        QVERIFY(t.os.clipboardClears == 6 && t.os.clipboard == u"#3266FF");

        // Quit: the saved palette is all that is left.
        TestWindow::click(f.cmdColor[7]);
        QVERIFY(!f.isVisible() && t.readFile(QStringLiteral("journey.pdt")) == saved);
        QVERIFY(t.os.messageBoxes.isEmpty());
    }
};

QTEST_MAIN(JourneyTest)
#include "tst_journey.moc"
