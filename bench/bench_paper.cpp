// An exam on paper of 100 and of 400 questions in 4 versions (booklets, sheets, keys,
// explanations: 10 PDFs and exam.json), written as the teacher waits for it, against one
// process of Debian's Chromium printing the same 10 pages of HTML, one after another, in the
// same run. Every run checks its
// work: the tool's files whole, Chromium's PDFs of the same page counts.
#include "bench_program.h"
#include "paper/paper_exam.h"
#include "store/project_settings.h"
#include "support/paper_project.h"
#include "support/shipped_resources.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <benchmark/benchmark.h>

using namespace tavrin;
using tavrin::bench::Program;
using tavrin::bench::run;
using tavrin::bench::secondsOf;

namespace {

int pages(const QString& pdf) {
    const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                       .match(run(QStringLiteral("pdfinfo"), {pdf}));
    if (!m.hasMatch())
        qFatal("%s is not a PDF", qPrintable(pdf));
    return m.captured(1).toInt();
}

void BM_PaperExam(benchmark::State& state) {
    qputenv("TAVRIN_SOURCE_DIR", TAVRIN_SOURCE); // the project's picture comes from the sources
    Program p;
    const QDir app(p.dir.path());
    test::copyResourcesFrom(QStringLiteral(TAVRIN_SOURCE), app.path());
    const QString project = app.filePath(QStringLiteral("Project 1"));
    const int questions = int(state.range(0));
    const int third = questions / 3;
    test::makePaperProject(p.context, project, third + 1);
    KeepSetting(
        p.context, project, QStringLiteral("FullExamBudget"),
        QStringLiteral("0-0:%1 0-1:%2 1-0:%3").arg(questions - 2 * third).arg(third).arg(third));
    PaperChoices c;
    c.versions = 4;
    c.seed = 1405;
    c.title = QStringLiteral(u"آزمون جامع");
    const QString out = app.filePath(QStringLiteral("out"));
    const QString html = app.filePath(QStringLiteral("html"));
    const QString peer = app.filePath(QStringLiteral("peer"));
    app.mkpath(QStringLiteral("peer"));
    for (auto _ : state) {
        PaperWritten written;
        const double tool = secondsOf([&] {
            written = writePaperExam(p.context, project, QStringLiteral("Project 1"), out, c, html);
        });
        if (written.questions != questions || written.files.size() != 11)
            qFatal("the exam was not written whole");
        const QStringList pdfs = QDir(out).entryList({QStringLiteral("*.pdf")});
        // One Chromium process printing the same pages one after another.
        QStringList arguments{QStringLiteral(TAVRIN_SOURCE "/bench/print_pages.mjs"), peer};
        for (const QString& name : pdfs)
            arguments.append(
                html + u'/' +
                QString(name).replace(QStringLiteral(".pdf"), QStringLiteral(".html")));
        const double chromium = secondsOf([&] { run(QStringLiteral("node"), arguments); });
        int toolPages = 0;
        for (const QString& name : pdfs) {
            const int ours = pages(out + u'/' + name);
            if (ours != pages(peer + u'/' + name))
                qFatal("%s: Chromium printed another number of pages", qPrintable(name));
            toolPages += ours;
        }
        state.SetIterationTime(tool);
        state.counters["pages"] = toolPages;
        state.counters["chromium_ms"] = chromium * 1e3;
        state.counters["ratio"] = tool / chromium;
    }
}

} // namespace

// A small one for the test suite's single pass.
BENCHMARK(BM_PaperExam)->Arg(12)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaperExam)
    ->Arg(100)
    ->Arg(400)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
