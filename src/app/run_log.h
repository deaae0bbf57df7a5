#pragma once

namespace tavrin {

class Context;

// The entries that open and close a run: the separator and "Tavrin v1.1.90 started.",
// then "Moxaly ended.".
void logRunStart(Context& context);
void logRunEnd(Context& context);

} // namespace tavrin
