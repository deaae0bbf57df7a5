#include "commands/read_sheets_command.h"

#include "app/activity_log.h"
#include "commands/command_output.h"
#include "exam/paper_record.h"
#include "exam/sheet_scoring.h"
#include "omr/sheet_scans.h"
#include "omr/sheets_output.h"
#include "platform/safe_save.h"

namespace tavrin {

int readSheetsCommand(Context& context, const QStringList& arguments, std::FILE* out,
                      std::FILE* err) {
    return runVerb("read-sheets", err, [&] {
        QCommandLineParser parser;
        parser.addOptions({{QStringLiteral("exam"), QString(), QStringLiteral("folder")},
                           {QStringLiteral("out"), QString(), QStringLiteral("file")},
                           {QStringLiteral("review"), QString(), QStringLiteral("folder")},
                           {QStringLiteral("force"), QString()}});
        if (!parser.parse(QStringList{QStringLiteral("tavrin")} + arguments))
            throw parserRefusal(parser.errorText());
        const QString exam = folderArgument(parser.value(QStringLiteral("exam")));
        const QString outPath = parser.value(QStringLiteral("out"));
        for (const auto& [value, name] : {std::pair{exam, "--exam"}, std::pair{outPath, "--out"}})
            if (value.isEmpty())
                throw missingOption(QLatin1String(name));
        const QStringList scans = parser.positionalArguments();
        if (scans.isEmpty())
            throw BadInput{
                QStringLiteral("no scans named: give the files or folders to read"),
                QStringLiteral(
                    u"پویشی نام برده نشده است؛ پرونده‌ها یا "
                    u"پوشه‌های "
                    u"خواندنی را بدهید.")};
        checkOutFile(context, outPath, {}, parser.isSet(QStringLiteral("force")));
        const QString review = folderArgument(parser.value(QStringLiteral("review")));
        std::unique_ptr<SheetScans> reader;
        try {
            reader = openSheetScans(checkedExamRecord(exam));
        } catch (const BadSheet& bad) {
            throw sheetRefusal(bad);
        }
        for (const QString& scan : scans)
            reader->readPath(scan);
        const SheetsReading reading = reader->finish();
        saveWholeFile(outPath, sheetsCsv(reading, reader->questions(1)));
        if (!review.isEmpty())
            writeReviewFolder(review, reading);
        for (int i = 0; i < reading.unreadable.size(); ++i)
            std::fprintf(err, "tavrin read-sheets: %s\n%s\n",
                         reading.unreadable[i].toUtf8().constData(),
                         reading.unreadablePersian[i].toUtf8().constData());
        for (const ReviewRow& r : reading.review)
            if (r.question.isEmpty() && r.sheet < 0)
                std::fprintf(err, "tavrin read-sheets: %s page %d refused: %s\n%s\n",
                             QDir::toNativeSeparators(r.file).toUtf8().constData(), r.page,
                             r.why.toUtf8().constData(), r.persian.toUtf8().constData());
        const qsizetype doubts = doubtsOf(reading);
        std::fprintf(out, "%s: %lld sheets from %d pages; %lld to review%s; %d pages refused\n",
                     outPath.toUtf8().constData(), static_cast<long long>(reading.sheets.size()),
                     reading.pagesRead, static_cast<long long>(doubts),
                     review.isEmpty() ? " (name --review to see them)" : "", reading.pagesRefused);
        context.log().LogMe(readingSummary(reading));
        return !reading.unreadable.isEmpty() ? 2 : reading.pagesRefused > 0 ? 1 : 0;
    });
}

} // namespace tavrin
