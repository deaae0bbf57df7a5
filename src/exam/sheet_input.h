#pragma once

#include "exam/question_bank.h"
#include "exam/sheet_scoring.h"

#include <QString>
#include <functional>

namespace tavrin {

class ExamSheetRows;

// The answer sheets a verb reads (--answers), a row at a time: in the bank's order, or with
// an exam's folder (--exam) mapped from each version's printed order through its record, the
// record checked against the bank first. `use` is given the rows and, for a printed exam,
// the mapping (which tells each row's version). A sheet that does not read is BadSheet naming
// its line (0 for the record); a file that cannot be read is FsError. The record read (and its
// files checked) goes to `record` when given, so no caller reads it twice.
void readAnswerSheets(const QuestionBank& bank, const QString& answers, const QString& examFolder,
                      const std::function<void(SheetRows& rows, const ExamSheetRows* exam)>& use,
                      QByteArray* record = nullptr);

} // namespace tavrin
