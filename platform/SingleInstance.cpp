#include "platform/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLockFile>

namespace platform {

namespace {

QString runtimeFolder() {
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(QString::fromLocal8Bit(runtime)).exists()) {
        return QString::fromLocal8Bit(runtime);
    }
    return QDir::tempPath();
}

} // namespace

SingleInstance::SingleInstance(const QString& executablePath) {
    const QByteArray hash = QCryptographicHash::hash(executablePath.toUtf8(), QCryptographicHash::Sha1).toHex();
    m_lockPath =
        runtimeFolder() + QStringLiteral("/swatchly-") + QString::fromLatin1(hash.left(16)) + QStringLiteral(".lock");
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::tryAcquire() {
    if (m_lock && m_lock->isLocked()) {
        return true;
    }
    m_lock = std::make_unique<QLockFile>(m_lockPath);
    // A lock whose owner process is gone is removed by tryLock() itself; the stale-age
    // fallback only matters for owners that cannot be checked (another host).
    m_lock->setStaleLockTime(0);
    return m_lock->tryLock(0);
}

} // namespace platform
