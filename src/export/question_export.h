#pragma once

#include "interchange/travel_questions.h"

#include <QString>

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

} // namespace tavrin
