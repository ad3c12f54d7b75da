#include "app/SingleInstance.h"

#include <QDir>
#include <QStandardPaths>
#include <QSysInfo>

namespace vantrel {

SingleInstance::SingleInstance(const QString& folder, const QString& name)
    : m_path(folder.isEmpty() ? QString() : QDir(folder).filePath(name + QStringLiteral(".lock"))),
      m_lock(m_path) {
    // Never stale by age: a running copy keeps its lock however long it runs.
    // A lock whose process has died is still found stale by its process id.
    m_lock.setStaleLockTime(0);
}

SingleInstance::Outcome SingleInstance::tryAcquire() {
    if (m_path.isEmpty())
        return Outcome::Unavailable;
    if (m_lock.tryLock(0))
        return Outcome::Acquired;
    // Only a lock held by a live process means another copy; a folder that
    // cannot be written or a full disk say nothing about other copies.
    if (m_lock.error() != QLockFile::LockFailedError)
        return Outcome::Unavailable;
    if (heldByLiveCopy())
        return Outcome::HeldByAnotherCopy;
    // Qt takes over the lock of a copy that died, but not one it cannot read
    // (empty, garbage, a folder of that name) or one naming another machine:
    // left alone, such a lock would keep every later start away for good.
    // Qt's removal refuses a file a live copy still holds open and locked,
    // one that is still writing its lock, say: it reads as live a moment on.
    if (!m_lock.removeStaleLockFile() && !QDir().rmdir(m_path)) {
        if (heldByLiveCopy())
            return Outcome::HeldByAnotherCopy;
        m_problem =
            QStringLiteral("cannot remove the damaged lock ") + QDir::toNativeSeparators(m_path);
        return Outcome::Unavailable;
    }
    if (m_lock.tryLock(0))
        return Outcome::Acquired;
    return m_lock.error() == QLockFile::LockFailedError ? Outcome::HeldByAnotherCopy
                                                        : Outcome::Unavailable;
}

bool SingleInstance::heldByLiveCopy() const {
    qint64 pid = 0;
    QString hostName, appName;
    // A lock of this machine whose process had died was already taken over by
    // tryLock(), so one that reads well and names this machine is live.
    return m_lock.getLockInfo(&pid, &hostName, &appName) && pid > 0 &&
           (hostName.isEmpty() || hostName == QSysInfo::machineHostName());
}

QString SingleInstance::problem() const {
    if (m_path.isEmpty())
        return QStringLiteral("no runtime folder");
    if (!m_problem.isEmpty())
        return m_problem;
    const QString what = m_lock.error() == QLockFile::PermissionError
                             ? QStringLiteral("no permission to create ")
                             : QStringLiteral("cannot create ");
    return what + QDir::toNativeSeparators(m_path);
}

QString SingleInstance::defaultFolder() {
    // Qt already falls back to a private folder below the temporary folder.
    // Where even that fails there is no per-user place for the lock: one in
    // the shared temporary folder would let one user's copy block another's.
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

} // namespace vantrel
