#include "app/instance_lock.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace tavrin {

QString InstanceLock::lockPath(const QString& programFolder) {
    return QDir(programFolder).filePath(QStringLiteral("Tavrin.lock"));
}

InstanceLock::InstanceLock(const QString& programFolder) : path_(lockPath(programFolder)) {}

InstanceLock::~InstanceLock() {
    // The file stays: removing it could let a third start lock a new file while a second
    // holds the old one.
    if (fd_ >= 0)
        ::close(fd_);
}

bool InstanceLock::acquire() {
    if (fd_ >= 0)
        return true;
    const int fd = ::open(QFile::encodeName(path_).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    // A folder where no lock can be written at all (read-only media) does not stop the
    // tool: only a lock held by another live process does.
    if (fd < 0)
        return true;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        fd_ = fd;
        return true;
    }
    const bool heldElsewhere = errno == EWOULDBLOCK;
    ::close(fd);
    return !heldElsewhere;
}

} // namespace tavrin
