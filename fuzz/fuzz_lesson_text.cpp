// libFuzzer target: the lesson text path on arbitrary bytes: read as 1256, Rep, the reflow
// (checked against its first, one-replace-at-a-time form), RemCrLf, DelCrLf and BeBor.
#include "fuzz_common.h"
#include "lesson/text_procedures.h"
#include "platform/text_codec.h"
#include "support/reflow_reference.h"

using namespace tavrin;
using namespace tavrin::fuzz;
using tavrin::test::reflowReference;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    const int words = data[0] % 40;
    const bool join = data[1] & 1, marks = data[1] & 2;
    const QString text =
        Rep(decodeAnsi(QByteArray(reinterpret_cast<const char*>(data + 2), qsizetype(size - 2))));
    const QString reflowed = reflowText(text, words, join, marks);
    // The reference is quadratic: long inputs are left to the benchmark.
    if (size < 20000)
        need(reflowed == reflowReference(text, words, join, marks));
    const QString line = RemCrLf(reflowed);
    need(!line.contains(QLatin1String("\r\n")));
    const QString trimmed = DelCrLf(text);
    need(!trimmed.startsWith(QLatin1String("\r\n")) && text.endsWith(trimmed));
    const QString shortForm = BeBor(line, data[0] % 60);
    need(shortForm.size() <= line.size() + 3);
    return 0;
}
