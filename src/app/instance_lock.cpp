#include "app/instance_lock.h"

#include <QDir>

namespace tavrin {

QString InstanceLock::lockPath(const QString& programFolder) {
    return QDir(programFolder).filePath(QStringLiteral("Tavrin.lock"));
}

InstanceLock::InstanceLock(const QString& programFolder) : lock_(lockPath(programFolder)) {
    // A live holder never goes stale by age; only a dead one frees the lock.
    lock_.setStaleLockTime(0);
}

bool InstanceLock::acquire() {
    if (lock_.tryLock(0))
        return true;
    // A folder where no lock can be written at all (read-only media) does not stop the
    // tool: only a lock held by another live process does.
    return lock_.error() != QLockFile::LockFailedError;
}

} // namespace tavrin
