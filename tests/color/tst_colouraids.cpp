// Help with the pair of colours in the window: Ctrl+J fixing the contrast of the colour being
// edited, the sample text drawn as seen with another colour vision, and the hint line's ratio as
// seen that way.

#include "support/TestWindow.h"

#include <QMenu>
#include <QTest>

using RGB = std::array<int, 3>;
using Stored = std::array<std::int32_t, 3>;
Q_DECLARE_METATYPE(RGB)

namespace {

constexpr RGB White{255, 255, 255}, Black{0, 0, 0};

// The background and the text colour set through the sliders, the sliders left on `edit`.
void setColours(TestWindow& t, RGB background, RGB text, bool editBackground) {
    frmColor& f = *t.frm;
    f.optColor[frmColor::TextOption]->setChecked(true);
    t.setSliders(text[0], text[1], text[2]);
    f.optColor[frmColor::BackgroundOption]->setChecked(true);
    t.setSliders(background[0], background[1], background[2]);
    if (!editBackground) {
        f.optColor[frmColor::TextOption]->setChecked(true);
    }
}

QColor colour(RGB c) {
    return QColor(c[0], c[1], c[2]);
}

} // namespace

class ColourAidsTest : public QObject {
    Q_OBJECT

private slots:
    void fixContrast_data() {
        QTest::addColumn<bool>("in216");
        QTest::addColumn<bool>("editBackground");
        QTest::addColumn<RGB>("background");
        QTest::addColumn<RGB>("text");
        QTest::addColumn<RGB>("fixed");      // the edited colour after Ctrl+J
        QTest::addColumn<QString>("said");   // the hint line's text, or a part of the message
        QTest::addColumn<bool>("inMessage"); // `said` is in a message box
        const QString aaa = QStringLiteral("すでにAAA（7:1以上）を満たしています");
        // The rules of the fix are pinned in tst_colourtools; here what the window does with its outcomes.
        const RGB g118{118, 118, 118}, g119{119, 119, 119}, g89{89, 89, 89};
        QTest::addRow("#777777 text on white: 767676") << false << false << White << g119 << g118 << "" << false;
        QTest::addRow("#777777 background under white text: 767676")
            << false << true << g119 << White << g118 << "" << false;
        QTest::addRow("7.0:1: nothing, said") << false << false << White << g89 << g89 << aaa << false;
        QTest::addRow("216: #999999 text on white: 666666")
            << true << false << White << RGB{153, 153, 153} << RGB{102, 102, 102} << "" << false;
        QTest::addRow("AAA beyond reach, black best")
            << false << false << g119 << Black << Black
            << QStringLiteral("文字色をどの色にしても、背景色 #777777 とのコントラスト比は 7:1（AAA）に届きません。\n"
                              "届く最大の比は 4.6:1 AA で、そのときの文字色は黒（#000000）です。")
            << true;
        QTest::addRow("AAA beyond reach, white best, background edited")
            << false << true << White << RGB{100, 100, 100} << White
            << QStringLiteral("背景色をどの色にしても、文字色 #646464 とのコントラスト比は 7:1（AAA）に届きません。\n"
                              "届く最大の比は 5.9:1 AA で、そのときの背景色は白（#FFFFFF）です。")
            << true;
    }
    void fixContrast() {
        QFETCH(bool, in216);
        QFETCH(bool, editBackground);
        QFETCH(RGB, background);
        QFETCH(RGB, text);
        QFETCH(RGB, fixed);
        QFETCH(QString, said);
        QFETCH(bool, inMessage);
        TestWindow t;
        frmColor& f = *t.frm;
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        if (in216) {
            f.mnu_Color_216->trigger();
        }
        setColours(t, background, text, editBackground);
        const Stored otherBefore = editBackground ? t.m().TextRGB : t.m().BackgroundRGB;
        f.lblExplain->setCaption(QStringLiteral("(before)"));
        QTest::keyClick(f.VScrColor[1], Qt::Key_J, Qt::ControlModifier);

        // The edited colour through the sliders, the other as it was.
        QCOMPARE(t.sliders(), fixed);
        QCOMPARE(editBackground ? t.m().BackgroundRGB : t.m().TextRGB, (Stored{fixed[0], fixed[1], fixed[2]}));
        QCOMPARE(editBackground ? t.m().TextRGB : t.m().BackgroundRGB, otherBefore);
        QCOMPARE(f.lblHex->Caption(), QString::asprintf("%02X%02X%02X", fixed[0], fixed[1], fixed[2]));
        QCOMPARE(t.os.messageBoxes.size(), inMessage ? 1 : 0);
        if (inMessage) {
            QCOMPARE(t.os.messageBoxes[0].text, said);
            QCOMPARE(f.lblExplain->Caption(), QStringLiteral("(before)"));
        } else {
            // Told in the hint line where nothing changed, else the read-out of the new colour.
            QCOMPARE(f.lblExplain->Caption(), said.isEmpty() ? f.SliderReadout() : said);
        }
    }

    void fixThroughTheMenu() {
        TestWindow t;
        frmColor& f = *t.frm;
        setColours(t, White, RGB{255, 0, 0}, false);
        f.mnu_Color_Fix->trigger();
        QCOMPARE(t.m().TextRGB, (Stored{238, 0, 0}));
        QCOMPARE(f.mnu_Color_Fix->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_J));
    }

    void simulation_data() {
        // The colours drawn are those of the published matrices (tst_colourtools).
        QTest::addColumn<int>("item");
        QTest::addColumn<RGB>("background");
        QTest::addColumn<RGB>("text");
        QTest::addColumn<RGB>("drawnBackground");
        QTest::addColumn<RGB>("drawnText");
        const RGB blue{0x33, 0x66, 0xCC};
        QTest::addRow("none") << 0 << blue << RGB{255, 0, 0} << blue << RGB{255, 0, 0};
        QTest::addRow("1型: the background") << 1 << blue << Black << RGB{40, 114, 208} << Black;
        QTest::addRow("2型: the text") << 2 << White << RGB{255, 0, 0} << White << RGB{163, 144, 0};
        QTest::addRow("3型: both") << 3 << RGB{255, 128, 0} << RGB{0, 0, 255} << RGB{255, 98, 109} << RGB{0, 107, 150};
        QTest::addRow("1色覚") << 4 << blue << RGB{0, 255, 0} << RGB{107, 107, 107} << RGB{0xDC, 0xDC, 0xDC};
    }
    void simulation() {
        QFETCH(int, item);
        QFETCH(RGB, background);
        QFETCH(RGB, text);
        QFETCH(RGB, drawnBackground);
        QFETCH(RGB, drawnText);
        TestWindow t;
        frmColor& f = *t.frm;
        setColours(t, background, text, true);
        const QString code = f.lblHex->Caption();
        f.mnu_Vision[std::size_t(item == 0 ? 2 : 0)]->trigger(); // from another one
        f.mnu_Vision[std::size_t(item)]->trigger();
        for (std::size_t i = 0; i < f.mnu_Vision.size(); ++i) {
            QCOMPARE(f.mnu_Vision[i]->isChecked(), int(i) == item);
        }
        // Only the sample is drawn otherwise; the code, the sliders and the colours stay.
        QCOMPARE(TestWindow::shownColour(f.txtColor), colour(drawnBackground));
        QCOMPARE(f.txtColor->palette().color(QPalette::Text), colour(drawnText));
        QCOMPARE(f.lblHex->Caption(), code);
        QCOMPARE(t.sliders(), background);
        QCOMPARE(t.m().BackgroundRGB, (Stored{background[0], background[1], background[2]}));
        QCOMPARE(t.m().TextRGB, (Stored{text[0], text[1], text[2]}));
        f.cmdColor_Click(frmColor::CopyButton);
        QCOMPARE(t.os.clipboard, code);
        // A colour edited meanwhile is drawn the same way: the background as the text was.
        t.setSliders(text[0], text[1], text[2]);
        QCOMPARE(TestWindow::shownColour(f.txtColor), colour(drawnText));
        // Back to none: the colours themselves.
        f.mnu_Vision[0]->trigger();
        QCOMPARE(TestWindow::shownColour(f.txtColor), colour(text));
        QCOMPARE(f.txtColor->palette().color(QPalette::Text), colour(text));
    }

    // The hint line's read-out of the edited colour, with the ratio after Ctrl+K, as seen with the
    // vision chosen; a second Ctrl+K takes the ratio away.
    void readout_data() {
        QTest::addColumn<int>("item");
        QTest::addColumn<bool>("contrast");
        QTest::addColumn<bool>("editBackground");
        QTest::addColumn<RGB>("background");
        QTest::addColumn<RGB>("text");
        QTest::addColumn<QString>("readout");
        QTest::addRow("none: the ratio only")
            << 0 << true << true << White << RGB{255, 0, 0} << QStringLiteral("(R255－G255－B255)　3.9:1 AA大");
        QTest::addRow("2型: as seen, after it") << 2 << true << true << White << RGB{255, 0, 0}
                                                << QStringLiteral("(R255－G255－B255)　3.9:1 AA大（2型 3.2:1 AA大）");
        QTest::addRow("1型") << 1 << true << true << White << RGB{255, 0, 0}
                             << QStringLiteral("(R255－G255－B255)　3.9:1 AA大（1型 6.3:1 AA）");
        QTest::addRow("3型: green on blue") << 3 << true << true << RGB{0, 0, 255} << RGB{0, 255, 0}
                                            << QStringLiteral("(R0－G0－B255)　6.2:1 AA（3型 4.3:1 AA大）");
        QTest::addRow("1色覚: greys keep the ratio") << 4 << true << true << RGB{0, 0, 255} << RGB{0, 255, 0}
                                                     << QStringLiteral("(R0－G0－B255)　6.2:1 AA（1色覚 6.2:1 AA）");
        QTest::addRow("2型, the ratio not shown")
            << 2 << false << true << White << RGB{255, 0, 0} << QStringLiteral("(R255－G255－B255)");
        QTest::addRow("the text colour edited")
            << 0 << true << false << White << RGB{118, 118, 118} << QStringLiteral("(R118－G118－B118)　4.5:1 AA");
    }
    void readout() {
        QFETCH(int, item);
        QFETCH(bool, contrast);
        QFETCH(bool, editBackground);
        QFETCH(RGB, background);
        QFETCH(RGB, text);
        QFETCH(QString, readout);
        TestWindow t;
        frmColor& f = *t.frm;
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        setColours(t, background, text, editBackground);
        if (contrast) {
            QTest::keyClick(f.VScrColor[0], Qt::Key_K, Qt::ControlModifier);
        }
        QCOMPARE(f.mnu_Color_Contrast->isChecked(), contrast);
        f.mnu_Vision[std::size_t(item)]->trigger();
        QCOMPARE(f.lblExplain->Caption(), readout); // at once
        TestWindow::hover(f.lblHex);
        TestWindow::hover(f.client, QPoint(216, 50)); // and over the bare window area
        QCOMPARE(f.lblExplain->Caption(), readout);
        if (contrast) {
            QTest::keyClick(f.VScrColor[0], Qt::Key_K, Qt::ControlModifier);
            QCOMPARE(f.lblExplain->Caption(), readout.section(u'　', 0, 0));
        }
    }
};

QTEST_MAIN(ColourAidsTest)
#include "tst_colouraids.moc"
