#pragma once

#include <QRect>
#include <QWidget>

// The window's layout unit: 15 twips are one device-independent pixel.
namespace twips {

constexpr int PerPixel = 15;

constexpr int toPixels(int twips) {
    // Rounded to the nearest pixel, halves away from zero.
    return twips >= 0 ? (twips + PerPixel / 2) / PerPixel : -((-twips + PerPixel / 2) / PerPixel);
}

constexpr int fromPixels(int pixels) {
    return pixels * PerPixel;
}

inline QRect rect(int left, int top, int width, int height) {
    return {toPixels(left), toPixels(top), toPixels(width), toPixels(height)};
}

inline int Top(const QWidget* w) {
    return fromPixels(w->y());
}
inline int Width(const QWidget* w) {
    return fromPixels(w->width());
}
inline int Height(const QWidget* w) {
    return fromPixels(w->height());
}
inline void setTop(QWidget* w, int value) {
    w->move(w->x(), toPixels(value));
}
inline void setLeft(QWidget* w, int value) {
    w->move(toPixels(value), w->y());
}
inline void setWidth(QWidget* w, int value) {
    w->resize(toPixels(value), w->height());
}

} // namespace twips
