#pragma once

#include "omr/sheet_scans.h"

#include <QByteArray>
#include <QString>

namespace tavrin {

// The sheets as `tavrin score --exam` reads them: "name,version,1,…,n", then a row a student
// in the order read, "" for a blank and "*" for several marked. UTF-8 with a byte order mark,
// CR LF.
QByteArray sheetsCsv(const SheetsReading& reading, int questions);

// What a reading came to, for the log: sheets, pages, doubts, refusals, unreadable files.
QString readingSummary(const SheetsReading& reading);
// The rows to review that are doubts (not whole pages refused).
qsizetype doubtsOf(const SheetsReading& reading);

// review.csv ("file,page,name,version,question,read,why,crop") and a PNG of each row's crop
// beside it, written whole into the folder (made when missing). Throws FsError.
void writeReviewFolder(const QString& folder, const SheetsReading& reading);

// A review row settled by the teacher: its question's answer in its sheet becomes `answer`
// ("1" to "4", "" for blank, "*" for several) and the row is marked settled.
void settleReview(SheetsReading& reading, int row, const QString& answer);
// A student number settled by the teacher (row's question "number"): the sheet takes it as
// its name, and joins another sheet of the same version and number when there is one holding
// none of its pages (the student's other page), that sheet's answers kept where this page has
// none; the rows that said the joined pages were missing go. Two sheets holding the same page
// are two students of one number and stay apart, as the reading keeps them. Returns false,
// changing nothing, for a number that is not one to eight digits.
bool settleNumber(SheetsReading& reading, int row, const QString& number);

} // namespace tavrin
