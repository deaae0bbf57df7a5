#pragma once

#include "exam/class_scores.h"
#include "omr/sheet_scans.h"

#include <QString>
#include <QStringList>

namespace tavrin {

struct SheetsWritten {
    QString sheets, review, scores; // the files and the folder written
    ClassScores scored;             // with its rows
    QStringList numbers;            // each scored row's student number
};

// A reading, settled or not, written into one folder as the verbs would write it: sheets.csv
// (read-sheets' --out), review/ (its --review) and scores.csv
// (score --exam on that sheets file, by the project's penalty), each whole. The scores are
// read back from the sheets file just written, so the window's table and the score verb
// never differ. Throws FsError and BadSheet.
SheetsWritten writeSheetsResults(const QuestionBank& bank, const QString& examFolder,
                                 const QString& folder, const SheetsReading& reading,
                                 int questions);
// Which of the names a reading writes (sheets.csv, review, scores.csv) the folder already holds.
QStringList sheetsResultsIn(const QString& folder);

} // namespace tavrin
