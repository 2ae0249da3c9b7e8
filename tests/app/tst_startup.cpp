// Start-up and shut-down: the state every other part of the program takes for granted.

#include "app/Main.h"
#include "resources/StringTable.h"
#include "support/TestWindow.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void initialState();
    void initialColourState();
    void filePanelHiddenAndStacked();
    void fileListShowsProgramFolderWhateverTheCurrentFolder();
    void closeBoxUnloadsOnce();
    void secondStartEndsQuietly();
};

void StartupTest::initialState() {
    TestWindow t;
    frmColor& f = *t.frm;
    QVERIFY(f.isVisible());
    QVERIFY(!f.windowIcon().isNull());
    QCOMPARE(f.Caption(), QStringLiteral("Swatchly：フルカラーモード"));
    QCOMPARE(f.cmdColor[3]->text(), QStringLiteral("フルカラー"));
    QCOMPARE(f.cmdColor[2]->text(), QStringLiteral("クリップボードへコピー"));
    QCOMPARE(f.cmdColor[2]->Picture(), 0);
    QVERIFY(f.cmdColor[2]->icon().isNull());
    QCOMPARE(f.optColor[0]->text(), QStringLiteral("背景色"));
    QCOMPARE(f.optColor[1]->text(), QStringLiteral("文字色"));
    QVERIFY(f.optColor[0]->isChecked());
    QVERIFY(!f.optColor[1]->isChecked());

    // Sliders at 255, which is the top of their track.
    QCOMPARE(t.sliders(), (std::array<int, 3>{255, 255, 255}));
    for (ColorSlider* slider : f.VScrColor) {
        QCOMPARE(slider->Min(), 255);
        QCOMPARE(slider->Max(), 0);
        QCOMPARE(slider->value(), slider->minimum());
    }
    QCOMPARE(f.focusWidget(), f.VScrColor[0]); // the window's focus, active or not
    QCOMPARE(f.lblHex->Caption(), QStringLiteral("FFFFFF"));
    QCOMPARE(f.lblExplain->Caption(), QStringLiteral("(R255－G255－B255)"));

    // The preview: "Swatchly" in black on white, as the user sees it.
    QCOMPARE(f.txtColor->text(), QStringLiteral("Swatchly"));
    QCOMPARE(f.txtColor->BackColor(), 0xFFFFFF);
    QCOMPARE(f.txtColor->ForeColor(), 0x000000);
    QCOMPARE(TestWindow::shownColour(f.txtColor), QColor(Qt::white));
    QCOMPARE(f.txtColor->palette().color(QPalette::Text), QColor(Qt::black));

    // Pictures, and the menu checks that go with them.
    const std::array<int, 8> pictures{107, 108, 0, 0, 104, 111, 103, 101};
    for (std::size_t i = 0; i < 8; ++i) {
        QCOMPARE(f.cmdColor[i]->Picture(), pictures[i]);
        QCOMPARE(f.cmdColor[i]->icon().isNull(), pictures[i] == 0);
        QVERIFY(f.cmdColor[i]->isEnabled());
    }
    for (Label* swatch : f.lblPallete) {
        QCOMPARE(swatch->BackColor(), 0xFFFFFF);
    }
    QVERIFY(f.mnu_Color_full->Checked() && !f.mnu_Color_216->Checked());
    QVERIFY(f.mnu_Copymode[0]->Checked() && !f.mnu_Copymode[1]->Checked() && !f.mnu_Copymode[2]->Checked());
    QVERIFY(!f.mnu_pallete[0]->Checked() && f.mnu_pallete[1]->Checked());
    QVERIFY(!f.mnu_Window_Topmost->Checked());
    QVERIFY(t.os.alwaysOnTopCalls.isEmpty());
    QVERIFY(t.os.messageBoxes.isEmpty());
}

void StartupTest::initialColourState() {
    TestWindow t;
    const Module1& m = t.m();
    QCOMPARE(m.BackgroundRGB, (std::array<std::int32_t, 3>{255, 255, 255}));
    QCOMPARE(m.TextRGB, (std::array<std::int32_t, 3>{0, 0, 0}));
    QVERIFY(m.EditingBackground);
    QCOMPARE(m.ColorMode, 0);
    QCOMPARE(m.CopyMode, 0);
    QVERIFY(!m.ShowingBasicPalette && !m.IsTopmost && !m.FilePanelOpen && !m.PanelSaving);
    QCOMPARE(m.HexR + m.HexG + m.HexB, QStringLiteral("FFFFFF"));
    PaletteTable white;
    white.fill(255, 255, 255);
    QCOMPARE(m.PaletteView, white);
    QCOMPARE(m.MyPalette, white);
    // The 16 basic colours, black to white, as packed colours (red in the low byte).
    const std::array<std::int32_t, 16> basic{0x000000, 0x800000, 0xFF0000, 0x00FF00, 0xFFFF00, 0x008000,
                                             0x808000, 0x000080, 0x800080, 0x008080, 0x808080, 0xC0C0C0,
                                             0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    for (int i = 0; i < 16; ++i) {
        const std::int32_t packed =
            m.BasicPalette.at(i, 0) + 256 * m.BasicPalette.at(i, 1) + 65536 * m.BasicPalette.at(i, 2);
        QCOMPARE(packed, basic[static_cast<std::size_t>(i)]);
    }
}

void StartupTest::filePanelHiddenAndStacked() {
    TestWindow t;
    frmColor& f = *t.frm;
    for (QWidget* w : QList<QWidget*>{f.FilPallete, f.txtPallete, f.cmdOK, f.cmdCancel}) {
        QVERIFY(w->isHidden());
    }
    QVERIFY(!f.cmdOK->isEnabled());
    QCOMPARE(f.cmdCancel->text(), QStringLiteral("戻る"));
    QCOMPARE(f.FilPallete->Pattern(), QStringLiteral("*.pdt"));

    // Stacked at the top-left corner, 10 twips in (a pixel, rounded): the list, 20 twips
    // (a pixel) below it the name box, 20 twips below that the OK button, and the back
    // button directly under it; both buttons as wide as the name box.
    const QRect list = f.FilPallete->geometry();
    const QRect name = f.txtPallete->geometry();
    const QRect ok = f.cmdOK->geometry();
    const QRect back = f.cmdCancel->geometry();
    QCOMPARE(list, QRect(1, 1, 97, 123));
    QCOMPARE(name, QRect(1, 124, 97, 25));
    QCOMPARE(ok, QRect(1, 150, 97, 33));
    QCOMPARE(back, QRect(1, 183, 97, 33));
    QCOMPARE(back.top(), ok.bottom() + 1);
}

void StartupTest::fileListShowsProgramFolderWhateverTheCurrentFolder() {
    QTemporaryDir elsewhere;
    QVERIFY(elsewhere.isValid());
    QFile(elsewhere.filePath(QStringLiteral("stranger.pdt"))).open(QIODevice::WriteOnly);
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(elsewhere.path()));
    {
        TestWindow t;
        t.writeFile(QStringLiteral("mine.pdt"), QByteArray(192, '\0'));
        QCOMPARE(t.frm->FilPallete->Path(), t.folder.path());
        QCOMPARE(t.frm->FilPallete->ListCount(), 1);
        QCOMPARE(t.frm->FilPallete->List(0), QStringLiteral("mine.pdt"));
    }
    QVERIFY(QDir::setCurrent(previous));
}

void StartupTest::closeBoxUnloadsOnce() {
    TestWindow t;
    // Help was never opened: the quit command goes to the help system all the same.
    QVERIFY(t.os.openedHelp.isEmpty());
    QVERIFY(t.frm->close());
    QVERIFY(!t.frm->isVisible());
    QCOMPARE(t.os.quitHelpFiles, QStringList{t.path(QStringLiteral("swatchly.hlp"))});
    QVERIFY(t.os.messageBoxes.isEmpty());
}

void StartupTest::secondStartEndsQuietly() {
    platform::FakePlatform os;
    os.otherInstance = true;
    const int before = static_cast<int>(QApplication::topLevelWidgets().size());
    char name[] = "swatchly";
    char* argv[] = {name, nullptr};
    QCOMPARE(Main(1, argv, os), 0);
    QCOMPARE(static_cast<int>(QApplication::topLevelWidgets().size()), before);
    QVERIFY(os.messageBoxes.isEmpty());
}

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
