// The real platform layer, as far as the offscreen platform shows it: clipboard, message boxes
// (answered by key presses while they run), the help viewer, always on top, the program folder
// and the previous-instance test.

#include "platform/HelpWindow.h"
#include "platform/QtPlatform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

namespace {

struct SeenBox {
    bool shown = false;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    QString defaultButton;
    QString focusedButton;
};

// Runs a message box and acts on it, by `act`, as soon as it is on screen.
int runBox(platform::QtPlatform& os, const QString& text, int style, SeenBox& seen,
           const std::function<void(QMessageBox*)>& act) {
    QTimer poll;
    poll.setInterval(10);
    const QDeadlineTimer deadline(5000);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible()) {
            if (deadline.hasExpired()) {
                poll.stop();
                if (QWidget* modal = QApplication::activeModalWidget()) {
                    modal->close();
                }
            }
            return;
        }
        poll.stop();
        seen.shown = true;
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        const QList<QAbstractButton*> buttons = box->buttons();
        for (QAbstractButton* button : buttons) {
            seen.buttons.append(button->text());
        }
        if (box->defaultButton() != nullptr) {
            seen.defaultButton = box->defaultButton()->text();
        }
        // The widget that takes the keys once the box is active.
        if (auto* focused = qobject_cast<QAbstractButton*>(box->focusWidget())) {
            seen.focusedButton = focused->text();
        }
        act(box);
    });
    poll.start();
    return os.messageBox(nullptr, text, style);
}

void pressKey(QMessageBox* box, Qt::Key key) {
    QWidget* target = box->focusWidget() != nullptr ? box->focusWidget() : box;
    QTest::keyClick(target, key);
}

int countHelpWindows() {
    int count = 0;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        if (qobject_cast<HelpWindow*>(window) != nullptr && window->isVisible()) {
            ++count;
        }
    }
    return count;
}

HelpWindow* helpWindow() {
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        if (auto* help = qobject_cast<HelpWindow*>(window)) {
            return help;
        }
    }
    return nullptr;
}

} // namespace

class QtPlatformTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void clipboard();
    void yesNoBoxDefaultsToNo_data();
    void yesNoBoxDefaultsToNo();
    void okBox();
    void helpViewer();
    void alwaysOnTopKeepsTheWindow();
    void programFolder();
    void previousInstance();

private:
    QTemporaryDir m_runtime;
    QTemporaryDir m_dir;
};

void QtPlatformTest::initTestCase() {
    QVERIFY(m_runtime.isValid());
    // The instance lock goes here, not into the user's runtime folder.
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
}

void QtPlatformTest::clipboard() {
    platform::QtPlatform os;
    QClipboard* board = QGuiApplication::clipboard();
    auto* other = new QMimeData;
    other->setHtml(QStringLiteral("<i>x</i>"));
    other->setData(QStringLiteral("application/x-other"), "data");
    board->setMimeData(other);

    os.clearClipboard();
    QVERIFY(board->text().isEmpty());
    QVERIFY(board->mimeData() == nullptr || board->mimeData()->formats().isEmpty());

    os.setClipboardText(QStringLiteral("&H0080FF"));
    QCOMPARE(board->text(), QStringLiteral("&H0080FF"));
    QCOMPARE(board->mimeData()->formats(), QStringList{QStringLiteral("text/plain")});

    os.setClipboardText(QStringLiteral("#FF8000"));
    QCOMPARE(board->text(), QStringLiteral("#FF8000"));
}

void QtPlatformTest::yesNoBoxDefaultsToNo_data() {
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("answer");
    QTest::newRow("292, Enter answers No") << 292 << int(Qt::Key_Return) << 7;
    QTest::newRow("292, Escape answers No") << 292 << int(Qt::Key_Escape) << 7;
    QTest::newRow("292, Y answers Yes") << 292 << int(Qt::Key_Y) << 6;
    QTest::newRow("36, Enter answers Yes") << 36 << int(Qt::Key_Return) << 6;
    QTest::newRow("4, Enter answers Yes") << 4 << int(Qt::Key_Return) << 6;
}

void QtPlatformTest::yesNoBoxDefaultsToNo() {
    QFETCH(int, style);
    QFETCH(int, key);
    QFETCH(int, answer);
    platform::QtPlatform os;
    SeenBox seen;
    const int result = runBox(os, QStringLiteral("上書きしますか？"), style, seen,
                              [key](QMessageBox* box) { pressKey(box, Qt::Key(key)); });
    QVERIFY(seen.shown);
    QCOMPARE(result, answer);
    QCOMPARE(seen.text, QStringLiteral("上書きしますか？"));
    QCOMPARE(seen.title, QStringLiteral("Swatchly"));
    QCOMPARE(seen.icon, (style & 32) != 0 ? QMessageBox::Question : QMessageBox::NoIcon);
    // The Japanese translation is in force: はい(&Y) / いいえ(&N).
    QCOMPARE(seen.buttons.size(), 2);
    QVERIFY2(seen.buttons.join(QLatin1Char(' ')).contains(QStringLiteral("はい")), qPrintable(seen.buttons.join(' ')));
    QVERIFY2(seen.buttons.join(QLatin1Char(' ')).contains(QStringLiteral("いいえ")),
             qPrintable(seen.buttons.join(' ')));
    const bool secondDefault = (style & 256) != 0;
    QVERIFY2(seen.defaultButton.contains(secondDefault ? QStringLiteral("いいえ") : QStringLiteral("はい")),
             qPrintable(seen.defaultButton));
    QCOMPARE(seen.focusedButton, seen.defaultButton);
}

void QtPlatformTest::okBox() {
    platform::QtPlatform os;
    SeenBox seen;
    const int result = runBox(os, QStringLiteral("Swatchly! バージョン1.0\r\n\r\n作者"), 0, seen,
                              [](QMessageBox* box) { pressKey(box, Qt::Key_Return); });
    QVERIFY(seen.shown);
    QCOMPARE(result, 1);
    QCOMPARE(seen.buttons.size(), 1);
    QCOMPARE(seen.icon, QMessageBox::NoIcon);
    QCOMPARE(seen.title, QStringLiteral("Swatchly"));
    QCOMPARE(seen.text, QStringLiteral("Swatchly! バージョン1.0\n\n作者"));

    // Closing the box by Escape is an OK as well.
    SeenBox again;
    QCOMPARE(runBox(os, QStringLiteral("x"), 0, again, [](QMessageBox* box) { pressKey(box, Qt::Key_Escape); }), 1);
    QVERIFY(again.shown);
}

void QtPlatformTest::helpViewer() {
    QVERIFY(m_dir.isValid());
    const QString path = m_dir.filePath(QStringLiteral("swatchly.hlp"));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("# ヘルプ\n## 最初\n一\n");
    }
    auto os = std::make_unique<platform::QtPlatform>();
    // Closing help that was never opened does nothing.
    os->quitHelp(nullptr, path);
    QCOMPARE(countHelpWindows(), 0);

    os->openHelp(nullptr, path);
    QCOMPARE(countHelpWindows(), 1);
    QCOMPARE(helpWindow()->sectionTitles(), QStringList{QStringLiteral("最初")});

    // A second request raises the same viewer, which reads the file again.
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("# ヘルプ\n## 最初\n一\n## 二番目\n二\n");
    }
    QPointer<HelpWindow> first = helpWindow();
    os->openHelp(nullptr, path);
    QCOMPARE(countHelpWindows(), 1);
    QCOMPARE(helpWindow(), first.data());
    QCOMPARE(first->sectionTitles().size(), 2);

    os->quitHelp(nullptr, path);
    QTRY_VERIFY(first.isNull());
    QCOMPARE(countHelpWindows(), 0);

    // Opening again after quitting gives a new viewer; destroying the platform takes it along.
    os->openHelp(nullptr, m_dir.filePath(QStringLiteral("missing.hlp")));
    QCOMPARE(countHelpWindows(), 1);
    QVERIFY(
        helpWindow()->currentText().contains(QDir::toNativeSeparators(m_dir.filePath(QStringLiteral("missing.hlp")))));
    os.reset();
    QCOMPARE(helpWindow(), nullptr);
}

void QtPlatformTest::alwaysOnTopKeepsTheWindow() {
    platform::QtPlatform os;
    QWidget window;
    window.setGeometry(100, 120, 300, 200);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const WId id = window.winId();
    const QRect geometry = window.geometry();

    os.setAlwaysOnTop(&window, true);
    QVERIFY(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(window.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(window.winId(), id);
    QCOMPARE(window.geometry(), geometry);
    QVERIFY(window.isVisible());

    os.setAlwaysOnTop(&window, false);
    QVERIFY(!window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(!window.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(window.winId(), id);
    QCOMPARE(window.geometry(), geometry);
    QVERIFY(window.isVisible());
}

void QtPlatformTest::programFolder() {
    platform::QtPlatform os;
    const QString folder = os.programFolder();
    QCOMPARE(folder, QFileInfo(QCoreApplication::applicationDirPath()).canonicalFilePath());
    QVERIFY(!folder.endsWith(QLatin1Char('/')));
    QVERIFY(
        QFileInfo(folder + QLatin1Char('/') + QFileInfo(QCoreApplication::applicationFilePath()).fileName()).exists());
}

void QtPlatformTest::previousInstance() {
    auto first = std::make_unique<platform::QtPlatform>();
    QVERIFY(!first->previousInstanceRunning());
    // Asking again keeps the lock it holds.
    QVERIFY(!first->previousInstanceRunning());
    {
        platform::QtPlatform second;
        QVERIFY(second.previousInstanceRunning());
    }
    first.reset();
    platform::QtPlatform third;
    QVERIFY(!third.previousInstanceRunning());
}

QTEST_MAIN(QtPlatformTest)
#include "tst_qtplatform.moc"
