// libFuzzer target: the player data writer over any quiz file, index and lesson title. The
// script it writes must be valid JavaScript data (one JSON object after its assignment)
// and may never hold "<" raw, so no "</script" can end the page's script.
#include "export/quiz_data.h"
#include "fuzz_common.h"
#include "platform/fs_error.h"
#include "platform/text_codec.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

using namespace tavrin;
using namespace tavrin::fuzz;

namespace {

Program* program = nullptr;

void put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    new QCoreApplication(*argc, *argv);
    program = new Program;
    QDir().mkpath(program->folder + "/cd/Data/_xml");
    QDir().mkpath(program->folder + "/cd/Data/BookTXT");
    put(program->folder + "/cd/Data/BookTXT/quiz0-0-0.jpg", "j");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString cd = program->folder + "/cd";
    // The bytes as UTF-16 (lone surrogates and all), as a quiz file holds them.
    QString quiz(reinterpret_cast<const QChar*>(data), qsizetype(size / 2));
    put(cd + "/Data/_xml/quiz0-0.xml", encodeUtf16Le(quiz));
    put(cd + "/Data/BookTXT/CDProperty.xml", encodeUtf16Le(quiz.left(40)));
    const QList<LessonRef> lessons{{0, 0, quiz.left(8)}, {0, 1, QStringLiteral("none")}};
    QString script;
    try {
        script = quizDataScript(*program->context, cd, lessons);
    } catch (const FsError&) {
        return 0; // a name that leaves the CD: refused
    }
    const QByteArray bytes = script.toUtf8();
    need(!bytes.contains('<'));
    const QByteArray head("\nconst TAVRIN_DATA = ");
    const qsizetype at = bytes.indexOf(head);
    need(at > 0 && bytes.endsWith(";\n"));
    const QByteArray json = bytes.mid(at + head.size(), bytes.size() - at - head.size() - 2);
    QJsonParseError error;
    const QJsonDocument parsed = QJsonDocument::fromJson(json, &error);
    need(error.error == QJsonParseError::NoError && parsed.isObject());
    need(parsed.object()[QStringLiteral("lessons")].isArray());
    // U+2028 and U+2029 end a line in older script parsers: written escaped.
    need(!script.contains(QChar(0x2028)) && !script.contains(QChar(0x2029)));
    return 0;
}
