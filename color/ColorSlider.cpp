#include "color/ColorSlider.h"

#include "app/ErrorGuard.h"
#include "app/layout/Controls.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QPainter>
#include <QStyleOptionSlider>
#include <algorithm>

namespace {

// What a screen reader sees: a slider whose value is the level, 0 at the bottom, 255 at the top.
class SliderAccessible final : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit SliderAccessible(ColorSlider* slider)
        : QAccessibleWidget(slider, QAccessible::Slider) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface) {
            return static_cast<QAccessibleValueInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text what) const override {
        return what == QAccessible::Value ? QString::number(slider()->Value()) : QAccessibleWidget::text(what);
    }
    QVariant currentValue() const override { return slider()->Value(); }
    void setCurrentValue(const QVariant& value) override {
        slider()->setValue(std::clamp(value.toInt(), slider()->Max(), slider()->Min()));
    }
    QVariant maximumValue() const override { return slider()->Min(); }
    QVariant minimumValue() const override { return slider()->Max(); }
    QVariant minimumStepSize() const override { return slider()->SmallChange(); }

private:
    ColorSlider* slider() const { return static_cast<ColorSlider*>(widget()); }
};

QAccessibleInterface* accessibleSlider(const QString& key, QObject* object) {
    auto* slider = key == QLatin1String("ColorSlider") ? qobject_cast<ColorSlider*>(object) : nullptr;
    return slider != nullptr ? new SliderAccessible(slider) : nullptr;
}

} // namespace

ColorSlider::ColorSlider(QWidget* parent)
    : QScrollBar(Qt::Vertical, parent) {
    // Asked for only when an accessibility client looks at a slider.
    static const bool accessible = (QAccessible::installFactory(accessibleSlider), true);
    Q_UNUSED(accessible);
    // The scroll bar runs -255 (top) .. 0 (bottom) so that its own arrows and keys move
    // the right way; the level is the negated value.
    setRange(-255, 0);
    setValue(0);
    setTracking(false);
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QAbstractSlider::valueChanged, this, &ColorSlider::Change);
}

void ColorSlider::setValue(int level) {
    if (level < Max() || level > Min()) {
        throw AppError(QStringLiteral("スライダーに設定できない値です: %1（0～255 の範囲外です）").arg(level));
    }
    QScrollBar::setValue(-level);
}

void ColorSlider::paintEvent(QPaintEvent*) {
    // The style draws the arrows; the track and the thumb are drawn here, a dark thumb on a
    // light track, so that the thumb stands out from both the track and the light arrow
    // buttons at every value, 0 and 255 included.
    QPainter painter(this);
    QStyleOptionSlider option;
    initStyleOption(&option);
    option.subControls = QStyle::SC_ScrollBarAddLine | QStyle::SC_ScrollBarSubLine;
    style()->drawComplexControl(QStyle::CC_ScrollBar, &option, &painter, this);

    const QRect track = style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarGroove, this);
    painter.fillRect(track, TrackColour);
    painter.fillRect(track.left(), track.top(), 1, track.height(), TrackEdgeColour);
    painter.fillRect(track.right(), track.top(), 1, track.height(), TrackEdgeColour);
    const QRect thumb = style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this);
    const bool held = isSliderDown();
    painter.fillRect(thumb.adjusted(2, 1, -2, -1), !isEnabled() ? TrackEdgeColour : (held ? Qt::black : ThumbColour));
    // Three grip lines across the middle of the thumb.
    const QPoint middle = thumb.center();
    for (int dy = -3; dy <= 3; dy += 3) {
        painter.fillRect(thumb.left() + 6, middle.y() + dy, thumb.width() - 12, 1, TrackColour);
    }
    if (hasFocus()) {
        PaintFocusMark(this, painter);
    }
}
