#pragma once

#include "exam/question_bank.h"
#include "exam/scoring.h"
#include "platform/csv.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <stdexcept>

namespace tavrin {

class Context;

// Answer sheets taken on paper, scored by the project's rule. The sheets are CSV: a header
// "name,F-L-Q,…" naming each question by its field, lesson and place among the lesson's
// questions (all from 1), then a row a student: the name, then the chosen answer (1 to 4, in
// the order the lesson's quiz file holds them), "*" for several marked (a wrong answer, as
// the national exam counts a double mark) or nothing for a blank; every cell there, so a
// row cut short is refused rather than scored as blanks.

// A StudentResult's chosen answer when several were marked.
inline constexpr char kSeveralMarked = -1;

// A sheet that does not read: what is wrong and where (1-based line, 0 when not one line).
class BadSheet : public CsvError {
public:
    using CsvError::CsvError;
};

// A sheet's failure as the author reads it: "line N of the answers: why" (the why alone for
// no line), and the same in Persian.
QString answersWhy(const CsvError& bad);
QString answersWhyPersian(const CsvError& bad);

// Rows of sheets, one at a time: those of a CSV file, or a printed exam's mapped to the bank.
class SheetRows {
public:
    virtual ~SheetRows() = default;
    // The next row; false at the end. Throws BadSheet.
    virtual bool next(QStringList& row) = 0;
    // The line of the file the last row came from.
    virtual int line() const = 0;
};

// The rows of a CSV file or text, its failures as BadSheet.
class CsvSheetRows : public SheetRows {
public:
    explicit CsvSheetRows(QIODevice& device) : reader_(device) {}
    explicit CsvSheetRows(const QString& text) : reader_(text) {}
    bool next(QStringList& row) override;
    int line() const override { return reader_.line(); }

private:
    CsvReader reader_;
};

struct StudentField {
    int field = 0;
    FieldTally tally;
    qint64 hundredths = 0;
};
struct StudentResult {
    QString name;
    QList<StudentField> fields; // in field order, those the header names
    qint64 overall = 0;
    QByteArray chosen; // per column of the header, the bank's answer chosen; 0 for a blank,
                       // kSeveralMarked for several
};

// Every student of the sheets, scored with this penalty as each row is read, and told to
// each; returns how many. The header's questions, in its order, go to columns when given.
// Throws BadSheet.
int scoreSheets(const QuestionBank& bank, SheetRows& sheets, const Penalty& penalty,
                const std::function<void(const StudentResult&)>& each,
                QList<const BankQuestion*>* columns = nullptr);
// The same of a whole text, kept.
QList<StudentResult> scoreSheets(const QuestionBank& bank, const QString& sheets,
                                 const Penalty& penalty);

// The result as CSV: a header, then per student a row a field (name, field title,
// questions, right, wrong, blank, raw percentage, and an empty "passed") and a row "overall"
// with the totals, the weighted percentage and, when the project sets a pass mark, "قبول" or
// "مردود". Two decimals, Latin digits.
QString resultCsv(const QuestionBank& bank, const QList<StudentResult>& results);
// Its header and one student's rows.
QString resultHeader();
// "قبول" at or above the project's pass mark, "مردود" below; empty when it sets none.
QString passWords(const ScoringSettings& scoring, qint64 overallHundredths);
QString resultRows(const QuestionBank& bank, const StudentResult& result);

} // namespace tavrin
