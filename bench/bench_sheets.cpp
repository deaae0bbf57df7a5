// Answer sheets read back from one copier's PDF of N filled sheets at 300 dpi, as the teacher
// waits for `tavrin read-sheets`, against poppler's pdftoppm drawing the same pages at the
// same resolution in the same run. Every run checks its work: every sheet read, none refused,
// and pdftoppm's pages all there. The sheets per second and the ratio are the figures; N and
// 4N show the growth.
#include "../tests/omr/sheet_batch.h"
#include "bench_program.h"
#include "exam/paper_record.h"
#include "omr/sheet_reader.h"
#include "paper/paper_exam.h"
#include "platform/csv.h"
#include "support/paper_project.h"
#include "support/scan_maker.h"
#include "support/shipped_resources.h"
#include "support/test_program.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <benchmark/benchmark.h>

using namespace tavrin;
using tavrin::bench::Program;
using tavrin::bench::run;
using tavrin::bench::secondsOf;

namespace {

void BM_ReadSheets(benchmark::State& state) {
    qputenv("TAVRIN_SOURCE_DIR", TAVRIN_SOURCE);
    Program p;
    const QDir app(p.dir.path());
    test::copyResourcesFrom(QStringLiteral(TAVRIN_SOURCE), app.path());
    const QString project = app.filePath(QStringLiteral("Project 1"));
    test::makePaperProject(p.context, project, 20);
    PaperChoices c;
    c.versions = 2;
    c.seed = 5;
    c.scope = {PaperScope::Kind::Field, 0, 0};
    const QString exam = app.filePath(QStringLiteral("exam"));
    writePaperExam(p.context, project, QStringLiteral("Project 1"), exam, c);
    const QJsonObject record = QJsonDocument::fromJson(checkedExamRecord(exam)).object();
    const int sheets = int(state.range(0));
    std::mt19937 random(9);
    QList<cv::Mat> pages;
    QStringList numbers;
    for (int s = 0; s < sheets; ++s) {
        test::FilledSheet sheet;
        sheet.version = 1 + s % 2;
        pages.append(test::passed(test::filledPage(exam, record, sheet, random, false),
                                  test::Passage::Scan300, random));
        numbers.append(sheet.number);
    }
    const QString scan = app.filePath(QStringLiteral("scan.pdf"));
    test::writePdf(scan, pages, 300);
    pages.clear();
    const QString out = app.filePath(QStringLiteral("sheets.csv"));
    const QString drawn = app.filePath(QStringLiteral("drawn"));
    app.mkpath(QStringLiteral("drawn"));
    for (auto _ : state) {
        const double tool = secondsOf([&] {
            run(QStringLiteral(TAVRIN_BINARY),
                {QStringLiteral("read-sheets"), QStringLiteral("--exam"), exam,
                 QStringLiteral("--out"), out, QStringLiteral("--force"), scan});
        });
        const QList<QStringList> rows = csvRows(QString::fromUtf8(test::readBytes(out)));
        if (rows.size() != sheets + 1)
            qFatal("%lld sheets read of %d", static_cast<long long>(rows.size() - 1), sheets);
        // Read, not only written: the students' numbers come back, in the scans' order.
        int numbersRead = 0;
        for (int s = 0; s < sheets; ++s)
            numbersRead += rows[s + 1].value(0) == numbers[s];
        if (numbersRead * 100 < sheets * 90)
            qFatal("%d of %d numbers read", numbersRead, sheets);
        const double poppler = secondsOf([&] {
            run(QStringLiteral("pdftoppm"),
                {QStringLiteral("-r"), QStringLiteral("300"), QStringLiteral("-gray"), scan,
                 drawn + QStringLiteral("/p")});
        });
        if (QDir(drawn).entryList(QDir::Files).size() != sheets)
            qFatal("pdftoppm drew another number of pages");
        state.SetIterationTime(tool);
        state.counters["sheets_per_s"] = sheets / tool;
        state.counters["pdftoppm_ms"] = poppler * 1e3;
        state.counters["ratio"] = tool / poppler;
    }
}

} // namespace

BENCHMARK(BM_ReadSheets)->Arg(2)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadSheets)
    ->Arg(10)
    ->Arg(40)
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
