#pragma once

#include <QString>

namespace tavrin {

// The browser engine (Qt WebEngine, some 150 MB with its helpers) lives in a module of its own,
// libtavrin_web.so, loaded the first time something prints or previews, so the program
// starts without it. Its two faces, the printer and the view, are pure interfaces the
// module fills; the module links none of the tool's code.

// The module's file: $TAVRIN_WEB_MODULE, beside the program, in ../lib/tavrin beside it, or
// in the build folder it was built in. Empty when none is there.
QString webModulePath();

// The module's entry point by name, loaded on first use and kept for the rest of the run
// (an engine once started is not unloaded). Throws FsError naming the module when it
// cannot be loaded.
using WebModuleEntry = void* (*)();
WebModuleEntry webModuleEntry(const char* name);

// The engine's helper processes, which end after the application object does, waited for
// (a second at most), so none is left behind as a defunct child. Other children are not
// the engine's to reap.
void reapWebHelpers();

} // namespace tavrin
