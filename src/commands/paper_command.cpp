#include "commands/paper_command.h"

#include "app/context.h"
#include "app/texts.h"
#include "commands/command_output.h"
#include "paper/paper_exam.h"
#include "platform/file_system.h"
#include "platform/fs_error.h"
#include "platform/paths.h"
#include "store/store_common.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

namespace tavrin {

namespace {

int numberOf(const QCommandLineParser& parser, const char* name, int least, int most) {
    bool ok = false;
    const int n = parser.value(QLatin1String(name)).toInt(&ok);
    if (!ok || n < least || n > most)
        throw BadInput{QStringLiteral("--%1 takes a number from %2 to %3")
                           .arg(QLatin1String(name))
                           .arg(least)
                           .arg(most),
                       QStringLiteral(u"--%1 عددی از %2 تا %3 می‌گیرد.")
                           .arg(QLatin1String(name))
                           .arg(least)
                           .arg(most)};
    return n;
}

} // namespace

int printExamCommand(Context& context, const QStringList& arguments, std::FILE* out,
                     std::FILE* err) {
    return runVerb("print-exam", err, [&] {
        QCommandLineParser parser;
        for (const char* withValue :
             {"project", "out", "versions", "seed", "field", "lesson", "title", "school", "class",
              "teacher", "date", "minutes", "columns", "font-size", "html"})
            parser.addOption({QLatin1String(withValue), QString(), QStringLiteral("value")});
        parser.addOption({QStringLiteral("keep-answer-order"), QString()});
        parser.addOption({QStringLiteral("force"), QString()});
        parseOptions(parser, arguments);
        const QString project = folderArgument(parser.value(QStringLiteral("project")));
        const QString folder = parser.value(QStringLiteral("out"));
        if (project.isEmpty())
            throw missingOption(QStringLiteral("--project"));
        if (folder.isEmpty())
            throw missingOption(QStringLiteral("--out"));
        if (!fileExists(store::projectFilePath(project)))
            throw FsError::at(QStringLiteral("No project file"), store::projectFilePath(project));
        const QFileInfo outInfo(folder);
        if (outInfo.exists() && !outInfo.isDir())
            throw BadInput{
                QStringLiteral("--out is a file; name a folder"),
                QStringLiteral(
                    u"--out پرونده است؛ پوشه‌ای را نام ببرید.")};
        // A relative folder is the shell's, not the page engine's.
        const QString html = folderArgument(parser.value(QStringLiteral("html")));
        for (const auto& [path, option] :
             {std::pair{outInfo.absoluteFilePath(), "--out"}, std::pair{html, "--html"}})
            for (const auto& [inside, what] : {std::pair{project, "the project"},
                                               std::pair{context.programFolder(), "the program"}})
                if (!path.isEmpty() && isInside(path, inside))
                    throw BadInput{QStringLiteral("%1 lies inside %2's folder; write it elsewhere")
                                       .arg(QLatin1String(option), QLatin1String(what)),
                                   texts::kPaperFolderInside};
        // An earlier exam is replaced only when asked, as the window asks.
        if (const QStringList earlier = paperExamFilesIn(folder);
            !earlier.isEmpty() && !parser.isSet(QStringLiteral("force")))
            throw BadInput{QStringLiteral("--out holds an earlier exam (%1); --force replaces it")
                               .arg(earlier.join(QStringLiteral(", "))),
                           texts::kPaperFolderHoldsExam};
        const bool hasField = parser.isSet(QStringLiteral("field"));
        if (parser.isSet(QStringLiteral("lesson")) && !hasField)
            throw BadInput{QStringLiteral("--lesson needs --field"),
                           QStringLiteral(u"--lesson بی --field معنا ندارد.")};
        // The project is named by its folder, as the window names it.
        const QuestionBank bank =
            readQuestionBank(context, project, QFileInfo(QDir::cleanPath(project)).fileName());
        PaperChoices c = defaultPaperChoices(context, bank.scoring, -1, -1);
        if (hasField) {
            const int field = numberOf(parser, "field", 1, int(bank.fieldTitles.size())) - 1;
            c.scope = parser.isSet(QStringLiteral("lesson"))
                          ? PaperScope{PaperScope::Kind::Lesson, field,
                                       numberOf(parser, "lesson", 1, 1 << 20) - 1}
                          : PaperScope{PaperScope::Kind::Field, field, 0};
        } else if (c.scope.kind != PaperScope::Kind::Budget) {
            throw BadInput{
                QStringLiteral(
                    "the project sets no comprehensive exam budget; name --field (and --lesson)"),
                QStringLiteral(u"پروژه سهم سؤال‌های آزمون جامع را معین نکرده "
                               u"است؛ "
                               u"--field "
                               u"(و "
                               u"--lesson) را بدهید.")};
        }
        if (parser.isSet(QStringLiteral("versions")))
            c.versions = numberOf(parser, "versions", 1, kMostPaperVersions);
        c.seed = parser.isSet(QStringLiteral("seed"))
                     ? quint32(numberOf(parser, "seed", 1, 999999999))
                     : 1 + context.random().bounded(999999);
        if (parser.isSet(QStringLiteral("columns")))
            c.columns = numberOf(parser, "columns", 1, 2);
        if (parser.isSet(QStringLiteral("font-size")))
            c.fontSize = numberOf(parser, "font-size", kLeastPaperFont, kMostPaperFont);
        if (parser.isSet(QStringLiteral("minutes")))
            c.minutes = numberOf(parser, "minutes", 0, 600);
        c.shuffleAnswers = !parser.isSet(QStringLiteral("keep-answer-order"));
        for (const auto& [name, into] :
             {std::pair{"title", &c.title}, std::pair{"school", &c.school},
              std::pair{"class", &c.className}, std::pair{"teacher", &c.teacher},
              std::pair{"date", &c.date}})
            if (parser.isSet(QLatin1String(name)))
                *into = parser.value(QLatin1String(name));
        PaperWritten written;
        try {
            written = writePaperExam(context, bank, folder, c, html);
        } catch (const NothingToPrint& nothing) {
            throw BadInput{nothing.why(), nothing.persian()};
        }
        std::fprintf(out, "%s: %d versions of %d questions, seed %u: %s\n",
                     folder.toUtf8().constData(), written.versions, written.questions, c.seed,
                     written.files.join(QStringLiteral(", ")).toUtf8().constData());
        // Printed numbered and lettered by the tool: what the author's own text lost, once.
        for (const QString& taken : std::as_const(written.labelsTaken))
            std::fprintf(out, "own number and labels taken off %s\n", taken.toUtf8().constData());
        return 0;
    });
}

} // namespace tavrin
