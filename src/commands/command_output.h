#pragma once

#include "app/context.h"
#include "app/messages.h"
#include "exam/sheet_scoring.h"
#include "platform/csv.h"
#include "platform/fs_error.h"
#include "platform/paths.h"
#include "platform/persian_text.h"
#include "store/quiz_file.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QString>
#include <cstdio>
#include <new>
#include <stdexcept>

namespace tavrin {

// A verb's failure on err: "tavrin VERB: description", then its cause in Persian as the
// windows say it.
inline void printFailure(std::FILE* err, const char* verb, const QString& description) {
    std::fprintf(
        err, "tavrin %s: %s\n%s\n", verb, description.toUtf8().constData(),
        persianShown(persianCause(description), Digits::InPersianText).toUtf8().constData());
}

// A folder named on the command line, relative to the shell's folder: made whole, so that a
// short relative name ("P") is never joined to a file name without its separator.
inline QString folderArgument(const QString& given) {
    return given.isEmpty() ? given : QDir::cleanPath(QFileInfo(given).absoluteFilePath());
}

// Bad input: exit 1 with the reason, and the same in Persian where the verb has it.
// Said twice: in English for scripts and logs, and in Persian for the person.
struct BadInput {
    BadInput(QString reason, QString persian)
        : reason(std::move(reason)), persian(std::move(persian)) {}
    QString reason;
    QString persian;
};

// What an option needs, in both languages.
inline BadInput missingOption(const QString& option) {
    return {QStringLiteral("%1 is missing").arg(option),
            QStringLiteral(u"گزینهٔ %1 داده نشده است.").arg(option)};
}

// The command line parser's own words, in Persian as well.
inline BadInput parserRefusal(const QString& error) {
    static const QRegularExpression quoted(QStringLiteral("'([^']*)'|: (.*)\\.$"));
    const QRegularExpressionMatch m = quoted.match(error);
    const QString what = m.captured(1).isEmpty() ? m.captured(2) : m.captured(1);
    const QString persian = error.startsWith(QLatin1String("Missing value"))
                                ? QStringLiteral(u"پس از %1 مقداری نیامده است.").arg(what)
                            : error.startsWith(QLatin1String("Unexpected value"))
                                ? QStringLiteral(u"%1 مقداری نمی‌گیرد.").arg(what)
                            : error.startsWith(QLatin1String("Unknown option"))
                                ? QStringLiteral(u"گزینهٔ %1 شناخته نیست.").arg(what)
                                : QStringLiteral(u"دستور خوانا نیست: %1").arg(error);
    return {error, persian};
}

inline BadInput unexpectedWords(const QStringList& words) {
    return {
        QStringLiteral("unexpected: ") + words.join(u' '),
        QStringLiteral(u"این واژه‌ها گزینهٔ هیچ دستوری نیستند: ") +
            words.join(u' ')};
}

// The verb's options read; a word that is no option's value is bad input.
inline void parseOptions(QCommandLineParser& parser, const QStringList& arguments) {
    if (!parser.parse(QStringList{QStringLiteral("tavrin")} + arguments))
        throw parserRefusal(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        throw unexpectedWords(parser.positionalArguments());
}

// A sheet of answers that does not read, said with its line.
inline BadInput sheetRefusal(const CsvError& bad) {
    return BadInput{answersWhy(bad), answersWhyPersian(bad)};
}

// Where a verb may write its file: not a link (written through, it would replace what it
// points at), not inside the project or the program folder (their own files), and over an
// existing file only when asked.
inline void checkOutFile(const Context& context, const QString& path, const QString& project,
                         bool force) {
    const QFileInfo out(path);
    if (out.isSymLink())
        throw BadInput{QStringLiteral("--out is a symbolic link; name the file itself"),
                       QStringLiteral(u"--out پیوندی به جای دیگر است؛ خود پرونده را نام ببرید.")};
    if (out.isDir())
        throw BadInput{
            QStringLiteral("--out is a folder; name a file in it"),
            QStringLiteral(
                u"--out پوشه است؛ پرونده‌ای در آن را نام ببرید.")};
    for (const auto& [folder, what] :
         {std::pair{project, "the project"}, std::pair{context.programFolder(), "the program"}}) {
        if (!folder.isEmpty() && isInside(out.absoluteFilePath(), folder))
            throw BadInput{QStringLiteral("--out lies inside %1's folder; write it elsewhere")
                               .arg(QLatin1String(what)),
                           QStringLiteral(u"--out درون پوشهٔ پروژه یا برنامه است؛ جای دیگری "
                                          u"بنویسید.")};
    }
    if (out.exists() && !force)
        throw BadInput{
            QStringLiteral("--out exists; --force replaces it"),
            QStringLiteral(
                u"پروندهٔ --out هست؛ --force جایش را می‌گیرد.")};
}

// A verb's body run with its failures said on err: exit 1 for bad input, 2 for a file that
// cannot be read or written (or memory that runs out).
template <typename Body> int runVerb(const char* verb, std::FILE* err, Body body) {
    try {
        return body();
    } catch (const BadInput& bad) {
        std::fprintf(err, "tavrin %s: %s\n", verb, bad.reason.toUtf8().constData());
        if (!bad.persian.isEmpty())
            std::fprintf(err, "%s\n",
                         persianShown(bad.persian, Digits::InPersianText).toUtf8().constData());
        return 1;
    } catch (const std::invalid_argument& bad) {
        std::fprintf(
            err, "tavrin %s: %s\n%s\n", verb, bad.what(),
            persianShown(persianCause(QString::fromUtf8(bad.what())), Digits::InPersianText)
                .toUtf8()
                .constData());
        return 1;
    } catch (const UnreadableQuiz& quiz) {
        std::fprintf(
            err, "tavrin %s: line %d of %s does not read\n%s\n", verb, quiz.line(),
            quiz.name().toUtf8().constData(),
            persianShown(
                QStringLiteral(u"سطر %1 از %2 خوانا نیست.").arg(quiz.line()).arg(quiz.name()),
                Digits::InPersianText)
                .toUtf8()
                .constData());
        return 2;
    } catch (const FsError& e) {
        // The cause in Persian too, as the window says it.
        printFailure(err, verb, e.description());
        return 2;
    } catch (const std::bad_alloc&) {
        std::fprintf(err, "tavrin %s: Not enough memory\n", verb);
        return 2;
    }
}

} // namespace tavrin
