#include "platform/SingleInstance.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSocketNotifier>
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

// The folder for the lock, chosen as Qt chooses its runtime folder: the one XDG_RUNTIME_DIR
// names, when it is the user's own and writable; else runtime-<user> in the temp folder, kept
// private. Sets `problem` when neither can be used.
QString lockFolder(QString* problem) {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime)) {
        // Qt makes a missing runtime folder on first use; made here first, every start of the
        // program agrees on the folder from the start.
        mkdir(encoded(runtime).constData(), 0700);
        if (folderProblem(runtime, true).isEmpty()) {
            return runtime;
        }
    }
    const QString fallback = QDir::tempPath() + QStringLiteral("/runtime-") + userName();
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
    : m_folder(lockFolder(&m_folderProblem) + QLatin1Char('/'))
    , m_name(QStringLiteral("swatchly-") +
             QString::fromLatin1(
                 QCryptographicHash::hash(executablePath.toUtf8(), QCryptographicHash::Sha1).toHex().left(16))) {}

SingleInstance::~SingleInstance() {
    delete m_server.data(); // before the socket it watches
    if (m_listening >= 0) {
        close(m_listening);
    }
    if (m_lock >= 0) {
        // The socket goes while the lock is still held, so it never removes a later holder's.
        unlink(encoded(socketPath()).constData());
        close(m_lock);
    }
}

bool SingleInstance::tryAcquire() {
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
        if (fd >= 0 && bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
            ::listen(fd, 16) == 0) {
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
    // 1.5 MB of memory for what only a later start needs. The watcher belongs to the application
    // object, so that it goes no later than the event loop it uses.
    m_server = new QSocketNotifier(m_listening, QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(m_server, &QSocketNotifier::activated, m_server, [server = m_server.data(), handler] {
        int peer = -1;
        while ((peer = accept4(static_cast<int>(server->socket()), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK)) >=
               0) {
            auto* reader = new QSocketNotifier(peer, QSocketNotifier::Read, server);
            auto received = std::make_shared<QByteArray>();
            QObject::connect(reader, &QSocketNotifier::activated, reader, [reader, peer, received, handler] {
                char buffer[512];
                const ssize_t got = read(peer, buffer, sizeof buffer);
                if (got < 0 && errno == EAGAIN) {
                    return;
                }
                received->append(buffer, got > 0 ? got : 0);
                const qsizetype end = received->indexOf("\n\n");
                if (end < 0 && got > 0 && received->size() <= MaxRequestBytes) {
                    return; // more to come
                }
                if (end >= 0 && received->startsWith("activate\n")) {
                    handler(parseRequest(received->left(end)));
                    send(peer, "ok\n", 3, MSG_NOSIGNAL);
                }
                reader->setEnabled(false);
                close(peer);
                reader->deleteLater();
            });
        }
    });
}

} // namespace platform
