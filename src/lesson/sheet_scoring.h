#pragma once

#include "lesson/exam_plan.h"
#include "lesson/scoring.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <stdexcept>

namespace tavrin {

class Context;

// Answer sheets taken on paper, scored by the project's rule. The sheets are CSV: a header
// "name,F-L-Q,…" naming each question by its field, lesson and place among the lesson's
// questions (all from 1), then a row a student: the name, then the chosen answer (1 to 4, in
// the order the lesson's quiz file holds them) or nothing for a blank.

// A sheet that does not read: what is wrong and where (1-based line, 0 when not one line).
class BadSheet : public std::runtime_error {
public:
    BadSheet(int line, QString why)
        : std::runtime_error("bad answer sheet"), line_(line), why_(std::move(why)) {}
    int line() const { return line_; }
    const QString& why() const { return why_; }

private:
    int line_;
    QString why_;
};

// RFC 4180 fields: quotes, doubled quotes, commas and line breaks inside quotes; CR LF or LF.
// A byte order mark at the start is passed by. Throws BadSheet on an unclosed quote.
QList<QStringList> csvRows(const QString& text);
// One row written back: fields quoted where they must be, ended by CR LF.
QString csvRow(const QStringList& fields);

// A question of the bank as the sheets name it.
struct SheetQuestion {
    int field = 0; // from 0
    int marked = 0;
    int answers = 0;
    bool cancelled = false;
};

// What the sheets are scored against: every made question of the project by "F-L-Q", the
// fields' titles and the rule. Throws FsError when the project's files do not read.
struct SheetBank {
    QMap<QString, SheetQuestion> questions;
    QStringList fieldTitles;
    ScoringSettings scoring;
};
SheetBank sheetBank(Context& context, const QString& projectPath);

struct StudentField {
    int field = 0;
    FieldTally tally;
    qint64 hundredths = 0;
};
struct StudentResult {
    QString name;
    QList<StudentField> fields; // in field order, those the header names
    qint64 overall = 0;
};

// Every student of the sheets, scored with this penalty. Throws BadSheet.
QList<StudentResult> scoreSheets(const SheetBank& bank, const QString& sheets,
                                 const Penalty& penalty);

// The result as CSV: a header, then per student a row a field (name, field title,
// questions, right, wrong, blank, raw percentage) and a row "overall" with the totals and the
// weighted percentage. Two decimals, Latin digits.
QString resultCsv(const SheetBank& bank, const QList<StudentResult>& results);

} // namespace tavrin
