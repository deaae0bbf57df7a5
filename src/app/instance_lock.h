#pragma once

#include <QString>

namespace tavrin {

// One running tool per program folder: a second one would show lists that go stale as
// the first one changes the catalogue. The lock is the kernel's, on a file in the program
// folder: it is released when its holder ends however it ends, so no lock is ever left
// stale, and taking it writes nothing that must reach the disk.
class InstanceLock {
public:
    explicit InstanceLock(const QString& programFolder);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // False when another running tool holds the program folder.
    bool acquire();

    static QString lockPath(const QString& programFolder);

private:
    QString path_;
    int fd_ = -1;
};

} // namespace tavrin
