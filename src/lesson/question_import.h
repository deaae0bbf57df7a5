#pragma once

#include "interchange/travel_questions.h"

#include <QStringList>

namespace tavrin {

class Context;
struct EntryTable;

// Where imported questions go and what marks them.
struct ImportTarget {
    QString projectPath;
    QString id; // the lesson's book id
    QString checkSnippet, imgSnippet;
};

struct ImportResult {
    int questions = 0;              // entries made
    QList<SkippedQuestion> skipped; // the file's, and those the full table had no room for
    QStringList notes;
};

// Appends a file's questions to the table as entries after its last (a question left open
// is kept as filed): texts, answers one paragraph each with the right one marked, the
// explanation, the pictures as image marks and the attachments; the categories below the
// file's common one as group titles and ends. The pictures and attachments are written into
// BookTXT under the lesson's import names until the lesson is made. Throws FsError when one
// cannot be written.
ImportResult importQuestions(Context& context, EntryTable& table, QStringList& outline,
                             const TravelSet& set, const ImportTarget& target);

} // namespace tavrin
