// libFuzzer target: an answer sheet's bytes scored against a small bank. A sheet that does not
// read is refused with BadSheet; one that reads gives a row per student with every figure in
// range, and its CSV written out reads back with as many rows.
#include "exam/sheet_scoring.h"
#include "fuzz_bank.h"
#include "fuzz_common.h"

using namespace tavrin;
using namespace tavrin::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QuestionBank& bank = smallBank();
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
