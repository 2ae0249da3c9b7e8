// The help viewer: the program's own help file, missing and odd files, and re-reading.

#include "platform/HelpWindow.h"

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

void write(const QString& path, const QByteArray& utf8) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(utf8), utf8.size());
}

bool isJapanese(const QString& text) {
    for (const QChar c : text) {
        if ((c.unicode() >= 0x3040 && c.unicode() <= 0x30FF) || (c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF)) {
            return true;
        }
    }
    return false;
}

} // namespace

class HelpWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void programHelpFile();
    void missingFile();
    void reopenRereads();
    void headingsInsideCodeAreNotSections();

private:
    QTemporaryDir m_dir;
};

void HelpWindowTest::init() {
    QVERIFY(m_dir.isValid());
}

void HelpWindowTest::programHelpFile() {
    const QString path = QFINDTESTDATA("../../resources/swatchly.hlp");
    QVERIFY(!path.isEmpty());
    HelpWindow help;
    help.openFile(path);
    QVERIFY(!help.documentTitle().isEmpty());
    QVERIFY(help.documentTitle().contains(QStringLiteral("Swatchly")));
    QVERIFY(!help.windowTitle().isEmpty());

    const QStringList titles = help.sectionTitles();
    QVERIFY2(titles.size() >= 3, qPrintable(titles.join(QLatin1Char('|'))));
    QCOMPARE(help.currentSection(), 0);
    QVERIFY(help.currentText().contains(titles.first()));
    for (int i = 0; i < titles.size(); ++i) {
        help.selectSection(i);
        QCOMPARE(help.currentSection(), i);
        QVERIFY2(help.currentText().contains(titles.at(i)), qPrintable(titles.at(i)));
        // Markdown is rendered, not shown as source.
        QVERIFY2(!help.currentText().contains(QStringLiteral("## ")), qPrintable(titles.at(i)));
        QVERIFY2(!help.currentText().contains(QStringLiteral("**")), qPrintable(titles.at(i)));
    }

    // Clicking an entry in the contents pane shows that section.
    help.show();
    QVERIFY(QTest::qWaitForWindowExposed(&help));
    QListWidget* contents = help.contentsPane();
    const QRect second = contents->visualItemRect(contents->item(1));
    QTest::mouseClick(contents->viewport(), Qt::LeftButton, Qt::NoModifier, second.center());
    QCOMPARE(help.currentSection(), 1);
    QVERIFY(help.currentText().contains(titles.at(1)));
}

void HelpWindowTest::missingFile() {
    const QString path = m_dir.filePath(QStringLiteral("no such folder/swatchly.hlp"));
    HelpWindow help;
    help.openFile(path);
    const QString message = help.currentText();
    QVERIFY2(message.contains(QDir::toNativeSeparators(path)), qPrintable(message));
    QVERIFY2(isJapanese(message), qPrintable(message));
    QVERIFY(help.sectionTitles().isEmpty());
    QCOMPARE(help.currentSection(), -1);
}

void HelpWindowTest::reopenRereads() {
    const QString path = m_dir.filePath(QStringLiteral("swatchly.hlp"));
    write(path, "# 初版\n## 一\n本文一\n## 二\n本文二\n");
    HelpWindow help;
    help.openFile(path);
    QCOMPARE(help.sectionTitles(), (QStringList{QStringLiteral("一"), QStringLiteral("二")}));
    help.selectSection(1);

    write(path, "# 改訂版\r\n## 三\r\n本文三\r\n");
    help.openFile(path);
    QCOMPARE(help.documentTitle(), QStringLiteral("改訂版"));
    QCOMPARE(help.sectionTitles(), QStringList{QStringLiteral("三")});
    QCOMPARE(help.currentSection(), 0);
    QVERIFY(help.currentText().contains(QStringLiteral("本文三")));
    QVERIFY(!help.currentText().contains(QStringLiteral("本文二")));

    // A file that has gone since replaces the old contents by the message.
    QVERIFY(QFile::remove(path));
    help.openFile(path);
    QVERIFY(help.sectionTitles().isEmpty());
    QVERIFY(!help.currentText().contains(QStringLiteral("本文三")));
    QVERIFY(help.currentText().contains(QDir::toNativeSeparators(path)));

    // And a file that comes back is shown again.
    write(path, "\xEF\xBB\xBF## 四\n本文四\n");
    help.openFile(path);
    QCOMPARE(help.sectionTitles(), QStringList{QStringLiteral("四")});
    QVERIFY(help.currentText().contains(QStringLiteral("本文四")));
}

void HelpWindowTest::headingsInsideCodeAreNotSections() {
    const QString path = m_dir.filePath(QStringLiteral("code.hlp"));
    write(path, "## 例\n```\n## これは見出しではない\n```\n## 次\n終わり\n");
    HelpWindow help;
    help.openFile(path);
    QCOMPARE(help.sectionTitles(), (QStringList{QStringLiteral("例"), QStringLiteral("次")}));
    QVERIFY(help.currentText().contains(QStringLiteral("## これは見出しではない")));
}

QTEST_MAIN(HelpWindowTest)
#include "tst_helpwindow.moc"
