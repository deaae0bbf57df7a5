#pragma once

#include <QString>

namespace tavrin {

// What the windows share: the selected project, field and lesson, the project's folder, the
// input texts folder and the book made last. The main window keeps it current; the formatter and
// the question editor read it when they need it. No widgets here.
struct Session {
    QString projectPath;
    QString inputFolder;
    int fieldIndex = -1; // rows of the field and lesson lists, -1 when none is selected
    int lessonIndex = -1;
    QString fieldTitle;
    QString lessonTitle;
    QString bookId; // "1-3", set when a quiz file is made
};

} // namespace tavrin
