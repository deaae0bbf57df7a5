#include "omr/sheets_results.h"

#include "omr/sheets_output.h"
#include "platform/file_system.h"
#include "platform/safe_save.h"

#include <QDir>
#include <QFileInfo>

namespace tavrin {

namespace {

const QString kSheets = QStringLiteral("sheets.csv");
const QString kReview = QStringLiteral("review");
const QString kScores = QStringLiteral("scores.csv");

} // namespace

QStringList sheetsResultsIn(const QString& folder) {
    QStringList found;
    for (const QString& name : {kSheets, kReview, kScores})
        if (const QFileInfo f(QDir(folder).filePath(name)); f.exists() || f.isSymLink())
            found.append(name);
    return found;
}

SheetsWritten writeSheetsResults(const QuestionBank& bank, const QString& examFolder,
                                 const QString& folder, const SheetsReading& reading,
                                 int questions) {
    makeFolders(folder);
    const QDir out(folder);
    SheetsWritten w;
    w.sheets = out.filePath(kSheets);
    saveWholeFile(w.sheets, sheetsCsv(reading, questions));
    // Written even when empty, so no earlier reading's doubts stay beside these sheets.
    w.review = out.filePath(kReview);
    writeReviewFolder(w.review, reading);
    w.scored = scoreAnswerFile(bank, w.sheets, examFolder, bank.scoring.penalty, true);
    w.scores = out.filePath(kScores);
    saveWholeFile(w.scores, w.scored.csv);
    for (const SheetRow& s : reading.sheets)
        w.numbers.append(s.number);
    return w;
}

} // namespace tavrin
