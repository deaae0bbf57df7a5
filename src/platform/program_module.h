#pragma once

#include <QString>

namespace tavrin {

// A shared library of the program's own, loaded only when its work is first asked for, so the
// program starts without the libraries it links.

// The module's file: where the environment variable `variable` names it, beside the program,
// in ../lib/tavrin beside it (as installed), or `built` (the build folder it was built in).
// Empty when none is there.
QString programModulePath(const QString& file, const char* variable, const QString& built);

// An entry point of the module at `path`, loaded on first use and kept for the rest of the
// run. `what` names the module in the FsError thrown when it is missing or cannot be loaded.
using ModuleEntry = void* (*)();
ModuleEntry programModuleEntry(const QString& path, const char* name, const QString& what);

} // namespace tavrin
