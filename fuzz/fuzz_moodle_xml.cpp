// libFuzzer target: a Moodle XML file's bytes through the reader. What is not Moodle XML (or
// nests too deep, or declares entities) is refused with std::invalid_argument; what it reads
// must be questions the tool can hold, and written out again they must read back.
#include "fuzz_common.h"
#include "interchange/moodle_xml.h"

#include <QGuiApplication>
#include <stdexcept>

using namespace tavrin;
using namespace tavrin::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The HTML of question texts is read by Qt's text document, which wants an application.
    static int argc = 1;
    static char name[] = "fuzz_moodle_xml";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QGuiApplication(argc, argv);
    }();
    (void)app;
    const auto read =
        unlessRefused<std::invalid_argument>([&] { return readMoodleXml(bytesOf(data, size)); });
    if (!read)
        return 0;
    const TravelSet& set = *read;
    for (const TravelQuestion& q : set.questions)
        need(q.answers.isEmpty() ? q.correct == 0 : q.scored() || q.correct == 0);
    const TravelSet again = readMoodleXml(moodleXml(set, false));
    need(again.questions.size() == set.questions.size());
    return 0;
}
