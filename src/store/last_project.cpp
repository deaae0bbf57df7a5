#include "store/last_project.h"

#include "platform/safe_save.h"
#include "platform/text_file.h"

#include <QDir>

namespace tavrin {

namespace {
QString lastProjectFile(const QString& programFolder) {
    return QDir(programFolder).filePath(QStringLiteral("LastProject.cfg"));
}
} // namespace

QString lastProjectName(const QString& programFolder) {
    return QString::fromUtf8(readKeptFile(lastProjectFile(programFolder), 4096)).trimmed();
}

void keepLastProjectName(const QString& programFolder, const QString& name) {
    saveWholeFile(lastProjectFile(programFolder), name.toUtf8());
}

} // namespace tavrin
