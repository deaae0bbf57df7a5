#pragma once

#include <QString>

namespace tavrin {

class Context;

// The data the CD player reads: a page opened from a disc may not read the files beside
// it, so the export writes one script, Data/quizdata.js, holding the lesson index, every
// quiz, the settings and the media file names, read from the exported files as the tool
// wrote them. Text goes in as JSON escaped for a script, so no text can end the script.
QString quizDataScript(Context& context, const QString& exportFolder);

// Writes it into the export folder's Data folder (throws FsError).
void writeQuizData(Context& context, const QString& exportFolder);

} // namespace tavrin
