// The item analysis of a school's exam, 10,000 students of 200 questions, as the teacher waits
// for it: the sheets read and scored, the figures, the three CSVs and the report's PDF
// written; against R's psych computing the same item statistics and KR-20 from the same
// answers, in the same run. Both are checked: the tool's files whole, psych's alpha equal to
// the tool's KR-20.
#include "bench_program.h"
#include "exam/item_analysis.h"
#include "paper/analysis_report.h"
#include "platform/csv.h"
#include "platform/safe_save.h"
#include "platform/text_file.h"
#include "support/shipped_resources.h"
#include "support/test_program.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <benchmark/benchmark.h>
#include <cmath>
#include <random>

using namespace tavrin;
using tavrin::bench::Program;

namespace {

struct School {
    QuestionBank bank;
    QString sheets; // "name,1-1-1,…", the bank's answers
    QString binary; // the same right or wrong, 1 or 0, for psych
};

// Students of normal ability answering by a logistic model; the same for a seed.
School school(int students, int questions) {
    School s;
    s.bank.title = QStringLiteral(u"آزمون مدرسه");
    s.bank.scoring.penalty = {1, 3};
    s.bank.fieldTitles = {QStringLiteral(u"ریاضی")};
    BankLesson lesson;
    lesson.id = QStringLiteral("0-0");
    std::mt19937 random(1405);
    std::uniform_real_distribution<double> unit(0, 1);
    std::normal_distribution<double> ability(0, 1);
    QStringList header{QStringLiteral("name")}, items;
    QList<double> difficulty;
    for (int j = 0; j < questions; ++j) {
        BankQuestion q;
        q.id = QStringLiteral("1-1-%1").arg(j + 1);
        q.text = QStringLiteral(u"پرسش %1: اگر \\(x^2 = 9\\) باشد، x کدام است؟").arg(j + 1);
        q.answers = {QStringLiteral("3"), QStringLiteral("-3"), QStringLiteral("9"),
                     QStringLiteral("0")};
        q.marked = j % 4 + 1;
        lesson.questions.append(q);
        header.append(q.id);
        items.append(QStringLiteral("q%1").arg(j + 1));
        difficulty.append(-1.5 + 3.0 * unit(random));
    }
    s.bank.lessons.append(lesson);
    s.sheets = csvRow(header);
    s.binary = csvRow(items);
    for (int i = 0; i < students; ++i) {
        const double theta = ability(random);
        QStringList row{QStringLiteral("s%1").arg(i + 1)}, right;
        for (int j = 0; j < questions; ++j) {
            const int key = j % 4 + 1;
            const bool knows = unit(random) < 1 / (1 + std::exp(-1.7 * (theta - difficulty[j])));
            const int chosen = knows ? key : (key + int(unit(random) * 3)) % 4 + 1;
            row.append(QString::number(chosen));
            right.append(chosen == key ? QStringLiteral("1") : QStringLiteral("0"));
        }
        s.sheets += csvRow(row);
        s.binary += csvRow(right);
    }
    return s;
}

double seconds(const QElapsedTimer& t) {
    return double(t.nsecsElapsed()) / 1e9;
}

void BM_Analysis(benchmark::State& state) {
    const QString rscript = QStandardPaths::findExecutable(QStringLiteral("Rscript"));
    if (rscript.isEmpty()) {
        state.SkipWithError("R's psych is the peer: install r-cran-psych");
        return;
    }
    Program p;
    test::copyResourcesFrom(QStringLiteral(TAVRIN_SOURCE), p.dir.path());
    const School s = school(int(state.range(0)), int(state.range(1)));
    const QString binary = p.dir.filePath(QStringLiteral("binary.csv"));
    saveWholeFile(binary, s.binary.toUtf8());
    const QString out = p.dir.filePath(QStringLiteral("report"));
    double tool = 0, peer = 0;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        CsvSheetRows rows(s.sheets);
        const Analysis a = analyseSheets(readSheetMatrix(s.bank, rows, s.bank.scoring.penalty));
        if (!QFileInfo::exists(out))
            QDir().mkpath(out);
        writeAnalysis(p.context, s.bank, a, QStringLiteral("bench"), out);
        tool = seconds(t);
        state.PauseTiming();
        if (csvRows(QString::fromUtf8(test::readBytes(out + "/items.csv"))).size() !=
                a.items.size() + 1 ||
            QFileInfo(out + "/report.pdf").size() < 10000 || !a.test.kr20)
            qFatal("the analysis was not written whole");
        t.restart();
        QProcess r;
        r.start(rscript, {QStringLiteral("-e"),
                          QStringLiteral("suppressPackageStartupMessages(library(psych)); "
                                         "x <- read.csv('%1'); a <- alpha(x, check.keys = FALSE, "
                                         "warnings = FALSE); cat(a$total$raw_alpha, "
                                         "mean(a$item.stats$r.drop))")
                              .arg(binary)});
        if (!r.waitForFinished(-1) || r.exitCode() != 0)
            qFatal("psych failed: %s", r.readAllStandardError().constData());
        peer = seconds(t);
        const double alpha = QString::fromUtf8(r.readAllStandardOutput()).split(u' ')[0].toDouble();
        if (std::abs(alpha - *a.test.kr20) > 0.005)
            qFatal("psych's alpha %f is not the tool's KR-20 %f", alpha, *a.test.kr20);
        QDir(out).removeRecursively();
        state.ResumeTiming();
    }
    state.counters["tool_s"] = tool;
    state.counters["psych_s"] = peer;
    state.counters["ratio"] = tool / peer;
}
BENCHMARK(BM_Analysis)
    ->Args({300, 40})
    ->Args({10000, 200})
    ->UseRealTime()
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->Repetitions(3);

} // namespace
