#include "HelpWindow.h"

#include <QBrush>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStringList>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <utility>

namespace {

// The Markdown importer leaves tables without visible borders; give them a grid.
void drawTableGrids(QTextFrame* frame) {
    const QList<QTextFrame*> children = frame->childFrames();
    for (QTextFrame* child : children) {
        if (auto* table = qobject_cast<QTextTable*>(child)) {
            QTextTableFormat format = table->format();
            format.setBorder(1);
            format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
            format.setBorderBrush(QBrush(Qt::gray));
            format.setBorderCollapse(true);
            format.setCellSpacing(0);
            format.setCellPadding(4);
            table->setFormat(format);
        }
        drawTableGrids(child);
    }
}

} // namespace

HelpWindow::HelpWindow(QWidget* parent)
    // With a parent, a window that belongs to it (only such windows are marked for the window
    // manager as kept above their parent), with the buttons of an ordinary window all the same.
    : QWidget(parent, parent == nullptr ? Qt::WindowFlags(Qt::Window)
                                        : Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                              Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint)
    , m_contents(new QListWidget)
    , m_text(new QTextBrowser) {
    setWindowTitle(tr("Swatchly ヘルプ"));
    resize(720, 500);

    m_text->setOpenExternalLinks(true);

    auto* splitter = new QSplitter(Qt::Horizontal);
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(m_contents);
    splitter->addWidget(m_text);
    // A narrower window (beside the main window on a small screen) narrows both panes alike.
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 2);
    splitter->setSizes({240, 460});

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(splitter);

    connect(m_contents, &QListWidget::currentRowChanged, this, &HelpWindow::showSection);
}

void HelpWindow::openFile(const QString& path) {
    m_sections.clear();
    {
        const QSignalBlocker blocker(m_contents);
        m_contents->clear();
    }

    const QString shownPath = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        const QFileInfo info(path);
        QString reason;
        if (!info.exists()) {
            reason = tr("ファイルが見つかりません。Swatchly を入れ直すか、swatchly.hlp を上の場所に置いてください。");
        } else if (info.isDir()) {
            reason = tr("ファイルではなくフォルダーが指定されています。");
        } else {
            reason = tr("ファイルを読み取れません。ファイルのアクセス権を確認してください。");
        }
        showError(tr("ヘルプファイル %1 を開けません。").arg(shownPath) + QStringLiteral("\n\n") + reason +
                  QStringLiteral("\n（") + file.errorString() + QStringLiteral("）"));
        return;
    }

    QString text = QString::fromUtf8(file.readAll());
    if (text.startsWith(QChar(0xFEFF))) {
        text.remove(0, 1);
    }
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines) {
        if (line.endsWith(QLatin1Char('\r'))) {
            line.chop(1);
        }
    }
    QString documentTitle;
    if (!lines.isEmpty() && lines.first().startsWith(QLatin1String("# "))) {
        documentTitle = lines.takeFirst().mid(2).trimmed();
    }

    // "## " inside a fenced code block is code, not a section heading.
    QString preamble;
    bool inFence = false;
    for (const QString& line : std::as_const(lines)) {
        if (line.startsWith(QLatin1String("```"))) {
            inFence = !inFence;
        }
        if (!inFence && line.startsWith(QLatin1String("## "))) {
            m_sections.append({line.mid(3).trimmed(), QString()});
        } else if (m_sections.isEmpty()) {
            preamble += line + QLatin1Char('\n');
        } else {
            m_sections.last().body += line + QLatin1Char('\n');
        }
    }
    // Text before the first section (or a file without sections) becomes a section of its own.
    if (!preamble.trimmed().isEmpty()) {
        const QString title = documentTitle.isEmpty() ? QFileInfo(path).completeBaseName() : documentTitle;
        m_sections.prepend({title, preamble});
    }

    if (m_sections.isEmpty()) {
        showError(tr("ヘルプファイル %1 を開けません。").arg(shownPath) + QStringLiteral("\n\n") +
                  tr("ファイルが空か、表示できる内容がありません。"));
        return;
    }

    for (Section& section : m_sections) {
        if (section.title.isEmpty()) {
            section.title = tr("（無題）");
        }
        m_contents->addItem(section.title);
    }
    m_contents->setCurrentRow(0);
}

void HelpWindow::showSection(int index) {
    if (index < 0 || index >= m_sections.size()) {
        m_text->clear();
        return;
    }
    const Section& section = m_sections.at(index);
    m_text->setMarkdown(QStringLiteral("# ") + section.title + QStringLiteral("\n\n") + section.body);
    drawTableGrids(m_text->document()->rootFrame());
}

void HelpWindow::keyPressEvent(QKeyEvent* event) {
    // Esc closes the help as it closes a dialog; the panes pass it on.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void HelpWindow::showError(const QString& message) {
    m_text->setPlainText(message);
}
