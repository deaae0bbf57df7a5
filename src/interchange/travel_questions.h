#pragma once

#include "store/own_labels.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

namespace tavrin {

class Context;

// A file that goes inside an exchange file: a picture, a sound, a film or an attachment.
struct TravelFile {
    QString name;
    QByteArray bytes;
    bool isEmpty() const { return name.isEmpty(); }
};

// One question on its way out of the tool or into it, in the tool's own terms: plain texts
// of one line, answers that may hold image marks "{N}" naming pictures[N], the right one's
// number (1-based; 0 when none) and the category path it lies in (field, lesson, groups).
struct TravelQuestion {
    QStringList category;
    QString title;
    QString text;
    QStringList answers;
    int correct = 0;
    QString explanation;
    QMap<int, TravelFile> pictures;
    TravelFile attach, sound, film, back;
    bool hasAttachments() const {
        return !attach.isEmpty() || !sound.isEmpty() || !film.isEmpty() || !back.isEmpty();
    }
    // Answers with the right one among them; a question made unmarked travels as a text.
    bool scored() const { return correct >= 1 && correct <= answers.size(); }
};

// The comment after a question's title for one that travels as a text because it was made
// without a right answer (the line ends with "\n").
inline const QString kUnmarkedComment =
    QStringLiteral(u"»: پاسخ درست این سؤال معین نشده است؛ بی گزینه، چون متن، آمده است.\n");

// A question of a file that the tool cannot hold, by its title and why.
struct SkippedQuestion {
    QString title;
    QString reason;
};

// How a list of skipped questions names a kind the tool cannot hold, by its Moodle type.
QString questionKindName(const QString& type);

// The note for a question whose other answers earned part of the mark: the tool marks only
// the fully right one.
QString partialCreditNote(const QString& title);
// The note for a question whose answers carried feedback of their own: the lesson keeps only
// the explanation.
QString answerFeedbackNote(const QString& title);

struct TravelSet {
    // Every category the file declares (or the export writes), in order: a lesson's own
    // category comes before its groups' even when no question lies directly in it.
    QList<QStringList> categories;
    QList<TravelQuestion> questions;
    QList<SkippedQuestion> skipped;
    // Pictures and files a format could not carry, or a file's parts left out, one a line.
    QStringList notes;
    // Written: each wrong answer's fraction in percent ("-33.33333"), empty for none. Read:
    // the negative fractions the file gives its wrong answers, each once, in file order.
    QString wrongFraction;
    QStringList penaltiesFound;
};

// The note for a file whose wrong answers take marks away: what it found, and that the
// project's own penalty is set apart. Empty when it found none.
QString penaltyFoundNote(const QStringList& found);

// The categories a file declares before each question: those of its path not yet declared
// (a lesson's own category before its groups'), then its own when it changes.
QList<QList<QStringList>> categoriesBefore(const TravelSet& set);

// What to take out of a project: a lesson, a field (lesson -1) or all (field -1); 0-based.
struct TravelScope {
    int field = -1;
    int lesson = -1;
};

// The made questions of a project's lessons in the scope, in the project's order, with
// their pictures and attachments read from BookTXT. Lessons without a quiz file have none.
// Throws FsError when a file cannot be read or the project file is damaged, UnreadableQuiz
// for a quiz file that does not read back, and std::invalid_argument for a field or
// lesson the project does not have.
// With NamesOnly the files are named but not read (GIFT carries none; a scope's check needs
// none). A file whose path leaves the project (a link out of BookTXT) throws FsError, as the
// CD export refuses it.
enum class FileBytes { Read, NamesOnly };
TravelSet projectQuestions(Context& context, const QString& projectPath, TravelScope scope,
                           FileBytes files = FileBytes::Read);

// The letters a Persian reader expects, as the CD player shows them: Persian yeh and kaf for
// the Arabic ones, non-joiners, and Persian digits inside Persian text only (a number in
// Latin text or standing alone keeps its digits); image marks "{N}" keep theirs.
QString persianLetters(const QString& text);
// A question's text as persianLetters shows it, its formulas kept as they are, in the
// canonical delimiters the platforms read.
QString textLetters(const QString& text);

// The same path as one Moodle category text: "$course$/top/a/b", a "/" in a name doubled.
QString categoryPath(const QStringList& category);
// Back into names: the "$course$" (or other context) and "top" parts dropped.
QStringList categoryNames(const QString& path);

} // namespace tavrin
