#pragma once

#include <QString>

namespace tavrin {

class Context;
struct EntryTable;

// The outline line of an entry as the editor rebuilds it: the question cut to 20, the
// answers' and the explanation's plain text cut to 50, then a marker in front for each
// attachment ("§ " file, "~ " sound, "# " film, "^ " background, the last outermost).
QString outlineLineOf(Context& context, const EntryTable& table, int entry);

// Removes an entry: the later ones move down by one, the last filled one becomes empty.
void removeEntry(EntryTable& table, int entry);

} // namespace tavrin
