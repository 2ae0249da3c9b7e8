#pragma once

#include "app/frmColor.h"
#include "platform/FakePlatform.h"

#include <QScrollBar>
#include <QStyle>
#include <QTemporaryDir>
#include <memory>

// A fresh program for one test: its own program folder (a temporary folder), the platform
// double, and the loaded window.
struct TestWindow {
    QTemporaryDir folder;
    platform::FakePlatform os;
    std::unique_ptr<frmColor> frm;

    TestWindow();

    Module1& m() { return frm->m; }
    // The path of a file in the program folder.
    QString path(const QString& name) const;
    // Writes raw bytes into the program folder.
    void writeFile(const QString& name, const QByteArray& bytes) const;
    QByteArray readFile(const QString& name) const;

    // Real mouse input on a control, at its centre unless `at` is given.
    static void press(QWidget* widget, Qt::MouseButton button = Qt::LeftButton, QPoint at = {});
    static void click(QWidget* widget, QPoint at = {});
    static void hover(QWidget* widget, QPoint at = {});
    // Where a part of a scroll bar (an arrow, the track, the thumb) lies, in its coordinates.
    static QRect sliderPart(QScrollBar* bar, QStyle::SubControl part);
    // The colour painted at a point of a widget (its centre-right by default, clear of text).
    static QColor shownColour(QWidget* widget, QPoint at = {});
    // The current colour as the sliders show it, and setting it.
    std::array<int, 3> sliders() const;
    void setSliders(int r, int g, int b) const;

    // A control by its name, with the index of an array ("cmdColor(3)", "lblHex"); also
    // "client" (the bare window area) and "menuBar".
    QWidget* control(const QString& name) const;
    // A press and release at a point of a control, delivered to its window, which finds the
    // control under the point as the window system would; in between, the pointer moves to
    // each of `moves` (relative to the press) with the button held.
    static void pressInWindow(QWidget* widget, QPoint at, Qt::MouseButton button = Qt::LeftButton,
                              const QList<QPoint>& moves = {});
};
