#include "platform/file_system.h"

#include "platform/fs_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace tavrin {

bool fileExists(const QString& path) {
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

bool folderExists(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isDir();
}

void makeFolder(const QString& path) {
    if (path.isEmpty())
        throw FsError(QStringLiteral("Path not found"));
    const QFileInfo info(path);
    if (info.exists())
        throw FsError::at(QStringLiteral("File already exists"), path);
    if (!QFileInfo(info.absolutePath()).isDir())
        throw FsError::at(QStringLiteral("Path not found"), info.absolutePath());
    if (!QDir().mkdir(path))
        throw FsError::at(QStringLiteral("Permission denied"), path);
}

void deleteFile(const QString& path) {
    if (!fileExists(path))
        throw FsError::at(QStringLiteral("File not found"), path);
    QFile file(path);
    if (!file.remove())
        throw FsError::at(file.errorString(), path);
}

QStringList fileNames(const QString& folder, const QStringList& patterns) {
    const QDir dir(folder);
    if (!dir.exists())
        throw FsError::at(QStringLiteral("Path not found"), folder);
    return dir.entryList(patterns, QDir::Files | QDir::Hidden, QDir::Name);
}

void renameFile(const QString& from, const QString& to) {
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        throw FsError::at(QString::fromLocal8Bit(std::strerror(errno)), to);
}

void makeFolders(const QString& path) {
    QStringList missing;
    for (QString at = QDir::cleanPath(path); !at.isEmpty() && !QFileInfo(at).exists();
         at = QFileInfo(at).path()) {
        if (missing.contains(at))
            break; // the root
        missing.prepend(at);
    }
    for (const QString& folder : std::as_const(missing))
        makeFolder(folder);
}

} // namespace tavrin
