#pragma once

#include <QList>
#include <QString>
#include <QWidget>

class QKeyEvent;
class QListWidget;
class QTextBrowser;

// Top-level help viewer: a contents pane listing the sections of a help file
// beside a text pane that renders the selected section from Markdown.
//
// Help file format (UTF-8): an optional first line "# " + document title, then
// sections, each starting with a line "## " + section title. A file without any
// "## " line is shown as a single section.
class HelpWindow : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HelpWindow)

public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Reads the help file and shows its contents, first section selected. Re-reads on every call.
    void openFile(const QString& path);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Section {
        QString title;
        QString body;
    };

    void showSection(int index);
    void showError(const QString& message);

    QList<Section> m_sections;
    QListWidget* m_contents;
    QTextBrowser* m_text;
};
