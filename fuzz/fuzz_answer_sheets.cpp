// libFuzzer target: an answer sheet's bytes scored against a small bank. A sheet that does not
// read is refused with BadSheet; one that reads gives a row per student with every figure in
// range, and its CSV written out reads back with as many rows.
#include "exam/sheet_scoring.h"
#include "fuzz_common.h"

using namespace tavrin;
using namespace tavrin::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const QuestionBank bank = [] {
        QuestionBank b;
        b.fieldTitles = {QStringLiteral("ریاضی"), QStringLiteral("a,\"b\"")};
        for (int f = 0; f < 2; ++f) {
            BankLesson lesson;
            lesson.id = QStringLiteral("%1-0").arg(f);
            lesson.field = f;
            lesson.made = true;
            for (int q = 1; q <= 4; ++q) {
                BankQuestion question;
                question.id = QStringLiteral("%1-1-%2").arg(f + 1).arg(q);
                question.field = f;
                const int answers = f == 0 ? 4 : 2 + q % 3;
                for (int a = 0; a < answers; ++a)
                    question.answers.append(QString::number(a));
                question.marked = f == 0 ? q : 1;
                question.cancelled = f == 0 && q == 4;
                lesson.questions.append(question);
            }
            b.lessons.append(lesson);
        }
        b.scoring.weights.insert(0, 3);
        return b;
    }();
    const QString text = QString::fromUtf8(bytesOf(data, size));
    QList<StudentResult> results;
    try {
        results = scoreSheets(bank, text, Penalty{1, 3});
    } catch (const BadSheet&) {
        return 0;
    }
    for (const StudentResult& s : results) {
        need(s.overall >= -3334 && s.overall <= 10000);
        for (const StudentField& f : s.fields)
            need(f.tally.questions == f.tally.right + f.tally.wrong + f.tally.blank &&
                 f.hundredths >= -3334 && f.hundredths <= 10000);
    }
    const QList<QStringList> rows = csvRows(resultCsv(bank, results));
    qsizetype expected = 1;
    for (const StudentResult& s : results)
        expected += s.fields.size() + 1;
    need(rows.size() == expected);
    return 0;
}
