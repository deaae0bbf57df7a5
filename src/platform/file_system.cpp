#include "platform/file_system.h"

#include "platform/fs_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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
        throw FsError(QStringLiteral("File already exists"));
    if (!QFileInfo(info.absolutePath()).isDir())
        throw FsError(QStringLiteral("Path not found"));
    if (!QDir().mkdir(path))
        throw FsError(QStringLiteral("Permission denied"));
}

void copyFile(const QString& from, const QString& to) {
    if (!fileExists(from))
        throw FsError(QStringLiteral("File not found"));
    if (fileExists(to) && !QFile::remove(to))
        throw FsError(QStringLiteral("Permission denied"));
    QFile source(from);
    if (!source.copy(to))
        throw FsError(source.errorString());
}

void deleteFile(const QString& path) {
    if (!fileExists(path))
        throw FsError(QStringLiteral("File not found"));
    QFile file(path);
    if (!file.remove())
        throw FsError(file.errorString());
}

QStringList fileNames(const QString& folder, const QStringList& patterns) {
    const QDir dir(folder);
    if (!dir.exists())
        throw FsError(QStringLiteral("Path not found"));
    return dir.entryList(patterns, QDir::Files | QDir::Hidden, QDir::Name);
}

} // namespace tavrin
