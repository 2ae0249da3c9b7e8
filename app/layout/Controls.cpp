#include "app/layout/Controls.h"

#include "resources/Icons.h"

#include <QDir>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

QColor ColorFromPacked(std::int32_t packed) {
    const auto value = static_cast<std::uint32_t>(packed);
    return QColor(static_cast<int>(value & 0xFFu), static_cast<int>((value >> 8) & 0xFFu),
                  static_cast<int>((value >> 16) & 0xFFu));
}

// --- Label ------------------------------------------------------------------------------

Label::Label(QWidget* parent)
    : QWidget(parent) {}

void Label::setCaption(const QString& caption) {
    if (caption == m_caption) {
        return;
    }
    m_caption = caption;
    update();
}

void Label::setBackColor(std::int32_t packed) {
    if (packed == m_backColor) {
        return;
    }
    m_backColor = packed;
    m_back = ColorFromPacked(packed);
    update();
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

void Label::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::FontChange) {
        update();
    }
    QWidget::changeEvent(event);
}

void Label::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QRect area = rect();
    const bool isColour = (static_cast<std::uint32_t>(m_backColor) >> 24) == 0;
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
        painter.drawText(area, (m_centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop | Qt::TextSingleLine,
                         m_caption);
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

void CommandButton::setPicture(int iconId) {
    if (iconId == m_picture) {
        return;
    }
    m_picture = iconId;
    setIcon(LoadResPicture(iconId));
}

void CommandButton::paintEvent(QPaintEvent* event) {
    const int room = width() - 4;
    if (text().isEmpty() || !icon().isNull() || fontMetrics().horizontalAdvance(text()) <= room) {
        QPushButton::paintEvent(event);
        return;
    }
    QPainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    style()->drawControl(QStyle::CE_PushButton, &option, &painter, this);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(rect().adjusted(2, 2, -2, -2), Qt::AlignCenter | Qt::TextWrapAnywhere, text());
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
    return QListWidget::viewportEvent(event);
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

void FileListBox::Refresh() {
    // Re-reading the folder keeps the selection on the same name when it is still there,
    // without raising Click.
    m_stale = false;
    const QListWidgetItem* current = currentItem();
    const QString selected = current != nullptr ? current->text() : QString();
    const QSignalBlocker blocker(this);
    clear();
    if (m_path.isEmpty() || m_pattern.isEmpty()) {
        return;
    }
    // Regular files only, after following links: a link to a pipe or a device passes the
    // folder's own file filter, but is nothing to open. A missing folder lists nothing.
    QStringList names;
    const QFileInfoList entries = QDir(m_path).entryInfoList({m_pattern}, QDir::Files | QDir::Hidden | QDir::Readable,
                                                             QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
    for (const QFileInfo& entry : entries) {
        if (entry.isFile()) {
            names << entry.fileName();
        }
    }
    addItems(names);
    if (!selected.isEmpty()) {
        const int row = static_cast<int>(names.indexOf(selected));
        if (row >= 0) {
            setCurrentRow(row);
        }
    }
}
