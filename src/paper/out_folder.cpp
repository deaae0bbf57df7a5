#include "paper/out_folder.h"

#include "platform/file_system.h"
#include "platform/fs_error.h"

#include <QDir>
#include <QFileInfo>

namespace tavrin {

namespace {
FsError linkInTheWay(const QString& path, const char* what) {
    return FsError::at(QStringLiteral("A link stands where the %1 writes; nothing was "
                                      "written through it")
                           .arg(QLatin1String(what)),
                       QDir::toNativeSeparators(path));
}
} // namespace

void refuseLinks(const QString& out, const QStringList& names, const char* what) {
    for (const QString& name : names)
        if (QFileInfo(out + u'/' + name).isSymLink())
            throw linkInTheWay(out + u'/' + name, what);
}

void removeWorkingFolder(const QString& folder, const char* what) {
    if (QFileInfo(folder).isSymLink())
        throw linkInTheWay(folder, what);
    if (QFileInfo(folder).isDir() && !QDir(folder).removeRecursively())
        throw FsError::at(QStringLiteral("An earlier printing's working folder cannot be removed"),
                          QDir::toNativeSeparators(folder));
}

} // namespace tavrin
