// The eight toolbar buttons, clicked with the mouse.

#include "resources/StringTable.h"
#include "support/TestWindow.h"

#include <QDir>
#include <QMenu>
#include <QTest>

namespace {

void setSliders(frmColor& f, int r, int g, int b) {
    f.VScrColor[0]->setValue(r);
    f.VScrColor[1]->setValue(g);
    f.VScrColor[2]->setValue(b);
}

void clickButton(frmColor& f, int i) {
    TestWindow::click(f.cmdColor.at(static_cast<std::size_t>(i)));
}

} // namespace

class ToolbarTest : public QObject {
    Q_OBJECT
private slots:
    void copyFormatCycles();
    void copyFormatAfterPaletteSwitchShowsSliderColour();
    void copyReplacesClipboardWithCode_data();
    void copyReplacesClipboardWithCode();
    void colourModeTwiceReturns();
    void paletteTwiceReturns();
    void alwaysOnTopToggles();
    void quitUnloadsLikeTheCloseBox();
    void quitWithPanelOpenAsksNothing();
    void openingThePanel_data();
    void openingThePanel();
};

void ToolbarTest::copyFormatCycles() {
    TestWindow t;
    frmColor& f = *t.frm;
    setSliders(f, 255, 128, 0);
    const QString readout = f.lblExplain->Caption();
    const std::array<int, 4> modes{1, 2, 0, 1};
    const std::array<int, 4> pictures{106, 105, 104, 106};
    const std::array<const char*, 4> codes{"#FF8000", "&H0080FF", "FF8000", "#FF8000"};
    for (std::size_t k = 0; k < 4; ++k) {
        clickButton(f, 4);
        QCOMPARE(t.m().CopyMode, modes[k]);
        QCOMPARE(f.cmdColor[4]->Picture(), pictures[k]);
        QCOMPARE(f.lblHex->Caption(), QString::fromLatin1(codes[k]));
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(f.mnu_Copymode[static_cast<std::size_t>(i)]->Checked(), i == modes[k]);
        }
        // The colour itself stays as it was.
        QCOMPARE(t.sliders(), (std::array<int, 3>{255, 128, 0}));
        QCOMPARE(f.txtColor->BackColor(), 0x0080FF);
        QCOMPARE(f.lblExplain->Caption(), readout);
    }
}

void ToolbarTest::copyFormatAfterPaletteSwitchShowsSliderColour() {
    TestWindow t;
    frmColor& f = *t.frm;
    setSliders(f, 10, 11, 12);
    clickButton(f, 5); // the basic palette, painted in other colours
    clickButton(f, 4);
    QCOMPARE(f.lblHex->Caption(), QStringLiteral("#0A0B0C"));
    TestWindow::press(f.lblPallete[5], Qt::RightButton); // basic palette: nothing registered
    clickButton(f, 5);                                   // back to My palette
    clickButton(f, 4);
    QCOMPARE(f.lblHex->Caption(), QStringLiteral("&H0C0B0A"));
    QCOMPARE(f.lblPallete[5]->BackColor(), 0xFFFFFF);
}

void ToolbarTest::copyReplacesClipboardWithCode_data() {
    QTest::addColumn<int>("formatClicks");
    QTest::addColumn<QString>("code");
    QTest::newRow("plain") << 0 << "FFFFFF";
    QTest::newRow("html") << 1 << "#FFFFFF";
    QTest::newRow("&H, one ampersand") << 2 << "&HFFFFFF";
}

void ToolbarTest::copyReplacesClipboardWithCode() {
    QFETCH(int, formatClicks);
    QFETCH(QString, code);
    TestWindow t;
    for (int i = 0; i < formatClicks; ++i) {
        clickButton(*t.frm, 4);
    }
    t.os.clipboard = QStringLiteral("something from before");
    clickButton(*t.frm, 2);
    // Cleared first, then the code as plain text: nothing of the old content is left.
    QCOMPARE(t.os.clipboardClears, 1);
    QCOMPARE(t.os.clipboardTexts, QStringList{code});
    QCOMPARE(t.os.clipboard, code);
}

void ToolbarTest::colourModeTwiceReturns() {
    TestWindow t;
    frmColor& f = *t.frm;
    setSliders(f, 200, 100, 30);
    clickButton(f, 3);
    QCOMPARE(t.m().ColorMode, 1);
    QCOMPARE(f.cmdColor[3]->text(), LoadResString(129));
    QCOMPARE(f.Caption(), LoadResString(107));
    QVERIFY(f.mnu_Color_216->Checked() && !f.mnu_Color_full->Checked());
    QCOMPARE(t.sliders(), (std::array<int, 3>{153, 51, 0}));
    QCOMPARE(f.VScrColor[0]->SmallChange(), 51);
    clickButton(f, 3);
    QCOMPARE(t.m().ColorMode, 0);
    QCOMPARE(f.cmdColor[3]->text(), QStringLiteral("フルカラー"));
    QCOMPARE(f.Caption(), LoadResString(106));
    QVERIFY(!f.mnu_Color_216->Checked() && f.mnu_Color_full->Checked());
    QCOMPARE(t.sliders(), (std::array<int, 3>{153, 51, 0})); // snapped values stay
    QCOMPARE(f.VScrColor[0]->SmallChange(), 1);
    QCOMPARE(f.VScrColor[0]->LargeChange(), 16);
}

void ToolbarTest::paletteTwiceReturns() {
    TestWindow t;
    frmColor& f = *t.frm;
    clickButton(f, 5);
    QVERIFY(t.m().ShowingBasicPalette);
    QCOMPARE(f.cmdColor[5]->Picture(), 110);
    QVERIFY(f.mnu_pallete[0]->Checked() && !f.mnu_pallete[1]->Checked());
    QVERIFY(!f.cmdColor[0]->isEnabled() && !f.cmdColor[1]->isEnabled());
    QCOMPARE(f.lblPallete[0]->BackColor(), 0x000000);
    QCOMPARE(f.lblPallete[12]->BackColor(), 0x0000FF); // red
    QCOMPARE(f.lblPallete[2]->BackColor(), 0xFF0000);  // blue
    // The disabled file buttons open nothing.
    clickButton(f, 0);
    clickButton(f, 1);
    QVERIFY(!t.m().FilePanelOpen);
    QVERIFY(f.FilPallete->isHidden());

    clickButton(f, 5);
    QVERIFY(!t.m().ShowingBasicPalette);
    QCOMPARE(f.cmdColor[5]->Picture(), 111);
    QVERIFY(!f.mnu_pallete[0]->Checked() && f.mnu_pallete[1]->Checked());
    QVERIFY(f.cmdColor[0]->isEnabled() && f.cmdColor[1]->isEnabled());
    for (Label* swatch : f.lblPallete) {
        QCOMPARE(swatch->BackColor(), 0xFFFFFF);
    }
    QCOMPARE(f.lblHex->Caption(), QStringLiteral("FFFFFF"));
}

void ToolbarTest::alwaysOnTopToggles() {
    TestWindow t;
    frmColor& f = *t.frm;
    const QRect where = f.geometry();
    clickButton(f, 6);
    QVERIFY(f.mnu_Window_Topmost->Checked());
    QCOMPARE(f.cmdColor[6]->Picture(), 102);
    QVERIFY(t.m().IsTopmost);
    QCOMPARE(t.os.alwaysOnTopCalls, QList<bool>{true});
    QCOMPARE(f.geometry(), where);
    QVERIFY(f.isVisible());
    clickButton(f, 6);
    QVERIFY(!f.mnu_Window_Topmost->Checked());
    QCOMPARE(f.cmdColor[6]->Picture(), 103);
    QVERIFY(!t.m().IsTopmost);
    QCOMPARE(t.os.alwaysOnTopCalls, (QList<bool>{true, false}));
}

void ToolbarTest::quitUnloadsLikeTheCloseBox() {
    TestWindow t;
    clickButton(*t.frm, 7);
    QVERIFY(!t.frm->isVisible());
    QCOMPARE(t.os.quitHelpFiles, QStringList{t.folder.path() + QStringLiteral("/swatchly.hlp")});
    QVERIFY(t.os.messageBoxes.isEmpty());
}

void ToolbarTest::quitWithPanelOpenAsksNothing() {
    TestWindow t;
    clickButton(*t.frm, 0);
    t.frm->txtPallete->setText(QStringLiteral("unsaved"));
    QVERIFY(t.frm->cmdColor[7]->isEnabled());
    clickButton(*t.frm, 7);
    QVERIFY(!t.frm->isVisible());
    QCOMPARE(t.os.quitHelpFiles.size(), 1);
    QVERIFY(t.os.messageBoxes.isEmpty());
    QVERIFY(QDir(t.folder.path()).entryList({QStringLiteral("*.pdt")}).isEmpty());
}

void ToolbarTest::openingThePanel_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("withFile");
    QTest::newRow("save, empty folder") << 0 << false;
    QTest::newRow("save, a file present") << 0 << true;
    QTest::newRow("load, empty folder") << 1 << false;
    QTest::newRow("load, a file present") << 1 << true;
}

void ToolbarTest::openingThePanel() {
    QFETCH(int, button);
    QFETCH(bool, withFile);
    const bool saving = button == 0;
    TestWindow t;
    frmColor& f = *t.frm;
    if (withFile) {
        QByteArray red(192, '\0');
        for (int i = 0; i < 16; ++i) {
            red[4 * i] = char(0xFF); // every entry (255, 0, 0)
        }
        t.writeFile(QStringLiteral("red.pdt"), red);
    }
    clickButton(f, button);
    QVERIFY(t.m().FilePanelOpen);
    QCOMPARE(t.m().PanelSaving, saving);
    QCOMPARE(f.Caption(), LoadResString(saving ? 131 : 132));
    QCOMPARE(f.cmdOK->text(), LoadResString(saving ? 133 : 134));

    QVERIFY(f.FilPallete->isVisible() && f.cmdOK->isVisible() && f.cmdCancel->isVisible());
    QCOMPARE(f.txtPallete->isVisible(), saving);
    for (std::size_t i = 0; i < 3; ++i) {
        QVERIFY(!f.VScrColor[i]->isVisible() && !f.Label1[i]->isVisible());
    }
    QVERIFY(!f.optColor[0]->isVisible() && !f.optColor[1]->isVisible());
    for (std::size_t i = 0; i < 7; ++i) {
        QVERIFY(!f.cmdColor[i]->isEnabled());
    }
    QVERIFY(f.cmdColor[7]->isEnabled());
    QVERIFY(!f.mnu_Color->isEnabled() && !f.mnu_based->isEnabled() && !f.mnu_option->isEnabled());
    QVERIFY(f.mnu_Help->isEnabled());

    // The first file is previewed at once and makes the action button usable.
    QCOMPARE(f.cmdOK->isEnabled(), withFile);
    QCOMPARE(f.FilPallete->ListIndex(), withFile ? 0 : -1);
    QCOMPARE(f.lblPallete[7]->BackColor(), withFile ? 0x0000FF : 0xFFFFFF);
    QCOMPARE(f.txtPallete->text(), saving && withFile ? QStringLiteral("red.pdt") : QString());

    // Saving: the button sits right under the name box; loading: where the name box would be.
    const int okTop = saving ? f.txtPallete->geometry().bottom() + 1 : f.FilPallete->height() + 1;
    QCOMPARE(f.cmdOK->y(), okTop);
    QCOMPARE(f.cmdCancel->y(), f.cmdOK->geometry().bottom() + 1);
    QCOMPARE(f.cmdOK->x(), 1);
    QCOMPARE(f.cmdOK->width(), f.txtPallete->width());
}

QTEST_MAIN(ToolbarTest)
#include "tst_toolbar.moc"
