#pragma once

#include "omr/sheet_reader.h"

#include <QByteArray>
#include <QString>

namespace tavrin {

// The sheets as `tavrin score --exam` reads them: "name,version,1,…,n", then a row a student
// in the order read, "" for a blank and "*" for several marked. UTF-8 with a byte order mark,
// CR LF.
QByteArray sheetsCsv(const SheetsReading& reading, int questions);

// review.csv ("file,page,name,version,question,read,why,crop") and a PNG of each row's crop
// beside it, written whole into the folder (made when missing). Throws FsError.
void writeReviewFolder(const QString& folder, const SheetsReading& reading);

// A review row settled by the teacher: its question's answer in its sheet becomes `answer`
// ("1" to "4", "" for blank, "*" for several) and the row is marked settled.
void settleReview(SheetsReading& reading, int row, const QString& answer);

} // namespace tavrin
