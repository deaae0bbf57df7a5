// The CD export against the system's own copying, on the same disk in one run: a project of
// N files of 5 MB (20 make 100 MB, 200 make 1 GB) exported by the shipped script with the
// shipped player, against "cp -r" of the same folder followed by "sync", and against "dd" of
// one file of the same size with a flush (the disk's own limit). An export that does not end
// whole stops the program: its time would not be an export's. Then the disc image of a 1 GB
// export, made and read back, against xorriso's image and compare of the same folder.
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

constexpr qint64 kFileSize = 5 << 20;

// A program folder with the shipped Resources and player, and a project of n files.
struct ExportProgram {
    Program p;
    QString project, target;
    int files;
    explicit ExportProgram(int n) : files(n) {
        const QDir app(p.dir.path());
        test::copyResourcesFrom(QStringLiteral(TAVRIN_SOURCE), app.path());
        project = app.filePath(QStringLiteral("Project 1"));
        app.mkpath(QStringLiteral("Project 1"));
        MakeDirs(p.context, project, QStringLiteral("BookTXT"), QStringLiteral("_xml"));
        target = app.filePath(QStringLiteral("out"));
        app.mkpath(QStringLiteral("out"));
        QByteArray bytes(kFileSize, '\0');
        for (qsizetype i = 0; i < bytes.size(); ++i)
            bytes[i] = char((i * 131) >> 7);
        for (int i = 0; i < files; ++i) {
            QFile f(project + QStringLiteral("/BookTXT/page%1.bin").arg(i));
            f.open(QIODevice::WriteOnly);
            f.write(bytes);
        }
        sh(QStringLiteral("sync"));
    }
    static void sh(const QString& command, const QStringList& args = {}) {
        if (QProcess::execute(QStringLiteral("sh"),
                              QStringList{QStringLiteral("-c"), command} + args) != 0)
            qFatal("%s failed", qPrintable(command));
    }
    // The export ended with message 29 and holds the player, its data and every file.
    void checkWhole(const ExportResult& result) const {
        const QDir out(result.folder);
        const bool whole =
            result.outcome == ExportOutcome::Exported && out.exists(QStringLiteral("index.html")) &&
            out.exists(QStringLiteral("Data/quizdata.js")) &&
            QDir(out.filePath(QStringLiteral("Data/BookTXT"))).entryList(QDir::Files).size() ==
                files;
        if (!whole)
            qFatal(
                "the export did not end whole (outcome %d, folder %s): its time is not an export's",
                int(result.outcome), qPrintable(result.folder));
    }
};

void BM_Export(benchmark::State& state) {
    ExportProgram g(int(state.range(0)));
    for (auto _ : state) {
        ExportRequest request;
        request.target = g.target;
        request.projectPath = g.project;
        const ExportResult result = ExportAll(g.p.context, request);
        state.PauseTiming();
        g.checkWhole(result);
        QDir(g.target).removeRecursively();
        QDir().mkpath(g.target);
        ExportProgram::sh(QStringLiteral("sync"));
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * state.range(0) * kFileSize);
}

void BM_CpAndSync(benchmark::State& state) {
    ExportProgram g(int(state.range(0)));
    for (auto _ : state) {
        ExportProgram::sh(QStringLiteral("cp -r \"$0/BookTXT\" \"$1/copy\" && sync"),
                          {g.project, g.target});
        state.PauseTiming();
        if (QDir(g.target + QStringLiteral("/copy")).entryList(QDir::Files).size() != g.files)
            qFatal("cp did not copy every file");
        QDir(g.target + QStringLiteral("/copy")).removeRecursively();
        ExportProgram::sh(QStringLiteral("sync"));
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * state.range(0) * kFileSize);
}

// The disk's limit: one file of the same size written and flushed.
void BM_DdOneFile(benchmark::State& state) {
    ExportProgram g(0);
    const qint64 megabytes = state.range(0) * kFileSize >> 20;
    for (auto _ : state) {
        ExportProgram::sh(QStringLiteral("dd if=/dev/zero of=\"$0/one\" bs=1M count=%1 "
                                         "conv=fsync status=none")
                              .arg(megabytes),
                          {g.target});
        state.PauseTiming();
        if (QFileInfo(g.target + QStringLiteral("/one")).size() != megabytes << 20)
            qFatal("dd did not write the whole file");
        QFile::remove(g.target + QStringLiteral("/one"));
        ExportProgram::sh(QStringLiteral("sync"));
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * state.range(0) * kFileSize);
}

// The disc image of an export of N files, against xorriso making one of the same folder with
// Joliet and Rock Ridge, in the same run.
struct Exported {
    ExportProgram g;
    QString folder;
    explicit Exported(int files) : g(files) {
        ExportRequest request;
        request.target = g.target;
        request.projectPath = g.project;
        const ExportResult result = ExportAll(g.p.context, request);
        g.checkWhole(result);
        folder = result.folder;
    }
};

void BM_DiscImage(benchmark::State& state) {
    Exported e(int(state.range(0)));
    const QString iso = e.g.p.dir.filePath(QStringLiteral("cd.iso"));
    double readBack = 0;
    for (auto _ : state) {
        const ImageResult image = makeDiscImage(e.folder, iso, QStringLiteral("BENCH"), {}, false);
        state.PauseTiming();
        QElapsedTimer clock;
        clock.start();
        const QString differs = compareImage(iso, e.folder);
        readBack += double(clock.nsecsElapsed()) / 1e6;
        if (image.outcome != ImageOutcome::Made || !differs.isEmpty())
            qFatal("the image was not made whole: %s %s", qPrintable(image.description),
                   qPrintable(differs));
        QFile::remove(iso);
        ExportProgram::sh(QStringLiteral("sync"));
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * state.range(0) * kFileSize);
    state.counters["read_back_ms"] = readBack / double(state.iterations());
}

// The peer: xorriso's image of the same folder with Joliet and Rock Ridge.
void BM_XorrisoImage(benchmark::State& state) {
    Exported e(int(state.range(0)));
    const QString iso = e.g.p.dir.filePath(QStringLiteral("peer.iso"));
    for (auto _ : state) {
        ExportProgram::sh(QStringLiteral("xorriso -as mkisofs -quiet -J -R -o \"$1\" \"$0\""),
                          {e.folder, iso});
        state.PauseTiming();
        if (QFileInfo(iso).size() < state.range(0) * kFileSize)
            qFatal("xorriso did not make the image");
        QFile::remove(iso);
        ExportProgram::sh(QStringLiteral("sync"));
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * state.range(0) * kFileSize);
}

} // namespace

// Interleaved: each size's export, then its peers.
BENCHMARK(BM_Export)->Arg(20)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CpAndSync)->Arg(20)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DdOneFile)->Arg(20)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Export)->Arg(200)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CpAndSync)->Arg(200)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DdOneFile)->Arg(200)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Export)->Arg(4)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DiscImage)->Arg(200)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_XorrisoImage)->Arg(200)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DiscImage)->Arg(4)->Iterations(1)->Unit(benchmark::kMillisecond);
