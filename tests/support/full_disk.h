#pragma once

// A disk that fills, played by a limit on how large a file may grow (root is held to it
// too): in a child process, or around a step of this one.
#include <QtGlobal>
#include <functional>

namespace tavrin::test {

// Runs the step in a child whose files may grow no larger than limit bytes; the step's own
// checks give the child's exit code, 100 when it did not exit.
int underFileSizeLimit(qint64 limit, const std::function<int()>& step);

// Files held to limit bytes from now on in this process, a write past it failing; a negative
// limit lifts it.
void limitFileSize(qint64 limit);

} // namespace tavrin::test
