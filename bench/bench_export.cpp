// The CD export's copying against the system's own: a project of N files of 5 MB (200
// files make 1 GB) exported by the shipped script, and "cp -r" of the same folder
// followed by "sync", in one run on the same disk. Arg: the number of files.
#include "bench_program.h"
#include "export/cd_export.h"
#include "export/output_folders.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <benchmark/benchmark.h>

using namespace tavrin;
using tavrin::bench::Program;

namespace {

constexpr qint64 kFileSize = 5 << 20;

// A program folder with the shipped Resources and a project of n files.
struct ExportProgram {
    Program p;
    QString project, target;
    explicit ExportProgram(int files) {
        const QDir app(p.dir.path());
        app.mkpath(QStringLiteral("Resources"));
        const QString shipped = QStringLiteral(TAVRIN_RESOURCES);
        for (const QString& name : QDir(shipped).entryList(QDir::Files))
            QFile::copy(shipped + u'/' + name, app.filePath(QStringLiteral("Resources/") + name));
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
        QProcess::execute(QStringLiteral("sync"), {});
    }
};

void BM_ExportCopy(benchmark::State& state) {
    ExportProgram g(int(state.range(0)));
    for (auto _ : state) {
        ExportRequest request;
        request.target = g.target;
        request.projectPath = g.project;
        benchmark::DoNotOptimize(ExportAll(g.p.context, request));
        state.PauseTiming();
        QDir(g.target).removeRecursively();
        QDir().mkpath(g.target);
        QProcess::execute(QStringLiteral("sync"), {});
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * state.range(0) * kFileSize);
}

void BM_CpAndSync(benchmark::State& state) {
    ExportProgram g(int(state.range(0)));
    for (auto _ : state) {
        QProcess::execute(QStringLiteral("sh"),
                          {QStringLiteral("-c"),
                           QStringLiteral("cp -r \"$0/BookTXT\" \"$1/copy\" && sync"), g.project,
                           g.target});
        state.PauseTiming();
        QDir(g.target + QStringLiteral("/copy")).removeRecursively();
        QProcess::execute(QStringLiteral("sync"), {});
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * state.range(0) * kFileSize);
}

} // namespace

BENCHMARK(BM_ExportCopy)->Arg(200)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CpAndSync)->Arg(200)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportCopy)->Arg(4)->Iterations(1)->Unit(benchmark::kMillisecond);
