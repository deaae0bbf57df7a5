#pragma once

#include "app/context.h"
#include "support/silent_prompts.h"

#include <QTemporaryDir>

namespace tavrin::bench {

class BenchClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime(QDate(2007, 12, 4), QTime(9, 5)); }
};

// A temporary program folder; the log goes there too, as in use.
struct Program {
    QTemporaryDir dir;
    BenchClock clock;
    test::SilentPrompts prompts;
    SystemRandom random{1};
    Context context{dir.path(), dir.filePath("Vonk.log"), clock, prompts, random};
};

} // namespace tavrin::bench
