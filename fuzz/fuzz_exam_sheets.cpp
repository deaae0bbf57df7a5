// libFuzzer target: an exam's record and its answer sheets together, as `score --exam` reads
// them (the input is the record, a NUL byte, then the sheets). Whatever they hold, they are
// refused with BadSheet or scored against the small bank with every figure in range, one
// result a student.
#include "exam/paper_answers.h"
#include "fuzz_bank.h"
#include "fuzz_common.h"

using namespace tavrin;
using namespace tavrin::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = bytesOf(data, size);
    const qsizetype cut = bytes.indexOf('\0');
    const QByteArray record = cut < 0 ? bytes : bytes.left(cut);
    const QString sheets = cut < 0 ? QString() : QString::fromUtf8(bytes.mid(cut + 1));
    try {
        CsvSheetRows printed(sheets);
        ExamSheetRows rows(record, printed);
        scoreSheets(smallBank(), rows, Penalty{1, 4}, [](const StudentResult& s) {
            need(s.overall >= -3334 && s.overall <= 10000 && !s.fields.isEmpty());
            for (const StudentField& f : s.fields)
                need(f.tally.questions == f.tally.right + f.tally.wrong + f.tally.blank);
        });
    } catch (const BadSheet&) {
    }
    return 0;
}
