#pragma once

#include <QString>
#include <QStringList>

namespace tavrin {

// The label an answer starts with ("الف)", "ب-", "a.", "1)", "۲:"), its blanks included;
// empty when it has none.
QString answerLabel(const QString& answer);

// The number a question's text starts with ("۱- ", "12)", "3.", "۴ -"), its blanks included;
// empty when it has none. A number that goes on ("1.5 برابر", "2-methyl") is text.
QString questionNumber(const QString& text);

// What a question's own text numbered and lettered, taken off where the tool numbers its
// questions and letters its answers itself (and may shuffle them): its number, and its
// answers' labels when every answer carries one (a lone "1)" among plain answers is text).
struct OwnLabels {
    QString number;     // as it was typed, blanks trimmed
    QStringList labels; // one an answer, in the stored order; empty when none was taken
    bool any() const { return !number.isEmpty() || !labels.isEmpty(); }
};
OwnLabels takeOwnLabels(QString& text, QStringList& answers);

// What was taken, in Persian for the author: «۱-» and «الف)»، «ب)»... each as typed.
QString ownLabelsText(const OwnLabels& taken);

} // namespace tavrin
