#pragma once

#include <QList>
#include <QString>

namespace tavrin {

class Context;

// A lesson of a project file, by its 0-based field and lesson positions.
struct LessonRef {
    int field = 0;
    int lesson = 0;
    QString title;
    // The book id its files are named by: "1-3".
    QString id() const { return QStringLiteral("%1-%2").arg(field).arg(lesson); }
};

// Every lesson of a project file's text, field by field, in list order; an empty text has
// none. A damaged file (a count missing or out of range) throws FsError.
QList<LessonRef> projectLessons(Context& context, const QString& projectText);
// The fields' titles of a project file's text, in list order. Throws FsError as above.
QStringList projectFieldTitles(Context& context, const QString& projectText);

// What a delete does to the book ids: the removed lesson's (or field's) ids go, the later
// ones of the same field (or the later fields) move down by one. lesson -1: a whole field.
struct Renumbering {
    int field = 0;
    int lesson = -1;
    // The new position of a lesson, or false when it goes.
    bool apply(int& f, int& l) const;
};

// Writes the project file's new text and makes the lessons' files follow it: quiz files,
// their lines in BookTitle.xml, the copies in BookTXT and the names inside the quiz files;
// a removed lesson's files go. One step that a kill cannot leave half done: every new file
// is made first beside the project, then a plan is committed, then the plan is carried out
// (again, after a kill, by finishSwitch). Throws FsError; before the plan nothing changed.
void switchLessonFiles(Context& context, const QString& projectPath, const QString& projectText,
                       const Renumbering& renumbering);

// Finishes a switch whose plan was committed, or throws away one that was not. True when
// there was one.
bool finishSwitch(Context& context, const QString& projectPath);

// The files in BookTXT a made lesson owns: those its quiz file names and its image copies
// ("quizF-L-…"), by name. None when it has no quiz file.
QStringList lessonCopies(const QString& projectPath, const QString& id);

// Removes the working files a kill left in a project's folders (the project file's, _xml,
// BookTXT, FlashIMG), each named in the log.
void removeLeftovers(Context& context, const QString& projectPath);

} // namespace tavrin
