#include "app/layout/Controls.h"

#include "resources/Icons.h"
#include "resources/StringTable.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionButton>
#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>

QColor ColorFromPacked(std::int32_t packed) {
    const auto value = static_cast<std::uint32_t>(packed);
    return QColor(static_cast<int>(value & 0xFFu), static_cast<int>((value >> 8) & 0xFFu),
                  static_cast<int>((value >> 16) & 0xFFu));
}

void PaintFocusMark(QWidget* widget, QPainter& painter) {
    QPen pen(widget->palette().color(QPalette::Active, QPalette::Highlight), 2.0);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(widget->rect()).adjusted(2, 2, -2, -2));
}

// --- Label ------------------------------------------------------------------------------

namespace {

// What a screen reader sees of a label: its caption as name and value; a swatch, which has
// none, names its place and its colour as a code (色見本 5/16 #FF8000) and offers the actions of
// its two mouse buttons. A name given to the label comes first.
class LabelAccessible final : public QAccessibleWidget {
public:
    explicit LabelAccessible(Label* label)
        : QAccessibleWidget(label, QAccessible::StaticText) {}

    QAccessible::Role role() const override { return swatch() ? QAccessible::Button : QAccessible::StaticText; }

    QString text(QAccessible::Text what) const override {
        const Label* label = this->label();
        if (what == QAccessible::Value) {
            return label->Caption();
        }
        if (what != QAccessible::Name || !label->accessibleName().isEmpty()) {
            return QAccessibleWidget::text(what);
        }
        if (!label->Caption().isEmpty()) {
            return label->Caption();
        }
        const QString colour =
            IsPackedColor(label->BackColor())
                ? QStringLiteral("#%1")
                      .arg(ColorFromPacked(label->BackColor()).rgb() & 0xFFFFFFu, 6, 16, QLatin1Char('0'))
                      .toUpper()
                : LoadResString(TextId::UnshowableColour);
        if (!swatch()) {
            return colour;
        }
        return LoadResString(TextId::SwatchName).arg(label->SwatchPlace()).arg(label->SwatchCount()).arg(colour);
    }

    QStringList actionNames() const override {
        return swatch() ? QStringList{pressAction(), registerAction()} : QAccessibleWidget::actionNames();
    }
    QString localizedActionName(const QString& name) const override {
        const std::optional<TextId> said = actionText(name, TextId::TakeColourAction, TextId::RegisterColourAction);
        return said ? LoadResString(*said) : QAccessibleWidget::localizedActionName(name);
    }
    QString localizedActionDescription(const QString& name) const override {
        const std::optional<TextId> said =
            actionText(name, TextId::TakeColourDescription, TextId::RegisterColourDescription);
        return said ? LoadResString(*said) : QAccessibleWidget::localizedActionDescription(name);
    }
    QStringList keyBindingsForAction(const QString& name) const override {
        if (swatch() && name == pressAction()) {
            return {QStringLiteral("Space"), QStringLiteral("Return")};
        }
        if (swatch() && name == registerAction()) {
            return {QStringLiteral("Ctrl+Return"), QStringLiteral("Shift+F10"), QStringLiteral("Menu")};
        }
        return QAccessibleWidget::keyBindingsForAction(name);
    }
    void doAction(const QString& name) override {
        Label* label = this->label();
        if (!swatch() || (name != pressAction() && name != registerAction())) {
            QAccessibleWidget::doAction(name);
        } else if (label->isEnabled()) { // a disabled swatch takes no click
            emit label->ActionRequested(name == pressAction() ? Qt::LeftButton : Qt::RightButton);
        }
    }

private:
    static QString registerAction() { return QStringLiteral("register"); }
    Label* label() const { return static_cast<Label*>(widget()); }
    bool swatch() const { return label()->SwatchPlace() > 0; }
    // The text of a swatch's action among the two given; none for another action.
    std::optional<TextId> actionText(const QString& name, TextId press, TextId reg) const {
        if (swatch() && name == pressAction()) {
            return press;
        }
        if (swatch() && name == registerAction()) {
            return reg;
        }
        return std::nullopt;
    }
};

QAccessibleInterface* accessibleLabel(const QString& key, QObject* object) {
    auto* label = key == QLatin1String("Label") ? qobject_cast<Label*>(object) : nullptr;
    return label != nullptr ? new LabelAccessible(label) : nullptr;
}

// What a screen reader sees of a command button: its name (given, else its caption without the
// access-key mark), that it is pressed, and for a picture of a state that is on or off, that it
// is a toggle and whether it is on; its action is the click.
class CommandButtonAccessible final : public QAccessibleWidget {
public:
    explicit CommandButtonAccessible(CommandButton* button)
        : QAccessibleWidget(button, QAccessible::Button) {}

    QString text(QAccessible::Text what) const override {
        QString said = QAccessibleWidget::text(what);
        if (what == QAccessible::Name && said.isEmpty()) {
            said = button()->text().remove(QRegularExpression(QStringLiteral("&(?!&)"))); // && shows one &
        }
        return said;
    }
    QAccessible::State state() const override {
        QAccessible::State st = QAccessibleWidget::state();
        st.pressed = button()->isDown();
        if (const std::optional<bool> on = button()->ToggleState()) {
            st.checkable = true;
            st.checked = *on;
        }
        return st;
    }
    QStringList actionNames() const override {
        QStringList names;
        if (button()->isEnabled()) {
            names << pressAction();
        }
        return names + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& name) override {
        if (name != pressAction()) {
            QAccessibleWidget::doAction(name);
        } else if (button()->isEnabled()) {
            button()->click();
        }
    }

private:
    CommandButton* button() const { return static_cast<CommandButton*>(widget()); }
};

QAccessibleInterface* accessibleButton(const QString& key, QObject* object) {
    auto* button = key == QLatin1String("CommandButton") ? qobject_cast<CommandButton*>(object) : nullptr;
    return button != nullptr ? new CommandButtonAccessible(button) : nullptr;
}

// Tells a listening screen reader that a label reads differently now; nothing when none listens.
void announceNameChange(Label* label) {
    if (QAccessible::isActive()) {
        QAccessibleEvent event(label, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}

} // namespace

Label::Label(QWidget* parent)
    : QWidget(parent) {
    // Asked for only when an accessibility client looks at a label.
    static const bool accessible = (QAccessible::installFactory(accessibleLabel), true);
    Q_UNUSED(accessible);
}

void Label::setSwatchPlace(int place, int count) {
    m_place = place;
    m_count = count;
}

void Label::focusInEvent(QFocusEvent* event) {
    update();
    QWidget::focusInEvent(event);
}

void Label::focusOutEvent(QFocusEvent* event) {
    update();
    QWidget::focusOutEvent(event);
}

void Label::setCaption(const QString& caption) {
    if (caption == m_caption) {
        return;
    }
    m_caption = caption;
    update();
    announceNameChange(this);
}

void Label::setBackColor(std::int32_t packed) {
    if (packed == m_backColor) {
        return;
    }
    m_backColor = packed;
    m_back = ColorFromPacked(packed);
    update();
    if (m_caption.isEmpty()) {
        announceNameChange(this);
    }
}

void Label::setForeColor(std::int32_t packed) {
    m_fore = ColorFromPacked(packed);
    update();
}

void Label::setTransparent(bool transparent) {
    m_transparent = transparent;
    update();
}

void Label::setBorder(bool border) {
    m_border = border;
    update();
}

void Label::setCentred(bool centred) {
    m_centred = centred;
    update();
}

void Label::setTwoLines(bool twoLines) {
    if (twoLines == m_twoLines) {
        return;
    }
    m_twoLines = twoLines;
    update();
}

QRect Label::captionArea() const {
    return m_border ? rect().adjusted(1, 1, -1, -1) : rect();
}

void Label::setShrinkToFit(bool shrink) {
    if (shrink == m_shrink) {
        return;
    }
    m_shrink = shrink;
    update();
}

QFont Label::captionFont(const QString& first, const QString& second) const {
    // From the label's own size down, one pixel at a time, to the first at which the lines fit.
    QFont shown = font();
    const QRect area = captionArea();
    const int lines = second.isNull() ? 1 : 2;
    for (int pixels = QFontInfo(shown).pixelSize(); pixels > 6; --pixels) {
        shown.setPixelSize(pixels);
        const QFontMetrics metrics(shown);
        if (lines * metrics.height() <= area.height() && metrics.horizontalAdvance(first) <= area.width() &&
            metrics.horizontalAdvance(second) <= area.width()) {
            break;
        }
    }
    return shown;
}

void Label::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::FontChange) {
        update();
    }
    QWidget::changeEvent(event);
}

void Label::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QRect area = rect();
    const bool isColour = IsPackedColor(m_backColor);
    if (!m_transparent && isColour) {
        painter.fillRect(area, m_back);
    } else if (!m_transparent) {
        // No packed colour: a light grey crossed from corner to corner, which no colour resembles.
        painter.fillRect(area, QColor(0xD8, 0xD8, 0xD8));
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(0x60, 0x60, 0x60), 1.5));
        const QRectF inner = QRectF(area).adjusted(2, 2, -2, -2);
        painter.drawLine(inner.topLeft(), inner.bottomRight());
        painter.drawLine(inner.bottomLeft(), inner.topRight());
        painter.setRenderHint(QPainter::Antialiasing, false);
    }
    if (m_border) {
        // One logical pixel wide, so the grid lines keep their weight on high-DPI screens.
        QPen pen(Qt::black, 1.0);
        pen.setCosmetic(false);
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
        painter.drawRect(QRectF(area).adjusted(0.5, 0.5, -0.5, -0.5));
        area.adjust(1, 1, -1, -1);
    }
    if (!m_caption.isEmpty()) {
        painter.setPen(isEnabled() ? m_fore : palette().color(QPalette::Disabled, QPalette::WindowText));
        const int across = (m_centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop | Qt::TextSingleLine;
        const qsizetype blank = m_twoLines ? m_caption.indexOf(QLatin1Char(' ')) : -1;
        if (blank >= 0) {
            const QString first = m_caption.left(blank), second = m_caption.mid(blank + 1);
            painter.setFont(captionFont(first, second));
            const int line = painter.fontMetrics().height();
            const int top = area.top() + (area.height() - 2 * line) / 2;
            painter.drawText(QRect(area.left(), top, area.width(), line), across, first);
            painter.drawText(QRect(area.left(), top + line, area.width(), line), across, second);
        } else {
            QRect line = area;
            if (m_shrink && painter.fontMetrics().horizontalAdvance(m_caption) > area.width()) {
                // Smaller, in the middle of where the line of the label's own size would be.
                const int full = painter.fontMetrics().height();
                painter.setFont(captionFont(m_caption, QString()));
                line.translate(0, (full - painter.fontMetrics().height()) / 2);
            }
            painter.drawText(line, across, m_caption);
        }
    }
    if (hasFocus()) {
        PaintFocusMark(this, painter);
    }
}

// --- TextBox ----------------------------------------------------------------------------

TextBox::TextBox(QWidget* parent)
    : QLineEdit(parent) {
    // The background colour is painted beneath the box's own drawing, which leaves its base
    // transparent: changing the colour is then a repaint, not a new palette.
    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::transparent);
    setPalette(colours);
}

void TextBox::setBackColor(std::int32_t packed) {
    if (packed == m_backColor) {
        return;
    }
    m_backColor = packed;
    m_back = ColorFromPacked(packed);
    update();
}

void TextBox::paintEvent(QPaintEvent* event) {
    {
        QPainter painter(this);
        painter.fillRect(rect().adjusted(1, 1, -1, -1), m_back);
    }
    QLineEdit::paintEvent(event);
    if (hasFocus()) {
        QPainter painter(this);
        PaintFocusMark(this, painter);
    }
}

void TextBox::setForeColor(std::int32_t packed) {
    if (packed == m_foreColor) {
        return;
    }
    m_foreColor = packed;
    QPalette colours = palette();
    colours.setColor(QPalette::Text, ColorFromPacked(packed));
    setPalette(colours);
}

// --- CommandButton ----------------------------------------------------------------------

CommandButton::CommandButton(QWidget* parent)
    : QPushButton(parent) {
    // Asked for only when an accessibility client looks at a button.
    static const bool accessible = (QAccessible::installFactory(accessibleButton), true);
    Q_UNUSED(accessible);
}

void CommandButton::setPicture(PictureId picture) {
    if (picture == m_picture) {
        return;
    }
    m_picture = picture;
    setIcon(LoadResPicture(picture));
    // What the button does, or the state it shows, in the words of the picture's hint.
    const std::optional<TextId> hint = PictureHint(picture);
    setAccessibleName(hint ? LoadResString(*hint) : QString());
    const std::optional<bool> toggle = picture == PictureId::OnTop      ? std::optional(true)
                                       : picture == PictureId::NotOnTop ? std::optional(false)
                                                                        : std::nullopt;
    if (toggle != m_toggle) {
        m_toggle = toggle;
        if (QAccessible::isActive()) {
            QAccessible::State changed;
            changed.checked = true;
            QAccessibleStateChangeEvent event(this, changed);
            QAccessible::updateAccessibility(&event);
        }
    }
}

void CommandButton::paintEvent(QPaintEvent* event) {
    const int room = width() - 4;
    if (text().isEmpty() || !icon().isNull() || fontMetrics().horizontalAdvance(text()) <= room) {
        QPushButton::paintEvent(event);
    } else {
        QPainter painter(this);
        QStyleOptionButton option;
        initStyleOption(&option);
        option.text.clear();
        style()->drawControl(QStyle::CE_PushButton, &option, &painter, this);
        painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
        painter.drawText(rect().adjusted(2, 2, -2, -2), Qt::AlignCenter | Qt::TextWrapAnywhere, text());
    }
    if (hasFocus()) {
        QPainter painter(this);
        PaintFocusMark(this, painter);
    }
}

void CommandButton::setAvailable(bool available) {
    m_available = available;
    if (!available) {
        setEnabled(false);
    }
}

void CommandButton::changeEvent(QEvent* event) {
    QPushButton::changeEvent(event);
    if (event->type() == QEvent::EnabledChange && !m_available && isEnabled()) {
        setEnabled(false);
    }
}

// --- OptionButton -----------------------------------------------------------------------

void OptionButton::paintEvent(QPaintEvent* event) {
    QRadioButton::paintEvent(event);
    if (hasFocus()) {
        QPainter painter(this);
        PaintFocusMark(this, painter);
    }
}

// --- MenuItem ---------------------------------------------------------------------------

MenuItem::MenuItem(const QString& caption, QObject* parent)
    : QAction(caption, parent) {
    setCheckable(true);
    connect(this, &QAction::triggered, this, [this](bool checked) {
        // Choosing a checkable action flips its mark before triggered(); put it back, the
        // handler decides.
        if (isCheckable()) {
            QAction::setChecked(!checked);
        }
        emit Click();
    });
}

// --- FileListBox ------------------------------------------------------------------------

FileListBox::FileListBox(QWidget* parent)
    : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    // The list is narrow: long names are shortened in the middle, keeping their ending.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTextElideMode(Qt::ElideMiddle);
    connect(this, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0) {
            emit Click();
        }
    });
    connect(this, &QListWidget::clicked, this, [this](const QModelIndex& index) {
        // A click on the entry that was already selected changes no row: raise it here.
        if (index.row() == m_rowAtPress && index.row() == currentRow()) {
            emit Click();
        }
    });
}

bool FileListBox::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        m_rowAtPress = currentRow();
    }
    const bool handled = QListWidget::viewportEvent(event);
    if (event->type() == QEvent::Paint && hasFocus()) {
        QPainter painter(viewport());
        PaintFocusMark(viewport(), painter);
    }
    return handled;
}

void FileListBox::focusInEvent(QFocusEvent* event) {
    QListWidget::focusInEvent(event);
    viewport()->update();
}

void FileListBox::focusOutEvent(QFocusEvent* event) {
    QListWidget::focusOutEvent(event);
    viewport()->update();
}

void FileListBox::scrollContentsBy(int dx, int dy) {
    QListWidget::scrollContentsBy(dx, dy);
    if (hasFocus()) {
        viewport()->update();
    }
}

void FileListBox::showEvent(QShowEvent* event) {
    ensureRead();
    QListWidget::showEvent(event);
}

void FileListBox::setPattern(const QString& pattern) {
    m_pattern = pattern;
    m_stale = true;
}

void FileListBox::setPath(const QString& path) {
    m_path = path;
    m_stale = true;
}

void FileListBox::ensureRead() {
    if (m_stale) {
        Refresh();
    }
}

int FileListBox::ListCount() {
    ensureRead();
    return count();
}

QString FileListBox::List(int i) {
    ensureRead();
    const QListWidgetItem* entry = item(i);
    return entry != nullptr ? entry->text() : QString();
}

void FileListBox::setListIndex(int i) {
    ensureRead();
    setCurrentRow(i);
}

namespace {

// A file name for people: its UTF-8 as text, any byte that is no part of a valid UTF-8
// sequence as "\xff".
QString shownFileName(const QByteArray& native) {
    if (QString whole = QString::fromUtf8(native); whole.toUtf8() == native) {
        return whole;
    }
    QString shown;
    for (qsizetype at = 0; at < native.size();) {
        const auto lead = static_cast<unsigned char>(native[at]);
        const qsizetype length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        // Stray continuation bytes, overlong forms, surrogates, code points past U+10FFFF and
        // broken sequences do not come back as the same bytes.
        const QByteArray sequence = native.mid(at, length);
        const QString decoded = QString::fromUtf8(sequence);
        if (sequence.size() == length && decoded.toUtf8() == sequence) {
            shown += decoded;
            at += length;
        } else {
            shown += QStringLiteral("\\x%1").arg(lead, 2, 16, QLatin1Char('0'));
            ++at;
        }
    }
    return shown;
}

constexpr int NativeNameRole = Qt::UserRole;

} // namespace

QByteArray FileListBox::NativePath(int i) {
    ensureRead();
    const QListWidgetItem* entry = item(i);
    return entry != nullptr ? QFile::encodeName(QDir(m_path).path()) + '/' + entry->data(NativeNameRole).toByteArray()
                            : QByteArray();
}

void FileListBox::Refresh() {
    // Re-reading the folder keeps the selection on the same file when it is still there,
    // without raising Click.
    m_stale = false;
    const QListWidgetItem* current = currentItem();
    const QByteArray selected = current != nullptr ? current->data(NativeNameRole).toByteArray() : QByteArray();
    const QSignalBlocker blocker(this);
    clear();
    if (m_path.isEmpty() || m_pattern.isEmpty()) {
        return;
    }
    // Read by the names' bytes: Qt's own listing turns bytes that are no UTF-8 into U+FFFD, a
    // name that opens nothing. Regular files only, after following links: a link to a pipe or a
    // device matches the pattern, but is nothing to open. A file that cannot be read is listed:
    // opening it says why. A missing folder lists nothing.
    struct Entry {
        QString shown;
        QByteArray native;
    };
    QList<Entry> entries;
    const QRegularExpression pattern(QRegularExpression::wildcardToRegularExpression(m_pattern),
                                     QRegularExpression::CaseInsensitiveOption);
    if (DIR* folder = ::opendir(QFile::encodeName(m_path).constData())) {
        while (const dirent* entry = ::readdir(folder)) {
            const QByteArray native(entry->d_name);
            struct stat info {};
            if (native == "." || native == "..") {
                continue;
            }
            Entry listed{shownFileName(native), native};
            if (pattern.match(listed.shown).hasMatch() && ::fstatat(::dirfd(folder), entry->d_name, &info, 0) == 0 &&
                S_ISREG(info.st_mode)) {
                entries.append(std::move(listed));
            }
        }
        ::closedir(folder);
    }
    QCollator order;
    order.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(entries.begin(), entries.end(), [&](const Entry& a, const Entry& b) {
        const int byName = order.compare(a.shown, b.shown);
        return byName != 0 ? byName < 0 : a.native < b.native;
    });
    for (const Entry& entry : entries) {
        auto* row = new QListWidgetItem(entry.shown, this);
        row->setData(NativeNameRole, entry.native);
        if (!selected.isEmpty() && entry.native == selected) {
            setCurrentItem(row);
        }
    }
}
