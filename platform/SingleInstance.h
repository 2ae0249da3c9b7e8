#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSocketNotifier>
#include <QString>
#include <functional>

namespace platform {

// What a later start hands to the running instance: the tokens its launcher gave it, with which
// the window system lets the running window come forward in the launcher's name.
struct ActivationRequest {
    QByteArray startupId;       // DESKTOP_STARTUP_ID (X11 start-up notification)
    QByteArray activationToken; // XDG_ACTIVATION_TOKEN (Wayland)
};

// One running instance per user and executable. The first start holds a kernel lock on a file
// in a folder of the user's own: the runtime folder, or else Qt's fallback runtime folder in the
// temp folder. The lock goes with its process however that ends, so no file left behind can
// block a later start. Beside the lock the holder listens on a local socket, where a later start
// hands over its activation request and waits for the answer.
class SingleInstance {
public:
    explicit SingleInstance(const QString& executablePath);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True: this process is the running instance. False: a live instance of this user holds
    // the lock and has taken this start's activation request. A lock that cannot be used, or a
    // holder that does not answer, is reported on standard error in one line, and the program
    // runs all the same. Call before the application exists.
    bool tryAcquire();
    // Calls `handler` for each request of a later start, from the event loop. Call once the
    // application exists.
    void serve(std::function<void(const ActivationRequest&)> handler);

    // The folder that holds the lock and the socket; empty when no folder can be used.
    QString folder() const { return m_folder; }
    QString lockPath() const { return m_folder + m_name + QStringLiteral(".lock"); }
    QString socketPath() const { return m_folder + m_name + QStringLiteral(".socket"); }

private:
    bool acquire();
    bool handOver();
    void listen();

    QString m_folderProblem; // set while m_folder is chosen, so declared first
    QString m_folderNotice;  // likewise: why the runtime folder was passed over
    QString m_folder;        // with a trailing separator
    QString m_name;
    int m_lock = -1;
    int m_listening = -1;       // the socket, listening
    QPointer<QObject> m_server; // answers it; owned by the application object
};

// Answers later starts on the listening socket, from the event loop. At most MaxConnections
// are open at once, the oldest closed to make room for a new one, and each is closed when it
// has not sent its request within RequestWithinMs: connections that say nothing can neither use
// up the program's file descriptors nor keep a later start from being answered.
class RequestServer final : public QObject {
public:
    static constexpr int MaxConnections = 8;
    static constexpr int RequestWithinMs = 2000;

    RequestServer(int listening, std::function<void(const ActivationRequest&)> handler, QObject* parent);
    ~RequestServer() override;

private:
    struct Connection final : QObject {
        Connection(int socket, QObject* parent)
            : QObject(parent)
            , fd(socket)
            , reader(socket, QSocketNotifier::Read, this) {}
        int fd;
        QSocketNotifier reader;
        QByteArray received;
    };

    void acceptAll();
    void read(Connection* connection);
    void drop(Connection* connection);

    QSocketNotifier m_listener;
    std::function<void(const ActivationRequest&)> m_handler;
    QList<Connection*> m_open; // oldest first
};

} // namespace platform
