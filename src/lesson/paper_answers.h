#pragma once

#include <QString>

namespace tavrin {

// Answer sheets of an exam printed in versions, turned into the bank's order: the sheets
// are CSV rows "name, version (1 to N), then printed question 1..n with the printed option
// (1 to 4, or Persian digits) or empty", after an optional header starting "name"; the
// exam's record (exam.json) says which bank question and answer each printed one is. The
// result is the sheets as scoreSheets reads them ("name,F-L-Q,…" in the bank's order, the
// answers in quiz order). Throws BadSheet naming the sheet's line, or line 0 for a record
// that does not read.
QString sheetsInBankOrder(const QByteArray& examRecord, const QString& sheets);

} // namespace tavrin
