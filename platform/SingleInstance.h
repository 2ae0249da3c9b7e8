#pragma once

#include <QString>
#include <memory>

class QLockFile;

namespace platform {

// One running instance per executable: a lock file named from the executable's canonical path,
// held for the life of the process. A lock left by a crashed or killed process is taken over.
class SingleInstance {
public:
    explicit SingleInstance(const QString& executablePath);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Tries to become the running instance; false when another live process holds the lock.
    bool tryAcquire();
    QString lockPath() const { return m_lockPath; }

private:
    QString m_lockPath;
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace platform
