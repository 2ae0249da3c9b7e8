#include "platform/QtPlatform.h"

#include "platform/ClipboardReader.h"
#include "platform/HelpWindow.h"
#include "platform/ScreenPicker.h"
#include "platform/WindowManager.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QWindow>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace platform {

namespace {

QString executablePath() {
    // The kernel's view of our executable, symbolic links resolved, whatever the current folder.
    QString path = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    if (path.isEmpty() && QCoreApplication::instance() != nullptr) {
        path = QCoreApplication::applicationFilePath();
    }
    return path;
}

// Right of the main window where the screen has room for the whole window, else left of it;
// where neither side has, on the roomier side, narrowed to fit. The tops are level.
void placeBeside(QWidget* window, const QWidget* main) {
    const QRect area = main->screen()->availableGeometry();
    const QRect mainFrame = main->frameGeometry();
    // The window manager gives both windows the same frame.
    const QSize frame = mainFrame.size() - main->size();
    const int roomRight = area.right() - mainFrame.right() - frame.width();
    const int roomLeft = mainFrame.left() - area.left() - frame.width();
    const bool right = roomRight >= window->width() || roomRight >= roomLeft;
    const int width =
        std::max(window->minimumSizeHint().width(), std::min(right ? roomRight : roomLeft, window->width()));
    const int height = std::min(window->height(), area.height() - frame.height());
    window->resize(width, height);
    // Kept on the screen.
    const int x = right ? mainFrame.right() + 1 : mainFrame.left() - width - frame.width();
    const int y = mainFrame.top();
    window->move(std::max(area.left(), std::min(x, area.right() + 1 - width - frame.width())),
                 std::max(area.top(), std::min(y, area.bottom() + 1 - height - frame.height())));
}

bool waylandSession() {
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland");
}

// SIGTERM and SIGINT reach the event loop through a pipe: the handler only writes a byte.
int signalPipe[2] = {-1, -1};

void noteTerminationSignal(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(signalPipe[1], &byte, 1);
    errno = saved;
}

} // namespace

ScreenPickWay screenPickWay() {
    const QString platform = QGuiApplication::platformName();
    // Through XWayland the X server sees only the windows of X programs: the portal sees all.
    if (platform == QLatin1String("wayland") || (platform == QLatin1String("xcb") && waylandSession())) {
        return ScreenPickWay::Portal;
    }
    return platform == QLatin1String("xcb") ? ScreenPickWay::X11 : ScreenPickWay::None;
}

const QString InstalledFilesFromProgram = QStringLiteral(SWATCHLY_FILES_FROM_PROGRAM);

namespace {

QString installedFilesOf(const QString& programFolder) {
    return QDir::cleanPath(QDir(programFolder).filePath(InstalledFilesFromProgram));
}

bool installed(const QString& programFolder) {
    return QFileInfo::exists(QDir(installedFilesOf(programFolder)).filePath(InstallMarker));
}

QString resourceFolderOf(const QString& programFolder, bool installed) {
    return installed ? installedFilesOf(programFolder) : programFolder;
}

QString paletteFolderOf(const QString& programFolder, bool installed) {
    return installed ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) : programFolder;
}

QString settingsFileOf(const QString& programFolder, bool installed) {
    return installed ? QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
                           .filePath(QStringLiteral("swatchly.conf"))
                     : QDir(programFolder).filePath(QStringLiteral("swatchly.ini"));
}

} // namespace

QString resourceFolderFor(const QString& programFolder) {
    return resourceFolderOf(programFolder, installed(programFolder));
}

QString paletteFolderFor(const QString& programFolder) {
    return paletteFolderOf(programFolder, installed(programFolder));
}

QString settingsFileFor(const QString& programFolder) {
    return settingsFileOf(programFolder, installed(programFolder));
}

QtPlatform::QtPlatform()
    : m_executable(executablePath())
    , m_folder(QFileInfo(m_executable).absolutePath()) {}

QtPlatform::~QtPlatform() {
    delete m_help.data();
}

int QtPlatform::messageBox(QWidget* owner, const QString& text, int style, const QString& title) {
    QMessageBox box(owner);
    box.setWindowTitle(title.isEmpty() ? QStringLiteral("Swatchly") : title);
    // Line breaks come as CR LF; Qt lays out LF.
    box.setText(QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    box.setTextFormat(Qt::PlainText);
    box.setIcon((style & Question) != 0 ? QMessageBox::Question : QMessageBox::NoIcon);
    if ((style & 0xF) == YesNo) {
        QPushButton* yes = box.addButton(QMessageBox::Yes);
        QPushButton* no = box.addButton(QMessageBox::No);
        box.setDefaultButton((style & SecondButtonDefault) != 0 ? no : yes);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes ? AnswerYes : AnswerNo;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return AnswerOk;
}

void QtPlatform::openHelp(QWidget* owner, const QString& helpFile) {
    QWidget* main = owner != nullptr ? owner->window() : nullptr;
    if (m_help == nullptr) {
        // Beside the main window, so that it covers nothing, and a window of the main window's,
        // which the window manager keeps above it (also while the main window is kept on top).
        m_help = new HelpWindow(main);
        m_help->setAttribute(Qt::WA_DeleteOnClose);
        m_help->setAttribute(Qt::WA_QuitOnClose, false);
        if (main != nullptr && main->isVisible()) {
            placeBeside(m_help, main);
        }
    }
    m_help->openFile(helpFile);
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
}

void QtPlatform::quitHelp(QWidget* owner, const QString& helpFile) {
    Q_UNUSED(owner);
    Q_UNUSED(helpFile);
    if (m_help != nullptr) {
        m_help->close();
    }
}

void QtPlatform::setAlwaysOnTop(QWidget* window, bool on) {
    // Changing the flag on the native window keeps it mapped where it is and does not
    // activate it; QWidget::setWindowFlag would re-create and re-show the window.
    window->overrideWindowFlags(on ? (window->windowFlags() | Qt::WindowStaysOnTopHint)
                                   : (window->windowFlags() & ~Qt::WindowStaysOnTopHint));
    if (QWindow* handle = window->windowHandle()) {
        handle->setFlag(Qt::WindowStaysOnTopHint, on);
    }
}

bool QtPlatform::canKeepOnTop() const {
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

void QtPlatform::beginWindowDrag(QWidget* window, QPoint pressedAt) {
    startMove(window->window(), pressedAt);
}

void QtPlatform::clearClipboard() {
    QGuiApplication::clipboard()->clear(QClipboard::Clipboard);
}

void QtPlatform::setClipboardText(const QString& text) {
    QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
}

void QtPlatform::readClipboardText(ClipboardTextDone done) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    // The program's own text is at hand. On X11 another program's comes through the reader,
    // which waits for it without holding up the event loop; elsewhere Qt reads it (on Wayland
    // Qt itself waits at most about a second for each format it reads).
    if (QGuiApplication::platformName() == QLatin1String("xcb") && !clipboard->ownsClipboard()) {
        if (m_clipboard == nullptr) {
            m_clipboard = std::make_unique<X11ClipboardReader>();
        }
        if (m_clipboard->start(done)) {
            return;
        }
    }
    done(clipboard->text(QClipboard::Clipboard));
}

void QtPlatform::cancelClipboardRead() {
    if (m_clipboard != nullptr) {
        m_clipboard->cancel();
    }
}

bool QtPlatform::canPickScreenColor() const {
    return screenPickWay() != ScreenPickWay::None;
}

bool QtPlatform::previousInstanceRunning() {
    if (m_instance == nullptr) {
        m_instance = std::make_unique<SingleInstance>(m_executable);
    }
    return !m_instance->tryAcquire();
}

void QtPlatform::bringForwardOnLaterStarts(QWidget* window) {
    if (m_instance == nullptr) {
        return;
    }
    m_instance->serve([target = QPointer<QWidget>(window)](const ActivationRequest& request) {
        if (target != nullptr) {
            bringForward(target, request);
        }
    });
}

void QtPlatform::closeOnTerminationSignals(QWidget* window) {
    if (signalPipe[0] < 0 && pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return; // then the signals end the program as they always do
    }
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, window);
    QObject::connect(notifier, &QSocketNotifier::activated, window, [window] {
        char bytes[64];
        while (read(signalPipe[0], bytes, sizeof bytes) > 0) {
        }
        // A dialog open over the window is closed as Esc closes it, so that what asked goes on
        // and ends; then the window closes as its close box closes it.
        while (QWidget* dialog = QApplication::activeModalWidget()) {
            if (!dialog->close()) {
                break;
            }
        }
        window->close();
    });
    struct sigaction action {};
    action.sa_handler = noteTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

QString QtPlatform::programFolder() const {
    return m_folder;
}

bool QtPlatform::installedProgram() const {
    if (!m_installed) {
        m_installed = installed(m_folder);
    }
    return *m_installed;
}

QString QtPlatform::resourceFolder() const {
    return resourceFolderOf(m_folder, installedProgram());
}

QString QtPlatform::paletteFolder() const {
    return paletteFolderOf(m_folder, installedProgram());
}

QString QtPlatform::settingsFile() const {
    return settingsFileOf(m_folder, installedProgram());
}

void QtPlatform::saveWhenSessionEnds(QObject* context, std::function<void()> save) {
    // The session manager may end the program without closing its windows once it has asked
    // for the data to be kept.
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, context, [save](QSessionManager&) { save(); });
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, context, save);
}

void QtPlatform::sayOnStandardError(const QString& line) {
    std::fprintf(stderr, "swatchly: %s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
}

} // namespace platform
