#include "lesson/quiz_book.h"

#include "app/context.h"
#include "app/identity.h"
#include "app/message_numbers.h"
#include "app/messages.h"
#include "app/texts.h"
#include "lesson/entry_table.h"
#include "lesson/lesson_draft.h"
#include "lesson/question_check.h"
#include "lesson/quiz_reopen.h"
#include "lesson/text_procedures.h"
#include "lesson/to_txt.h"
#include "platform/file_copy.h"
#include "platform/file_system.h"
#include "platform/fs_error.h"
#include "platform/paths.h"
#include "platform/project_folders.h"
#include "platform/text_codec.h"
#include "platform/text_file.h"
#include "richtext/rich_text_reader.h"
#include "platform/formula_text.h"
#include "store/quiz_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <cmath>

namespace tavrin {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

class FirstPicture final : public RtfSink {
public:
    void text(const QString&, const RtfCharFormat&) override {}
    void paragraphEnd(const RtfParaFormat&) override {}
    void picture(const RtfPicture& picture, const RtfCharFormat&) override {
        if (data.isEmpty())
            data = picture.data;
    }
    void finish(const RtfParaFormat&) override {}
    QByteArray data;
};

// From the last "." of the path on, dot included; a path without one is a failure.
QString extensionOf(const QString& path) {
    const qsizetype dot = path.lastIndexOf(u'.');
    if (dot < 0)
        throw FsError::at(QStringLiteral("Bad file name or number"), path);
    return path.mid(dot);
}

struct Copy {
    QString element; // attach, sound, film, back
    QString from;
};

} // namespace

QString bookHeading(const QString& lessonTitle, const QString& fieldTitle) {
    return QStringLiteral(u"سؤالات درس ") + lessonTitle + QStringLiteral(u" در رشته ") + fieldTitle;
}

QString bookId(int fieldIndex, int lessonIndex) {
    return QStringLiteral("%1-%2").arg(fieldIndex).arg(lessonIndex);
}

QString NewN(Context& context) {
    QString name;
    for (int i = 0; i < 14; ++i) {
        const double r = double(context.random().bounded(1u << 30)) / double(1u << 30);
        const int v = int(std::nearbyint(r * 34)); // an exact half goes to the even side
        name += v < 10 ? QChar(u'0' + v) : QChar(u'a' + v - 10).toUpper();
    }
    return name;
}

QByteArray markPicture(const QString& markRtf) {
    FirstPicture mark;
    RtfTables tables;
    readRtf(markRtf, false, mark, tables);
    return mark.data;
}

namespace {

struct PlannedCopy {
    QString from;
    QString to;
};

// The lesson index with this book's line: a lesson made again replaces its line.
QString indexWithLine(QString index, const QString& id, const QString& title) {
    const QString open = QStringLiteral("<quiz") + id + u'>';
    const QString line = u'\t' + open + title + QStringLiteral("</quiz") + id + u'>' + kCrLf;
    const qsizetype at = index.indexOf(kCrLf + u'\t' + open);
    if (at >= 0) {
        const qsizetype end = index.indexOf(kCrLf, at + 2);
        return index.replace(at + 2, (end < 0 ? index.size() : end + 2) - (at + 2), line);
    }
    if (!index.isEmpty() && !index.endsWith(kCrLf))
        index += kCrLf;
    return index + line;
}

// The names in BookTXT, listed once for a book rather than asked of the disk per question.
QSet<QString> namesIn(const QString& folder) {
    const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    return QSet<QString>(names.begin(), names.end());
}

// A page name where none of the entry's files would land on an earlier lesson's file, nor
// on a copy this book makes.
QString freePageName(Context& context, const QString& pages, const QSet<QString>& existing,
                     const QList<Copy>& copies, const QSet<QString>& planned) {
    const QString sep = nativeSeparator();
    for (;;) {
        const QString page = NewN(context);
        bool taken = existing.contains(page + QStringLiteral(".htm"));
        for (const Copy& c : copies) {
            if (c.from.isEmpty() || !c.from.contains(u'.'))
                continue;
            const QString name = page + extensionOf(c.from);
            taken = taken || existing.contains(name) || planned.contains(pages + sep + name);
        }
        if (!taken)
            return page;
    }
}

// The block of question n; the copies it names are added to the plan.
QString questionBlock(Context& context, const EntryTable& table, int n, const QString& id,
                      const AnswersRead& answers, const QString& pages,
                      const QSet<QString>& existing, QList<PlannedCopy>& plan,
                      QSet<QString>& planned, QHash<QString, QString>& imported) {
    const QString sep = nativeSeparator();
    const QList<Copy> copies{{QStringLiteral("attach"), table.AttachPath[n]},
                             {QStringLiteral("sound"), table.SoundPath[n]},
                             {QStringLiteral("film"), table.FilmPath[n]},
                             {QStringLiteral("back"), table.BackPath[n]}};
    const QString page = freePageName(context, pages, existing, copies, planned);
    // A copy already in place (a reopened lesson's) is not copied onto itself.
    const auto copy = [&](const QString& from, const QString& name) {
        const QString to = pages + sep + name;
        if (!sameFile(fromStoredPath(from), to))
            plan.append({fromStoredPath(from), to});
        planned.insert(to);
    };
    // Read in this order: a failure of either is logged in it.
    const QString text = RemCrLf(ToTXT(context, table.SoalText[n]));
    const QString explanation = RemCrLf(ToTXT(context, table.TozihRtf[n]));
    const QStringList& lines = answers.lines;
    QList<QuizCopyLine> named;
    // The pictures of the answers' image marks, then the four attachments.
    QSet<int> seen;
    for (const ImageMark& mark : imageMarks(lines.join(kCrLf), 3)) {
        const int image = mark.number;
        if (image >= EntryTable::kImages || seen.contains(image) ||
            table.ImagePaths[image].isEmpty())
            continue;
        seen.insert(image);
        const QString from = table.ImagePaths[image];
        const QString name =
            QStringLiteral("quiz") + id + u'-' + QString::number(image) + extensionOf(from);
        copy(from, name);
        named.append({QStringLiteral("img%1").arg(image), name});
    }
    for (const Copy& c : copies) {
        if (c.from.isEmpty())
            continue;
        // A reopened lesson's attachment is its copy in BookTXT: it keeps its name. An
        // imported question's file waits there too, but goes once the lesson is made.
        const QFileInfo from(fromStoredPath(c.from));
        const bool ownCopy = sameFile(from.absolutePath(), pages) &&
                             !planned.contains(from.filePath()) &&
                             !from.fileName().startsWith(folders::importName(id, QString()));
        // An imported file that several questions name (one picture in every question of a
        // file) is copied once, and each names that copy.
        const bool wasImported = from.fileName().startsWith(folders::importName(id, QString()));
        if (const auto done = imported.find(from.filePath());
            wasImported && done != imported.end()) {
            named.append({c.element, *done});
            continue;
        }
        const QString name = ownCopy ? from.fileName() : page + extensionOf(c.from);
        copy(c.from, name);
        if (wasImported)
            imported.insert(from.filePath(), name);
        named.append({c.element, name});
    }
    return quizBlock(n, text, lines, answers.marked, explanation, named,
                     !table.Cancelled[n].isEmpty());
}

// Every new file is written under its working name first; only when all are on disk do
// they replace the old ones, the index last. A failure removes them and changes nothing.
// The group lines go beside the quiz file, which keeps only questions.
void writeBook(const QList<PlannedCopy>& plan, const QString& quizPath, const QString& quiz,
               const QString& indexPath, const QString& index, const QString& groupsPath,
               const QByteArray& groups) {
    StagedFiles files;
    for (const PlannedCopy& c : plan)
        files.copy(c.from, c.to);
    if (!groups.isEmpty())
        files.write(groups, groupsPath);
    files.write(encodeUtf16Le(quiz), quizPath);
    files.write(encodeUtf16Le(index), indexPath);
    files.place();
    if (groups.isEmpty())
        QFile::remove(groupsPath);
}

} // namespace

BookOutcome MakeBook(Context& context, EntryTable& table, const BookRequest& request) {
    context.log().LogMe(QStringLiteral("Making book..."));
    const QString id = bookId(request.fieldIndex, request.lessonIndex);
    QString explanationNote;
    try {
        const QString o = DoSlashStrict(request.projectPath);
        const QString xml = o + folders::kXml;
        const QString pages = o + folders::kBookTxt;
        if (!folderExists(xml) && !folderExists(pages)) {
            context.prompts().notice(kMainCaption,
                                     QStringLiteral("Folder _xml or BookTXT doesn't exist!"));
            return BookOutcome::NoFolders;
        }
        const QString sep = nativeSeparator();
        // Both questions come before anything is written: No leaves every file as it was.
        // Each question's answers are read once, for the check and for the file.
        const QList<AnswersRead> answers =
            readAllAnswers(context, table, markPicture(request.checkSnippet));
        bool anyQuestion = false;
        for (int n = 0; n < answers.size() && !anyQuestion; ++n)
            anyQuestion = !isGroupLine(table.SoalText[n]);
        if (!anyQuestion) {
            bepayam(context, kNoticeNothingToMake);
            return BookOutcome::Declined;
        }
        const QList<QuestionGap> gaps = incompleteQuestions(context, table, answers);
        if (std::any_of(gaps.begin(), gaps.end(),
                        [](const QuestionGap& g) { return g.blocks(); }) &&
            !context.prompts().askYesNo(kMainCaption, incompleteQuestionsText(gaps), Default::No)) {
            context.log().LogMe(QStringLiteral("Aborted by user!"));
            return BookOutcome::Declined;
        }
        explanationNote = missingExplanationsLine(gaps);
        const QString quizName = folders::quizName(id);
        const QString quizPath = xml + sep + quizName;
        if (fileExists(quizPath) &&
            !context.prompts().askYesNo(kMainCaption,
                                        texts::kAskReplaceLessonQuiz.arg(request.lessonTitle))) {
            context.log().LogMe(QStringLiteral("Aborted by user!"));
            return BookOutcome::Declined;
        }

        const QString indexPath = xml + sep + folders::kBookTitle;
        const QString index =
            indexWithLine(fileExists(indexPath) ? readUtf16File(indexPath)
                                                : QStringLiteral("<strings>") + kCrLf + u'\t' +
                                                      request.creditElement + kCrLf,
                          id, request.lessonTitle);
        QString quiz = quizHeadLine(id, request.lessonTitle);
        QList<PlannedCopy> plan;
        QSet<QString> planned;
        QHash<QString, QString> imported; // an imported file's copy, by where it waits
        const QSet<QString> existing = namesIn(pages);
        for (int n = 0; n < answers.size(); ++n) {
            if (!isGroupLine(table.SoalText[n]))
                quiz += questionBlock(context, table, n, id, answers[n], pages, existing, plan,
                                      planned, imported);
        }
        writeBook(plan, quizPath, quiz, indexPath, index, xml + sep + folders::groupsName(id),
                  groupsBytes(table));
        // The draft was these entries; they are made now.
        removeDraft(request.projectPath, id);
    } catch (const FsError& e) {
        reportFailure(context, kFailMakeBook, e.description());
        bepayamBecause(context, kNoticeBookNotMade, e.description());
        return BookOutcome::Failed;
    }
    if (request.beforeNotice)
        request.beforeNotice();
    if (explanationNote.isEmpty())
        bepayam(context, kNoticeBookMade);
    else
        bepayamWithLine(context, kNoticeBookMade, explanationNote);
    table.clear();
    context.log().LogMe(QStringLiteral("Book is made."));
    return BookOutcome::Made;
}

} // namespace tavrin
