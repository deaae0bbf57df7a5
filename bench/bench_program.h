#pragma once

#include "app/context.h"
#include "support/silent_prompts.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <functional>

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

// How long some work takes, in seconds.
inline double secondsOf(const std::function<void()>& work) {
    QElapsedTimer t;
    t.start();
    work();
    return double(t.nsecsElapsed()) / 1e9;
}

// Runs a program to its end, and gives what it printed; a failure ends the benchmark.
inline QString run(const QString& program, const QStringList& arguments) {
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        qFatal("%s failed: %s", qPrintable(program), p.readAllStandardError().constData());
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace tavrin::bench
