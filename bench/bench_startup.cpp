#include "bench_program.h"
#include "mainwin/main_window.h"
#include "platform/text_file.h"

#include <QFileInfo>
#include <QListWidget>
#include <benchmark/benchmark.h>

using namespace tavrin;
using tavrin::bench::Program;

namespace {

// The main window built and loaded, as at every start.
void BM_MainWindowStartup(benchmark::State& state) {
    Program p;
    saveUtf16File(
        p.dir.filePath("Projects.xml"),
        QStringLiteral(u"<Projects>\r\n\t<Count Adad=\"2\">\r\n"
                       u"\t<Proj1 Name=\"یک\" Path=\"a\" DateCreated=\"1386/9/13 9:05\">\r\n"
                       u"\t<Proj2 Name=\"دو\" Path=\"b\" DateCreated=\"1386/9/13 9:05\">\r\n"
                       u"</Projects>\r\n"));
    for (auto _ : state) {
        MainWindow w(p.context);
        state.PauseTiming();
        const auto* projects = w.findChild<QListWidget*>(QStringLiteral("ProjB"));
        if (!projects || projects->count() != 4) // two rows of its own
            qFatal("the window did not start with the catalogue listed");
        state.ResumeTiming();
    }
}
BENCHMARK(BM_MainWindowStartup)->UseRealTime()->Unit(benchmark::kMillisecond);

// One entry to both log files, as every action writes.
void BM_LogMe(benchmark::State& state) {
    Program p;
    const qint64 before = QFileInfo(p.dir.filePath("Vonk.log")).size();
    for (auto _ : state)
        p.context.log().LogMe(QStringLiteral("Node Dars2 added."));
    const qint64 entry = qint64(sizeof("Node Dars2 added.\r\n")) - 1;
    if (QFileInfo(p.dir.filePath("Vonk.log")).size() - before < state.iterations() * entry)
        qFatal("not every entry reached the log");
}
BENCHMARK(BM_LogMe)->UseRealTime()->Unit(benchmark::kMicrosecond);

} // namespace
