#pragma once

#include "export/travel_questions.h"

#include <QStringList>
#include <cstdio>

namespace tavrin {

class Context;

enum class QuestionFormat { Gift, Moodle, Scorm };

struct QuestionsOut {
    QString projectPath;
    TravelScope scope;
    QuestionFormat format = QuestionFormat::Gift;
    QString out;
    bool scoPerLesson = true; // SCORM
    int passMark = 50;        // SCORM, percent
};

struct QuestionsWritten {
    int questions = 0; // GIFT and Moodle XML
    int lessons = 0;   // SCORM
    int leftOut = 0;   // GIFT: questions whose pictures or attachments could not go
};

// Writes the made questions of the scope in the format (a safe save, or a package put in
// place whole), and logs it. Throws std::invalid_argument when the scope has none (or no
// such field or lesson), FsError when a file cannot be read or written, UnreadableQuiz for a
// quiz file that does not read back.
QuestionsWritten writeQuestions(Context& context, const QuestionsOut& request);

// A GIFT or Moodle XML file's questions; the format by its content (XML starts with "<").
// Throws std::invalid_argument for a file of neither, FsError when it cannot be read.
TravelSet readQuestionsFile(const QString& path);

// "tavrin export-questions --project FOLDER [--field N [--lesson N]]
// --format gift|moodle|scorm --out PATH [--pass-mark P] [--one-sco]": the made questions of
// the project, a field or a lesson (numbers 1-based) as a GIFT file, a Moodle XML file or a
// SCORM 1.2 package. Exit 0 when written, 1 on bad input (the reason on err), 2 when a file
// cannot be read or written.
int exportQuestionsCommand(Context& context, const QStringList& arguments, std::FILE* out,
                           std::FILE* err);

// "tavrin import-questions --project FOLDER --field N --lesson N --format gift|moodle
// [--replace] FILE": the file's questions made into the lesson's quiz file as the formatter
// makes it; a lesson that has a quiz file (or unmade work) is refused without --replace.
// Skipped questions are listed on err. Exit codes as above.
int importQuestionsCommand(Context& context, const QStringList& arguments, std::FILE* out,
                           std::FILE* err);

} // namespace tavrin
