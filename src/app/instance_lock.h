#pragma once

#include <QLockFile>
#include <QString>

namespace tavrin {

// One running tool per program folder: a second one would show lists that go stale as
// the first one changes the catalogue. The lock file lives in the program folder and is
// released when its holder ends; a lock left by a holder that died is taken over.
class InstanceLock {
public:
    explicit InstanceLock(const QString& programFolder);
    // False when another running tool holds the program folder.
    bool acquire();

    static QString lockPath(const QString& programFolder);

private:
    QLockFile lock_;
};

} // namespace tavrin
