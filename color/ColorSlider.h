#pragma once

#include <QColor>
#include <QScrollBar>

// A vertical colour slider: 255 at the top, 0 at the bottom; the up arrow, the Up key and a
// click above the thumb increase the level. Change() is raised for every committed change of
// Value (arrows, keys, track clicks, the release of a dragged thumb, and setValue from code),
// never while the thumb is being dragged, and not when the value stays the same.
class ColorSlider final : public QScrollBar {
    Q_OBJECT
public:
    explicit ColorSlider(QWidget* parent = nullptr);

    // The level 0..255.
    int Value() const { return -value(); }
    // Throws AppError for a level outside 0..255; the slider keeps its value then.
    void setValue(int level);

    int SmallChange() const { return singleStep(); }
    int LargeChange() const { return pageStep(); }
    void setSmallChange(int step) { setSingleStep(step); }
    void setLargeChange(int step) { setPageStep(step); }
    // The level at the top and at the bottom end of the track.
    int Min() const { return -minimum(); }
    int Max() const { return -maximum(); }
    void setMin(int top) { setMinimum(-top); }
    void setMax(int bottom) { setMaximum(-bottom); }

    // The look: a dark thumb on a light track, well apart from each other and from the light
    // arrow buttons (contrast above 5 : 1).
    static constexpr QColor ThumbColour{0x4A, 0x4A, 0x4A};
    static constexpr QColor TrackColour{0xE2, 0xE2, 0xE2};
    static constexpr QColor TrackEdgeColour{0xB0, 0xB0, 0xB0};

signals:
    void Change();

protected:
    void paintEvent(QPaintEvent* event) override;
};
