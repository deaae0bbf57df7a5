#pragma once

#include <QString>

namespace tavrin {

// Where the program works. The build's portable folder holds Resources beside the program:
// that folder. Installed (the program in <prefix>/bin, its data in <prefix>/share/tavrin),
// the user's own data folder, $XDG_DATA_HOME/Tavrin (~/.local/share/Tavrin): made on the
// first start and seeded from the shared data with what it lacks (the catalogue with the
// sample, Resources, Zar); the user's files are never overwritten.
QString programFolderFor(const QString& executableFolder);

} // namespace tavrin
