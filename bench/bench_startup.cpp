#include "app/context.h"
#include "mainwin/main_window.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace tavrin;

namespace {

class BenchClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime(QDate(2007, 12, 4), QTime(9, 5)); }
};

class SilentPrompts final : public Prompts {
public:
    void notice(const QString&, const QString&) override {}
    bool askYesNo(const QString&, const QString&) override { return true; }
};

struct Program {
    QTemporaryDir dir;
    BenchClock clock;
    SilentPrompts prompts;
    SystemRandom random{1};
    Context context{dir.path(), dir.filePath("Vonk.log"), clock, prompts, random};
};

// The main window built and loaded, as at every start.
void BM_MainWindowStartup(benchmark::State& state) {
    Program p;
    for (auto _ : state) {
        MainWindow w(p.context);
        benchmark::DoNotOptimize(w.BookConfig());
    }
}
BENCHMARK(BM_MainWindowStartup)->Unit(benchmark::kMillisecond);

// One entry to both log files, as every action writes.
void BM_LogMe(benchmark::State& state) {
    Program p;
    for (auto _ : state)
        p.context.log().LogMe(QStringLiteral("Node Dars2 added."));
}
BENCHMARK(BM_LogMe)->Unit(benchmark::kMicrosecond);

} // namespace
