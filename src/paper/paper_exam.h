#pragma once

#include "exam/paper_draw.h"

#include <QString>
#include <functional>

namespace tavrin {

class Context;

// What the author chooses for an exam on paper; the window and the command line take the same.
struct PaperChoices {
    PaperScope scope;
    int versions = 1; // 1 to 4: الف ب ج د
    quint32 seed = 1;
    bool shuffleAnswers = true;
    int columns = 1;   // 1 or 2
    int fontSize = 12; // points, 9 to 16
    // The booklet's header; empty lines are left out.
    QString school, className, title, date, teacher;
    int minutes = 0; // 0: not printed
    // Bank questions ("F-L-Q") not to draw: those an analysis doubted the key of.
    QStringList leaveOut;
};
constexpr int kLeastPaperFont = 9, kMostPaperFont = 16;
// A header's field fits its place on the first page; a longer one is refused, never printed
// over the questions.
constexpr int kLongestPaperHeader = 200;
// What one exam may hold: its printing grows with these, and past them it would take many
// minutes or more memory than a school's computer has. Refused in Persian before printing.
constexpr int kMostPaperQuestions = 1000;
constexpr int kLongestPaperQuestion = 20000;      // characters of text, options, explanation
constexpr qint64 kLongestPaperExam = 2000000;     // characters of all its questions
constexpr qint64 kMostPicturePixels = 40000000ll; // 40 megapixels, a large camera's photo

// The choices a command line or the window starts from: the comprehensive exam when the
// project sets one, else the selected field (and lesson); today's date in the Solar Hijri
// calendar; the title and time of the comprehensive exam.
PaperChoices defaultPaperChoices(Context& context, const ScoringSettings& scoring, int field,
                                 int lesson);

// What was written into the output folder.
struct PaperWritten {
    int versions = 0;
    int questions = 0;
    QStringList files; // names, in the order written
    // The questions whose own number or answers' labels were taken off: "F-L-Q: «۱-»، …".
    QStringList labelsTaken;
};

// The files of a paper exam that a folder holds (exam.json, key.pdf, explanations.pdf,
// booklet-N.pdf, sheet-N.pdf), links and broken ones included: an earlier exam is replaced
// only when the author says so.
QStringList paperExamFilesIn(const QString& folder);

// Draws the exam and writes booklet-N.pdf and sheet-N.pdf for each version, key.pdf,
// explanations.pdf and exam.json into outFolder (made when missing; booklets and sheets of
// versions beyond these that an earlier printing recorded are removed, so the folder holds one
// exam; a link among these names is refused). It is printed in the
// folder's own working folder and put in place whole, exam.json last, or not at all. With
// htmlFolder, the pages' HTML is kept there, each beside its PDF's name. Throws NothingToPrint,
// FsError, UnreadableQuiz. Progress is told the number of files done of the total.
PaperWritten writePaperExam(Context& context, const QString& projectPath,
                            const QString& projectTitle, const QString& outFolder,
                            const PaperChoices& choices, const QString& htmlFolder = {},
                            const std::function<void(int done, int total)>& progress = {});
// The same from a bank already read.
PaperWritten writePaperExam(Context& context, const QuestionBank& bank, const QString& outFolder,
                            const PaperChoices& choices, const QString& htmlFolder = {},
                            const std::function<void(int done, int total)>& progress = {});

} // namespace tavrin
