// The CD export and the disc image against the system's own tools, on the same disk, each
// repetition doing the tool's work and then the peer's (interleaved, wall time):
// - the export of a project of N files by the shipped script with the shipped player, until
//   "Export N" is whole, checked and flushed, against "cp -r" of the same files and "sync";
// - the disc image of a 1 GB export made and read back, against xorriso making one of the
//   same folder with Joliet and Rock Ridge, "sync", and its "-compare_r" of image and folder.
// Every run checks that the work it timed succeeded: an export or an image that did not end
// whole stops the program, as its time would not be the work's.
// Strace/*: the export alone, and the tree alone, for counting system calls per file
// ("strace -c -f" of each, the difference divided by the files).
#include "bench_program.h"
#include "export/cd_export.h"
#include "export/disc_image.h"
#include "export/output_folders.h"
#include "support/shipped_resources.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <benchmark/benchmark.h>

using namespace tavrin;
using tavrin::bench::Program;

namespace {

// A program folder with the shipped Resources and player, and a project of n files of the
// given size in one lesson-text folder.
struct ExportProgram {
    Program p;
    QString project, target;
    int files;
    qint64 size;
    ExportProgram(int n, qint64 bytesEach) : files(n), size(bytesEach) {
        const QDir app(p.dir.path());
        test::copyResourcesFrom(QStringLiteral(TAVRIN_SOURCE), app.path());
        project = app.filePath(QStringLiteral("Project 1"));
        app.mkpath(QStringLiteral("Project 1"));
        MakeDirs(p.context, project, QStringLiteral("BookTXT"), QStringLiteral("_xml"));
        target = app.filePath(QStringLiteral("out"));
        app.mkpath(QStringLiteral("out"));
        QByteArray bytes(size, '\0');
        for (qsizetype i = 0; i < bytes.size(); ++i)
            bytes[i] = char((i * 131) >> 7);
        for (int i = 0; i < files; ++i) {
            QFile f(project + QStringLiteral("/BookTXT/page%1.bin").arg(i));
            if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != size)
                qFatal("the project could not be written");
        }
        sh(QStringLiteral("sync"));
    }
    static QString sh(const QString& command, const QStringList& args = {}) {
        QProcess run;
        run.setProcessChannelMode(QProcess::MergedChannels);
        run.start(QStringLiteral("sh"), QStringList{QStringLiteral("-c"), command} + args);
        if (!run.waitForFinished(-1) || run.exitStatus() != QProcess::NormalExit ||
            run.exitCode() != 0)
            qFatal("%s failed", qPrintable(command));
        return QString::fromLocal8Bit(run.readAll());
    }
    ExportResult exportNow() {
        ExportRequest request;
        request.target = target;
        request.projectPath = project;
        return ExportAll(p.context, request);
    }
    // The export ended with message 29 and holds the player, its data and every file whole.
    void checkWhole(const ExportResult& result) const {
        const QDir out(result.folder);
        const QDir pages(out.filePath(QStringLiteral("Data/BookTXT")));
        bool whole = result.outcome == ExportOutcome::Exported &&
                     out.exists(QStringLiteral("index.html")) &&
                     out.exists(QStringLiteral("Data/quizdata.js")) &&
                     pages.entryList(QDir::Files).size() == files;
        for (int i = 0; whole && i < files; i += std::max(1, files / 50))
            whole = QFileInfo(pages.filePath(QStringLiteral("page%1.bin").arg(i))).size() == size;
        if (!whole)
            qFatal(
                "the export did not end whole (outcome %d, folder %s): its time is not an export's",
                int(result.outcome), qPrintable(result.folder));
    }
    void emptyTarget() const {
        QDir(target).removeRecursively();
        QDir().mkpath(target);
        sh(QStringLiteral("sync"));
    }
};

double secondsOf(const std::function<void()>& work) {
    QElapsedTimer clock;
    clock.start();
    work();
    return double(clock.nsecsElapsed()) / 1e9;
}

// The export, then cp -r and sync of the same files; the counters are the peer's time and
// the ratio, tool / peer.
void BM_Export(benchmark::State& state) {
    ExportProgram g(int(state.range(0)), state.range(1) << 10);
    for (auto _ : state) {
        ExportResult result;
        const double tool = secondsOf([&] { result = g.exportNow(); });
        g.checkWhole(result);
        g.emptyTarget();
        const double peer = secondsOf([&] {
            ExportProgram::sh(QStringLiteral("cp -r \"$0/BookTXT\" \"$1/copy\" && sync"),
                              {g.project, g.target});
        });
        if (QDir(g.target + QStringLiteral("/copy")).entryList(QDir::Files).size() != g.files)
            qFatal("cp did not copy every file");
        g.emptyTarget();
        state.SetIterationTime(tool);
        state.counters["peer_ms"] = peer * 1e3;
        state.counters["ratio"] = tool / peer;
    }
    state.SetBytesProcessed(state.iterations() * state.range(0) * g.size);
}

// The disc image of an export of N files of 5 MB and its read-back, then xorriso's image
// and compare of the same folder.
void BM_DiscImage(benchmark::State& state) {
    ExportProgram g(int(state.range(0)), 5 << 20);
    const ExportResult exported = g.exportNow();
    g.checkWhole(exported);
    const QString iso = g.p.dir.filePath(QStringLiteral("cd.iso"));
    for (auto _ : state) {
        ImageResult image;
        const double made = secondsOf([&] {
            image = makeDiscImage(exported.folder, iso, QStringLiteral("BENCH"), {}, false);
        });
        QString differs;
        const double readBack = secondsOf([&] { differs = compareImage(iso, exported.folder); });
        if (image.outcome != ImageOutcome::Made || !differs.isEmpty())
            qFatal("the image was not made whole: %s %s", qPrintable(image.description),
                   qPrintable(differs));
        QFile::remove(iso);
        ExportProgram::sh(QStringLiteral("sync"));
        const double peerMade = secondsOf([&] {
            ExportProgram::sh(QStringLiteral("xorriso -as mkisofs -quiet -J -R -o \"$1\" \"$0\" "
                                             "&& sync"),
                              {exported.folder, iso});
        });
        QString said;
        const double peerCompare = secondsOf([&] {
            said = ExportProgram::sh(QStringLiteral("xorriso -indev \"$1\" -compare_r \"$0\" /"),
                                     {exported.folder, iso});
        });
        if (!said.contains(QStringLiteral("Both file objects match")))
            qFatal("xorriso did not find the image the same: %s", qPrintable(said));
        QFile::remove(iso);
        ExportProgram::sh(QStringLiteral("sync"));
        state.SetIterationTime(made + readBack);
        state.counters["image_ms"] = made * 1e3;
        state.counters["read_back_ms"] = readBack * 1e3;
        state.counters["peer_image_ms"] = peerMade * 1e3;
        state.counters["peer_compare_ms"] = peerCompare * 1e3;
        state.counters["read_back_ratio"] = readBack / peerCompare;
        state.counters["ratio"] = (made + readBack) / (peerMade + peerCompare);
    }
    state.SetBytesProcessed(state.iterations() * state.range(0) * (5 << 20));
}

// For strace: the tree and one export of it; and the tree alone.
void BM_StraceExport(benchmark::State& state) {
    ExportProgram g(int(state.range(0)), state.range(1) << 10);
    for (auto _ : state)
        g.checkWhole(g.exportNow());
}

void BM_StraceTree(benchmark::State& state) {
    for (auto _ : state) {
        ExportProgram g(int(state.range(0)), state.range(1) << 10);
        if (QDir(g.project + QStringLiteral("/BookTXT")).entryList(QDir::Files).size() != g.files)
            qFatal("the tree was not made");
    }
}

} // namespace

BENCHMARK(BM_Export)
    ->Args({20000, 20})
    ->Args({200, 5120})
    ->Args({4, 5120})
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DiscImage)
    ->Arg(200)
    ->Arg(4)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StraceExport)->Args({20000, 20})->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StraceTree)->Args({20000, 20})->Iterations(1)->Unit(benchmark::kMillisecond);
