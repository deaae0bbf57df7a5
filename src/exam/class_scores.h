#pragma once

#include "exam/sheet_scoring.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace tavrin {

// One student as scored, with the version the sheet named (0 for sheets in the bank's order).
struct ClassRow {
    StudentResult result;
    int version = 0;
};

struct ClassScores {
    QByteArray csv;       // the result file as `tavrin score` writes it, byte order mark first
    QList<ClassRow> rows; // kept only when asked for
    int students = 0;
};

// The answer sheets of a file scored by the penalty, a row at a time, as the score verb and
// the window both score them: through the exam's record when a folder is named. Throws
// BadSheet and FsError as readAnswerSheets does.
ClassScores scoreAnswerFile(const QuestionBank& bank, const QString& answers,
                            const QString& examFolder, const Penalty& penalty, bool keepRows);

} // namespace tavrin
