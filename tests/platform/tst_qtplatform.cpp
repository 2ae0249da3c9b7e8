// The real platform layer as the offscreen platform shows it: message boxes answered by key
// presses, the help window, always on top, the program, resource and palette folders and the
// settings file.

#include "app/Appearance.h"
#include "platform/HelpWindow.h"
#include "platform/QtPlatform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <csignal>

namespace {

void write(const QString& path, const QByteArray& utf8) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(utf8), utf8.size());
}

QList<HelpWindow*> visibleHelpWindows() {
    QList<HelpWindow*> found;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* help = qobject_cast<HelpWindow*>(window); help != nullptr && help->isVisible()) {
            found.append(help);
        }
    }

    return found;
}

} // namespace

class QtPlatformTest : public QObject {
    Q_OBJECT

private slots:
    // Qt's texts in Japanese, as the program loads them at start-up.
    void initTestCase() { InstallJapaneseTranslation(); }

    void messageBoxes_data() {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("answer");
        QTest::newRow("292, Enter answers No") << 292 << int(Qt::Key_Return) << 7;
        QTest::newRow("292, Escape answers No") << 292 << int(Qt::Key_Escape) << 7;
        QTest::newRow("292, Y answers Yes") << 292 << int(Qt::Key_Y) << 6;
        QTest::newRow("36, Enter answers Yes") << 36 << int(Qt::Key_Return) << 6;
        QTest::newRow("0, Enter is OK") << 0 << int(Qt::Key_Return) << 1;
        QTest::newRow("0, Escape is OK") << 0 << int(Qt::Key_Escape) << 1;
    }

    void messageBoxes() {
        QFETCH(int, style);
        QFETCH(int, key);
        QFETCH(int, answer);
        platform::QtPlatform os;
        QStringList seen; // title, text, icon, then each button: * the default, ^ the focus
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr || !box->isVisible() || box->focusWidget() == nullptr) {
                return; // not ready for keys yet
            }
            poll.stop();
            seen << box->windowTitle() << box->text() << QString::number(box->icon());
            for (QAbstractButton* button : box->buttons()) {
                seen << button->text() + QLatin1String(button == box->defaultButton() ? "*" : "") +
                            QLatin1String(button == box->focusWidget() ? "^" : "");
            }
            QTest::keyClick(box->focusWidget(), Qt::Key(key));
        });
        poll.start(10);
        QCOMPARE(os.messageBox(nullptr, QStringLiteral("上書きしますか？\r\n\r\n二行目"), style), answer);
        // The Japanese translation is in force.
        const QStringList buttons = style == 0 ? QStringList{QStringLiteral("OK^")}
                                    : (style & 256) != 0
                                        ? QStringList{QStringLiteral("はい(&Y)"), QStringLiteral("いいえ(&N)*^")}
                                        : QStringList{QStringLiteral("はい(&Y)*^"), QStringLiteral("いいえ(&N)")};
        QCOMPARE(seen, QStringList({QStringLiteral("Swatchly"), QStringLiteral("上書きしますか？\n\n二行目"),
                                    QString::number((style & 32) != 0 ? QMessageBox::Question : QMessageBox::NoIcon)}) +
                           buttons);
    }

    void helpWindowThroughThePlatform() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("swatchly.hlp"));
        write(path, "\xEF\xBB\xBF# 初版\n## 例\n```\n## これは見出しではない\n```\n## 次\n**本文二**\n");
        platform::QtPlatform os;
        os.quitHelp(nullptr, path); // help never opened: nothing to close
        os.openHelp(nullptr, path);
        QCOMPARE(visibleHelpWindows().size(), 1);
        QPointer<HelpWindow> help = visibleHelpWindows().first();
        // The contents pane and the text pane.
        QListWidget* contents = help->findChild<QListWidget*>();
        const auto titles = [contents] {
            QStringList texts;
            for (int i = 0; i < contents->count(); ++i) {
                texts << contents->item(i)->text();
            }
            return texts;
        };
        const auto shown = [&help] { return help->findChild<QTextBrowser*>()->toPlainText(); };
        // The document title is no section.
        QCOMPARE(titles(), (QStringList{QStringLiteral("例"), QStringLiteral("次")}));
        QVERIFY(shown().contains(QStringLiteral("## これは見出しではない")));
        // A click in the contents pane shows that section, rendered from Markdown.
        QTest::mouseClick(contents->viewport(), Qt::LeftButton, Qt::NoModifier,
                          contents->visualItemRect(contents->item(1)).center());
        QCOMPARE(contents->currentRow(), 1);
        QCOMPARE(shown().trimmed(), QStringLiteral("次\n本文二"));

        // A second open raises the same window, which reads the file again.
        write(path, "# 改訂版\r\n## 三\r\n本文三\r\n");
        os.openHelp(nullptr, path);
        QCOMPARE(visibleHelpWindows(), QList<HelpWindow*>{help.data()});
        QCOMPARE(titles(), QStringList{QStringLiteral("三")});
        QCOMPARE(contents->currentRow(), 0);
        QVERIFY(shown().contains(QStringLiteral("本文三")));

        // A missing file: a Japanese message naming the path, in place of the old contents.
        const QString missing = dir.filePath(QStringLiteral("no such folder/swatchly.hlp"));
        os.openHelp(nullptr, missing);
        const QString message = shown();
        QVERIFY2(message.contains(missing), qPrintable(message));
        QVERIFY2(message.contains(QRegularExpression(QStringLiteral("[\\x{3040}-\\x{30FF}\\x{4E00}-\\x{9FFF}]"))),
                 qPrintable(message));
        QVERIFY(titles().isEmpty());
        QCOMPARE(contents->currentRow(), -1);

        os.quitHelp(nullptr, path);
        QTRY_VERIFY(help.isNull());
    }

    void alwaysOnTopKeepsTheWindow() {
        platform::QtPlatform os;
        QWidget window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const WId id = window.winId();
        const QRect geometry = window.geometry();
        for (bool on : {true, false}) {
            os.setAlwaysOnTop(&window, on);
            QCOMPARE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint), on);
            QCOMPARE(window.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint), on);
            // Not re-created, moved or hidden.
            QCOMPARE(window.winId(), id);
            QCOMPARE(window.geometry(), geometry);
            QVERIFY(window.isVisible());
        }
    }

    void folders_data() {
        // Where the install marker lies, relative to a temporary root; the program is in root/bin.
        QTest::addColumn<QString>("marker");
        QTest::addColumn<bool>("installed");
        const QString files = QDir::cleanPath(QStringLiteral("bin/") + platform::InstalledFilesFromProgram);
        QTest::newRow("none: a build folder or a copied one") << QString() << false;
        QTest::newRow("in the folder of installed files") << files << true;
        QTest::newRow("beside the executable: not where the install rules put it") << QStringLiteral("bin") << false;
        QTest::newRow("as seen from one folder further down: inside the program folder")
            << QDir::cleanPath(QStringLiteral("bin/sub/") + platform::InstalledFilesFromProgram) << false;
    }

    void folders() {
        // Help file and palettes beside the program (a build folder or a copied one), or, installed,
        // the help file among the installed files and palettes in the user's data folder.
        QFETCH(QString, marker);
        QFETCH(bool, installed);
        QTemporaryDir root;
        QTemporaryDir data;
        QTemporaryDir config;
        qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        QCoreApplication::setApplicationName(QStringLiteral("Swatchly"));
        const QString program = root.filePath(QStringLiteral("bin"));
        QVERIFY(QDir().mkpath(program));
        if (!marker.isEmpty()) {
            QVERIFY(QDir().mkpath(root.filePath(marker)));
            write(QDir(root.filePath(marker)).filePath(platform::InstallMarker), "");
        }

        QCOMPARE(platform::paletteFolderFor(program), installed ? data.filePath("Swatchly") : program);
        QCOMPARE(platform::resourceFolderFor(program), installed ? root.filePath(marker) : program);
        // The remembered state by the same rule, in the configuration folder.
        QCOMPARE(platform::settingsFileFor(program),
                 installed ? config.filePath("Swatchly/swatchly.conf") : QDir(program).filePath("swatchly.ini"));
    }

    void programFolder() {
        // The executable's folder, whatever the current folder; a build folder is no installation.
        platform::QtPlatform os;
        QCOMPARE(os.programFolder(), QFileInfo(QCoreApplication::applicationDirPath()).canonicalFilePath());
        QCOMPARE(os.paletteFolder(), os.programFolder());
        QCOMPARE(os.resourceFolder(), os.programFolder());
        QCOMPARE(os.settingsFile(), os.programFolder() + QStringLiteral("/swatchly.ini"));
    }

    void clipboard() {
        // Offscreen, as on Wayland, Qt reads the clipboard itself: the text comes before the call returns.
        platform::QtPlatform os;
        QStringList read;
        os.setClipboardText(QStringLiteral("#123456"));
        os.readClipboardText([&](const QString& text) { read.append(text); });
        os.clearClipboard();
        os.readClipboardText([&](const QString& text) { read.append(text); });
        QCOMPARE(read, (QStringList{QStringLiteral("#123456"), QString()}));
    }

    void terminationSignalsClose_data() {
        QTest::addColumn<int>("signal");
        QTest::addColumn<bool>("dialog"); // a message box is open over the window
        QTest::newRow("SIGTERM") << SIGTERM << false;
        QTest::newRow("SIGINT") << SIGINT << false;
        QTest::newRow("SIGTERM over a Yes/No box") << SIGTERM << true;
    }

    void terminationSignalsClose() {
        QFETCH(int, signal);
        QFETCH(bool, dialog);
        // The window's own close handling runs, as for its close box.
        struct Window final : QWidget {
            int closes = 0;
            void closeEvent(QCloseEvent* event) override {
                ++closes;
                QWidget::closeEvent(event);
            }
        } window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        platform::QtPlatform os;
        os.closeOnTerminationSignals(&window);
        if (dialog) {
            // The box is answered as Esc answers it, so that the code that asked goes on.
            QTimer::singleShot(100, [signal] { std::raise(signal); });
            QTimer::singleShot(5000, &window, [] { // should the signal leave it open
                if (QWidget* box = QApplication::activeModalWidget()) {
                    box->close();
                }
            });
            QElapsedTimer timer;
            timer.start();
            QCOMPARE(os.messageBox(&window, QStringLiteral("上書きしますか？"), platform::YesNo),
                     int(platform::AnswerNo));
            QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
        } else {
            std::raise(signal);
        }

        QTRY_COMPARE(window.closes, 1);
        QVERIFY(!window.isVisible());
    }
};

QTEST_MAIN(QtPlatformTest)
#include "tst_qtplatform.moc"
