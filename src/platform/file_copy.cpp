#include "platform/file_copy.h"

#include "platform/fs_error.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace tavrin {

namespace {

constexpr qint64 kPiece = 8 << 20;

} // namespace

bool copyFileInPieces(const QString& from, const QString& to,
                      const std::function<bool(qint64 bytes)>& piece) {
    QFile source(from);
    if (!QFileInfo(from).isFile())
        throw FsError::at(QStringLiteral("File not found"), from);
    if (!source.open(QIODevice::ReadOnly))
        throw FsError::at(source.errorString(), from);
    if (!QFileInfo(QFileInfo(to).absolutePath()).isDir())
        throw FsError::at(QStringLiteral("Path not found"), QFileInfo(to).absolutePath());
    QFile target(to);
    if (!target.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        throw FsError::at(target.errorString(), to);
    const auto abandon = [&] {
        target.close();
        QFile::remove(to);
    };
#if defined(Q_OS_LINUX)
    // The kernel copies without passing the bytes through here, as cp does; file systems
    // that cannot fall back to reading and writing below.
    bool copied = false;
    while (!copied) {
        const ssize_t n = ::copy_file_range(source.handle(), nullptr, target.handle(), nullptr,
                                            size_t(kPiece), 0);
        if (n < 0) {
            if (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)
                break;
            const QString why = QString::fromLocal8Bit(std::strerror(errno));
            abandon();
            throw FsError::at(why, to);
        }
        if (n == 0) {
            copied = true;
            break;
        }
        source.seek(source.pos() + n);
        if (piece && !piece(n)) {
            abandon();
            return false;
        }
    }
#else
    const bool copied = false;
#endif
    QByteArray buffer;
    if (!copied)
        buffer.resize(int(std::min<qint64>(kPiece, std::max<qint64>(source.size(), 1))));
    while (!copied) {
        const qint64 n = source.read(buffer.data(), buffer.size());
        if (n < 0) {
            const QString why = source.errorString();
            abandon();
            throw FsError::at(why, from);
        }
        if (n == 0)
            break;
        qint64 written = 0;
        while (written < n) {
            const qint64 w = target.write(buffer.constData() + written, n - written);
            if (w <= 0) {
                const QString why = w == 0 ? QStringLiteral("Disk full") : target.errorString();
                abandon();
                throw FsError::at(why, to);
            }
            written += w;
        }
        if (piece && !piece(n)) {
            abandon();
            return false;
        }
    }
    target.close();
    if (target.error() != QFileDevice::NoError) {
        const QString why = target.errorString();
        QFile::remove(to);
        throw FsError::at(why, to);
    }
    return true;
}

void flushToDisk(const QString& folder) {
#if defined(Q_OS_LINUX)
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::syncfs(fd);
        ::close(fd);
        return;
    }
#endif
#if defined(Q_OS_UNIX)
    ::sync();
#endif
}

} // namespace tavrin
