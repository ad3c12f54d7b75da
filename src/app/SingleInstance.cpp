#include "app/SingleInstance.h"

#include <QDir>
#include <QStandardPaths>

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
    return m_lock.error() == QLockFile::LockFailedError ? Outcome::HeldByAnotherCopy
                                                        : Outcome::Unavailable;
}

QString SingleInstance::problem() const {
    if (m_path.isEmpty())
        return QStringLiteral("no runtime folder");
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
