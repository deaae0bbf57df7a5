// One entry point for every benchmark program: an application for the widgets, then the
// benchmarks the command line asks for.
#include <QApplication>
#include <benchmark/benchmark.h>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
