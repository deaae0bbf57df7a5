#include "platform/safe_save.h"

#include "platform/fs_error.h"

#include <QFileInfo>
#include <QSaveFile>

namespace tavrin {

void saveWholeFile(const QString& path, const QByteArray& bytes) {
    const QString folder = QFileInfo(path).absolutePath();
    if (!QFileInfo(folder).isDir())
        throw FsError::at(QStringLiteral("Path not found"), folder);
    QSaveFile file(path);
    // Unbuffered so that write() reports the bytes that really reached the file: with
    // buffering, Qt 6.4 lets a short write at commit() pass as success.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw FsError::at(file.errorString(), path);
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) {
            const QString why = file.errorString();
            file.cancelWriting();
            throw FsError::at(why.isEmpty() || n == 0 ? QStringLiteral("Disk full") : why, path);
        }
        done += n;
    }
    if (!file.commit())
        throw FsError::at(file.errorString(), path);
}

} // namespace tavrin
