// Colours brought in and judged: colour codes read from the clipboard, screen picks, the
// contrast ratio in the hint line, and Ctrl+C.

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
        QTest::addColumn<RGB>("rgb"); // {-1, …}: refused
        const RGB no{-1, -1, -1};
        QTest::addRow("plain") << " ff8000\n" << RGB{255, 128, 0};
        QTest::addRow("short html") << "#F80" << RGB{0xFF, 0x88, 0x00};
        QTest::addRow("&H with closing &") << "&h996633&" << RGB{0x33, 0x66, 0x99};
        QTest::addRow("&H short, as code writes it") << "&HFF&" << RGB{255, 0, 0};
        QTest::addRow("&H above blue") << "&H80000005&" << no;
        QTest::addRow("rgb numbers") << "RGB(255, 128, 0)" << RGB{255, 128, 0};
        QTest::addRow("rgb percentages") << "rgb(100%, 50%, 0%)" << RGB{255, 128, 0};
        QTest::addRow("rgb mixed") << "rgb(100%, 50, 0)" << no;
        QTest::addRow("rgb 256") << "rgb(256, 0, 0)" << no;
        QTest::addRow("name") << "Orange" << RGB{255, 165, 0};
        QTest::addRow("name Qt lacks") << "rebeccapurple" << RGB{0x66, 0x33, 0x99};
        QTest::addRow("full-width") << "＃３３６６９９" << RGB{0x33, 0x66, 0x99};
        QTest::addRow("transparent") << "transparent" << no;
        QTest::addRow("#AARRGGBB") << "#ff336699" << no;
        QTest::addRow("two codes") << "#336699 #336699" << no;
    }
    void codes() {
        QFETCH(QString, text);
        QFETCH(RGB, rgb);
        const auto read = ParseColorCode(text);
        QCOMPARE((read ? RGB{read->r, read->g, read->b} : RGB{-1, -1, -1}), rgb);
    }

    void pasting() {
        TestWindow t;
        frmColor& f = *t.frm;
        QVERIFY(activate(f));
        // Every copy format pastes back to the colour copied.
        for (int mode = 0; mode < 3; ++mode) {
            t.setSliders(18, 52, 171);
            f.m.CopyMode = mode;
            f.cmdColor_Click(2);
            t.setSliders(0, 0, 0);
            f.mnu_Color_Paste->trigger();
            QCOMPARE(f.m.BackgroundRGB, (Stored{18, 52, 171}));
        }
        // Ctrl+V into the text colour, snapped in 216-colour mode.
        f.optColor[1]->setChecked(true);
        f.mnu_Color_216->trigger();
        t.os.clipboard = QStringLiteral("#6ACF9A");
        QTest::keyClick(f.VScrColor[0], Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f.m.TextRGB, (Stored{102, 204, 153}));
        QVERIFY(t.os.messageBoxes.isEmpty());
        // Refused: the text, on one line and shortened, in the message; nothing changes.
        const QString hint = f.lblExplain->Caption();
        t.os.clipboard = QStringLiteral("hello\n") + QString(200, QLatin1Char('x'));
        f.mnu_Color_Paste->trigger();
        QCOMPARE(t.os.messageBoxes.size(), 1);
        const QString text = t.os.messageBoxes[0].text;
        QVERIFY2(text.contains(QStringLiteral("hello xxx")) && text.contains(QChar(u'…')) && text.size() < 200,
                 qPrintable(text));
        QCOMPARE(f.m.TextRGB, (Stored{102, 204, 153}));
        QCOMPARE(f.lblExplain->Caption(), hint);
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
        QTest::addRow("#777777, 4.48") << RGB{0x77, 0x77, 0x77} << RGB{255, 255, 255} << "4.4:1 AA大";
        QTest::addRow("#767676, 4.54") << RGB{0x76, 0x76, 0x76} << RGB{255, 255, 255} << "4.5:1 AA";
        QTest::addRow("#595959, 7.00") << RGB{0x59, 0x59, 0x59} << RGB{255, 255, 255} << "7.0:1 AAA";
        QTest::addRow("#5A5A5A, 6.897 down") << RGB{0x5A, 0x5A, 0x5A} << RGB{255, 255, 255} << "6.8:1 AA";
        QTest::addRow("#959595, 2.995 down") << RGB{0x95, 0x95, 0x95} << RGB{255, 255, 255} << "2.9:1 ✕";
    }
    void contrast() {
        QFETCH(RGB, text);
        QFETCH(RGB, background);
        QFETCH(QString, shown);
        QCOMPARE(ContrastReadout(Rgb{text[0], text[1], text[2]}, Rgb{background[0], background[1], background[2]}),
                 shown);
    }

    void contrastInTheHintLine() {
        TestWindow t;
        frmColor& f = *t.frm;
        QVERIFY(activate(f));
        QTest::keyClick(f.VScrColor[0], Qt::Key_K, Qt::ControlModifier);
        QVERIFY(f.mnu_Color_Contrast->isChecked());
        QCOMPARE(f.lblExplain->Caption(), QStringLiteral("(R255－G255－B255)　21.0:1 AAA"));
        // The text colour edited; over the bare window area too.
        f.optColor[1]->setChecked(true);
        t.setSliders(0x76, 0x76, 0x76);
        TestWindow::hover(f.lblHex);
        TestWindow::hover(f.client, QPoint(80, 28));
        QCOMPARE(f.lblExplain->Caption(), QStringLiteral("(R118－G118－B118)　4.5:1 AA"));
        f.mnu_Color_Contrast->trigger();
        QCOMPARE(f.lblExplain->Caption(), QStringLiteral("(R118－G118－B118)"));
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
        // The panel turns every addition off, and a pick ending meanwhile changes nothing.
        f.mnu_Color_Pick->trigger();
        f.cmdColor_Click(0);
        t.os.pendingPicks.takeFirst()(qRgb(1, 1, 1), QString());
        for (QAction* item : QList<QAction*>{f.mnu_Color_Paste, f.mnu_Color_Pick, f.mnu_Color_Contrast,
                                             f.mnu_Gimp_Export, f.mnu_Gimp_Import, f.copyShortcut}) {
            QVERIFY2(!item->isEnabled(), qPrintable(item->text()));
        }
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
