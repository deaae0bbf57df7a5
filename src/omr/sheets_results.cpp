#include "omr/sheets_results.h"

#include "omr/sheets_output.h"
#include "platform/file_system.h"
#include "platform/safe_save.h"

#include <QDir>

namespace tavrin {

SheetsWritten writeSheetsResults(const QuestionBank& bank, const QString& examFolder,
                                 const QString& folder, const SheetsReading& reading,
                                 int questions) {
    makeFolders(folder);
    const QDir out(folder);
    SheetsWritten w;
    w.sheets = out.filePath(QStringLiteral("sheets.csv"));
    saveWholeFile(w.sheets, sheetsCsv(reading, questions));
    // Written even when empty, so no earlier reading's doubts stay beside these sheets.
    w.review = out.filePath(QStringLiteral("review"));
    writeReviewFolder(w.review, reading);
    w.scored = scoreAnswerFile(bank, w.sheets, examFolder, bank.scoring.penalty, true);
    w.scores = out.filePath(QStringLiteral("scores.csv"));
    saveWholeFile(w.scores, w.scored.csv);
    for (const SheetRow& s : reading.sheets)
        w.numbers.append(s.number);
    return w;
}

} // namespace tavrin
