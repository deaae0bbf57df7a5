#pragma once

#include "exam/item_analysis.h"

#include <QDateTime>
#include <QMap>
#include <QString>
#include <optional>

namespace tavrin {

// What the project remembers of its questions' exams: each analysed exam's figures per
// question in a small file of its own under the project's Analysis folder (never exported,
// never in a quiz file), replaced when the same exam is analysed again.

// The folder and the file of one exam, named by its key (a digest of what identifies it).
QString analysisFolder(const QString& projectFolder);
QString analysisFilePath(const QString& projectFolder, const QString& examKey);
// A short digest of the bytes that identify an exam: its record, or its sheets.
QString examKey(const QByteArray& identifying);

// Writes the exam's figures safely. Throws FsError.
void rememberAnalysis(const QString& projectFolder, const QString& examKey, const QString& examName,
                      const QDateTime& when, const Analysis& analysis);

struct QuestionHistory {
    int exams = 0;
    double facility = 0;                  // mean over its exams, percent
    std::optional<double> discrimination; // mean over the exams that define it
    bool wrongKey = false;                // flagged so in its latest exam
};
// Every question's history, by "F-L-Q"; files that do not read are passed over.
QMap<QString, QuestionHistory> questionHistory(const QString& projectFolder);

class Context;
// The history of the lesson's question whose text (as its quiz file holds it) is this one;
// nothing when the project has analysed no exam of it. Lesson and field from 0.
std::optional<QuestionHistory> historyOfQuestion(Context& context, const QString& projectFolder,
                                                 int field, int lesson, const QString& text);

// "دشواری ۶۲٪ · تمیز ۰٫۳۸ · ۲ آزمون", Persian digits.
QString historyText(const QuestionHistory& history);

} // namespace tavrin
