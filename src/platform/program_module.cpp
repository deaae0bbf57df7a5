#include "platform/program_module.h"

#include "platform/fs_error.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibrary>
#include <QStringList>

namespace tavrin {

QString programModulePath(const QString& file, const char* variable, const QString& built) {
    QStringList candidates;
    if (const QString given = qEnvironmentVariable(variable); !given.isEmpty())
        candidates.append(given);
    const QString here = QCoreApplication::applicationDirPath();
    candidates.append(here + u'/' + file);
    candidates.append(here + QStringLiteral("/../lib/tavrin/") + file);
    if (!built.isEmpty())
        candidates.append(built);
    for (const QString& c : candidates)
        if (QFileInfo(c).isFile())
            return QFileInfo(c).canonicalFilePath();
    return {};
}

ModuleEntry programModuleEntry(const QString& path, const char* name, const QString& what) {
    if (!QFileInfo(path).isFile())
        throw FsError(QStringLiteral("%1 (%2) is not installed beside the program")
                          .arg(what, QFileInfo(path).fileName()));
    // A library already loaded is found again, not loaded twice; it is never unloaded.
    QLibrary module(path);
    module.setLoadHints(QLibrary::ExportExternalSymbolsHint);
    if (!module.load())
        throw FsError::at(module.errorString(), path);
    const auto entry = reinterpret_cast<ModuleEntry>(module.resolve(name));
    if (!entry)
        throw FsError::at(QStringLiteral("%1 has no %2").arg(what, QLatin1String(name)), path);
    return entry;
}

} // namespace tavrin
