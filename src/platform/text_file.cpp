#include "platform/text_file.h"

#include "platform/file_system.h"
#include "platform/fs_error.h"
#include "platform/safe_save.h"
#include "platform/text_codec.h"

#include <QFile>
#include <sys/stat.h>

namespace tavrin {
namespace {

void appendBytes(const QString& path, const QByteArray& bytes, bool mayCreate) {
    QFile file(path);
    QIODevice::OpenMode mode = QIODevice::Append | QIODevice::Unbuffered;
    if (!mayCreate)
        mode |= QIODevice::ExistingOnly;
    if (!file.open(mode))
        throw FsError::at(mayCreate || file.exists() ? file.errorString()
                                                     : QStringLiteral("File not found"),
                          path);
    // One write for the whole entry; a short one (a full disk) is cut back, so the next
    // entry does not continue a torn line.
    const qint64 before = file.size();
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString why = file.errorString();
        file.resize(before);
        throw FsError::at(why.isEmpty() ? QStringLiteral("Disk full") : why, path);
    }
}

} // namespace

QByteArray readWholeFile(const QString& path) {
    QFile file(path);
    if (!file.exists())
        throw FsError::at(QStringLiteral("File not found"), path);
    if (!file.open(QIODevice::ReadOnly))
        throw FsError::at(file.errorString(), path);
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw FsError::at(file.errorString(), path);
    return bytes;
}

void checkInputFile(const QString& path, qint64 limit) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        throw FsError::at(QStringLiteral("File not found"), path);
    if (S_ISDIR(st.st_mode))
        throw FsError::at(QStringLiteral("Is a folder"), path);
    if (!S_ISREG(st.st_mode))
        throw FsError::at(QStringLiteral("Not a regular file"), path);
    if (st.st_size > limit)
        throw FsError::at(QStringLiteral("Larger than %1 MB").arg(limit / (1024 * 1024)), path);
}

QByteArray readInputFile(const QString& path, qint64 limit) {
    checkInputFile(path, limit);
    const QString tooLarge = QStringLiteral("Larger than %1 MB").arg(limit / (1024 * 1024));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FsError::at(file.errorString(), path);
    // A file that grows while it is read stops at the bound too.
    QByteArray bytes = file.read(limit + 1);
    if (file.error() != QFileDevice::NoError)
        throw FsError::at(file.errorString(), path);
    if (bytes.size() > limit)
        throw FsError::at(tooLarge, path);
    return bytes;
}

QByteArray readKeptFile(const QString& path, qint64 limit) {
    try {
        return fileExists(path) ? readInputFile(path, limit) : QByteArray();
    } catch (const FsError&) {
        return {};
    }
}

QString readUtf16File(const QString& path) {
    return decodeUtf16Le(readWholeFile(path));
}

QString readAnsiFile(const QString& path) {
    return decodeAnsi(readWholeFile(path));
}

void saveUtf16File(const QString& path, const QString& text) {
    saveWholeFile(path, encodeUtf16Le(text));
}

void saveAnsiFile(const QString& path, const QString& text) {
    saveWholeFile(path, encodeAnsi(text));
}

void appendAnsiFile(const QString& path, const QString& text) {
    appendBytes(path, encodeAnsi(text), false);
}

void appendUtf16File(const QString& path, const QString& text) {
    if (!fileExists(path)) {
        saveUtf16File(path, text);
        return;
    }
    QByteArray bytes = encodeUtf16Le(text);
    bytes.remove(0, 2);
    appendBytes(path, bytes, false);
}

} // namespace tavrin
