#pragma once

#include "exam/scoring_settings.h"
#include "store/lesson_files.h"
#include "store/project_settings.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <optional>

namespace tavrin {

class Context;

// The scoring the player follows when the project keeps any: the rule, the comprehensive
// exam, the fields' titles and weights. A project without it gets the data it always had.
struct PlayerScoring {
    ScoringSettings settings;
    QStringList fieldTitles;
};
PlayerScoring playerScoring(Context& context, const QString& projectText);

// The data the CD player reads: a page opened from a disc may not read the files beside
// it, so the export writes one script, Data/quizdata.js, holding the lesson index, every
// quiz, the settings and the media file names, read from the exported files as the tool
// wrote them. Text goes in as JSON escaped for a script, so no text can end the script.
// The lessons are those of the project file that have a quiz file in the export, in their
// order and under their current titles. The exam settings come from the project's file.
// dataFolder holds _xml, BookTXT and FlashIMG: an export's Data folder, or a project's own
// folder (a project's folders are laid out as the CD's Data). A pass mark is given to a
// player that reports to a learning platform.
// An object as JSON that is safe inside a script element and in any script parser.
QString scriptJson(const QJsonObject& object);

QString quizDataScript(Context& context, const QString& dataFolder, const QList<LessonRef>& lessons,
                       const ExamSettings& exam = {},
                       const std::optional<int>& passMark = std::nullopt,
                       const QString& projectTitle = {}, const PlayerScoring& scoring = {});

// The script an export's Data folder gets from the project as it stands (throws FsError).
QByteArray quizDataFor(Context& context, const QString& dataFolder, const QString& projectPath);

// Writes it into the export folder's Data folder, with the lessons and the title of the
// project's file (throws FsError).
void writeQuizData(Context& context, const QString& exportFolder, const QString& projectPath);

// The project's title an export's player data carries; empty for an export made before the
// title was kept there, or one whose data cannot be read. The disc's label comes from it.
QString exportTitle(const QString& exportFolder);

} // namespace tavrin
