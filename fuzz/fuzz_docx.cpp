// libFuzzer target: a Word document's bytes through the .docx reader. A damaged package is
// refused with FsError; whatever it accepts must give RTF the tool's own reader takes.
#include "fuzz_common.h"
#include "lessontext/docx_text.h"
#include "platform/fs_error.h"
#include "richtext/rich_text_plain.h"
#include "richtext/rich_text_reader.h"

using namespace tavrin;
using namespace tavrin::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto rtf = unlessRefused<FsError>([&] { return docxToRtf(bytesOf(data, size)); });
    if (!rtf)
        return 0;
    need(looksLikeRtf(*rtf) && rtf->endsWith(u'}'));
    rtfToPlainText(*rtf);
    return 0;
}
