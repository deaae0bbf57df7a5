#pragma once

#include "exam/item_analysis.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

namespace tavrin {

class Context;

// The report page's data (Resources/report.js): the test's figures, every question with its
// text and figures, the class by rank, the percentages for the histogram.
QJsonObject reportData(const QuestionBank& bank, const Analysis& analysis, const QString& examName,
                       const QString& date);
// The page: the program's scripts and style (from resourcesFolder), the data as a script.
QString reportHtml(const QString& resourcesFolder, const QJsonObject& data);

// The files of an analysis a folder holds: an earlier one is replaced only when asked.
QStringList analysisFilesIn(const QString& folder);

// Writes items.csv, test.csv, students.csv, report.html and report.pdf into outFolder (made
// when missing), made whole in a working folder of its own and then put in place, or not at
// all. Throws FsError. Returns the names written.
QStringList writeAnalysis(Context& context, const QuestionBank& bank, const Analysis& analysis,
                          const QString& examName, const QString& outFolder);

// The whole of it for one exam: the project's bank read, the sheets (in the bank's order, or
// mapped through examFolder's record when given) analysed by the project's rule, written into
// outFolder and remembered in the project. Throws BadSheet (line 0: not a sheet's line),
// FsError, UnreadableQuiz; nothing is written on refusal.
struct AnalysedExam {
    QuestionBank bank;
    Analysis analysis;
    QString name; // the exam's folder's name, or the sheets' file's
};
AnalysedExam analyseExam(Context& context, const QString& project, const QString& examFolder,
                         const QString& answers, const QString& outFolder);

} // namespace tavrin
