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

// The ending of the file a format writes: ".gift", ".xml", ".zip".
QString questionsSuffix(QuestionFormat format);
// The path with the format's ending in place of any of the three; the rest stays.
QString withQuestionsSuffix(QString path, QuestionFormat format);

// What writing questions offers first: the narrowest scope chosen (the lesson, else the
// field, else the whole project), GIFT, and a file of the name given (the window gives the
// lesson's, the field's or the project's title; characters no file system takes made "-";
// "questions" without a name) in the export folder when it is one, else in the project's
// folder.
QuestionsOut defaultQuestionsOut(const QString& projectPath, TravelScope chosen,
                                 const QString& exportFolder, const QString& projectName);

// Writes the made questions of the scope in the format (a safe save, or a package put in
// place whole), and logs it. Throws std::invalid_argument when the scope has none (or no
// such field or lesson), FsError when a file cannot be read or written, UnreadableQuiz for a
// quiz file that does not read back.
QuestionsWritten writeQuestions(Context& context, const QuestionsOut& request);

// The format and the kind of scope (lesson, field, project) the questions were last written
// in for a project, laid over the first offer where the selection allows that scope (kept in
// the project's folder, "questions.json", never copied to the CD); the file's name follows.
QuestionsOut rememberedQuestionsOut(const QString& projectPath, QuestionsOut first,
                                    TravelScope selected);
// A safe save; throws FsError.
void rememberQuestionsOut(const QString& projectPath, const QuestionsOut& chosen);

} // namespace tavrin
