#include "platform/SingleInstance.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <utility>

namespace platform {

namespace {

// The holder of the lock listens microseconds after taking it. It answers from its event loop,
// which a start on a loaded machine may take a few seconds to reach.
constexpr int ConnectWithinMs = 1000;
constexpr int AnswerWithinMs = 5000;
constexpr qsizetype MaxRequestBytes = 4096;

void warn(const QString& line) {
    std::fprintf(stderr, "swatchly: %s\n", line.toLocal8Bit().constData());
}

QByteArray encoded(const QString& path) {
    return QFile::encodeName(path);
}

// Why `path` cannot hold the lock (not a folder, not the user's own, not writable); empty when
// it can. A link in the shared temp folder is refused: anyone may have put it there.
QString folderProblem(const QString& path, bool followLink) {
    const QByteArray name = encoded(path);
    struct stat info {};
    if ((followLink ? stat(name.constData(), &info) : lstat(name.constData(), &info)) != 0) {
        return qt_error_string(errno);
    }
    if (!S_ISDIR(info.st_mode)) {
        return QStringLiteral("フォルダーではありません");
    }
    if (info.st_uid != geteuid()) {
        return QStringLiteral("ほかのユーザーのフォルダーです");
    }
    if (access(name.constData(), W_OK | X_OK) != 0) {
        return qt_error_string(errno);
    }
    return {};
}

QString userName() {
    const passwd* user = getpwuid(geteuid());
    return user != nullptr ? QFile::decodeName(user->pw_name) : QString::number(geteuid());
}

// The permission bits that let other users write into a folder or enter it.
constexpr mode_t OpenToOthers = S_IWGRP | S_IXGRP | S_IWOTH | S_IXOTH;

// The folder for the lock, chosen as Qt chooses its runtime folder: the one XDG_RUNTIME_DIR
// names, when it is the user's own, writable and closed to others; else runtime-<user> in the
// temp folder, kept private. Sets `problem` when neither can be used, and `notice` when the
// runtime folder is passed over because others may write into it or enter it.
QString lockFolder(QString* problem, QString* notice) {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QString fallback = QDir::tempPath() + QStringLiteral("/runtime-") + userName();
    if (QDir::isAbsolutePath(runtime)) {
        // Qt makes a missing runtime folder on first use; made here first, every start of the
        // program agrees on the folder from the start.
        mkdir(encoded(runtime).constData(), 0700);
        struct stat info {};
        if (folderProblem(runtime, true).isEmpty() && stat(encoded(runtime).constData(), &info) == 0) {
            if ((info.st_mode & OpenToOthers) == 0) {
                return runtime;
            }
            *notice = QStringLiteral("実行時フォルダー「%1」はほかのユーザーも書き込めるか入れるため（アクセス権 %2）、"
                                     "多重起動の確かめには「%3」を使います。")
                          .arg(QDir::toNativeSeparators(runtime),
                               QString::number(info.st_mode & 07777, 8).rightJustified(4, QLatin1Char('0')),
                               QDir::toNativeSeparators(fallback));
        }
    }
    mkdir(encoded(fallback).constData(), 0700);
    *problem = folderProblem(fallback, false);
    if (problem->isEmpty()) {
        chmod(encoded(fallback).constData(), 0700);
    }
    return fallback;
}

// The address of the socket at `path`; false when the path is too long for one.
bool socketAddress(const QString& path, sockaddr_un* address) {
    const QByteArray name = encoded(path);
    address->sun_family = AF_UNIX;
    if (static_cast<std::size_t>(name.size()) >= sizeof address->sun_path) {
        return false;
    }
    std::memcpy(address->sun_path, name.constData(), static_cast<std::size_t>(name.size()));
    return true;
}

bool isOwnFile(const struct stat& info) {
    return S_ISREG(info.st_mode) && info.st_uid == geteuid();
}

// Opens the lock file, creating it private to the user. Anything else in its place in the
// user's folder (a link, a folder, a special file, another user's file) is cleared away once.
int openLock(const QByteArray& path, int* error) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int fd = open(path.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0600);
        struct stat info {};
        if (fd >= 0) {
            if (fstat(fd, &info) == 0 && isOwnFile(info)) {
                return fd;
            }
            close(fd);
            *error = EPERM;
        } else {
            *error = errno;
        }
        // Only what is still in the way goes: a lock file that another start has just put
        // there stays, and is tried again.
        if (lstat(path.constData(), &info) == 0 && !isOwnFile(info) &&
            (S_ISDIR(info.st_mode) ? rmdir(path.constData()) : unlink(path.constData())) != 0) {
            return -1;
        }
    }
    return -1;
}

QByteArray requestFromEnvironment() {
    // One line a value; a line break would end the value early, so none is passed on.
    auto line = [](const char* key, const char* variable) {
        return QByteArray(key) + '=' + qgetenv(variable).replace('\n', "").replace('\r', "") + '\n';
    };
    return "activate\n" + line("startup-id", "DESKTOP_STARTUP_ID") + line("activation-token", "XDG_ACTIVATION_TOKEN") +
           '\n';
}

ActivationRequest parseRequest(const QByteArray& text) {
    ActivationRequest request;
    for (const QByteArray& line : text.split('\n')) {
        const qsizetype equals = line.indexOf('=');
        const QByteArray key = line.left(equals);
        if (key == "startup-id") {
            request.startupId = line.mid(equals + 1);
        } else if (key == "activation-token") {
            request.activationToken = line.mid(equals + 1);
        }
    }
    return request;
}

} // namespace

SingleInstance::SingleInstance(const QString& executablePath)
    : m_folder(lockFolder(&m_folderProblem, &m_folderNotice) + QLatin1Char('/'))
    , m_name(QStringLiteral("swatchly-") +
             QString::fromLatin1(
                 QCryptographicHash::hash(executablePath.toUtf8(), QCryptographicHash::Sha1).toHex().left(16))) {}

SingleInstance::~SingleInstance() {
    delete m_server.data(); // before the socket it watches, with every connection it holds
    if (m_listening >= 0) {
        close(m_listening);
    }
    if (m_lock >= 0) {
        // Both go while the lock is still held, so that neither removes a later holder's. A
        // start that opened the lock file meanwhile finds it gone once it holds the lock, and
        // tries the path again.
        unlink(encoded(socketPath()).constData());
        unlink(encoded(lockPath()).constData());
        close(m_lock);
    }
}

bool SingleInstance::tryAcquire() {
    const bool running = acquire();
    // Told by the instance that runs; a later start that hands over stays silent.
    if (running && !m_folderNotice.isEmpty()) {
        warn(std::exchange(m_folderNotice, {}));
    }
    return running;
}

bool SingleInstance::acquire() {
    if (m_lock >= 0) {
        return true;
    }
    const QString alone = QStringLiteral("このまま起動します（ほかに起動中の Swatchly があっても確かめません）。");
    if (!m_folderProblem.isEmpty()) {
        warn(QStringLiteral("多重起動を確かめるフォルダー「%1」を使えません（%2）。")
                 .arg(QDir::toNativeSeparators(m_folder.chopped(1)), m_folderProblem) +
             alone);
        return true;
    }
    const QByteArray path = encoded(lockPath());
    for (int attempt = 0; attempt < 3; ++attempt) {
        int error = 0;
        const int fd = openLock(path, &error);
        if (fd < 0) {
            warn(QStringLiteral("多重起動を確かめるファイル「%1」を作れません（%2）。")
                     .arg(QDir::toNativeSeparators(lockPath()), qt_error_string(error)) +
                 alone);
            return true;
        }
        if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
            error = errno;
            close(fd);
            if (error == EWOULDBLOCK) {
                return !handOver();
            }
            warn(QStringLiteral("多重起動を確かめるファイル「%1」をロックできません（%2）。")
                     .arg(QDir::toNativeSeparators(lockPath()), qt_error_string(error)) +
                 alone);
            return true;
        }
        // The file may have been cleared away between opening and locking it: then the lock
        // guards nothing, and the file that now stands there is tried.
        struct stat held {};
        struct stat named {};
        if (fstat(fd, &held) == 0 && stat(path.constData(), &named) == 0 && held.st_dev == named.st_dev &&
            held.st_ino == named.st_ino) {
            m_lock = fd;
            fchmod(fd, 0600); // a lock file left by an older program may have been made under another umask
            // For people who look; the content plays no part in the lock, which holds all the
            // same when it cannot be written.
            const QByteArray pid = QByteArray::number(getpid()) + '\n';
            [[maybe_unused]] const bool noted =
                ftruncate(fd, 0) == 0 && write(fd, pid.constData(), static_cast<std::size_t>(pid.size())) > 0;
            listen();
            return true;
        }
        close(fd);
    }
    warn(QStringLiteral("多重起動を確かめるファイル「%1」がほかから置き換えられ続けています。")
             .arg(QDir::toNativeSeparators(lockPath())) +
         alone);
    return true;
}

void SingleInstance::listen() {
    // The socket listens at once, before the application exists: a later start that connects
    // meanwhile waits in the queue until the event loop answers it.
    sockaddr_un address{};
    int error = ENAMETOOLONG;
    if (socketAddress(socketPath(), &address)) {
        // A socket left by a killed instance: the lock says nobody listens there any more.
        unlink(address.sun_path);
        const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        // The socket file is the user's alone (0600) whatever the umask; bind() gives it its mode.
        const mode_t umaskBefore = umask(0177);
        const bool bound = fd >= 0 && bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
        umask(umaskBefore);
        if (bound && ::listen(fd, 16) == 0) {
            m_listening = fd;
            return;
        }
        error = errno;
        if (fd >= 0) {
            close(fd);
        }
    }
    warn(QStringLiteral(
             "後からの起動を受け付ける「%1」を開けません（%2）。後から起動すると、もう一つウィンドウが開きます。")
             .arg(QDir::toNativeSeparators(socketPath()), qt_error_string(error)));
}

bool SingleInstance::handOver() {
    QElapsedTimer timer;
    timer.start();
    sockaddr_un address{};
    int fd = -1;
    int error = ENAMETOOLONG;
    while (socketAddress(socketPath(), &address)) {
        fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
            break;
        }
        error = errno;
        if (fd >= 0) {
            close(fd);
            fd = -1;
        }
        if (timer.elapsed() >= ConnectWithinMs) {
            break;
        }
        // The holder of a lock that is a moment old may not listen yet.
        usleep(20000);
    }
    if (fd < 0) {
        warn(QStringLiteral("起動中の Swatchly が「%1」で応答しません（%2）。新しく起動します。")
                 .arg(QDir::toNativeSeparators(socketPath()), qt_error_string(error)));
        return false;
    }
    const QByteArray request = requestFromEnvironment();
    QByteArray answer;
    if (send(fd, request.constData(), static_cast<std::size_t>(request.size()), MSG_NOSIGNAL) == request.size()) {
        timer.restart();
        pollfd readable{fd, POLLIN, 0};
        char buffer[64];
        for (qint64 left = AnswerWithinMs; !answer.contains('\n') && left > 0;
             left = AnswerWithinMs - timer.elapsed()) {
            const int ready = poll(&readable, 1, static_cast<int>(left));
            if (ready < 0 && errno == EINTR) {
                continue;
            }
            const ssize_t got = ready > 0 ? read(fd, buffer, sizeof buffer) : 0;
            if (got <= 0) {
                break; // no answer in time, or the connection closed without one
            }
            answer.append(buffer, got);
        }
    }
    close(fd);
    if (answer == "ok\n") {
        return true;
    }
    warn(QStringLiteral("起動中の Swatchly が「%1」で %2 秒のうちに応答しませんでした。新しく起動します。")
             .arg(QDir::toNativeSeparators(socketPath()))
             .arg(AnswerWithinMs / 1000));
    return false;
}

void SingleInstance::serve(std::function<void(const ActivationRequest&)> handler) {
    if (m_listening < 0) {
        return;
    }
    // Plain sockets watched by the event loop: Qt's network module would cost every start about
    // 1.5 MB of memory for what only a later start needs. The server belongs to the application
    // object, so that it goes no later than the event loop it uses.
    m_server = new RequestServer(m_listening, std::move(handler), QCoreApplication::instance());
}

RequestServer::RequestServer(int listening, std::function<void(const ActivationRequest&)> handler, QObject* parent)
    : QObject(parent)
    , m_listener(listening, QSocketNotifier::Read, this)
    , m_handler(std::move(handler)) {
    connect(&m_listener, &QSocketNotifier::activated, this, [this] { acceptAll(); });
}

RequestServer::~RequestServer() {
    for (Connection* connection : std::as_const(m_open)) {
        ::close(connection->fd);
    }
}

void RequestServer::acceptAll() {
    for (;;) {
        const int peer = accept4(static_cast<int>(m_listener.socket()), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (peer < 0) {
            if ((errno == EMFILE || errno == ENFILE) && !m_open.isEmpty()) {
                drop(m_open.constFirst());
                continue;
            }
            return; // none waiting (or the process cannot take one now)
        }
        // The oldest goes to make room: a later start connects and sends its request at once.
        if (m_open.size() >= MaxConnections) {
            drop(m_open.constFirst());
        }
        auto* connection = new Connection(peer, this);
        m_open.append(connection);
        connect(&connection->reader, &QSocketNotifier::activated, connection, [this, connection] { read(connection); });
        QTimer::singleShot(RequestWithinMs, connection, [this, connection] { drop(connection); });
        // A start sends its request as it connects: often it is there already.
        read(connection);
    }
}

void RequestServer::read(Connection* connection) {
    char buffer[512];
    const ssize_t got = ::read(connection->fd, buffer, sizeof buffer);
    if (got < 0 && (errno == EAGAIN || errno == EINTR)) {
        return;
    }
    QByteArray& received = connection->received;
    received.append(buffer, got > 0 ? got : 0);
    const qsizetype end = received.indexOf("\n\n");
    if (end < 0 && got > 0 && received.size() <= MaxRequestBytes) {
        return; // more to come
    }
    if (end >= 0 && received.startsWith("activate\n")) {
        m_handler(parseRequest(received.left(end)));
        send(connection->fd, "ok\n", 3, MSG_NOSIGNAL);
    }
    drop(connection);
}

void RequestServer::drop(Connection* connection) {
    if (!m_open.removeOne(connection)) {
        return;
    }
    // Closed now; the object goes once the event loop is back, as its watcher may be calling.
    connection->reader.setEnabled(false);
    ::close(connection->fd);
    connection->fd = -1;
    connection->deleteLater();
}

} // namespace platform
