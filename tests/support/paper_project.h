#pragma once

#include <QString>

namespace tavrin {
class Context;
}

namespace tavrin::test {

// A project for exams on paper, made in the folder (its files replaced): field 1 "پایه نهم" with a
// lesson of formulas and a lesson with a picture answer and long answers, field 2 "پایه دهم"
// with a lesson holding a cancelled question and a lesson of one question longer than a
// page; each of the first three lessons has `perLesson` questions. The project keeps the
// penalty 1/3, a comprehensive exam of 4 questions from each of those lessons and field 1's
// weight 2.
void makePaperProject(Context& context, const QString& project, int perLesson = 8);

} // namespace tavrin::test
