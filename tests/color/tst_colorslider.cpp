// The colour slider on its own: 255 at the top, which way the arrows, keys and track move it,
// the step sizes of the two modes, and when it raises Change.

#include "app/ErrorGuard.h"
#include "color/ColorSlider.h"
#include "support/TestWindow.h"

#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <memory>

class ColorSliderTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void topIsMaximum();
    void userInput_data();
    void userInput();
    void releaseOfDraggedThumbRaisesOneChange();
    void sameValueRaisesNothing();
    void valueOutsideRangeThrowsAndKeepsValue_data();
    void valueOutsideRangeThrowsAndKeepsValue();

private:
    // Where a part of the scroll bar lies, as the style draws it.
    QRect partRect(QStyle::SubControl part) const;
    void setSteps(int small, int large);

    std::unique_ptr<QWidget> m_window;
    ColorSlider* m_slider = nullptr;
};

void ColorSliderTest::init() {
    // The size the window gives each slider (495 x 2895 twips).
    m_window = std::make_unique<QWidget>();
    m_window->resize(60, 220);
    m_slider = new ColorSlider(m_window.get());
    m_slider->setGeometry(0, 0, 33, 193);
    m_slider->setMin(255);
    m_slider->setMax(0);
    setSteps(1, 16);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void ColorSliderTest::cleanup() {
    m_window.reset();
    m_slider = nullptr;
}

QRect ColorSliderTest::partRect(QStyle::SubControl part) const {
    return TestWindow::sliderPart(m_slider, part);
}

void ColorSliderTest::setSteps(int small, int large) {
    m_slider->setSmallChange(small);
    m_slider->setLargeChange(large);
}

void ColorSliderTest::topIsMaximum() {
    QCOMPARE(m_slider->Min(), 255);
    QCOMPARE(m_slider->Max(), 0);
    m_slider->setValue(255);
    const QRect top = partRect(QStyle::SC_ScrollBarSlider);
    m_slider->setValue(0);
    const QRect bottom = partRect(QStyle::SC_ScrollBarSlider);
    QVERIFY2(top.top() < bottom.top(), "the thumb of 255 must sit above the thumb of 0");
    QVERIFY(top.top() <= partRect(QStyle::SC_ScrollBarSubLine).bottom() + 2);

    // Home and End go to the two ends of the track.
    QTest::keyClick(m_slider, Qt::Key_Home);
    QCOMPARE(m_slider->Value(), 255);
    QTest::keyClick(m_slider, Qt::Key_End);
    QCOMPARE(m_slider->Value(), 0);
}

enum class Input { UpArrow, DownArrow, KeyUp, KeyDown, PageUp, PageDown, TrackAbove, TrackBelow };
Q_DECLARE_METATYPE(Input)

void ColorSliderTest::userInput_data() {
    QTest::addColumn<int>("small");
    QTest::addColumn<int>("large");
    QTest::addColumn<int>("start");
    QTest::addColumn<Input>("input");
    QTest::addColumn<int>("expected");

    QTest::newRow("full: up arrow +1") << 1 << 16 << 100 << Input::UpArrow << 101;
    QTest::newRow("full: down arrow -1") << 1 << 16 << 100 << Input::DownArrow << 99;
    QTest::newRow("full: Up key +1") << 1 << 16 << 100 << Input::KeyUp << 101;
    QTest::newRow("full: Down key -1") << 1 << 16 << 100 << Input::KeyDown << 99;
    QTest::newRow("full: PageUp +16") << 1 << 16 << 100 << Input::PageUp << 116;
    QTest::newRow("full: PageDown -16") << 1 << 16 << 100 << Input::PageDown << 84;
    QTest::newRow("full: track above thumb +16") << 1 << 16 << 100 << Input::TrackAbove << 116;
    QTest::newRow("full: track below thumb -16") << 1 << 16 << 100 << Input::TrackBelow << 84;
    QTest::newRow("full: up arrow stops at 255") << 1 << 16 << 255 << Input::UpArrow << 255;
    QTest::newRow("full: PageUp clamps at 255") << 1 << 16 << 250 << Input::PageUp << 255;
    QTest::newRow("full: down arrow stops at 0") << 1 << 16 << 0 << Input::DownArrow << 0;
    QTest::newRow("216: up arrow 153 -> 204") << 51 << 51 << 153 << Input::UpArrow << 204;
    QTest::newRow("216: down arrow 153 -> 102") << 51 << 51 << 153 << Input::DownArrow << 102;
    QTest::newRow("216: Up key 0 -> 51") << 51 << 51 << 0 << Input::KeyUp << 51;
    QTest::newRow("216: PageUp 51 -> 102") << 51 << 51 << 51 << Input::PageUp << 102;
    QTest::newRow("216: track above 102 -> 153") << 51 << 51 << 102 << Input::TrackAbove << 153;
    QTest::newRow("216: track below 204 -> 153") << 51 << 51 << 204 << Input::TrackBelow << 153;
}

void ColorSliderTest::userInput() {
    QFETCH(int, small);
    QFETCH(int, large);
    QFETCH(int, start);
    QFETCH(Input, input);
    QFETCH(int, expected);

    setSteps(small, large);
    m_slider->setValue(start);
    QCOMPARE(m_slider->Value(), start);
    m_slider->setFocus();
    QSignalSpy changes(m_slider, &ColorSlider::Change);

    const QRect thumb = partRect(QStyle::SC_ScrollBarSlider);
    switch (input) {
    case Input::UpArrow:
        QTest::mouseClick(m_slider, Qt::LeftButton, Qt::NoModifier, partRect(QStyle::SC_ScrollBarSubLine).center());
        break;
    case Input::DownArrow:
        QTest::mouseClick(m_slider, Qt::LeftButton, Qt::NoModifier, partRect(QStyle::SC_ScrollBarAddLine).center());
        break;
    case Input::KeyUp:
        QTest::keyClick(m_slider, Qt::Key_Up);
        break;
    case Input::KeyDown:
        QTest::keyClick(m_slider, Qt::Key_Down);
        break;
    case Input::PageUp:
        QTest::keyClick(m_slider, Qt::Key_PageUp);
        break;
    case Input::PageDown:
        QTest::keyClick(m_slider, Qt::Key_PageDown);
        break;
    case Input::TrackAbove:
        QVERIFY(thumb.top() > partRect(QStyle::SC_ScrollBarSubLine).bottom() + 2);
        QTest::mouseClick(m_slider, Qt::LeftButton, Qt::NoModifier, QPoint(thumb.center().x(), thumb.top() - 2));
        break;
    case Input::TrackBelow:
        QVERIFY(thumb.bottom() < partRect(QStyle::SC_ScrollBarAddLine).top() - 2);
        QTest::mouseClick(m_slider, Qt::LeftButton, Qt::NoModifier, QPoint(thumb.center().x(), thumb.bottom() + 2));
        break;
    }

    QCOMPARE(m_slider->Value(), expected);
    QCOMPARE(changes.count(), expected == start ? 0 : 1);
}

void ColorSliderTest::releaseOfDraggedThumbRaisesOneChange() {
    m_slider->setValue(10);
    QSignalSpy changes(m_slider, &ColorSlider::Change);
    // The drag as the scroll bar sees it: the thumb held down and moved through positions.
    m_slider->setSliderDown(true);
    for (int level : {40, 120, 254}) {
        m_slider->setSliderPosition(-level);
        QCOMPARE(changes.count(), 0);
        QCOMPARE(m_slider->Value(), 10);
    }
    m_slider->setSliderDown(false);
    QCOMPARE(changes.count(), 1);
    QCOMPARE(m_slider->Value(), 254);
}

void ColorSliderTest::sameValueRaisesNothing() {
    m_slider->setValue(77);
    QSignalSpy changes(m_slider, &ColorSlider::Change);
    m_slider->setValue(77);
    QCOMPARE(changes.count(), 0);
    // At the top end the up arrow and PageUp change nothing either.
    m_slider->setValue(255);
    QCOMPARE(changes.count(), 1);
    m_slider->setFocus();
    QTest::keyClick(m_slider, Qt::Key_PageUp);
    QTest::keyClick(m_slider, Qt::Key_Up);
    QCOMPARE(changes.count(), 1);
    // Code moves raise Change at once, inside the call.
    m_slider->setValue(0);
    QCOMPARE(changes.count(), 2);
}

void ColorSliderTest::valueOutsideRangeThrowsAndKeepsValue_data() {
    QTest::addColumn<int>("level");
    QTest::newRow("-1") << -1;
    QTest::newRow("256") << 256;
}

void ColorSliderTest::valueOutsideRangeThrowsAndKeepsValue() {
    QFETCH(int, level);
    m_slider->setValue(128);
    QSignalSpy changes(m_slider, &ColorSlider::Change);
    bool thrown = false;
    try {
        m_slider->setValue(level);
    } catch (const AppError& error) {
        thrown = true;
        QVERIFY2(error.message().contains(QString::number(level)), qPrintable(error.message()));
    }
    QVERIFY(thrown);
    QCOMPARE(m_slider->Value(), 128);
    QCOMPARE(changes.count(), 0);
    // The edges themselves are allowed.
    m_slider->setValue(0);
    m_slider->setValue(255);
    QCOMPARE(m_slider->Value(), 255);
}

QTEST_MAIN(ColorSliderTest)
#include "tst_colorslider.moc"
