#include "export/export_freshness.h"

#include "app/context.h"
#include "export/export_script.h"
#include "export/exported_files.h"
#include "export/quiz_data.h"
#include "platform/fs_error.h"
#include "platform/paths.h"
#include "platform/text_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tavrin {

namespace {

// Byte for byte, a piece at a time: a film is not read whole.
bool sameBytes(const QString& a, const QString& b) {
    QFile one(a), other(b);
    if (one.size() != other.size() || !one.open(QIODevice::ReadOnly) ||
        !other.open(QIODevice::ReadOnly))
        return false;
    constexpr qint64 kPiece = 1 << 20;
    while (!one.atEnd()) {
        if (one.read(kPiece) != other.read(kPiece))
            return false;
    }
    return true;
}

bool sameBytes(const QString& file, const QByteArray& bytes) {
    QFile f(file);
    return f.size() == bytes.size() && f.open(QIODevice::ReadOnly) && f.readAll() == bytes;
}

} // namespace

QStringList exportChanges(Context& context, const QString& exportFolder,
                          const QString& projectPath) {
    ExportScript script;
    try {
        script = cutExportScript(scriptWithCrLf(readAnsiFile(
            QDir(context.programFolder()).filePath(QStringLiteral("Resources/Export.inf")))));
    } catch (const ScriptFault&) {
        return {};
    } catch (const FsError&) {
        return {};
    }
    const QString project = DoSlash(projectPath);
    const QString out = DoSlash(exportFolder);
    QStringList changed;
    for (const QString& entry : script.copyFolders) {
        const auto pair = splitCopyEntry(entry);
        if (!pair)
            continue;
        const QString source = project + fromStoredPath(pair->source);
        const QString target = out + fromStoredPath(pair->target);
        if (!isInside(source, project) || !isInside(target, out))
            continue;
        QList<ExportedFile> files;
        try {
            files = exportedFiles(source);
        } catch (const FsError&) {
            continue; // a folder the project does not have is copied as nothing
        }
        const QString shown = QDir::fromNativeSeparators(pair->source) + u'/';
        for (const ExportedFile& f : files) {
            if (!sameBytes(source + nativeSeparator() + f.name,
                           target + nativeSeparator() + f.name))
                changed.append(shown + f.name);
        }
    }
    const QString data = out + QStringLiteral("Data");
    try {
        if (QFileInfo(data).isDir() && !sameBytes(data + QStringLiteral("/quizdata.js"),
                                                  quizDataFor(context, data, projectPath)))
            changed.append(QStringLiteral("Data/quizdata.js"));
    } catch (const FsError&) {
        changed.append(QStringLiteral("Data/quizdata.js"));
    }
    return changed;
}

} // namespace tavrin
