#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <stdexcept>

namespace tavrin {

// A lesson's table holds at most this many entries; a quiz file's question numbers lie below.
constexpr int kQuizEntries = 257;

// A line of a quiz file that is not what MakeBook writes (1-based).
class UnreadableQuiz : public std::runtime_error {
public:
    UnreadableQuiz(int line, QString name)
        : std::runtime_error("unreadable quiz file line"), line_(line), name_(std::move(name)) {}
    int line() const { return line_; }
    const QString& name() const { return name_; }

private:
    int line_;
    QString name_;
};

// The line MakeBook writes after "<chk>2</chk>" for a question made without a marked answer:
// the "2" is there for the player of old only.
inline const QString kUnmarkedTag = QStringLiteral("nochk");
// The line after it for a question cancelled with a positive effect: it counts only when
// answered right. Readers that do not know it pass it by.
inline const QString kCancelledTag = QStringLiteral("cancel");

// One question block of a quiz file as MakeBook writes it.
struct QuizQuestion {
    int number = 0; // its place in the lesson's table
    QString text, explanation;
    QStringList answers;               // at most four
    int marked = 0;                    // 1-based; 0 for a question made unmarked
    bool cancelled = false;            // cancelled with a positive effect
    QMap<int, QString> images;         // image number -> copy name in BookTXT
    QString attach, sound, film, back; // copy names in BookTXT, or empty
};

// The questions of a quiz file's text, in order; each copy name is a plain file name.
// Throws UnreadableQuiz (with this file name) at the first line that does not read back,
// a missing final line break included, and when the file is not of lesson id.
QList<QuizQuestion> parseQuizFile(const QString& text, const QString& id, const QString& name);

// A group line of a lesson: the quiz file keeps only questions, so MakeBook writes the
// title rows and group ends beside it ("quizF-L.groups", JSON).
struct QuizGroupLine {
    bool end = false;
    QString title;
};

// The group lines of a lesson's groups file that fill the places between its questions
// (the questions' numbers, ascending) and after the last. Without the file, or with one
// that does not fit, each place before the last question is a group end without a title:
// it opens nothing, and the questions keep their numbers. Throws FsError when the file
// cannot be read.
QMap<int, QuizGroupLine> lessonGroupLines(const QString& groupsPath,
                                          const QList<int>& questionNumbers);

// Writing, as MakeBook does. The file's first line:
QString quizHeadLine(const QString& id, const QString& title);

// A file a question block names, in the order it is written ("img3", "attach", "sound",
// "film", "back") with its copy name in BookTXT.
struct QuizCopyLine {
    QString element;
    QString name;
};

// The block of one question: its text, up to four answers, the mark (0: none), the
// explanation and the copies, each on its own line; a cancelled question's line after the mark.
QString quizBlock(int number, const QString& text, const QStringList& answers, int marked,
                  const QString& explanation, const QList<QuizCopyLine>& copies,
                  bool cancelled = false);

// The groups file's bytes for these group lines (by entry); empty when there are none.
QByteArray groupLinesBytes(const QMap<int, QuizGroupLine>& groups);

// The lenient reading the player's data is made by, for any quiz file the project holds:
// each question block's number and text between its tags, in the order of the numbers, in
// one pass. A block without its closing tag reads as empty and is marked unclosed.
struct QuizBlock {
    int number = 0;
    QString body;
    bool closed = true;
};
QList<QuizBlock> quizBlocks(const QString& text);

// The text of one "\t\t<tag>...</tag>" line of a block; the texts are not escaped, so the
// line's own end is what closes it.
QString quizLine(const QString& block, const QString& tag, bool* found = nullptr);

// A block's answers and mark as that reading finds them: marked is 0 for a question made
// without a mark; scorable when the mark names one of its answers.
struct BlockAnswers {
    QStringList answers;
    int marked = 0;
    bool unmarked = false;
    bool cancelled = false;
    bool scorable() const { return marked >= 1 && marked <= answers.size(); }
};
BlockAnswers blockAnswers(const QString& block);

// A whole block as that reading finds it: the text up to the last closing tag on its line,
// the answers, the mark, the explanation and the copies' names as written (not checked).
QuizQuestion blockQuestion(const QuizBlock& block);

} // namespace tavrin
