// Colour editing in the window: the sliders, the two colour modes, background or text colour,
// and what the display shows of the slider colour.

#include "color/ColorCode.h"
#include "resources/StringTable.h"
#include "support/TestWindow.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>

using RGB = std::array<int, 3>;
using Stored = std::array<std::int32_t, 3>;
Q_DECLARE_METATYPE(RGB)

namespace {

QRect sliderPart(ColorSlider* slider, QStyle::SubControl part) {
    return TestWindow::sliderPart(slider, part);
}

void clickUpArrow(ColorSlider* slider) {
    QTest::mouseClick(slider, Qt::LeftButton, Qt::NoModifier, sliderPart(slider, QStyle::SC_ScrollBarSubLine).center());
}

void clickTrackAboveThumb(ColorSlider* slider) {
    const QRect thumb = sliderPart(slider, QStyle::SC_ScrollBarSlider);
    QTest::mouseClick(slider, Qt::LeftButton, Qt::NoModifier, QPoint(thumb.center().x(), thumb.top() - 2));
}

// The thumb held, moved to a level and let go, as the scroll bar sees a drag.
void dragThumbTo(ColorSlider* slider, int level) {
    slider->setSliderDown(true);
    slider->setSliderPosition(-level);
    slider->setSliderDown(false);
}

void setSliders(frmColor& f, RGB rgb) {
    for (std::size_t i = 0; i < 3; ++i) {
        f.VScrColor[i]->setValue(rgb[i]);
    }
}

Stored stored(RGB rgb) {
    return {rgb[0], rgb[1], rgb[2]};
}

} // namespace

class ColorEditingTest : public QObject {
    Q_OBJECT

private slots:
    void releasedThumbSnapsIn216Mode_data();
    void releasedThumbSnapsIn216Mode();
    void mouseDragSnapsOnRelease();
    void oneArrowClickMovesOneLevel();
    void enteringAndLeaving216Mode();
    void display_data();
    void display();
    void editingTextColourChangesOnlyTextColour();
    void equalColoursLoadWithoutChange();
    void indicatorsAgreeWhicheverPath_data();
    void indicatorsAgreeWhicheverPath();
};

void ColorEditingTest::releasedThumbSnapsIn216Mode_data() {
    QTest::addColumn<int>("released");
    QTest::addColumn<int>("expected");
    QTest::newRow("254 -> 204") << 254 << 204;
    QTest::newRow("50 -> 0") << 50 << 0;
    QTest::newRow("51 stays") << 51 << 51;
    QTest::newRow("255 stays") << 255 << 255;
}

void ColorEditingTest::releasedThumbSnapsIn216Mode() {
    QFETCH(int, released);
    QFETCH(int, expected);
    TestWindow t;
    frmColor& f = *t.frm;
    TestWindow::click(f.cmdColor[3]);
    QCOMPARE(t.m().ColorMode, 1);
    ColorSlider* red = f.VScrColor[0];
    red->setValue(102);

    dragThumbTo(red, released);
    QCOMPARE(red->Value(), expected);
    QCOMPARE(t.m().BackgroundRGB[0], expected);
    QCOMPARE(f.lblHex->Caption(), HexDigits(expected) + QStringLiteral("FFFF"));
    QCOMPARE(f.txtColor->BackColor(), PackedColor(expected, 255, 255));

    // The same rule when code moves the slider.
    red->setValue(102);
    red->setValue(released);
    QCOMPARE(red->Value(), expected);
    QCOMPARE(t.m().BackgroundRGB[0], expected);
    QCOMPARE(f.lblExplain->Caption(), QStringLiteral("(R%1－G255－B255)").arg(expected));
}

void ColorEditingTest::mouseDragSnapsOnRelease() {
    TestWindow t;
    frmColor& f = *t.frm;
    TestWindow::click(f.cmdColor[3]);
    ColorSlider* green = f.VScrColor[1];
    green->setValue(0);
    const QString before = f.lblHex->Caption();
    QSignalSpy changes(green, &ColorSlider::Change);

    const QPoint grab = sliderPart(green, QStyle::SC_ScrollBarSlider).center();
    QTest::mousePress(green, Qt::LeftButton, Qt::NoModifier, grab);
    const QPoint to = grab - QPoint(0, 70);
    QMouseEvent move(QEvent::MouseMove, QPointF(to), green->mapToGlobal(QPointF(to)), Qt::LeftButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(green, &move);
    const int raw = -green->sliderPosition();
    QVERIFY(raw > 0);
    // Nothing follows the thumb while it is held.
    QCOMPARE(changes.count(), 0);
    QCOMPARE(green->Value(), 0);
    QCOMPARE(f.lblHex->Caption(), before);

    QTest::mouseRelease(green, Qt::LeftButton, Qt::NoModifier, to);
    QCOMPARE(green->Value(), SnapTo216(raw));
    QCOMPARE(t.m().BackgroundRGB[1], SnapTo216(raw));
    QCOMPARE(f.lblHex->Caption(), QStringLiteral("FF") + HexDigits(SnapTo216(raw)) + QStringLiteral("FF"));
}

void ColorEditingTest::oneArrowClickMovesOneLevel() {
    TestWindow t;
    frmColor& f = *t.frm;
    TestWindow::click(f.cmdColor[3]);
    ColorSlider* blue = f.VScrColor[2];
    blue->setValue(153);
    clickUpArrow(blue);
    QCOMPARE(blue->Value(), 204);
    QCOMPARE(t.m().BackgroundRGB[2], 204);
    QCOMPARE(f.lblHex->Caption(), QStringLiteral("FFFFCC"));

    blue->setValue(51);
    clickTrackAboveThumb(blue);
    QCOMPARE(blue->Value(), 102);
    blue->setFocus();
    QTest::keyClick(blue, Qt::Key_Up);
    QCOMPARE(blue->Value(), 153);
    QTest::keyClick(blue, Qt::Key_PageDown);
    QCOMPARE(blue->Value(), 102);
}

void ColorEditingTest::enteringAndLeaving216Mode() {
    TestWindow t;
    frmColor& f = *t.frm;
    Module1& m = t.m();

    // The text colour first, then the background, both in full-colour mode.
    TestWindow::click(f.optColor[1]);
    QVERIFY(f.optColor[1]->isChecked());
    QVERIFY(!m.EditingBackground);
    setSliders(f, {10, 60, 250});
    TestWindow::click(f.optColor[0]);
    QVERIFY(m.EditingBackground);
    QCOMPARE(t.sliders(), (RGB{255, 255, 255}));
    setSliders(f, {200, 100, 30});
    QCOMPARE(m.TextRGB, stored({10, 60, 250}));

    // Only the colour being edited is snapped.
    TestWindow::click(f.cmdColor[3]);
    QCOMPARE(t.sliders(), (RGB{153, 51, 0}));
    QCOMPARE(m.BackgroundRGB, stored({153, 51, 0}));
    QCOMPARE(m.TextRGB, stored({10, 60, 250}));
    QCOMPARE(f.lblHex->Caption(), QStringLiteral("993300"));
    QCOMPARE(f.txtColor->BackColor(), PackedColor(153, 51, 0));

    // The text colour is snapped as it is loaded into the sliders.
    TestWindow::click(f.optColor[1]);
    QCOMPARE(t.sliders(), (RGB{0, 51, 204}));
    QCOMPARE(m.TextRGB, stored({0, 51, 204}));
    QCOMPARE(m.BackgroundRGB, stored({153, 51, 0}));
    QCOMPARE(f.txtColor->ForeColor(), PackedColor(0, 51, 204));
    QCOMPARE(f.txtColor->BackColor(), PackedColor(153, 51, 0));

    // Back in full-colour mode the snapped values stay; steps are 1 and 16 again.
    TestWindow::click(f.cmdColor[3]);
    QCOMPARE(m.ColorMode, 0);
    QCOMPARE(t.sliders(), (RGB{0, 51, 204}));
    clickUpArrow(f.VScrColor[0]);
    QCOMPARE(f.VScrColor[0]->Value(), 1);
    clickTrackAboveThumb(f.VScrColor[1]);
    QCOMPARE(f.VScrColor[1]->Value(), 67);
    QCOMPARE(m.TextRGB, stored({1, 67, 204}));
    QCOMPARE(f.lblHex->Caption(), QStringLiteral("0143CC"));
}

void ColorEditingTest::display_data() {
    QTest::addColumn<RGB>("rgb");
    QTest::addColumn<int>("copyMode");
    QTest::addColumn<QString>("code");

    QTest::newRow("black, digits") << RGB{0, 0, 0} << 0 << QStringLiteral("000000");
    QTest::newRow("10 11 12, digits") << RGB{10, 11, 12} << 0 << QStringLiteral("0A0B0C");
    QTest::newRow("10 11 12, &H") << RGB{10, 11, 12} << 2 << QStringLiteral("&H0C0B0A");
    QTest::newRow("255 0 128, HTML") << RGB{255, 0, 128} << 1 << QStringLiteral("#FF0080");
    QTest::newRow("255 0 128, &H") << RGB{255, 0, 128} << 2 << QStringLiteral("&H8000FF");
    QTest::newRow("171 205 239, digits upper-case") << RGB{171, 205, 239} << 0 << QStringLiteral("ABCDEF");
}

void ColorEditingTest::display() {
    QFETCH(RGB, rgb);
    QFETCH(int, copyMode);
    QFETCH(QString, code);
    TestWindow t;
    frmColor& f = *t.frm;
    f.mnu_Copymode[static_cast<std::size_t>(copyMode)]->trigger();
    setSliders(f, rgb);

    QCOMPARE(f.lblHex->Caption(), code);
    QCOMPARE(t.m().HexR + t.m().HexG + t.m().HexB, HexDigits(rgb[0]) + HexDigits(rgb[1]) + HexDigits(rgb[2]));
    QCOMPARE(f.txtColor->BackColor(), rgb[0] + 256 * rgb[1] + 65536 * rgb[2]);
    QCOMPARE(TestWindow::shownColour(f.txtColor), QColor(rgb[0], rgb[1], rgb[2]));
    QCOMPARE(f.lblExplain->Caption(), QStringLiteral("(R%1－G%2－B%3)").arg(rgb[0]).arg(rgb[1]).arg(rgb[2]));
    if (rgb == RGB{255, 0, 128}) {
        QCOMPARE(f.txtColor->BackColor(), 8388863);
    }
}

void ColorEditingTest::editingTextColourChangesOnlyTextColour() {
    TestWindow t;
    frmColor& f = *t.frm;
    f.VScrColor[0]->setValue(100);
    const std::int32_t background = f.txtColor->BackColor();
    QCOMPARE(background, PackedColor(100, 255, 255));

    TestWindow::click(f.optColor[1]);
    QCOMPARE(t.sliders(), (RGB{0, 0, 0}));
    f.VScrColor[1]->setFocus();
    QTest::keyClick(f.VScrColor[1], Qt::Key_PageUp);
    QCOMPARE(f.VScrColor[1]->Value(), 16);
    QCOMPARE(f.txtColor->ForeColor(), PackedColor(0, 16, 0));
    QCOMPARE(f.txtColor->palette().color(QPalette::Text), QColor(0, 16, 0));
    QCOMPARE(f.txtColor->BackColor(), background);
    QCOMPARE(t.m().BackgroundRGB, stored({100, 255, 255}));
    QCOMPARE(t.m().TextRGB, stored({0, 16, 0}));
    QCOMPARE(f.lblHex->Caption(), QStringLiteral("001000"));
}

void ColorEditingTest::equalColoursLoadWithoutChange() {
    TestWindow t;
    frmColor& f = *t.frm;
    TestWindow::click(f.optColor[1]);
    setSliders(f, {40, 50, 60});
    TestWindow::click(f.optColor[0]);
    setSliders(f, {40, 50, 60});
    const QString code = f.lblHex->Caption();

    QSignalSpy red(f.VScrColor[0], &ColorSlider::Change);
    QSignalSpy green(f.VScrColor[1], &ColorSlider::Change);
    QSignalSpy blue(f.VScrColor[2], &ColorSlider::Change);
    TestWindow::click(f.optColor[1]);
    QVERIFY(f.optColor[1]->isChecked());
    QVERIFY(!t.m().EditingBackground);
    QCOMPARE(red.count() + green.count() + blue.count(), 0);
    QCOMPARE(f.lblHex->Caption(), code);
    QCOMPARE(f.txtColor->BackColor(), PackedColor(40, 50, 60));
    QCOMPARE(f.txtColor->ForeColor(), PackedColor(40, 50, 60));
    QVERIFY(t.os.messageBoxes.isEmpty());
}

void ColorEditingTest::indicatorsAgreeWhicheverPath_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QList<int>>("modes");
    QTest::newRow("button, button") << QStringList{QStringLiteral("button"), QStringLiteral("button")}
                                    << QList<int>{1, 0};
    QTest::newRow("menu 216, button") << QStringList{QStringLiteral("216"), QStringLiteral("button")}
                                      << QList<int>{1, 0};
    QTest::newRow("button, menu full") << QStringList{QStringLiteral("button"), QStringLiteral("full")}
                                       << QList<int>{1, 0};
    QTest::newRow("mode in force chosen again")
        << QStringList{QStringLiteral("full"), QStringLiteral("216"), QStringLiteral("216"), QStringLiteral("button"),
                       QStringLiteral("button")}
        << QList<int>{0, 1, 1, 0, 1};
}

void ColorEditingTest::indicatorsAgreeWhicheverPath() {
    QFETCH(QStringList, steps);
    QFETCH(QList<int>, modes);
    TestWindow t;
    frmColor& f = *t.frm;
    for (qsizetype i = 0; i < steps.size(); ++i) {
        // Focus elsewhere first: the set-up must hand it to the red slider.
        f.txtColor->setFocus();
        const QString& step = steps.at(i);
        if (step == QLatin1String("button")) {
            TestWindow::click(f.cmdColor[3]);
        } else if (step == QLatin1String("216")) {
            f.mnu_Color_216->trigger();
        } else {
            f.mnu_Color_full->trigger();
        }
        const bool is216 = modes.at(i) == 1;
        QCOMPARE(t.m().ColorMode, modes.at(i));
        QCOMPARE(f.Caption(), LoadResString(is216 ? 107 : 106));
        QCOMPARE(f.cmdColor[3]->text(), LoadResString(is216 ? 129 : 128));
        QCOMPARE(f.mnu_Color_216->isChecked(), is216);
        QCOMPARE(f.mnu_Color_full->isChecked(), !is216);
        for (ColorSlider* slider : f.VScrColor) {
            QCOMPARE(slider->SmallChange(), is216 ? 51 : 1);
            QCOMPARE(slider->LargeChange(), is216 ? 51 : 16);
            QCOMPARE(slider->Min(), 255);
            QCOMPARE(slider->Max(), 0);
        }
        QCOMPARE(f.focusWidget(), static_cast<QWidget*>(f.VScrColor[0]));
    }
    QVERIFY(t.os.messageBoxes.isEmpty());
}

QTEST_MAIN(ColorEditingTest)
#include "tst_colorediting.moc"
