#include "bench_program.h"
#include "mainwin/main_window.h"
#include "platform/text_file.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QListWidget>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
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

// The whole start of the program as a person waits for it: from starting the process to its
// main window first on screen (the dynamic loading of every library it links included),
// paired in each repetition with a bare Qt window started the same way. The browser engine
// is not loaded at start-up: the figure would grow by the engine's loading otherwise.
struct Started {
    double ms = 0;
    double rssMib = 0;
};
Started startAndWaitShown(const QString& program, const QStringList& arguments = {}) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TAVRIN_QUIT_WHEN_SHOWN"), QStringLiteral("1"));
    process.setProcessEnvironment(env);
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    QByteArray said;
    while (!said.contains('\n') && process.waitForReadyRead(30000))
        said += process.readAllStandardOutput();
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    if (!said.startsWith("shown "))
        qFatal("%s did not show its window: %s %s", qPrintable(program), said.constData(),
               process.readAllStandardError().constData());
    process.waitForFinished(30000);
    return {ms, said.mid(6).trimmed().toDouble() / 1024.0};
}

void BM_ProgramStartup(benchmark::State& state) {
    // A program folder of its own, so no other run of the tool holds its lock.
    QTemporaryDir folder;
    const QString built = QFileInfo(QStringLiteral(TAVRIN_BINARY)).absolutePath();
    if (QProcess::execute(QStringLiteral("cp"),
                          {QStringLiteral("-r"), built + QStringLiteral("/Resources"),
                           built + QStringLiteral("/tavrin"),
                           built + QStringLiteral("/libtavrin_web.so"),
                           built + QStringLiteral("/libtavrin_omr.so"), folder.path()}) != 0)
        qFatal("the program folder was not copied");
    const QString tavrin = folder.filePath(QStringLiteral("tavrin"));
    QList<double> ratios, textRatios, peers, textPeers;
    Started tool, peer, text;
    for (auto _ : state) {
        tool = startAndWaitShown(tavrin);
        state.PauseTiming();
        peer = startAndWaitShown(QStringLiteral(BARE_WINDOW));
        text = startAndWaitShown(QStringLiteral(BARE_WINDOW), {QStringLiteral("--persian")});
        ratios.append(tool.ms / peer.ms);
        textRatios.append(tool.ms / text.ms);
        peers.append(peer.ms);
        textPeers.append(text.ms);
        state.ResumeTiming();
    }
    const auto median = [](QList<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    state.counters["bare_ms"] = median(peers);
    state.counters["ratio"] = median(ratios);
    state.counters["persian_ms"] = median(textPeers);
    state.counters["ratio_persian"] = median(textRatios);
    state.counters["tool_MiB"] = tool.rssMib;
    state.counters["bare_MiB"] = peer.rssMib;
}
BENCHMARK(BM_ProgramStartup)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
