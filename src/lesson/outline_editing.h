#pragma once

#include <QString>
#include <QStringList>

namespace tavrin {

class Context;
struct EntryTable;

// The outline line of an entry as the editor rebuilds it: the question cut to 20, the
// answers' and the explanation's plain text cut to 50, then a marker in front for each
// attachment ("§ " file, "~ " sound, "# " film, "^ " background, the last outermost).
QString outlineLineOf(Context& context, const EntryTable& table, int entry);

// The outline line of a group title or group end: its marker cut to 20, its title to 50.
QString groupLineOf(const EntryTable& table, int entry);

// What the question editor holds of one entry.
struct EntryFields {
    QString soal, javab, tozih; // question text, answers and explanation (rich text)
    QString attach, sound, film, back;
    bool cancelled = false;
};
// Writes the fields into the entry and its outline line.
void saveEntry(Context& context, EntryTable& table, QStringList& outline, int entry,
               const EntryFields& fields);

// Removes an entry: the later ones move down by one, the last filled one becomes empty.
void removeEntry(EntryTable& table, int entry);

// Removes an entry with its outline line and keeps the counters true: a filed entry lowers
// the count; the open question has no place in the count yet, so removing it closes it and
// the next question is filed where it stood, not over a finished one.
void removeFiledEntry(EntryTable& table, QStringList& outline, int entry);

} // namespace tavrin
