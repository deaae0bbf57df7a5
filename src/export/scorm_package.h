#pragma once

#include "interchange/travel_questions.h"

#include <QDateTime>
#include <QString>

namespace tavrin {

class Context;

struct ScormRequest {
    QString projectPath;
    TravelScope scope;
    bool scoPerLesson = true; // one SCO a lesson, or one for all the chosen lessons
    int passMark = 50;        // percent
    QString out;              // the .zip to write
};

// A SCORM 1.2 package: the CD player (from the program's Resources) with the chosen lessons'
// data, their pictures and attachments and the project's background and music, and an
// imsmanifest.xml. The player reports to the platform's SCORM 1.2 API when it finds one.
// Written under a working name and put in place whole. Returns the number of lessons; throws
// FsError when a file cannot be read or written, and std::invalid_argument when the scope
// has no made lesson.
int makeScormPackage(Context& context, const ScormRequest& request);

// The manifest of such a package: its identifier, lessons' titles, one item a lesson (or one
// for all), every file the package holds. It names the schemas the package carries beside it.
QByteArray scormManifest(const QString& identifier, const QString& title,
                         const QStringList& lessonTitles, bool scoPerLesson, int passMark,
                         const QStringList& files);

// A package's identifier, from its lessons (their ids), its shape and when it was made: a
// platform takes two packages with the same one for one and the same.
QString scormIdentifier(const QStringList& lessonIds, bool scoPerLesson, const QDateTime& made);

} // namespace tavrin
