#include "ui/SingleInstance.h"

#include <QDir>
#include <QStandardPaths>

namespace vantrel {

namespace {

QString lockPath(const QString& name) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return QDir(folder).filePath(name + QStringLiteral(".lock"));
}

} // namespace

SingleInstance::SingleInstance(const QString& name) : m_lock(lockPath(name)) {
    // Never stale by age: a running copy keeps its lock however long it runs.
    // A lock whose process has died is still found stale by its process id.
    m_lock.setStaleLockTime(0);
}

bool SingleInstance::tryAcquire() {
    return m_lock.tryLock(0);
}

} // namespace vantrel
