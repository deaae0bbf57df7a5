#include "store/last_project.h"

#include "platform/safe_save.h"

#include <QDir>
#include <QFile>

namespace tavrin {

namespace {
QString lastProjectFile(const QString& programFolder) {
    return QDir(programFolder).filePath(QStringLiteral("LastProject.cfg"));
}
} // namespace

QString lastProjectName(const QString& programFolder) {
    QFile file(lastProjectFile(programFolder));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.read(4096)).trimmed();
}

void keepLastProjectName(const QString& programFolder, const QString& name) {
    saveWholeFile(lastProjectFile(programFolder), name.toUtf8());
}

} // namespace tavrin
