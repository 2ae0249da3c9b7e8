#include "color/ColorSlider.h"

#include "app/ErrorGuard.h"

ColorSlider::ColorSlider(QWidget* parent)
    : QScrollBar(Qt::Vertical, parent) {
    // The scroll bar runs -255 (top) .. 0 (bottom) so that its own arrows and keys move
    // the right way; the level is the negated value.
    setRange(-255, 0);
    setValue(0);
    setTracking(false);
    setFocusPolicy(Qt::StrongFocus);
    // The thumb is the reading of the slider: a mid-grey thumb on the light track stands out
    // where the default near-white one hardly shows.
    QPalette colours = palette();
    colours.setColor(QPalette::Button, QColor(0xB4, 0xB4, 0xB4));
    setPalette(colours);
    connect(this, &QAbstractSlider::valueChanged, this, &ColorSlider::Change);
}

void ColorSlider::setValue(int level) {
    if (level < Max() || level > Min()) {
        throw AppError(QStringLiteral("スライダーに設定できない値です: %1（0～255 の範囲外です）").arg(level));
    }
    QScrollBar::setValue(-level);
}
