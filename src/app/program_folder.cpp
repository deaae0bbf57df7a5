#include "app/program_folder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace tavrin {

namespace {

// Copies what the target lacks, file by file; nothing there is replaced.
void seed(const QString& from, const QString& to) {
    QDir().mkpath(to);
    QDirIterator it(from, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString target = to + u'/' + QDir(from).relativeFilePath(file);
        if (QFileInfo::exists(target))
            continue;
        QDir().mkpath(QFileInfo(target).path());
        QFile::copy(file, target);
        QFile(target).setPermissions(QFile(target).permissions() | QFileDevice::WriteOwner);
    }
}

} // namespace

QString programFolderFor(const QString& executableFolder) {
    if (QFileInfo(executableFolder + QStringLiteral("/Resources")).isDir())
        return executableFolder;
    const QString shared = QDir::cleanPath(executableFolder + QStringLiteral("/../share/tavrin"));
    if (!QFileInfo(shared + QStringLiteral("/Resources")).isDir())
        return executableFolder; // neither: the program says what is missing as before
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                         QStringLiteral("/Tavrin");
    seed(shared, data);
    return data;
}

} // namespace tavrin
