#include "support/TestWindow.h"

#include "app/Main.h"

#include <QFile>
#include <QStyleOptionSlider>
#include <QTest>

TestWindow::TestWindow()
    : os(QString()) {
    os.folder = folder.path();
    InstallFontSubstitutions();
    frm = std::make_unique<frmColor>(os);
    frm->Form_Load();
}

TestWindow::~TestWindow() = default;

QString TestWindow::path(const QString& name) const {
    return folder.filePath(name);
}

void TestWindow::writeFile(const QString& name, const QByteArray& bytes) const {
    QFile file(path(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        qFatal("cannot write test file");
    }
}

QByteArray TestWindow::readFile(const QString& name) const {
    QFile file(path(name));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll();
}

void TestWindow::press(QWidget* widget, Qt::MouseButton button, QPoint at) {
    QTest::mousePress(widget, button, Qt::NoModifier, at.isNull() ? widget->rect().center() : at);
    QTest::mouseRelease(widget, button, Qt::NoModifier, at.isNull() ? widget->rect().center() : at);
}

void TestWindow::click(QWidget* widget, QPoint at) {
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, at.isNull() ? widget->rect().center() : at);
}

void TestWindow::hover(QWidget* widget, QPoint at) {
    QTest::mouseMove(widget, at.isNull() ? widget->rect().center() : at);
}

std::array<int, 3> TestWindow::sliders() const {
    return {frm->VScrColor[0]->Value(), frm->VScrColor[1]->Value(), frm->VScrColor[2]->Value()};
}

QColor TestWindow::shownColour(QWidget* widget, QPoint at) {
    const QImage image = widget->grab().toImage();
    const QPoint point = at.isNull() ? QPoint(widget->width() - 6, widget->height() / 2) : at;
    return image.pixelColor(
        QPoint(qRound(point.x() * image.devicePixelRatio()), qRound(point.y() * image.devicePixelRatio())));
}

QRect TestWindow::sliderPart(QScrollBar* bar, QStyle::SubControl part) {
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.subControls = QStyle::SC_All;
    option.orientation = bar->orientation();
    if (bar->orientation() == Qt::Horizontal) {
        option.state |= QStyle::State_Horizontal;
    }
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    option.upsideDown = bar->invertedAppearance();
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar);
}
