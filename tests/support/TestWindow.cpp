#include "support/TestWindow.h"

#include "app/Appearance.h"

#include <QFile>
#include <QHash>
#include <QMenuBar>
#include <QStyleOptionSlider>
#include <QTest>

TestWindow::TestWindow()
    : os(QString()) {
    os.folder = folder.path();
    InstallFontSubstitutions();
    frm = std::make_unique<frmColor>(os);
    frm->Form_Load();
}

QString TestWindow::path(const QString& name) const {
    return folder.filePath(name);
}

void TestWindow::writeFile(const QString& name, const QByteArray& bytes) const {
    QFile file(path(name));
    QTEST_ASSERT(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

QByteArray TestWindow::readFile(const QString& name) const {
    QFile file(path(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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

void TestWindow::setSliders(int r, int g, int b) const {
    frm->VScrColor[0]->setValue(r);
    frm->VScrColor[1]->setValue(g);
    frm->VScrColor[2]->setValue(b);
}

QWidget* TestWindow::control(const QString& name) const {
    frmColor& f = *frm;
    QHash<QString, QWidget*> all{{"cmdCancel", f.cmdCancel},   {"cmdOK", f.cmdOK},       {"txtPallete", f.txtPallete},
                                 {"FilPallete", f.FilPallete}, {"txtColor", f.txtColor}, {"lblHex", f.lblHex},
                                 {"lblExplain", f.lblExplain}, {"client", f.client},     {"menuBar", f.menuBar()}};
    const auto add = [&all](const QString& array, const auto& items) {
        for (std::size_t i = 0; i < items.size(); ++i) {
            all.insert(array + QStringLiteral("(%1)").arg(i), items[i]);
        }
    };
    add("cmdColor", f.cmdColor);
    add("optColor", f.optColor);
    add("VScrColor", f.VScrColor);
    add("lblPallete", f.lblPallete);
    add("Label1", f.Label1);
    QTEST_ASSERT(all.contains(name));
    return all.value(name);
}

void TestWindow::pressInWindow(QWidget* widget, QPoint at, Qt::MouseButton button, const QList<QPoint>& moves) {
    const QPoint inWindow = widget->mapTo(widget->window(), at);
    QWindow* window = widget->window()->windowHandle();
    QTest::mousePress(window, button, Qt::NoModifier, inWindow);
    for (const QPoint& move : moves) {
        QTest::mouseMove(window, inWindow + move);
    }
    QTest::mouseRelease(window, button, Qt::NoModifier, inWindow + (moves.isEmpty() ? QPoint() : moves.last()));
}

QColor TestWindow::shownColour(QWidget* widget, QPoint at) {
    const QImage image = widget->grab().toImage();
    const QPoint point = at.isNull() ? QPoint(widget->width() - 6, widget->height() / 2) : at;
    return image.pixelColor(
        QPoint(qRound(point.x() * image.devicePixelRatio()), qRound(point.y() * image.devicePixelRatio())));
}

QRect TestWindow::sliderPart(QScrollBar* bar, QStyle::SubControl part) {
    // The style option the scroll bar paints itself with (initStyleOption is protected).
    struct Options : QScrollBar {
        static void of(const QScrollBar* bar, QStyleOptionSlider* option) { (bar->*&Options::initStyleOption)(option); }
    };
    QStyleOptionSlider option;
    Options::of(bar, &option);
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar);
}
