#include "export/exported_files.h"

#include "platform/file_copy.h"
#include "platform/fs_error.h"
#include "platform/project_folders.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <filesystem>

namespace tavrin {

QList<ExportedFile> exportedFiles(const QString& folder) {
    if (!QFileInfo(folder).isDir())
        throw FsError::at(QStringLiteral("Path not found"), folder);
    QList<ExportedFile> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(
             std::filesystem::path(QFile::encodeName(folder).toStdString()), error)) {
        std::error_code kind;
        if (!entry.is_regular_file(kind))
            continue;
        const std::string raw = entry.path().filename().string();
        const QString name = QFile::decodeName(QByteArray::fromStdString(raw));
        if (QFile::encodeName(name).toStdString() != raw)
            throw FsError::at(QStringLiteral("File name not valid in this system's encoding"),
                              folder + u'/' + name);
        if (!isWorkingName(name) && !folders::isAuthoringFile(name))
            files.append({name, entry.is_symlink(kind)});
    }
    if (error)
        throw FsError::at(QString::fromStdString(error.message()), folder);
    std::sort(files.begin(), files.end(),
              [](const ExportedFile& a, const ExportedFile& b) { return a.name < b.name; });
    return files;
}

} // namespace tavrin
