#pragma once

#include "exam/scoring_settings.h"
#include "store/own_labels.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

namespace tavrin {

class Context;

// What every exam reads of a project: the scoring dialog's counts, the paper exam's draw and
// the answer sheets all come from this one reading, the one the CD player's data is made by
// (lenient: a damaged block reads as what survives of it), so each counts the same questions.

// The one rule for a question an exam can score: made with answers and a mark naming one of
// them. The player's Tavrin.scorable is its twin.
inline bool isScorable(int answers, int marked) {
    return answers > 0 && marked >= 1 && marked <= answers;
}

struct BankQuestion {
    QString id; // "F-L-Q", from 1, as answer sheets name it
    int field = 0;
    int lesson = 0; // place in its field, from 0
    QString text, explanation;
    QStringList answers;
    int marked = 0; // 1-based; 0 without a mark
    bool cancelled = false;
    QMap<int, QString> images; // picture number -> its file's full path
    OwnLabels ownLabels;       // the number and labels the author typed, taken off the text
    bool scorable() const { return isScorable(int(answers.size()), marked); }
};

struct BankLesson {
    QString id; // "F-L", from 0, as the budget names it
    int field = 0;
    int lesson = 0;
    QString title;
    bool made = false;             // it has a quiz file
    QList<BankQuestion> questions; // every block, in quiz order
    QList<int> damaged;            // numbers of blocks whose closing tag is missing
    int scorableCount() const;
};

struct QuestionBank {
    QString title;  // the project's
    QString folder; // the project's folder, which its pictures may not leave
    QStringList fieldTitles;
    QList<BankLesson> lessons; // every lesson of a known field, in list order
    ScoringSettings scoring;
    // A question by its "F-L-Q"; nullptr when there is none.
    const BankQuestion* find(const QString& id) const;
};

// Reads the project's file and its lessons' quiz files. Throws FsError.
QuestionBank readQuestionBank(Context& context, const QString& projectPath,
                              const QString& title = {});

// What a budget may draw: each field's lessons with their scorable questions, in list order.
struct BudgetLesson {
    QString id; // "F-L", from 0
    QString title;
    int questions = 0;
};
struct BudgetField {
    QString title;
    QList<BudgetLesson> lessons;
};
QList<BudgetField> budgetFields(const QuestionBank& bank);

} // namespace tavrin
