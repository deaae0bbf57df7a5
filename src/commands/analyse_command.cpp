#include "commands/analyse_command.h"

#include "app/context.h"
#include "commands/command_output.h"
#include "paper/analysis_report.h"
#include "platform/file_system.h"
#include "store/store_common.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace tavrin {

int analyseCommand(Context& context, const QStringList& arguments, std::FILE* out, std::FILE* err) {
    return runVerb("analyse", err, [&] {
        QCommandLineParser parser;
        parser.addOptions({{QStringLiteral("project"), QString(), QStringLiteral("folder")},
                           {QStringLiteral("answers"), QString(), QStringLiteral("file")},
                           {QStringLiteral("exam"), QString(), QStringLiteral("folder")},
                           {QStringLiteral("out"), QString(), QStringLiteral("folder")},
                           {QStringLiteral("force"), QString()}});
        parseOptions(parser, arguments);
        const QString project = folderArgument(parser.value(QStringLiteral("project")));
        const QString answers = parser.value(QStringLiteral("answers"));
        const QString exam = folderArgument(parser.value(QStringLiteral("exam")));
        const QString folder = folderArgument(parser.value(QStringLiteral("out")));
        for (const auto& [value, name] :
             {std::pair{project, "--project"}, std::pair{answers, "--answers"},
              std::pair{folder, "--out"}})
            if (value.isEmpty())
                throw missingOption(QLatin1String(name));
        if (!fileExists(store::projectFilePath(project)))
            throw FsError::at(QStringLiteral("No project file"), store::projectFilePath(project));
        if (QFileInfo(folder).exists() && !QFileInfo(folder).isDir())
            throw BadInput{
                QStringLiteral("--out is a file; name a folder"),
                QStringLiteral(
                    u"--out پرونده است؛ پوشه‌ای را نام ببرید.")};
        for (const auto& [inside, what] :
             {std::pair{project, "the project"}, std::pair{context.programFolder(), "the program"}})
            if (isInside(folder, inside))
                throw BadInput{QStringLiteral("--out lies inside %1's folder; write it elsewhere")
                                   .arg(QLatin1String(what)),
                               QStringLiteral(u"پوشهٔ گزارش نباید درون پوشهٔ پروژه یا برنامه "
                                              u"باشد؛ پوشهٔ دیگری برگزینید.")};
        if (const QStringList earlier = analysisFilesIn(folder);
            !earlier.isEmpty() && !parser.isSet(QStringLiteral("force")))
            throw BadInput{
                QStringLiteral("--out holds an earlier analysis (%1); --force replaces it")
                    .arg(earlier.join(QStringLiteral(", "))),
                QStringLiteral(u"در این پوشه تحلیل دیگری هست؛ برای جایگزینی آن --force را "
                               u"بدهید.")};
        AnalysedExam done;
        try {
            done = analyseExam(context, project, exam, answers, folder);
        } catch (const BadSheet& bad) {
            if (bad.line() == 0 && bad.why().contains(QLatin1String("at least 2")))
                throw BadInput{
                    bad.why(),
                    QStringLiteral(u"برای تحلیل دست‌کم پاسخ‌برگ دو "
                                   u"دانش‌آموز لازم است.")};
            throw sheetRefusal(bad);
        }
        const Analysis& analysis = done.analysis;
        int flagged = 0;
        for (const ItemFigures& i : analysis.items) {
            flagged += !i.flags.isEmpty();
            // Said, never printed as NaN: a figure that does not exist for this question.
            if (!i.discrimination)
                std::fprintf(out,
                             "question %s: everyone alike on it, so it has no "
                             "discrimination\n",
                             i.question.id.toUtf8().constData());
        }
        std::fprintf(out, "%s: %d students, %d questions analysed, %d flagged\n",
                     QDir::toNativeSeparators(folder).toUtf8().constData(), analysis.test.students,
                     analysis.test.questions, flagged);
        return 0;
    });
}

} // namespace tavrin
