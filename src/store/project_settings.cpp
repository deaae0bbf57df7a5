#include "store/project_settings.h"

#include "app/context.h"
#include "app/message_numbers.h"
#include "app/messages.h"
#include "platform/file_system.h"
#include "platform/fs_error.h"
#include "platform/text_file.h"
#include "store/fields.h"
#include "store/store_common.h"
#include "store/tag_text.h"

namespace tavrin {

ExamSettings examSettings(const ProjectSettings& settings) {
    const auto number = [](const QString& text, int most) {
        bool ok = false;
        const int n = text.trimmed().toInt(&ok);
        return ok && n >= 0 && n <= most ? n : 0;
    };
    ExamSettings exam;
    exam.on = settings.examOn.trimmed() != QLatin1String("0");
    exam.minutes = number(settings.examMinutes, kMostExamMinutes);
    exam.count = number(settings.examCount, kMostExamQuestions);
    return exam;
}

KeptSetting KeepSetting(Context& context, const QString& projectPath, const QString& tag,
                        const QString& value) {
    context.log().LogMe(QStringLiteral("Saving project settings..."));
    if (store::damagesTagText(value)) {
        store::refusePath(context, value);
        return {KeptSetting::Outcome::Refused, QStringLiteral("Unsafe folder path: ") + value};
    }
    QString why = QStringLiteral("Not written");
    store::trapped(context, kFailWriteNode, [&] {
        try {
            const QString file = store::projectFilePath(projectPath);
            if (!fileExists(file))
                throw FsError::at(QStringLiteral("File not found"), file);
            const QString document = readUtf16File(file);
            static const QStringList texts{
                QStringLiteral("Music"),       QStringLiteral("Olgoo"),
                QStringLiteral("Printable"),   QStringLiteral("ExamOn"),
                QStringLiteral("ExamMinutes"), QStringLiteral("ExamCount")};
            const bool text = texts.contains(tag);
            const QString settings = QStringLiteral("Settings");
            // The exam's elements came after the others, and go after them.
            const QString changed =
                text ? SetBlockText(context, document, settings, tag, value,
                                    tag.startsWith(QLatin1String("Exam")))
                     : SetValue(context, document, settings, tag, QStringLiteral("Path"), value);
            if (changed == document) {
                if (Wsre(context, document, settings).isEmpty())
                    throw store::Failure{QStringLiteral("Settings not found in %1").arg(file)};
                why.clear();
                return; // already so
            }
            saveUtf16File(file, changed);
            why.clear();
            context.log().LogMe(QStringLiteral("Project settings saved."));
        } catch (const FsError& e) {
            why = e.description();
            throw;
        } catch (const store::Failure& f) {
            why = f.description;
            throw;
        }
    });
    if (why.isEmpty())
        return {};
    return {KeptSetting::Outcome::Failed, why};
}

std::optional<ProjectSettings> storedSettings(Context& context, const QString& projectPath) {
    try {
        return readSettings(context, readUtf16File(store::projectFilePath(projectPath)));
    } catch (const FsError&) {
        return std::nullopt;
    }
}

} // namespace tavrin
