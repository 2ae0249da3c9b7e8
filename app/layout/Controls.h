#pragma once

#include "resources/Icons.h"

#include <QAction>
#include <QColor>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <cstdint>
#include <optional>

class QPainter;

// A packed colour (red in the low byte, then green, then blue) as a QColor.
QColor ColorFromPacked(std::int32_t packed);
// Whether a value is a packed colour at all (its high byte clear).
constexpr bool IsPackedColor(std::int32_t value) {
    return (static_cast<std::uint32_t>(value) >> 24) == 0;
}

// The keyboard focus mark of the window's controls: a two-pixel frame in the highlight colour
// just inside the control's edge.
void PaintFocusMark(QWidget* widget, QPainter& painter);

// A label that paints itself: one line of text, optionally centred, on its background colour
// or transparent, with an optional one-pixel border. A background value that is no packed
// colour (its high byte set) shows as a light grey with a diagonal cross. Setting the caption it
// already shows does nothing, so the hint line can be written on every mouse move cheaply.
// Screen readers read its caption. A swatch, which has none, they read as its place and colour
// code (「色見本 5/16 #FF8000」), with the actions of its two mouse buttons; with the keyboard
// focus it shows the focus mark.
class Label final : public QWidget {
    Q_OBJECT
public:
    explicit Label(QWidget* parent = nullptr);

    // Makes the label the swatch at `place` (from 1) of `count`.
    void setSwatchPlace(int place, int count);
    int SwatchPlace() const { return m_place; }
    int SwatchCount() const { return m_count; }

    const QString& Caption() const { return m_caption; }
    void setCaption(const QString& caption);

    std::int32_t BackColor() const { return m_backColor; }
    void setBackColor(std::int32_t packed);
    void setForeColor(std::int32_t packed);
    void setTransparent(bool transparent);
    void setBorder(bool border);
    void setCentred(bool centred);
    // A caption wider than the label is drawn in the largest smaller size of the label's font
    // that fits.
    void setShrinkToFit(bool shrink);
    // Draws the caption on two lines, broken at its first blank, in the largest size of the
    // label's font (not above its own) at which both lines fit; a caption without a blank stays
    // on one line.
    void setTwoLines(bool twoLines);

signals:
    // A screen reader asks for a swatch's action: that of a click of this mouse button.
    void ActionRequested(Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // The room for the caption: inside the border, where there is one.
    QRect captionArea() const;
    // The font the caption's lines are drawn in (the second null for one line).
    QFont captionFont(const QString& first, const QString& second) const;

    QString m_caption;
    int m_place = 0; // 0: no swatch
    int m_count = 0;
    std::int32_t m_backColor = 0xFFFFFF;
    QColor m_back{Qt::white};
    QColor m_fore{Qt::black};
    bool m_transparent = false;
    bool m_border = false;
    bool m_centred = false;
    bool m_shrink = false;
    bool m_twoLines = false;
};

// A single-line text box whose background and text colours are set as packed colours.
class TextBox final : public QLineEdit {
    Q_OBJECT
public:
    explicit TextBox(QWidget* parent = nullptr);

    std::int32_t BackColor() const { return m_backColor; }
    void setBackColor(std::int32_t packed);
    std::int32_t ForeColor() const { return m_foreColor; }
    void setForeColor(std::int32_t packed);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_back{Qt::white};
    // Nothing set yet: the first assignment always takes effect.
    std::int32_t m_backColor = -1;
    std::int32_t m_foreColor = -1;
};

// A push button that shows either a caption or one of the program's pictures. A picture gives
// the button the accessible name of what the picture stands for; a picture of a state that is on
// or off (always on top) makes it a checked or unchecked toggle for screen readers.
class CommandButton final : public QPushButton {
    Q_OBJECT
public:
    explicit CommandButton(QWidget* parent = nullptr);

    PictureId Picture() const { return m_picture; }
    void setPicture(PictureId picture);
    // Whether the picture shows a state that is on or off, and which.
    std::optional<bool> ToggleState() const { return m_toggle; }

    // A button for something the desktop cannot do stays disabled, whatever enables it later.
    void setAvailable(bool available);

protected:
    // A caption wider than the button wraps onto further lines instead of being cut off.
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    PictureId m_picture = PictureId::None;
    std::optional<bool> m_toggle;
    bool m_available = true;
};

// An option button that marks its keyboard focus as the window's other controls do.
class OptionButton final : public QRadioButton {
    Q_OBJECT
public:
    using QRadioButton::QRadioButton;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A menu item whose check mark is set only by the program: choosing it raises the handler and
// leaves the mark as the handler set it.
class MenuItem final : public QAction {
    Q_OBJECT
public:
    MenuItem(const QString& caption, QObject* parent);

    bool Checked() const { return isChecked(); }
    void setChecked(bool on) { QAction::setChecked(on); }

signals:
    void Click();
};

// The names of the regular files of one folder that match a pattern, sorted; the folder is
// read on Refresh(). A name that is not valid UTF-8 is shown with its stray bytes escaped
// ("\xff"), and each entry keeps the name's bytes for opening the file.
class FileListBox final : public QListWidget {
    Q_OBJECT
public:
    explicit FileListBox(QWidget* parent = nullptr);

    QString Pattern() const { return m_pattern; }
    void setPattern(const QString& pattern);
    QString Path() const { return m_path; }
    void setPath(const QString& path);
    void Refresh();

    int ListCount();
    // The name at i, or an empty text outside the list.
    QString List(int i);
    // The path of the file at i as the bytes the system takes, or an empty array outside the list.
    QByteArray NativePath(int i);
    int ListIndex() const { return currentRow(); }
    void setListIndex(int i);

signals:
    // Raised when an entry is selected, by the user or by code, and when the user clicks the
    // entry that is already selected.
    void Click();

protected:
    bool viewportEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // The focus mark lies on the list's viewport: repainted whole when focus comes or goes or
    // the list scrolls.
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    // The folder is read when the list is first needed, not at start-up.
    void ensureRead();

    bool m_stale = true;
    QString m_pattern;
    QString m_path;
    int m_rowAtPress = -1;
};
