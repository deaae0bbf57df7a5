#include "bench_program.h"
#include "mainwin/main_window.h"

#include <benchmark/benchmark.h>

using namespace tavrin;
using tavrin::bench::Program;

namespace {

// The main window built and loaded, as at every start.
void BM_MainWindowStartup(benchmark::State& state) {
    Program p;
    for (auto _ : state) {
        MainWindow w(p.context);
        benchmark::DoNotOptimize(w.bookConfig());
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
