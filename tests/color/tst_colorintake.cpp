// Colours brought in and judged: colour codes read from the clipboard, screen picks, the
// contrast ratio's read-out, and Ctrl+C.

#include "color/ColorInput.h"
#include "color/Contrast.h"
#include "support/TestWindow.h"

#include <QTest>

using RGB = std::array<int, 3>;
using Stored = std::array<std::int32_t, 3>;
Q_DECLARE_METATYPE(RGB)

class ColorIntakeTest : public QObject {
    Q_OBJECT

    // A window that takes shortcuts: they act in the active window only.
    static bool activate(frmColor& f) {
        f.activateWindow();
        return QTest::qWaitForWindowActive(&f);
    }

private slots:
    void codes_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<RGB>("rgb"); // {-1, …}: refused; {-2, …}: refused as a colour with transparency
        const RGB no{-1, -1, -1};
        const RGB seeThrough{-2, -2, -2};
        QTest::addRow("plain") << " ff8000\n" << RGB{255, 128, 0};
        QTest::addRow("short html") << "#F80" << RGB{0xFF, 0x88, 0x00};
        QTest::addRow("&H with closing &") << "&h996633&" << RGB{0x33, 0x66, 0x99};
        QTest::addRow("&H short, as code writes it") << "&HFF&" << RGB{255, 0, 0};
        QTest::addRow("&H 8 digits") << "&H00FF8000&" << RGB{0x00, 0x80, 0xFF};
        QTest::addRow("&H 7 digits") << "&h0FF8000" << RGB{0x00, 0x80, 0xFF};
        QTest::addRow("&H 9 digits") << "&H000FF8000&" << no;
        QTest::addRow("&H all of blue") << "&H00FFFFFF" << RGB{255, 255, 255};
        QTest::addRow("&H one above blue") << "&H01000000&" << no;
        QTest::addRow("&H no digits") << "&H&" << no;
        QTest::addRow("# 5 digits") << "#FF800" << no;
        QTest::addRow("rgb numbers") << "RGB(255, 128, 0)" << RGB{255, 128, 0};
        QTest::addRow("rgb percentages") << "rgb(100%, 50%, 0%)" << RGB{255, 128, 0};
        QTest::addRow("rgb mixed") << "rgb(100%, 50, 0)" << no;
        QTest::addRow("rgb 256") << "rgb(256, 0, 0)" << no;
        QTest::addRow("rgb 100.1%%") << "rgb(100.1%, 0%, 0%)" << no;
        QTest::addRow("64 characters") << "rgb(255," + QString(49, u' ') + "128, 0)" << RGB{255, 128, 0};
        QTest::addRow("65 characters") << "rgb(255," + QString(50, u' ') + "128, 0)" << no;
        QTest::addRow("name") << "Orange" << RGB{255, 165, 0};
        QTest::addRow("name Qt lacks") << "rebeccapurple" << RGB{0x66, 0x33, 0x99};
        QTest::addRow("full-width") << "＃３３６６９９" << RGB{0x33, 0x66, 0x99};
        QTest::addRow("transparent") << "transparent" << no;
        QTest::addRow("#RRGGBBAA, alpha 99") << "#ff336699" << seeThrough;
        QTest::addRow("two codes") << "#336699 #336699" << no;
        // CSS and program-code forms, and alpha: fully opaque only.
        const RGB orange{255, 128, 0};
        QTest::addRow("#RRGGBBAA opaque") << "#FF8000FF" << orange;
        QTest::addRow("#RRGGBBAA FE") << "#FF8000FE" << seeThrough;
        QTest::addRow("#RGBA opaque") << "#F80F" << RGB{255, 136, 0};
        QTest::addRow("#RGBA E") << "#F80E" << seeThrough;
        QTest::addRow("# 7 digits") << "#FF8000F" << no;
        QTest::addRow("# alpha not hex") << "#FF8000GF" << no;
        QTest::addRow("0x") << "0xFF8000" << orange;
        QTest::addRow("0X, lower case") << " 0Xff8000 " << orange;
        QTest::addRow("0x 5 digits") << "0xFF800" << no;
        QTest::addRow("0x 8 digits") << "0xFF8000FF" << no;
        QTest::addRow("rgba alpha 1") << "rgba(255, 128, 0, 1)" << orange;
        QTest::addRow("rgba alpha 0.99") << "rgba(255, 128, 0, 0.99)" << seeThrough;
        QTest::addRow("rgba alpha 1.01") << "rgba(255, 128, 0, 1.01)" << no;
        QTest::addRow("rgba alpha 100%%") << "rgba(255,128,0,100%)" << orange;
        QTest::addRow("rgba alpha 99.9%%") << "rgba(255,128,0,99.9%)" << seeThrough;
        QTest::addRow("rgba alpha 100.1%%") << "rgba(255,128,0,100.1%)" << no;
        QTest::addRow("rgba without alpha") << "rgba(255, 128, 0)" << orange;
        QTest::addRow("rgb slash opaque") << "rgb(255 128 0 / 1)" << orange;
        QTest::addRow("rgb slash 0") << "rgb(255 128 0 / 0)" << seeThrough;
        QTest::addRow("rgb fraction") << "rgb(255, 127.5, 0)" << no;
        QTest::addRow("rgb alpha with unit") << "rgb(255 128 0 / 1deg)" << no;
        QTest::addRow("hsl commas") << "hsl(30, 100%, 50%)" << orange;
        QTest::addRow("hsl blanks") << "HSL(30 100% 50%)" << orange;
        QTest::addRow("hsl deg") << "hsl(30deg, 100%, 50%)" << orange;
        QTest::addRow("hsl turn") << "hsl(0.5turn, 100%, 50%)" << RGB{0, 255, 255};
        QTest::addRow("hsl 360 wraps to red") << "hsl(360, 100%, 50%)" << RGB{255, 0, 0};
        QTest::addRow("hsl 390 wraps") << "hsl(390, 100%, 50%)" << orange;
        QTest::addRow("hsl -30 wraps") << "hsl(-30, 100%, 50%)" << RGB{255, 0, 128};
        QTest::addRow("hsl -1.25turn wraps") << "hsl(-1.25turn, 100%, 50%)" << RGB{128, 0, 255};
        QTest::addRow("hsl 210 50 40") << "hsl(210, 50%, 40%)" << RGB{51, 102, 153};
        QTest::addRow("hsl grey 47%%, not 46.7%%") << "hsl(0, 0%, 47%)" << RGB{120, 120, 120};
        QTest::addRow("hsl s 0%%") << "hsl(30, 0%, 50%)" << RGB{128, 128, 128};
        QTest::addRow("hsl s 100.1%%") << "hsl(30, 100.1%, 50%)" << no;
        QTest::addRow("hsl l -1%%") << "hsl(30, 100%, -1%)" << no;
        QTest::addRow("hsl l 100%%") << "hsl(30, 100%, 100%)" << RGB{255, 255, 255};
        QTest::addRow("hsl s without %%") << "hsl(30, 100, 50%)" << no;
        QTest::addRow("hsl hue in %%") << "hsl(30%, 100%, 50%)" << no;
        QTest::addRow("hsl rad") << "hsl(0.5rad, 100%, 50%)" << no;
        QTest::addRow("hsl two numbers") << "hsl(30, 100%)" << no;
        QTest::addRow("hsla opaque") << "hsla(30, 100%, 50%, 1)" << orange;
        QTest::addRow("hsla half") << "hsla(30, 100%, 50%, 0.5)" << seeThrough;
        QTest::addRow("hsl slash 100%%") << "hsl(30 100% 50% / 100%)" << orange;
    }
    void codes() {
        QFETCH(QString, text);
        QFETCH(RGB, rgb);
        const ColorCodeReading read = ParseColorCode(text);
        const RGB refused = read.transparent ? RGB{-2, -2, -2} : RGB{-1, -1, -1};
        QCOMPARE((read.colour ? RGB{read.colour->r, read.colour->g, read.colour->b} : refused), rgb);
    }

    void quoting_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("quoted");
        const QString x39(39, u'x');
        QTest::addRow("40 characters") << x39 + "y" << x39 + "y";
        QTest::addRow("41 characters") << x39 + "yz" << x39 + "y…";
        QTest::addRow("a pair at the cut kept whole") << x39 + "😀" << x39 + "😀";
        QTest::addRow("a pair at the cut, more after") << x39 + "😀z" << x39 + "😀…";
        QTest::addRow("C0 controls and DEL") << QStringLiteral("a\u0001b\tc\nd\u001F e\u007F~") << "a b c d  e ~";
        QTest::addRow("C1 controls") << QStringLiteral("\u0080a\u009Fb\u00A0c") << QStringLiteral(" a b\u00A0c");
        QTest::addRow("line breaks and marks that reorder, and their neighbours")
            << QStringLiteral(
                   "\u2028\u2029\u202A\u202E\u202F\u2065\u2066\u2069\u206A\u200D\u200E\u200F\u2010\u061B\u061C\u061D")
            << QStringLiteral("  \u202F\u2065\u206A\u200D\u2010\u061B\u061D");
    }
    void quoting() {
        QFETCH(QString, text);
        QFETCH(QString, quoted);
        QCOMPARE(QuotedForMessage(text), quoted);
    }

    // Ctrl+V into the text colour, snapped in 216-colour mode. A refused text is quoted on one line
    // and shortened, and nothing changes.
    void pasting_data() {
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<RGB>("text");     // the text colour afterwards
        QTest::addColumn<QString>("told"); // a part of the message; empty: none
        const RGB kept{51, 102, 153};
        QTest::addRow("snapped") << "#6ACF9A" << RGB{102, 204, 153} << "";
        QTest::addRow("unreadable") << "hello\n" + QString(200, u'x') << kept << "「hello " + QString(34, u'x') + "…」";
        QTest::addRow("with transparency")
            << " #FF000080\n"
            << kept << "「#FF000080」は透明度のある色です。\nSwatchly が扱うのは不透明な色だけです。";
    }
    void pasting() {
        QFETCH(QString, clipboard);
        QFETCH(RGB, text);
        QFETCH(QString, told);
        TestWindow t;
        frmColor& f = *t.frm;
        QVERIFY(activate(f));
        f.optColor[1]->setChecked(true);
        f.mnu_Color_216->trigger();
        t.setSliders(51, 102, 153);
        const QString hint = f.lblExplain->Caption();
        t.os.clipboard = clipboard;
        QTest::keyClick(f.VScrColor[0], Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f.m.TextRGB, (Stored{text[0], text[1], text[2]}));
        QCOMPARE(t.os.messageBoxes.size(), told.isEmpty() ? 0 : 1);
        QVERIFY2(told.isEmpty() || (t.os.messageBoxes[0].text.contains(told) && f.lblExplain->Caption() == hint),
                 qPrintable(t.os.messageBoxes.value(0).text));
    }

    // The clipboard's owner answers late or never; the window goes on meanwhile.
    void pasteWaitsForTheOwner_data() {
        QTest::addColumn<int>("answerAfterMs"); // -1: never
        QTest::addColumn<bool>("panel");        // the file panel opens while the paste waits
        QTest::addColumn<RGB>("rgb");
        QTest::addColumn<QString>("message"); // a part of it; empty: none
        const RGB white{255, 255, 255};
        const RGB pasted{0x33, 0x66, 0x99};
        const QString noAnswer =
            QStringLiteral("クリップボードを持っているプログラムが 1 秒のうちに応答しませんでした");
        QTest::addRow("answered at once") << 0 << false << pasted << QString();
        QTest::addRow("answered at 0.9 s") << 900 << false << pasted << QString();
        QTest::addRow("never answered: the owner named at 1 s") << -1 << false << white << noAnswer;
        QTest::addRow("answered with the panel open") << 0 << true << white << QString();
        QTest::addRow("never answered, the panel open") << -1 << true << white << QString();
    }
    void pasteWaitsForTheOwner() {
        QFETCH(int, answerAfterMs);
        QFETCH(bool, panel);
        QFETCH(RGB, rgb);
        QFETCH(QString, message);
        TestWindow t;
        frmColor& f = *t.frm;
        QVERIFY(activate(f));
        t.os.clipboardWaits = true;
        QTest::keyClick(f.VScrColor[0], Qt::Key_V, Qt::ControlModifier);
        // A second Ctrl+V while one waits asks for nothing more.
        QTest::keyClick(f.VScrColor[0], Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(t.os.pendingClipboardReads.size(), 1);
        if (panel) {
            f.cmdColor_Click(0);
        }
        if (answerAfterMs >= 0) {
            QTest::qWait(answerAfterMs);
            QCOMPARE(t.os.clipboardReadsCancelled, 0);
            t.os.pendingClipboardReads.takeFirst()(QStringLiteral("#336699"));
        } else {
            QTest::qWait(900);
            QVERIFY(t.os.messageBoxes.isEmpty());
            QCOMPARE(t.os.pendingClipboardReads.size(), 1);
            QTRY_COMPARE_WITH_TIMEOUT(t.os.clipboardReadsCancelled, 1, 300); // about 1 s
            QVERIFY(t.os.pendingClipboardReads.isEmpty());
        }
        QTest::qWait(200); // nothing else comes
        QCOMPARE(t.os.messageBoxes.size(), message.isEmpty() ? 0 : 1);
        QVERIFY2(message.isEmpty() || t.os.messageBoxes[0].text.contains(message),
                 qPrintable(t.os.messageBoxes.value(0).text));
        QCOMPARE(f.m.BackgroundRGB, (Stored{rgb[0], rgb[1], rgb[2]}));
        // Over: the next paste asks again.
        if (panel) {
            f.cmdCancel_Click();
        }
        f.mnu_Color_Paste->trigger();
        QCOMPARE(t.os.pendingClipboardReads.size(), 1);
    }

    void contrast_data() {
        QTest::addColumn<RGB>("text");
        QTest::addColumn<RGB>("background");
        QTest::addColumn<QString>("shown");
        QTest::addRow("black on white") << RGB{0, 0, 0} << RGB{255, 255, 255} << "21.0:1 AAA";
        QTest::addRow("white on black") << RGB{255, 255, 255} << RGB{0, 0, 0} << "21.0:1 AAA";
        // The pairs of 8-bit colours nearest to each level, above and below it: no grey on white
        // sits there (#949494 on white is 3.03, #959595 2.995).
        QTest::addRow("7 + 8e-14") << RGB{0x47, 0xEF, 0x91} << RGB{0x18, 0x46, 0x46} << "7.0:1 AAA";
        QTest::addRow("7 - 6e-13") << RGB{0x01, 0x37, 0x40} << RGB{0x63, 0xD2, 0xAD} << "6.9:1 AA";
        QTest::addRow("4.5 + 8e-14") << RGB{0xBE, 0x64, 0xDB} << RGB{0x48, 0x0B, 0x1D} << "4.5:1 AA";
        QTest::addRow("4.5 - 3.5e-13") << RGB{0x3E, 0x22, 0x17} << RGB{0x89, 0x8C, 0xB8} << "4.4:1 AA大";
        QTest::addRow("3 + 1.5e-13") << RGB{0x32, 0xF1, 0x20} << RGB{0xBF, 0x39, 0xC2} << "3.0:1 AA大";
        QTest::addRow("3 - 6e-14") << RGB{0x82, 0x12, 0xDB} << RGB{0x89, 0xBB, 0x09} << "2.9:1 ✕";
    }
    void contrast() {
        QFETCH(RGB, text);
        QFETCH(RGB, background);
        QFETCH(QString, shown);
        QCOMPARE(ContrastReadout(Rgb{text[0], text[1], text[2]}, Rgb{background[0], background[1], background[2]}),
                 shown);
    }

    void screenPickAndThePanel() {
        TestWindow t;
        frmColor& f = *t.frm;
        QVERIFY(activate(f));
        QTest::keyClick(f.VScrColor[0], Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(t.os.pendingPicks.size(), 1);
        QVERIFY(f.lblExplain->Caption().contains(QStringLiteral("Esc")));
        t.os.pendingPicks.takeFirst()(qRgb(10, 20, 30), QString());
        QCOMPARE(f.m.BackgroundRGB, (Stored{10, 20, 30}));
        // Cancelled: the read-out comes back. Failed: the reason is told.
        f.mnu_Color_Pick->trigger();
        t.os.pendingPicks.takeFirst()(std::nullopt, QString());
        QCOMPARE(f.lblExplain->Caption(), f.SliderReadout());
        f.mnu_Color_Pick->trigger();
        t.os.pendingPicks.takeFirst()(std::nullopt, QStringLiteral("ポータルなし"));
        QCOMPARE(t.os.messageBoxes.size(), 1);
        // A pick ending while the panel is open changes nothing.
        f.mnu_Color_Pick->trigger();
        f.cmdColor_Click(0);
        t.os.pendingPicks.takeFirst()(qRgb(1, 1, 1), QString());
        QCOMPARE(f.m.BackgroundRGB, (Stored{10, 20, 30}));
        f.cmdCancel_Click();
        // Ctrl+C anywhere else is the copy button; in the preview, when none of its text is selected.
        QTest::keyClick(f.cmdColor[5], Qt::Key_C, Qt::ControlModifier);
        f.txtColor->setFocus();
        QTest::keyClick(f.txtColor, Qt::Key_C, Qt::ControlModifier);
        f.txtColor->selectAll();
        QTest::keyClick(f.txtColor, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(t.os.clipboardTexts, (QStringList{"0A141E", "0A141E"}));
        // Where the desktop has no pick, the item stays off, also after the panel.
        t.os.picksScreen = false;
        f.cmdColor_Click(1);
        f.cmdCancel_Click();
        QVERIFY(f.mnu_Color_Paste->isEnabled() && !f.mnu_Color_Pick->isEnabled());
    }
};

QTEST_MAIN(ColorIntakeTest)
#include "tst_colorintake.moc"
