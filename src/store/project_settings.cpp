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

#include <QRegularExpression>
#include <functional>

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

KeptSetting KeepSettings(Context& context, const QString& projectPath,
                         const QList<std::pair<QString, QString>>& values) {
    context.log().LogMe(QStringLiteral("Saving project settings..."));
    for (const auto& [tag, value] : values) {
        if (store::damagesTagText(value)) {
            store::refusePath(context, value);
            return {KeptSetting::Outcome::Refused, QStringLiteral("Unsafe folder path: ") + value};
        }
    }
    QString why = QStringLiteral("Not written");
    store::trapped(context, kFailWriteNode, [&] {
        try {
            const QString file = store::projectFilePath(projectPath);
            if (!fileExists(file))
                throw FsError::at(QStringLiteral("File not found"), file);
            const QString document = readUtf16File(file);
            static const QStringList texts{
                QStringLiteral("Music"),          QStringLiteral("Olgoo"),
                QStringLiteral("Printable"),      QStringLiteral("ExamOn"),
                QStringLiteral("ExamMinutes"),    QStringLiteral("ExamCount"),
                QStringLiteral("Penalty"),        QStringLiteral("FullExam"),
                QStringLiteral("FullExamTitle"),  QStringLiteral("FullExamMinutes"),
                QStringLiteral("FullExamBudget"), QStringLiteral("FieldWeights"),
                QStringLiteral("PassMark")};
            const QString settings = QStringLiteral("Settings");
            QString changed = document;
            for (const auto& [tag, value] : values) {
                const int index = texts.indexOf(tag);
                // The exam's and the scoring's elements came after the others, and go after
                // them.
                changed =
                    index >= 0
                        ? SetBlockText(context, changed, settings, tag, value, index >= 3)
                        : SetValue(context, changed, settings, tag, QStringLiteral("Path"), value);
            }
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

KeptSetting KeepSetting(Context& context, const QString& projectPath, const QString& tag,
                        const QString& value) {
    return KeepSettings(context, projectPath, {{tag, value}});
}

namespace {

// The text of <tag>…</tag> with each space-separated item passed through change (an empty
// result drops the item).
QString changedItems(const QString& text, const QString& tag,
                     const std::function<QString(const QString&)>& change) {
    const QString open = u'<' + tag + u'>';
    const qsizetype at = text.indexOf(open);
    if (at < 0)
        return text;
    const qsizetype start = at + open.size();
    const qsizetype end = text.indexOf(QStringLiteral("</") + tag + u'>', start);
    if (end < 0)
        return text;
    QStringList items;
    for (const QString& item : text.mid(start, end - start).split(u' ', Qt::SkipEmptyParts)) {
        const QString changed = change(item);
        if (!changed.isEmpty())
            items.append(changed);
    }
    return text.left(start) + items.join(u' ') + text.mid(end);
}

} // namespace

QString renumberedScoring(const QString& projectText, const Renumbering& renumbering) {
    QString text =
        changedItems(projectText, QStringLiteral("FullExamBudget"), [&](const QString& item) {
            static const QRegularExpression form(QStringLiteral("^(\\d+)-(\\d+):(\\d+)$"));
            const auto m = form.match(item);
            if (!m.hasMatch())
                return item;
            int f = m.captured(1).toInt(), l = m.captured(2).toInt();
            if (!renumbering.apply(f, l))
                return QString();
            return QStringLiteral("%1-%2:%3").arg(f).arg(l).arg(m.captured(3));
        });
    if (renumbering.lesson >= 0)
        return text;
    return changedItems(text, QStringLiteral("FieldWeights"), [&](const QString& item) {
        static const QRegularExpression form(QStringLiteral("^(\\d+):(\\d+)$"));
        const auto m = form.match(item);
        if (!m.hasMatch())
            return item;
        int f = m.captured(1).toInt(), l = 0;
        if (!renumbering.apply(f, l))
            return QString();
        return QStringLiteral("%1:%2").arg(f).arg(m.captured(2));
    });
}

std::optional<ProjectSettings> storedSettings(Context& context, const QString& projectPath) {
    try {
        return readSettings(context, readUtf16File(store::projectFilePath(projectPath)));
    } catch (const FsError&) {
        return std::nullopt;
    }
}

} // namespace tavrin
