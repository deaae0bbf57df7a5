#pragma once

#include "app/context.h"

#include <QTemporaryDir>

namespace tavrin::bench {

class BenchClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime(QDate(2007, 12, 4), QTime(9, 5)); }
};

class SilentPrompts final : public Prompts {
public:
    void notice(const QString&, const QString&) override {}
    bool askYesNo(const QString&, const QString&, Default) override { return true; }
    Answer askYesNoCancel(const QString&, const QString&) override { return Answer::Yes; }
};

// A temporary program folder; the log goes there too, as in use.
struct Program {
    QTemporaryDir dir;
    BenchClock clock;
    SilentPrompts prompts;
    SystemRandom random{1};
    Context context{dir.path(), dir.filePath("Vonk.log"), clock, prompts, random};
};

} // namespace tavrin::bench
