#include "platform/safe_save.h"

#include "platform/fs_error.h"

#include <QSaveFile>

namespace tavrin {

void saveWholeFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    // Unbuffered so that write() reports the bytes that really reached the file: with
    // buffering, Qt 6.4 lets a short write at commit() pass as success.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw FsError(file.errorString());
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) {
            const QString why = file.errorString();
            file.cancelWriting();
            throw FsError(why.isEmpty() || n == 0 ? QStringLiteral("Disk full") : why);
        }
        done += n;
    }
    if (!file.commit())
        throw FsError(file.errorString());
}

} // namespace tavrin
