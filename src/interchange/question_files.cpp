#include "interchange/question_files.h"

#include "interchange/gift_format.h"
#include "interchange/moodle_xml.h"
#include "platform/file_system.h"
#include "platform/fs_error.h"
#include "platform/text_file.h"

#include <cctype>

namespace tavrin {

TravelSet readQuestionsFile(const QString& path) {
    const QByteArray bytes = readInputFile(path, kLargestQuestionsFile);
    qsizetype at = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (at < bytes.size() && std::isspace(static_cast<unsigned char>(bytes[at])))
        ++at;
    return at < bytes.size() && bytes[at] == '<' ? readMoodleXml(bytes) : readGift(bytes);
}

} // namespace tavrin
