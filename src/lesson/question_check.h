#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace tavrin {

class Context;
struct EntryTable;

// The answer lines the quiz file takes from an answers text: its plain text split at CR LF.
QStringList answerLines(Context& context, const QString& answersRtf);

// An answers text read once: its lines, and the 1-based number of the one that starts with
// the correct-answer mark's picture (0: none). A text that cannot be read is reported (67)
// and has no lines.
struct AnswersRead {
    QStringList lines;
    int marked = 0;
};
AnswersRead readAnswers(Context& context, const QString& answersRtf, const QByteArray& mark);
// The same for every question of the table, by entry (group lines have none).
QList<AnswersRead> readAllAnswers(Context& context, const EntryTable& table,
                                  const QByteArray& mark);
// True when a line after the fourth holds text: the quiz file keeps only four.
bool moreThanFourAnswers(const QStringList& lines);

// A question the CD would play wrong: no answers, no correct-answer mark, or answers the
// quiz file cannot hold; or, a note only, one without an explanation.
struct QuestionGap {
    int number = 0;     // 1-based, counting questions only, as the player numbers them
    QString firstWords; // the start of its text
    bool noAnswers = false;
    bool noMark = false;
    bool tooMany = false;
    bool noExplanation = false;
    // Asked about before the quiz file is made; a missing explanation is only said.
    bool blocks() const { return noAnswers || noMark || tooMany; }
};
QList<QuestionGap> incompleteQuestions(Context& context, const EntryTable& table,
                                       const QByteArray& mark);
QList<QuestionGap> incompleteQuestions(Context& context, const EntryTable& table,
                                       const QList<AnswersRead>& answers);
// The Yes/No question that lists them before the quiz file is written.
QString incompleteQuestionsText(const QList<QuestionGap>& gaps);
// The note on the made notice naming the questions without an explanation; empty if none.
QString missingExplanationsLine(const QList<QuestionGap>& gaps);

} // namespace tavrin
