#pragma once

#include "exam/question_bank.h"

#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <stdexcept>

namespace tavrin {

class Context;

// Which questions a paper exam asks: the comprehensive exam's budget, one field, or one
// lesson (field and lesson from 0).
struct PaperScope {
    enum class Kind { Budget, Field, Lesson };
    Kind kind = Kind::Budget;
    int field = 0;
    int lesson = 0;
    friend bool operator==(const PaperScope&, const PaperScope&) = default;
};

// One printed version: question k is the bank's order[k] (an index into PaperExam::questions)
// and its printed option j is that question's answer options[k][j] (1-based, quiz order).
struct PaperVersion {
    QList<int> order;
    QList<QList<int>> options;
};
struct PaperExam {
    QList<BankQuestion> questions; // the drawn set, in bank order
    QList<PaperVersion> versions;
    quint32 seed = 0;
};

// Nothing to print: the scope holds no scorable question, or a budget is not set.
class NothingToPrint : public std::runtime_error {
public:
    NothingToPrint(QString why, QString persian)
        : std::runtime_error("nothing to print"), why_(std::move(why)),
          persian_(std::move(persian)) {}
    const QString& why() const { return why_; }         // for the log and the command line
    const QString& persian() const { return persian_; } // for the window

private:
    QString why_, persian_;
};

// The draw, of the bank's scorable questions: version 1 is what the player draws for this seed (the
// budget lesson by lesson, each field's questions shuffled together, fields in order; one field or
// lesson shuffled whole), the later versions the same questions reshuffled within their fields.
// Answers are shuffled within a question only when asked. Throws NothingToPrint.
PaperExam drawPaperExam(const QuestionBank& bank, const PaperScope& scope, int versions,
                        quint32 seed, bool shuffleAnswers);

constexpr int kMostPaperVersions = 4;
// The versions' names as printed: الف ب ج د.
QString versionName(int version); // from 1

// exam.json: what scoring the paper needs. {"project", "seed", "versions": [{"name",
// "questions": [{"bank": "F-L-Q", "options": [bank answer of printed option 1, …]}]}]}.
QJsonObject examRecord(const PaperExam& exam, const QString& projectTitle);

} // namespace tavrin
