// libFuzzer target: a GIFT file's bytes through the reader. What is not GIFT is refused with
// std::invalid_argument; what it reads must be questions the tool can hold, and written out
// as GIFT again they must read back as the same questions, less those it cannot carry.
#include "fuzz_common.h"
#include "interchange/gift_format.h"

#include <stdexcept>

using namespace tavrin;
using namespace tavrin::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto read =
        unlessRefused<std::invalid_argument>([&] { return readGift(bytesOf(data, size)); });
    if (!read)
        return 0;
    const TravelSet& set = *read;
    qsizetype carried = 0;
    for (const TravelQuestion& q : set.questions) {
        need(q.answers.isEmpty() ? q.correct == 0 : q.scored());
        carried += giftCarries(q);
    }
    // What the writer leaves out it says it leaves out; the rest reads back.
    const TravelSet again = readGift(giftText(set));
    need(again.questions.size() == carried);
    return 0;
}
