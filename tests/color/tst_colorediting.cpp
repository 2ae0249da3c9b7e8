// Colour editing in the window: the sliders and their steps, the two colour modes, background
// or text colour, what the display shows of the slider colour, the copy formats and the copy.

#include "app/ErrorGuard.h"
#include "color/ColorCode.h"
#include "platform/QtPlatform.h"
#include "resources/StringTable.h"
#include "support/TestWindow.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>

using RGB = std::array<int, 3>;
using Stored = std::array<std::int32_t, 3>;
Q_DECLARE_METATYPE(RGB)

class ColorEditingTest : public QObject {
    Q_OBJECT

private slots:
    void sliderInput_data() {
        // How the blue slider is moved: a key, a click on a part of the scroll bar, a drag of the
        // thumb to a level, or setValue from code (refused outside 0..255).
        QTest::addColumn<bool>("in216");
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("arg");
        QTest::addColumn<int>("expected");
        const int up = QStyle::SC_ScrollBarSubLine, down = QStyle::SC_ScrollBarAddLine;
        const int above = QStyle::SC_ScrollBarSubPage, below = QStyle::SC_ScrollBarAddPage;
        const QString key = QStringLiteral("key"), click = QStringLiteral("click"), drag = QStringLiteral("drag"),
                      code = QStringLiteral("code");
        QTest::newRow("full: up arrow +1") << false << 100 << click << up << 101;
        QTest::newRow("full: down arrow -1") << false << 100 << click << down << 99;
        QTest::newRow("full: Up key +1") << false << 100 << key << int(Qt::Key_Up) << 101;
        QTest::newRow("full: PageUp +16") << false << 100 << key << int(Qt::Key_PageUp) << 116;
        QTest::newRow("full: track above +16") << false << 100 << click << above << 116;
        QTest::newRow("full: track below -16") << false << 100 << click << below << 84;
        QTest::newRow("full: same value") << false << 77 << code << 77 << 77;
        QTest::newRow("full: code 255") << false << 100 << code << 255 << 255;
        QTest::newRow("full: code 256 refused") << false << 100 << code << 256 << 100;
        QTest::newRow("full: code 0") << false << 100 << code << 0 << 0;
        QTest::newRow("full: code -1 refused") << false << 100 << code << -1 << 100;
        QTest::newRow("full: drag to 200") << false << 102 << drag << 200 << 200;
        QTest::newRow("216: up arrow one level") << true << 153 << click << up << 204;
        QTest::newRow("216: Up key 0 -> 51") << true << 0 << key << int(Qt::Key_Up) << 51;
        QTest::newRow("216: track above 102 -> 153") << true << 102 << click << above << 153;
        QTest::newRow("216: drag to 254 -> 204") << true << 102 << drag << 254 << 204;
        QTest::newRow("216: drag to 50 -> 0") << true << 102 << drag << 50 << 0;
        QTest::newRow("216: drag to 51 stays") << true << 102 << drag << 51 << 51;
        QTest::newRow("216: code 254 -> 204") << true << 102 << code << 254 << 204;
    }

    void sliderInput() {
        QFETCH(bool, in216);
        QFETCH(int, start);
        QFETCH(QString, how);
        QFETCH(int, arg);
        QFETCH(int, expected);
        TestWindow t;
        frmColor& f = *t.frm;
        if (in216) {
            TestWindow::click(f.cmdColor[3]);
        }
        ColorSlider* blue = f.VScrColor[2];
        blue->setValue(start);
        blue->setFocus();
        QSignalSpy changes(blue, &ColorSlider::Change);
        if (how == u"key") {
            QTest::keyClick(blue, Qt::Key(arg));
        } else if (how == u"click") {
            TestWindow::click(blue, TestWindow::sliderPart(blue, QStyle::SubControl(arg)).center());
        } else if (how == u"code") {
            try {
                blue->setValue(arg);
                QVERIFY(arg >= 0 && arg <= 255);
            } catch (const AppError& error) { // naming the value
                QVERIFY2(error.message().contains(QString::number(arg)) && (arg < 0 || arg > 255),
                         qPrintable(error.message()));
            }
        } else {
            // Nothing follows the thumb while it is held, moved by the mouse (down: lower) or to exact levels.
            const QPoint grab = TestWindow::sliderPart(blue, QStyle::SC_ScrollBarSlider).center();
            QTest::mousePress(blue, Qt::LeftButton, Qt::NoModifier, grab);
            QTest::mouseMove(blue, grab + QPoint(0, 40));
            QVERIFY(-blue->sliderPosition() < start);
            for (int level : {180, arg}) {
                blue->setSliderPosition(-level);
                QCOMPARE(changes.count(), 0);
                QCOMPARE(blue->Value(), start);
                QCOMPARE(f.lblHex->Caption(), QString::asprintf("FFFF%02X", start));
            }
            QTest::mouseRelease(blue, Qt::LeftButton, Qt::NoModifier, grab);
        }
        QCOMPARE(blue->Value(), expected);
        QCOMPARE(t.m().BackgroundRGB[2], expected);
        QCOMPARE(f.lblHex->Caption(), QString::asprintf("FFFF%02X", expected));
        // Snapping a raw level onto a level of 216 runs the handler once more, nested.
        const bool snapped = (how == u"drag" || how == u"code") && arg != expected;
        QCOMPARE(changes.count(), expected == start ? 0 : snapped ? 2 : 1);
    }

    void modes_data() {
        // Steps from a background of (200, 100, 30) being edited and a text colour of (10, 60, 250):
        // b the mode button, 6 and f the 216-colour and full-colour menu items, t and g the text and
        // background options. Only the colour being edited is snapped; the other one as it is loaded.
        QTest::addColumn<QString>("steps");
        QTest::addColumn<bool>("in216");
        QTest::addColumn<RGB>("background");
        QTest::addColumn<RGB>("text");
        const RGB bg{200, 100, 30}, text{10, 60, 250}, bg216{153, 51, 0}, text216{0, 51, 204};
        QTest::newRow("button: 216") << "b" << true << bg216 << text;
        QTest::newRow("216 item") << "6" << true << bg216 << text;
        QTest::newRow("216 item twice") << "66" << true << bg216 << text;
        QTest::newRow("full item in full colour") << "f" << false << bg << text;
        QTest::newRow("button twice") << "bb" << false << bg216 << text;
        QTest::newRow("216 item, button") << "6b" << false << bg216 << text;
        QTest::newRow("button, full item") << "bf" << false << bg216 << text;
        QTest::newRow("216, then the text colour") << "bt" << true << bg216 << text216;
        QTest::newRow("the text colour, then 216") << "tb" << true << bg << text216;
        QTest::newRow("216, text, full, background") << "btbg" << false << bg216 << text216;
    }

    void modes() {
        QFETCH(QString, steps);
        QFETCH(bool, in216);
        QFETCH(RGB, background);
        QFETCH(RGB, text);
        TestWindow t;
        frmColor& f = *t.frm;
        TestWindow::click(f.optColor[1]);
        t.setSliders(10, 60, 250);
        TestWindow::click(f.optColor[0]);
        t.setSliders(200, 100, 30);
        for (const QChar step : steps) {
            if (step == u't' || step == u'g') {
                TestWindow::click(f.optColor[step == u't' ? 1 : 0]);
                continue;
            }
            f.txtColor->setFocus(); // a mode change hands the focus to the red slider
            step == u'b' ? TestWindow::click(f.cmdColor[3])
                         : (step == u'6' ? f.mnu_Color_216 : f.mnu_Color_full)->trigger();
            QCOMPARE(f.focusWidget(), static_cast<QWidget*>(f.VScrColor[0]));
        }
        QCOMPARE(t.m().ColorMode, in216 ? ColorGamut::Web216 : ColorGamut::Full);
        QCOMPARE(f.Caption(), LoadResString(in216 ? TextId::Web216Mode : TextId::FullColorMode));
        QCOMPARE(f.cmdColor[3]->text(), LoadResString(in216 ? TextId::Web216Button : TextId::FullColorButton));
        QVERIFY(f.cmdColor[3]->text() != LoadResString(in216 ? TextId::FullColorButton : TextId::Web216Button));
        QVERIFY(f.mnu_Color_216->isChecked() == in216 && f.mnu_Color_full->isChecked() == !in216);
        for (ColorSlider* slider : f.VScrColor) {
            QCOMPARE(slider->SmallChange(), in216 ? 51 : 1);
            QCOMPARE(slider->LargeChange(), in216 ? 51 : 16);
        }
        const bool editingText = steps.lastIndexOf(u't') > steps.lastIndexOf(u'g');
        QVERIFY(f.optColor[1]->isChecked() == editingText && t.m().EditingBackground == !editingText);
        QCOMPARE(t.m().BackgroundRGB, (Stored{background[0], background[1], background[2]}));
        QCOMPARE(t.m().TextRGB, (Stored{text[0], text[1], text[2]}));
        QCOMPARE(t.sliders(), editingText ? text : background);
        QCOMPARE(f.txtColor->BackColor(), PackedColor(background[0], background[1], background[2]));
        QCOMPARE(f.txtColor->palette().color(QPalette::Text), QColor(text[0], text[1], text[2]));
    }

    void display_data() {
        QTest::addColumn<RGB>("rgb");
        QTest::addColumn<QString>("code");
        QTest::newRow("leading zeros") << RGB{10, 11, 12} << QStringLiteral("0A0B0C");
        QTest::newRow("the blue in the high byte") << RGB{255, 0, 128} << QStringLiteral("FF0080");
        QTest::newRow("upper-case digits") << RGB{171, 205, 239} << QStringLiteral("ABCDEF");
    }

    void display() {
        QFETCH(RGB, rgb);
        QFETCH(QString, code);
        TestWindow t;
        frmColor& f = *t.frm;
        t.setSliders(rgb[0], rgb[1], rgb[2]);
        QCOMPARE(f.lblHex->Caption(), code);
        QCOMPARE(TestWindow::shownColour(f.txtColor), QColor(rgb[0], rgb[1], rgb[2]));
        QCOMPARE(f.lblExplain->Caption(), QStringLiteral("(R%1－G%2－B%3)").arg(rgb[0]).arg(rgb[1]).arg(rgb[2]));
    }

    void copyFormatMenuKeepsTheCodeUntilTheNextChange_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<PictureId>("icon");
        QTest::addColumn<QString>("code");
        QTest::newRow("digits") << 0 << PictureId::PlainHexFormat << QStringLiteral("FF8000");
        QTest::newRow("HTML") << 1 << PictureId::HtmlFormat << QStringLiteral("#FF8000");
        QTest::newRow("&H, one ampersand") << 2 << PictureId::AmpHFormat << QStringLiteral("&H0080FF");
        QTest::newRow("rgb()") << 3 << PictureId::CssRgbFormat << QStringLiteral("rgb(255, 128, 0)");
        QTest::newRow("hsl()") << 4 << PictureId::CssHslFormat << QStringLiteral("hsl(30, 100%, 50%)");
        QTest::newRow("0x") << 5 << PictureId::ZeroXFormat << QStringLiteral("0xFF8000");
    }

    void copyFormatMenuKeepsTheCodeUntilTheNextChange() {
        QFETCH(int, mode);
        QFETCH(PictureId, icon);
        QFETCH(QString, code);
        TestWindow t;
        frmColor& f = *t.frm;
        f.mnu_Copymode[mode == 0 ? 2 : 0]->trigger(); // start from another format
        t.setSliders(255, 128, 1);
        const QString shown = f.lblHex->Caption();

        // The check and the picture move at once; choosing the checked item again changes nothing.
        for (int again = 0; again < 2; ++again) {
            f.mnu_Copymode[static_cast<std::size_t>(mode)]->trigger();
            QCOMPARE(t.m().CopyMode, CopyFormats.at(static_cast<std::size_t>(mode)));
            for (std::size_t i = 0; i < f.mnu_Copymode.size(); ++i) {
                QCOMPARE(f.mnu_Copymode[i]->isChecked(), int(i) == mode);
            }
            QCOMPARE(f.cmdColor[4]->Picture(), icon);
            QCOMPARE(f.lblHex->Caption(), shown);
        }
        TestWindow::click(f.cmdColor[2]);

        // The next colour change, to (255, 128, 0), shows the new format; the copy clears the
        // clipboard and leaves only that text.
        f.VScrColor[2]->setFocus();
        QTest::keyClick(f.VScrColor[2], Qt::Key_Down);
        QCOMPARE(f.lblHex->Caption(), code);
        TestWindow::click(f.cmdColor[2]);
        QCOMPARE(t.os.clipboardClears, 2);
        QCOMPARE(t.os.clipboardTexts, (QStringList{shown, code}));
        QCOMPARE(t.os.clipboard, code);
        // Pasted into the text colour, the code gives the colour back.
        f.optColor[frmColor::TextOption]->setChecked(true);
        f.mnu_Color_Paste->trigger();
        QCOMPARE(t.m().TextRGB, (Stored{255, 128, 0}));
        QCOMPARE(f.lblHex->Caption(), code);
        QVERIFY(t.os.messageBoxes.isEmpty());
    }

    void realClipboardHoldsOnlyTheText() {
        platform::QtPlatform os;
        frmColor f(os);
        f.Form_Load();
        f.VScrColor[1]->setValue(128);
        f.VScrColor[2]->setValue(0);
        TestWindow::click(f.cmdColor[4]);
        TestWindow::click(f.cmdColor[4]);

        // Whatever another program left there, in another format.
        auto* before = new QMimeData;
        before->setHtml(QStringLiteral("<b>old</b>"));
        QGuiApplication::clipboard()->setMimeData(before);

        TestWindow::click(f.cmdColor[2]);
        const QMimeData* now = QGuiApplication::clipboard()->mimeData();
        QCOMPARE(now->text(), QStringLiteral("&H0080FF"));
        QCOMPARE(now->formats(), QStringList{QStringLiteral("text/plain")});
    }
};

QTEST_MAIN(ColorEditingTest)
#include "tst_colorediting.moc"
