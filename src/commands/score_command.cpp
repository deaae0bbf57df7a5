#include "commands/score_command.h"

#include "app/context.h"
#include "commands/command_output.h"
#include "exam/paper_answers.h"
#include "exam/paper_record.h"
#include "exam/sheet_scoring.h"
#include "platform/file_system.h"
#include "platform/fs_error.h"
#include "platform/paths.h"
#include "platform/safe_save.h"
#include "platform/text_file.h"
#include "store/quiz_file.h"
#include "store/store_common.h"

#include <QCommandLineParser>
#include <QFile>
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
        if (!parser.parse(QStringList{QStringLiteral("tavrin")} + arguments))
            throw BadInput{parser.errorText()};
        if (!parser.positionalArguments().isEmpty())
            throw BadInput{QStringLiteral("unexpected: ") +
                           parser.positionalArguments().join(u' ')};
        const QString project = folderArgument(parser.value(QStringLiteral("project")));
        const QString answers = parser.value(QStringLiteral("answers"));
        const QString outPath = parser.value(QStringLiteral("out"));
        for (const auto& [value, name] :
             {std::pair{project, "--project"}, std::pair{answers, "--answers"},
              std::pair{outPath, "--out"}}) {
            if (value.isEmpty())
                throw BadInput{QStringLiteral("%1 is missing").arg(QLatin1String(name))};
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
                    QStringLiteral("--penalty takes a fraction from 0 to 1: 0, 1/3, 1/4, …")};
            penalty = *given;
        }
        checkInputFile(answers, kLargestAnswerSheets);
        QFile file(answers);
        if (!file.open(QIODevice::ReadOnly))
            throw FsError::at(QStringLiteral("File not found"), answers);
        // A row at a time: the sheets of a whole school cost one row of memory.
        // A byte order mark first: a spreadsheet then opens the Persian names as UTF-8.
        QByteArray result = "\xEF\xBB\xBF" + resultHeader().toUtf8();
        int students = 0;
        try {
            CsvSheetRows rows(file);
            const auto each = [&](const StudentResult& r) {
                result += resultRows(bank, r).toUtf8();
            };
            // Sheets of a printed exam: each version's questions and options mapped back
            // to the bank's through the exam's record.
            if (parser.isSet(QStringLiteral("exam"))) {
                const QString exam = parser.value(QStringLiteral("exam"));
                ExamSheetRows mapped(checkedExamRecord(exam), rows);
                // A record of another bank is the record's fault, never a sheet's line.
                for (const QString& id : mapped.bankQuestions())
                    if (const BankQuestion* q = bank.find(id); !q || !q->scorable())
                        throw BadInput{
                            QStringLiteral("exam.json names question %1, which the project %2: "
                                           "the exam was printed from another bank; print it "
                                           "again")
                                .arg(id, q ? QStringLiteral("cannot score (no marked "
                                                            "answer)")
                                           : QStringLiteral("does not have"))};
                students = scoreSheets(bank, mapped, penalty, each);
            } else {
                students = scoreSheets(bank, rows, penalty, each);
            }
        } catch (const BadSheet& bad) {
            throw BadInput{
                bad.line() > 0
                    ? QStringLiteral("line %1 of the answers: %2").arg(bad.line()).arg(bad.why())
                    : bad.why()};
        }
        if (file.error() != QFileDevice::NoError)
            throw FsError::at(file.errorString(), answers);
        saveWholeFile(outPath, result);
        context.log().LogMe(QStringLiteral("Answer sheets scored: %1 students, penalty %2")
                                .arg(students)
                                .arg(penaltyText(penalty)));
        std::fprintf(out, "%s: %lld students scored, penalty %s\n", outPath.toUtf8().constData(),
                     static_cast<long long>(students), penaltyText(penalty).toUtf8().constData());
        return 0;
    });
}

} // namespace tavrin
