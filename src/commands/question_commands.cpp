#include "commands/question_commands.h"

#include "app/context.h"
#include "app/identity.h"
#include "app/messages.h"
#include "commands/command_output.h"
#include "export/question_export.h"
#include "interchange/gift_format.h"
#include "interchange/moodle_xml.h"
#include "lesson/entry_table.h"
#include "lesson/lesson_draft.h"
#include "lesson/question_import.h"
#include "lesson/quiz_book.h"
#include "lessontext/lesson_texts.h"
#include "platform/file_system.h"
#include "platform/fs_error.h"
#include "platform/paths.h"
#include "platform/persian_text.h"
#include "platform/project_folders.h"
#include "platform/text_file.h"
#include "store/lesson_files.h"
#include "store/quiz_file.h"
#include "store/store_common.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <cctype>
#include <stdexcept>
#include <utility>

namespace tavrin {

namespace {

void print(std::FILE* to, const QString& text) {
    std::fprintf(to, "%s\n", text.toUtf8().constData());
}

// The author's titles and the tool's notes in Persian letters, as the windows show them.
QString shown(const QString& text) {
    return persianShown(text, Digits::Untouched);
}

struct Options {
    QString project, format, out, file;
    int field = -1, lesson = -1; // 0-based
    bool replace = false, oneSco = false, force = false;
    int passMark = 50;
};

int number(const QCommandLineParser& parser, const QString& name, int most = 1 << 20) {
    if (!parser.isSet(name))
        return -1;
    bool ok = false;
    const int n = parser.value(name).toInt(&ok);
    if (!ok || n < 1 || n > most)
        throw BadInput{
            QStringLiteral("--%1 takes a number from 1").arg(name),
            QStringLiteral(u"--%1 عددی از 1 به بالا می‌گیرد.").arg(name)};
    return n;
}

Options parse(const QStringList& arguments, bool importing) {
    QCommandLineParser parser;
    parser.addOptions({{QStringLiteral("project"), QString(), QStringLiteral("folder")},
                       {QStringLiteral("field"), QString(), QStringLiteral("n")},
                       {QStringLiteral("lesson"), QString(), QStringLiteral("n")},
                       {QStringLiteral("format"), QString(), QStringLiteral("format")},
                       {QStringLiteral("out"), QString(), QStringLiteral("path")},
                       {QStringLiteral("pass-mark"), QString(), QStringLiteral("percent")},
                       {QStringLiteral("one-sco"), QString()},
                       {QStringLiteral("replace"), QString()},
                       {QStringLiteral("force"), QString()}});
    if (!parser.parse(QStringList{QStringLiteral("tavrin")} + arguments))
        throw parserRefusal(parser.errorText());
    Options o;
    o.project = folderArgument(parser.value(QStringLiteral("project")));
    o.format = parser.value(QStringLiteral("format"));
    o.out = parser.value(QStringLiteral("out"));
    o.field = number(parser, QStringLiteral("field"));
    o.lesson = number(parser, QStringLiteral("lesson"));
    o.replace = parser.isSet(QStringLiteral("replace"));
    o.oneSco = parser.isSet(QStringLiteral("one-sco"));
    o.force = parser.isSet(QStringLiteral("force"));
    if (parser.isSet(QStringLiteral("pass-mark"))) {
        bool ok = false;
        o.passMark = parser.value(QStringLiteral("pass-mark")).toInt(&ok);
        if (!ok || o.passMark < 0 || o.passMark > 100)
            throw BadInput{
                QStringLiteral("--pass-mark takes a percent from 0 to 100"),
                QStringLiteral(u"--pass-mark درصدی از 0 تا 100 می‌گیرد.")};
    }
    if (o.project.isEmpty())
        throw missingOption(QStringLiteral("--project"));
    if (o.lesson > 0 && o.field < 0)
        throw BadInput{QStringLiteral("--lesson needs --field"),
                       QStringLiteral(u"--lesson بی --field معنا ندارد.")};
    const QStringList formats = importing
                                    ? QStringList{QStringLiteral("gift"), QStringLiteral("moodle")}
                                    : QStringList{QStringLiteral("gift"), QStringLiteral("moodle"),
                                                  QStringLiteral("scorm")};
    if (!formats.contains(o.format))
        throw BadInput{QStringLiteral("--format must be one of: ") +
                           formats.join(QStringLiteral(", ")),
                       QStringLiteral(u"--format یکی از این‌هاست: ") +
                           formats.join(QStringLiteral(u"، "))};
    if (importing) {
        if (o.field < 0 || o.lesson < 0)
            throw BadInput{QStringLiteral("--field and --lesson are both needed"),
                           QStringLiteral(u"هر دو گزینهٔ --field و --lesson لازم است.")};
        if (parser.positionalArguments().size() != 1)
            throw BadInput{
                QStringLiteral("one file to import is needed"),
                QStringLiteral(
                    u"یک پرونده برای آوردن سؤال‌ها لازم است.")};
        o.file = parser.positionalArguments().first();
    } else {
        if (o.out.isEmpty())
            throw missingOption(QStringLiteral("--out"));
        if (!parser.positionalArguments().isEmpty())
            throw unexpectedWords(parser.positionalArguments());
    }
    // The store counts from 1; the files count from 0.
    o.field = o.field > 0 ? o.field - 1 : -1;
    o.lesson = o.lesson > 0 ? o.lesson - 1 : -1;
    if (!fileExists(store::projectFilePath(o.project)))
        throw FsError::at(QStringLiteral("No project file"), store::projectFilePath(o.project));
    return o;
}

// A renumbering a kill interrupted is finished (or undone) and kills' leftovers go, as
// opening the project does, before a verb reads or writes a lesson.
void settlePendingWork(Context& context, const QString& project) {
    finishSwitch(context, project);
    removeLeftovers(context, project);
}

} // namespace

int exportQuestionsCommand(Context& context, const QStringList& arguments, std::FILE* out,
                           std::FILE* err) {
    return runVerb("export-questions", err, [&] {
        const Options o = parse(arguments, false);
        checkOutFile(context, o.out, o.project, o.force);
        settlePendingWork(context, o.project);
        const QuestionFormat format = o.format == QLatin1String("gift")     ? QuestionFormat::Gift
                                      : o.format == QLatin1String("moodle") ? QuestionFormat::Moodle
                                                                            : QuestionFormat::Scorm;
        const QuestionsWritten written = writeQuestions(
            context, {o.project, {o.field, o.lesson}, format, o.out, !o.oneSco, o.passMark});
        if (format == QuestionFormat::Scorm)
            print(out, QStringLiteral("%1: SCORM 1.2 package, %2 lessons")
                           .arg(o.out)
                           .arg(written.lessons));
        else
            print(out, QStringLiteral("%1: %2 questions").arg(o.out).arg(written.questions));
        if (written.leftOut)
            print(err,
                  QStringLiteral("pictures and attachments of %1 questions cannot travel in GIFT")
                      .arg(written.leftOut));
        return 0;
    });
}

int importQuestionsCommand(Context& context, const QStringList& arguments, std::FILE* out,
                           std::FILE* err) {
    return runVerb("import-questions", err, [&] {
        const Options o = parse(arguments, true);
        settlePendingWork(context, o.project);
        const QString document = readUtf16File(store::projectFilePath(o.project));
        QString title;
        bool found = false;
        for (const LessonRef& l : projectLessons(context, document)) {
            if (l.field == o.field && l.lesson == o.lesson) {
                title = l.title;
                found = true;
            }
        }
        if (!found)
            throw BadInput{QStringLiteral("the project has no lesson %1 in field %2")
                               .arg(o.lesson + 1)
                               .arg(o.field + 1),
                           QStringLiteral(u"پروژه در رشتهٔ %2 درس %1 ندارد.")
                               .arg(o.lesson + 1)
                               .arg(o.field + 1)};
        const QString id = bookId(o.field, o.lesson);
        const QString xml = QDir(o.project).filePath(folders::kXml) + u'/';
        if (!o.replace && fileExists(xml + folders::quizName(id)))
            throw BadInput{QStringLiteral("the lesson's quiz file exists; --replace makes it anew"),
                           QStringLiteral(u"فایل آزمون این درس هست؛ --replace آن را از نو "
                                          u"می‌سازد.")};
        if (!o.replace && fileExists(xml + folders::draftName(id)))
            throw BadInput{
                QStringLiteral("the lesson has unmade work in the formatter (a draft); "
                               "--replace discards it"),
                QStringLiteral(
                    u"این درس کاری ساخته‌نشده در پنجرهٔ تنظیم "
                    u"دارد "
                    u"(پیش‌نویس)؛ --replace آن را کنار می‌گذارد.")};
        const QByteArray bytes = readInputFile(o.file, kLargestQuestionsFile);
        // What the replaced lesson owned in BookTXT: what the new one does not take over goes.
        const QStringList replaced = o.replace ? lessonCopies(o.project, id) : QStringList();
        const TravelSet set =
            o.format == QLatin1String("gift") ? readGift(bytes) : readMoodleXml(bytes);
        for (const SkippedQuestion& s : set.skipped)
            print(err, QStringLiteral("skipped: %1 (%2)").arg(shown(s.title), shown(s.reason)));
        if (set.questions.isEmpty())
            throw BadInput{QStringLiteral("the file has no question the tool can hold"),
                           QStringLiteral(u"پرونده سؤالی ندارد که برنامه بتواند نگه دارد.")};
        const QString check = readSnippet(context.programFolder(), QStringLiteral("check.bin"));
        const QString img = readSnippet(context.programFolder(), QStringLiteral("img.bin"));
        if (check.isEmpty() || img.isEmpty())
            throw FsError(QStringLiteral("Resources/check.bin or img.bin is missing"));
        EntryTable table;
        QStringList outline;
        const ImportResult result =
            importQuestions(context, table, outline, set, {o.project, id, check, img});
        for (const SkippedQuestion& s : result.skipped.mid(set.skipped.size()))
            print(err, QStringLiteral("skipped: %1 (%2)").arg(shown(s.title), shown(s.reason)));
        for (const QString& note : result.notes)
            print(err, shown(note));
        BookRequest request;
        request.projectPath = o.project;
        request.fieldIndex = o.field;
        request.lessonIndex = o.lesson;
        request.lessonTitle = title;
        request.creditElement = LoadBookConfig().split(u'|').value(6);
        request.checkSnippet = check;
        const BookOutcome made = MakeBook(context, table, request);
        if (made != BookOutcome::Made) {
            // Nothing was made: the imported files go with the table.
            removeDraft(o.project, id);
            return 2;
        }
        const QStringList kept = lessonCopies(o.project, id);
        QDir pages(QDir(o.project).filePath(folders::kBookTxt));
        for (const QString& name : replaced) {
            if (!kept.contains(name) && pages.remove(name))
                context.log().LogMe(
                    QStringLiteral("Replaced lesson's file removed: %1").arg(pages.filePath(name)));
        }
        print(out, QStringLiteral("%1: %2 questions made into %3")
                       .arg(o.file)
                       .arg(result.questions)
                       .arg(folders::quizName(id)));
        return 0;
    });
}

} // namespace tavrin
