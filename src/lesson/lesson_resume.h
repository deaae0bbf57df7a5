#pragma once

#include "lesson/entry_table.h"
#include "lesson/lesson_draft.h"

#include <QStringList>
#include <optional>

namespace tavrin {

class Context;

// The entries a lesson's formatter starts with, and whether they are still to be made.
struct ResumedLesson {
    EntryTable table;
    QStringList outline;
    bool fromDraft = false;
    Draft::Box box; // a draft's lesson box; empty otherwise
};

// The draft an earlier session left, when the author goes on from it (asked, Yes first; No
// removes it). A draft that does not read is put aside and told. Nothing otherwise.
std::optional<ResumedLesson> resumeDraft(Context& context, const QString& projectPath,
                                         const QString& id);

// The made lesson's entries back from its quiz file; nothing when it has none. A quiz file
// that does not read back is told, and the lesson starts empty.
std::optional<ResumedLesson> reopenLesson(Context& context, const QString& projectPath,
                                          const QString& id, const QString& checkSnippet,
                                          const QString& imgSnippet);

} // namespace tavrin
