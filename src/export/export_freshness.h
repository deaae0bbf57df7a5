#pragma once

#include <QString>
#include <QStringList>

namespace tavrin {

class Context;

// What the project holds now that an export made of it does not: each file of a folder the
// export script copies that was added or changed since (as "_xml/quiz1-1.xml"), and
// "Data/quizdata.js" when the player's data the project gives now (lessons, titles, settings)
// differs from the export's. Empty when the export is the project as it stands, or when the
// script cannot be read (the export itself says why). Reads only.
QStringList exportChanges(Context& context, const QString& exportFolder,
                          const QString& projectPath);

} // namespace tavrin
