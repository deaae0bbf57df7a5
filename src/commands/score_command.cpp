#include "commands/score_command.h"

#include "app/context.h"
#include "commands/command_output.h"
#include "exam/class_scores.h"
#include "exam/sheet_scoring.h"
#include "platform/file_system.h"
#include "platform/fs_error.h"
#include "platform/paths.h"
#include "platform/safe_save.h"
#include "platform/text_file.h"
#include "store/quiz_file.h"
#include "store/store_common.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace tavrin {

int scoreCommand(Context& context, const QStringList& arguments, std::FILE* out, std::FILE* err) {
    return runVerb("score", err, [&] {
        QCommandLineParser parser;
        parser.addOptions({{QStringLiteral("project"), QString(), QStringLiteral("folder")},
                           {QStringLiteral("answers"), QString(), QStringLiteral("file")},
                           {QStringLiteral("exam"), QString(), QStringLiteral("folder")},
                           {QStringLiteral("penalty"), QString(), QStringLiteral("N/D")},
                           {QStringLiteral("out"), QString(), QStringLiteral("file")},
                           {QStringLiteral("force"), QString()}});
        parseOptions(parser, arguments);
        const QString project = folderArgument(parser.value(QStringLiteral("project")));
        const QString answers = parser.value(QStringLiteral("answers"));
        const QString outPath = parser.value(QStringLiteral("out"));
        for (const auto& [value, name] :
             {std::pair{project, "--project"}, std::pair{answers, "--answers"},
              std::pair{outPath, "--out"}}) {
            if (value.isEmpty())
                throw missingOption(QLatin1String(name));
        }
        checkOutFile(context, outPath, project, parser.isSet(QStringLiteral("force")));
        if (!fileExists(store::projectFilePath(project)))
            throw FsError::at(QStringLiteral("No project file"), store::projectFilePath(project));
        const QuestionBank bank = readQuestionBank(context, project);
        Penalty penalty = bank.scoring.penalty;
        if (parser.isSet(QStringLiteral("penalty"))) {
            const auto given = parsePenalty(parser.value(QStringLiteral("penalty")));
            if (!given)
                throw BadInput{
                    QStringLiteral("--penalty takes a fraction from 0 to 1: 0, 1/3, 1/4, …"),
                    QStringLiteral(
                        u"--penalty کسری از 0 تا 1 می‌گیرد: 0، 1/3، 1/4، …")};
            penalty = *given;
        }
        // A row at a time: the sheets of a whole school cost one row of memory.
        ClassScores scores;
        try {
            scores = scoreAnswerFile(bank, answers, parser.value(QStringLiteral("exam")), penalty,
                                     false);
        } catch (const BadSheet& bad) {
            throw sheetRefusal(bad);
        }
        const int students = scores.students;
        saveWholeFile(outPath, scores.csv);
        context.log().LogMe(QStringLiteral("Answer sheets scored: %1 students, penalty %2")
                                .arg(students)
                                .arg(penaltyText(penalty)));
        std::fprintf(out, "%s: %lld students scored, penalty %s\n", outPath.toUtf8().constData(),
                     static_cast<long long>(students), penaltyText(penalty).toUtf8().constData());
        return 0;
    });
}

} // namespace tavrin
