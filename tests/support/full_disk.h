#pragma once

// A disk that fills, played by a limit on how large a file may grow (root is held to it
// too): in a child process, or around a step of this one.
#include <QtGlobal>
#include <functional>

namespace tavrin::test {

// Runs the step in a child whose files may grow no larger than limit bytes; the step's own
// checks give the child's exit code, 100 when it did not exit.
int underFileSizeLimit(qint64 limit, const std::function<int()>& step);

// Runs the step here with files held to limit bytes, the limit lifted after it.
void withFileSizeLimit(qint64 limit, const std::function<void()>& step);

} // namespace tavrin::test
