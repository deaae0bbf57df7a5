#include "commands/score_command.h"

#include "app/context.h"
#include "commands/command_output.h"
#include "lesson/paper_answers.h"
#include "lesson/sheet_scoring.h"
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
#include <QStringDecoder>

namespace tavrin {

namespace {

QString readSheets(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FsError::at(QStringLiteral("File not found"), path);
    const QByteArray bytes = file.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    if (utf8.hasError())
        throw BadInput{QStringLiteral("--answers is not UTF-8 text")};
    return text;
}

} // namespace

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
        const QString project = parser.value(QStringLiteral("project"));
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
        const SheetBank bank = sheetBank(context, project);
        Penalty penalty = bank.scoring.penalty;
        if (parser.isSet(QStringLiteral("penalty"))) {
            const auto given = parsePenalty(parser.value(QStringLiteral("penalty")));
            if (!given)
                throw BadInput{
                    QStringLiteral("--penalty takes a fraction from 0 to 1: 0, 1/3, 1/4, …")};
            penalty = *given;
        }
        QList<StudentResult> results;
        try {
            QString sheets = readSheets(answers);
            // Sheets of a printed exam: each version's questions and options mapped back
            // to the bank's through the exam's record.
            if (parser.isSet(QStringLiteral("exam"))) {
                sheets = sheetsInBankOrder(readWholeFile(parser.value(QStringLiteral("exam")) +
                                                         QStringLiteral("/exam.json")),
                                           sheets);
            }
            results = scoreSheets(bank, sheets, penalty);
        } catch (const BadSheet& bad) {
            throw BadInput{
                bad.line() > 0
                    ? QStringLiteral("line %1 of the answers: %2").arg(bad.line()).arg(bad.why())
                    : bad.why()};
        }
        saveWholeFile(outPath, resultCsv(bank, results).toUtf8());
        context.log().LogMe(QStringLiteral("Answer sheets scored: %1 students, penalty %2")
                                .arg(results.size())
                                .arg(penaltyText(penalty)));
        std::fprintf(out, "%s: %lld students scored, penalty %s\n", outPath.toUtf8().constData(),
                     static_cast<long long>(results.size()),
                     penaltyText(penalty).toUtf8().constData());
        return 0;
    });
}

} // namespace tavrin
