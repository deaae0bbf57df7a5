#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <stdexcept>

namespace tavrin {

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

// One question block of a quiz file as MakeBook writes it.
struct QuizQuestion {
    int number = 0; // its place in the lesson's table
    QString text, explanation;
    QStringList answers;               // at most four
    int marked = 0;                    // 1-based; 0 for a question made unmarked
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

} // namespace tavrin
