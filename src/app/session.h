#pragma once

#include <QString>

namespace tavrin {

// What the windows share: the selected project, field and lesson, the project's folder and
// the input texts folder. The main window keeps it current; the formatter and the question
// editor read it when they need it. No widgets here.
struct Session {
    QString projectPath;
    QString inputFolder;
    int fieldIndex = -1; // rows of the field and lesson lists, -1 when none is selected
    int lessonIndex = -1;
    QString fieldTitle;
    QString lessonTitle;
};

} // namespace tavrin
