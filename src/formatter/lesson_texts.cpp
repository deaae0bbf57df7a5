#include "formatter/lesson_texts.h"

#include "app/context.h"
#include "app/message_numbers.h"
#include "app/messages.h"
#include "formatter/text_procedures.h"
#include "platform/file_system.h"
#include "platform/fs_error.h"
#include "platform/paths.h"
#include "platform/text_file.h"

#include <QDir>

namespace tavrin {

std::optional<QStringList> FileList(Context& context, const QString& folder) {
    context.log().LogMe(QStringLiteral("Geting files in the directory..."));
    const QString path = fromStoredPath(folder);
    const QDir dir(path);
    if (path.isEmpty() || !dir.exists()) {
        reportFailure(context, kFailFileList, QStringLiteral("Path not found: %1").arg(folder));
        return std::nullopt;
    }
    QStringList names;
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden, QDir::Unsorted)) {
        const qsizetype dot = name.lastIndexOf(u'.');
        const QString extension = dot < 0 ? name : name.mid(dot + 1);
        if (extension.compare(QLatin1String("txt"), Qt::CaseInsensitive) == 0)
            names.append(name);
    }
    if (names.isEmpty())
        bepayam(context, kNoticeNoInputTexts);
    return names;
}

QString readSnippet(const QString& programFolder, const QString& name) {
    const QString path =
        DoSlashStrict(programFolder) + QStringLiteral("Resources") + nativeSeparator() + name;
    return fileExists(path) ? readAnsiFile(path) : QString();
}

std::optional<QString> loadLessonText(Context& context, const QString& folder,
                                      const QString& name) {
    try {
        return readLessonText(folder, name);
    } catch (const FsError& e) {
        reportFailure(context, kFailLoadLessonText, e.description());
        return std::nullopt;
    }
}

QString readLessonText(const QString& folder, const QString& name) {
    return Rep(readAnsiFile(DoSlashStrict(fromStoredPath(folder)) + name));
}

} // namespace tavrin
