// Makes the shipped sample project's two lessons, as an author would with the tool: the
// questions of the shipped lesson texts (after the tool's clean-up) filed with their four
// answers, the right one marked, and their explanation; the science lesson under a group
// title with one picture answer. MakeBook writes the quiz files, the lesson index and the
// picture's copy.
// Usage: make_sample <source tree> <sample project folder>
#include "app/context.h"
#include "app/identity.h"
#include "export/output_folders.h"
#include "lesson/entry_table.h"
#include "lesson/quiz_book.h"
#include "lessontext/lesson_texts.h"
#include "platform/clock.h"
#include "platform/prompts.h"
#include "platform/random_source.h"
#include "platform/text_codec.h"
#include "store/lesson_files.h"
#include "support/answers_rtf.h"
#include "support/silent_prompts.h"
#include "support/test_program.h"

#include <QDir>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cstdio>

using namespace tavrin;

namespace {

struct Question {
    QString text;
    QStringList answers;
    int right = 0;
    QString why;
};

// "1- question", four "الف) ..." answers, "پاسخ درست: گزينه X", "توضيح: ...".
QList<Question> questionsOf(const QString& lesson) {
    static const QRegularExpression numbered(QStringLiteral("^\\d+- (.*)$"));
    const QStringList letters{QString::fromUtf8("الف"), QString::fromUtf8("ب"),
                              QString::fromUtf8("ج"), QString::fromUtf8("د")};
    QList<Question> out;
    for (QString line : lesson.split(QStringLiteral("\r\n"))) {
        line = line.remove(QChar(0x200F)).trimmed();
        const QRegularExpressionMatch m = numbered.match(line);
        if (m.hasMatch()) {
            out.append({m.captured(1), {}, 0, {}});
        } else if (!out.isEmpty() && out.last().answers.size() < 4 && line.contains(u')')) {
            out.last().answers.append(line);
        } else if (!out.isEmpty() && line.startsWith(QString::fromUtf8("پاسخ درست: گزينه "))) {
            out.last().right = int(letters.indexOf(line.section(u' ', -1))) + 1;
        } else if (!out.isEmpty() && line.startsWith(QString::fromUtf8("توضيح: "))) {
            out.last().why = line.mid(7);
        }
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: make_sample <source tree> <sample project folder>\n");
        return 2;
    }
    const QString source = QString::fromLocal8Bit(argv[1]);
    const QString project = QDir(QString::fromLocal8Bit(argv[2])).absolutePath();
    QTemporaryDir work;
    SystemClock clock;
    test::SilentPrompts prompts;
    SystemRandom random(5);
    Context context(work.path(), work.filePath("Vonk.log"), clock, prompts, random);
    QDir(project + "/_xml").removeRecursively();
    QDir(project + "/BookTXT").removeRecursively();
    MakeDirs(context, project, "BookTXT", "_xml");
    const QString mark =
        decodeAnsi(test::readBytes(source + QStringLiteral("/resources/check.bin")));
    // A thermometer at the boiling point: the picture of one answer.
    const QString picture = source + QStringLiteral("/tests/data/sample/thermometer.png");

    const auto make = [&](int lesson, const QString& file, const QString& title,
                          const QString& group) {
        EntryTable table;
        int n = 0;
        if (!group.isEmpty()) {
            table.SoalText[n] = kMainTitleEntry;
            table.JavabRtf[n++] = group;
        }
        for (Question q : questionsOf(readLessonText(source + "/dist/Zar", file).text)) {
            // The boiling point's answer shows its picture.
            if (!group.isEmpty() && q.answers.value(q.right - 1).endsWith(QStringLiteral(" 100"))) {
                q.answers[q.right - 1].insert(3, QStringLiteral("{0} "));
                table.ImagePaths[0] = picture;
            }
            table.SoalText[n] = q.text;
            table.JavabRtf[n] = test::answersRtf(mark, q.answers, q.right);
            table.TozihRtf[n++] = q.why;
        }
        if (!group.isEmpty()) {
            table.SoalText[n] = kEndTitleEntry;
            table.JavabRtf[n] = group;
        }
        BookRequest request;
        request.projectPath = project;
        request.fieldIndex = 0;
        request.lessonIndex = lesson;
        request.lessonTitle = title;
        request.creditElement = LoadBookConfig().section(u'|', 6, 6);
        request.checkSnippet = mark;
        return MakeBook(context, table, request) == BookOutcome::Made;
    };
    // The lessons' titles as the project file holds them.
    const QList<LessonRef> lessons =
        projectLessons(context, decodeUtf16Le(test::readBytes(project + "/Project.xml")));
    if (lessons.size() != 2 ||
        !make(0, "01-Olum-Madde.txt", lessons[0].title,
              QString::fromUtf8("حالت‌هاي ماده")) ||
        !make(1, "02-Joghrafia-Iran.txt", lessons[1].title, {}))
        return 1;
    std::printf("%s\n", qPrintable(project));
    return 0;
}
