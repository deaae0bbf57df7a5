#pragma once

#include <QString>

namespace tavrin {

// "\" on Windows, "/" elsewhere.
QChar nativeSeparator();

// The main window's rule: a separator is added when the path is longer than one
// character and does not already end with one.
QString DoSlash(const QString& path);

// The formatter's and help viewer's rule: a separator is added to any path not ending
// with one; an empty path is a failure (FsError).
QString DoSlashStrict(const QString& path);

// Relative paths in shipped data are written with "\"; they are read with either
// separator on every system.
QString fromStoredPath(const QString& path);

// The platform's rule for a path that does not depend on the current folder.
bool isAbsolutePath(const QString& path);

// A file name a data file may give for a file beside it: no separator, nothing that climbs
// or hides ("..", a leading "."), not empty.
bool isPlainFileName(const QString& name);

// True when the path, once "..", symbolic links and other spellings are resolved, is the
// folder itself or lies below it. Parts that do not exist yet are taken as written.
bool isInside(const QString& path, const QString& folder);

} // namespace tavrin
