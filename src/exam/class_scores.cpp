#include "exam/class_scores.h"

#include "exam/paper_answers.h"
#include "exam/sheet_input.h"

namespace tavrin {

ClassScores scoreAnswerFile(const QuestionBank& bank, const QString& answers,
                            const QString& examFolder, const Penalty& penalty, bool keepRows) {
    ClassScores out;
    // A byte order mark first: a spreadsheet then opens the Persian names as UTF-8.
    out.csv = "\xEF\xBB\xBF" + resultHeader().toUtf8();
    readAnswerSheets(bank, answers, examFolder, [&](SheetRows& rows, const ExamSheetRows* exam) {
        out.students = scoreSheets(bank, rows, penalty, [&](const StudentResult& r) {
            out.csv += resultRows(bank, r).toUtf8();
            if (keepRows)
                out.rows.append({r, exam ? exam->version() : 0});
        });
    });
    return out;
}

} // namespace tavrin
