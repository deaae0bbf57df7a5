#include "platform/file_copy.h"

#include "platform/fs_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrin {

namespace {

constexpr qint64 kPiece = 8 << 20;
constexpr qint64 kStartWriting = 1 << 20;

QString lastError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

// A working file is private while it is written (QTemporaryFile makes it 0600); once whole
// it gets the mode any new file would, so that others can read the copy once it is in place.
void makeReadable(QFile& file, const QString& to) {
    if (::fchmod(file.handle(), mode_t(ordinaryFileMode())) != 0)
        throw FsError::at(lastError(), to);
}

QString workingNameFor(const QString& to) {
    const QFileInfo target(to);
    QTemporaryFile file(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                        QStringLiteral(".copy-XXXXXX"));
    file.setAutoRemove(false);
    if (!file.open())
        throw FsError::at(file.errorString(), to);
    return file.fileName();
}

// A descriptor closed with its owner.
struct Descriptor {
    int fd = -1;
    Descriptor() = default;
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd >= 0)
            ::close(fd);
    }
};

// Copies from one open file into another; false when the callback stopped it.
bool copyInto(int source, int target, const QString& from, const QString& to,
              const std::function<bool(qint64 bytes)>& piece) {
#if defined(Q_OS_LINUX)
    // The kernel copies without passing the bytes through here, as cp does; file systems
    // that cannot fall back to reading and writing below.
    for (;;) {
        const ssize_t n = ::copy_file_range(source, nullptr, target, nullptr, size_t(kPiece), 0);
        if (n < 0) {
            if (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)
                break;
            throw FsError::at(lastError(), to);
        }
        if (n == 0)
            return true;
        if (piece && !piece(n))
            return false;
    }
#endif
    QByteArray buffer(kPiece, Qt::Uninitialized);
    for (;;) {
        const ssize_t n = ::read(source, buffer.data(), size_t(buffer.size()));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw FsError::at(lastError(), from);
        }
        if (n == 0)
            return true;
        for (ssize_t written = 0; written < n;) {
            const ssize_t w = ::write(target, buffer.constData() + written, size_t(n - written));
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0)
                throw FsError::at(w == 0 ? QStringLiteral("Disk full") : lastError(), to);
            written += w;
        }
        if (piece && !piece(n))
            return false;
    }
}

// The working copy of a file, written whole and on disk; empty when stopped.
QString writeWorkingCopy(const QString& from, const QString& to,
                         const std::function<bool(qint64 bytes)>& piece) {
    if (!QFileInfo(from).isFile())
        throw FsError::at(QStringLiteral("File not found"), from);
    if (!QFileInfo(QFileInfo(to).absolutePath()).isDir())
        throw FsError::at(QStringLiteral("Path not found"), QFileInfo(to).absolutePath());
    if (sameFile(from, to))
        throw FsError::at(QStringLiteral("Source and target are the same file"), to);
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw FsError::at(source.errorString(), from);
    const QString working = workingNameFor(to);
    QFile target(working);
    try {
        if (!target.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            throw FsError::at(target.errorString(), to);
        if (!copyInto(source.handle(), target.handle(), from, to, piece)) {
            target.close();
            QFile::remove(working);
            return {};
        }
        makeReadable(target, to);
        if (::fsync(target.handle()) != 0)
            throw FsError::at(lastError(), to);
        target.close();
        if (target.error() != QFileDevice::NoError)
            throw FsError::at(target.errorString(), to);
    } catch (...) {
        target.close();
        QFile::remove(working);
        throw;
    }
    return working;
}

void placeWorkingCopy(const QString& working, const QString& to) {
    if (::rename(QFile::encodeName(working).constData(), QFile::encodeName(to).constData()) != 0) {
        const QString why = lastError();
        QFile::remove(working);
        throw FsError::at(why, to);
    }
}

QString writeWorkingBytes(const QByteArray& bytes, const QString& to) {
    if (!QFileInfo(QFileInfo(to).absolutePath()).isDir())
        throw FsError::at(QStringLiteral("Path not found"), QFileInfo(to).absolutePath());
    const QString working = workingNameFor(to);
    QFile file(working);
    try {
        if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            throw FsError::at(file.errorString(), to);
        for (qint64 done = 0; done < bytes.size();) {
            const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
            if (n <= 0)
                throw FsError::at(n == 0 ? QStringLiteral("Disk full") : file.errorString(), to);
            done += n;
        }
        makeReadable(file, to);
        if (::fsync(file.handle()) != 0)
            throw FsError::at(lastError(), to);
        file.close();
    } catch (...) {
        file.close();
        QFile::remove(working);
        throw;
    }
    return working;
}

} // namespace

StagedFiles::~StagedFiles() {
    for (const auto& s : staged_)
        QFile::remove(s.first);
}

void StagedFiles::copy(const QString& from, const QString& to) {
    staged_.append({writeWorkingCopy(from, to, {}), to});
}

void StagedFiles::write(const QByteArray& bytes, const QString& to) {
    staged_.append({writeWorkingBytes(bytes, to), to});
}

void StagedFiles::place() {
    while (!staged_.isEmpty()) {
        const auto s = staged_.takeFirst();
        placeWorkingCopy(s.first, s.second);
    }
}

bool copyFileInPieces(const QString& from, const QString& to,
                      const std::function<bool(qint64 bytes)>& piece) {
    const QString working = writeWorkingCopy(from, to, piece);
    if (working.isEmpty())
        return false;
    placeWorkingCopy(working, to);
    return true;
}

void copyFileSafely(const QString& from, const QString& to) {
    copyFileInPieces(from, to, {});
}

bool copyIntoWorkingFolder(const QString& from, const QString& to,
                           const std::function<bool(qint64 bytes)>& piece) {
    Descriptor in;
    in.fd = ::open(QFile::encodeName(from).constData(), O_RDONLY | O_CLOEXEC);
    struct stat source {};
    if (in.fd < 0 || ::fstat(in.fd, &source) != 0 || !S_ISREG(source.st_mode))
        throw FsError::at(
            in.fd >= 0 || errno == ENOENT ? QStringLiteral("File not found") : lastError(), from);
    Descriptor out;
    // Not truncated on opening: a target that is the source itself must be found first.
    out.fd = ::open(QFile::encodeName(to).constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (out.fd < 0) {
        if (errno == ENOENT)
            throw FsError::at(QStringLiteral("Path not found"), QFileInfo(to).absolutePath());
        throw FsError::at(lastError(), to);
    }
    struct stat target {};
    if (::fstat(out.fd, &target) != 0)
        throw FsError::at(lastError(), to);
    if (target.st_dev == source.st_dev && target.st_ino == source.st_ino)
        throw FsError::at(QStringLiteral("Source and target are the same file"), to);
    const QByteArray name = QFile::encodeName(to);
    try {
        if (target.st_size > 0 && ::ftruncate(out.fd, 0) != 0)
            throw FsError::at(lastError(), to);
        if (!copyInto(in.fd, out.fd, from, to, piece)) {
            ::unlink(name.constData());
            return false;
        }
#if defined(Q_OS_LINUX)
        // The disk starts on a large file now, while the next is copied: the flush at the
        // end finds less to do, and the copy is not held back for a heap of unwritten pages.
        // Small files are left to that flush, which writes them together.
        if (source.st_size >= kStartWriting)
            ::sync_file_range(out.fd, 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
        const int fd = out.fd;
        out.fd = -1;
        // Some file systems tell of a failed write only here.
        if (::close(fd) != 0)
            throw FsError::at(lastError(), to);
    } catch (...) {
        ::unlink(name.constData());
        throw;
    }
    return true;
}

unsigned ordinaryFileMode() {
    // Read where the kernel shows it; setting and restoring the umask would race with files
    // other threads create meanwhile.
    static const unsigned mode = [] {
        unsigned mask = 022;
        QFile status(QStringLiteral("/proc/self/status"));
        if (status.open(QIODevice::ReadOnly)) {
            for (const QByteArray& line : status.readAll().split('\n')) {
                if (line.startsWith("Umask:")) {
                    bool ok = false;
                    const unsigned read = line.mid(6).trimmed().toUInt(&ok, 8);
                    if (ok)
                        mask = read;
                }
            }
        }
        return 0666u & ~mask;
    }();
    return mode;
}

bool isWorkingName(const QString& fileName) {
    // This tool's copies, and the safe saves' temporary names: one of the files the tool
    // saves whole, "." and 6 random letters and digits. A suffix of small letters only
    // ("backup") is more likely an author's own copy than a random one: it is kept.
    static const QRegularExpression copy(QStringLiteral("^\\..+\\.copy-[A-Za-z0-9]{6}$"));
    static const QRegularExpression save(
        QStringLiteral("^(Projects?\\.xml|CDProperty\\.xml|BookTitle\\.xml|"
                       "quiz\\d+-\\d+\\.(?:xml|draft|groups))\\.([A-Za-z0-9]{6})$"));
    if (copy.match(fileName).hasMatch())
        return true;
    const QRegularExpressionMatch m = save.match(fileName);
    static const QRegularExpression mixed(QStringLiteral("[A-Z0-9]"));
    return m.hasMatch() && mixed.match(m.captured(2)).hasMatch();
}

QStringList removeWorkingFiles(const QString& folder) {
    QStringList removed;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (isWorkingName(name) && QFile::remove(dir.filePath(name)))
            removed.append(dir.filePath(name));
    }
    return removed;
}

bool sameFile(const QString& a, const QString& b) {
    std::error_code error;
    return std::filesystem::equivalent(std::filesystem::path(QFile::encodeName(a).toStdString()),
                                       std::filesystem::path(QFile::encodeName(b).toStdString()),
                                       error) &&
           !error;
}

DiskFlush::DiskFlush(const QString& folder) : folder_(folder) {
#if defined(Q_OS_LINUX)
    fd_ = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
#endif
}

DiskFlush::~DiskFlush() {
    if (fd_ >= 0)
        ::close(fd_);
}

void DiskFlush::flush() {
    if (fd_ >= 0) {
        if (::syncfs(fd_) != 0)
            throw FsError::at(lastError(), folder_);
        return;
    }
#if defined(Q_OS_UNIX)
    ::sync();
#endif
}

void flushFolderEntry(const QString& path) {
    const QString folder = QFileInfo(path).absolutePath();
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        throw FsError::at(QString::fromLocal8Bit(std::strerror(errno)), folder);
    const bool flushed = ::fsync(fd) == 0;
    const int error = errno;
    ::close(fd);
    if (!flushed)
        throw FsError::at(QStringLiteral("The folder's entry was not flushed to the disk (%1)")
                              .arg(QString::fromLocal8Bit(std::strerror(error))),
                          path);
}

} // namespace tavrin
