// The score verb over the answer sheets of a whole school: 100,000 students of 100 questions
// (a 21 MB CSV), as `tavrin score` runs it, its time and its peak memory, against Python's
// csv module reading the same file a row at a time in the same run. Each run checks its work:
// a result row a student and field, and the peer's count of rows.
#include "bench_program.h"
#include "exam/question_bank.h"
#include "support/paper_project.h"
#include "support/shipped_resources.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <benchmark/benchmark.h>

using namespace tavrin;
using tavrin::bench::Program;

namespace {

struct Ran {
    double seconds = 0;
    double peakMib = 0;
    QString out;
};

// A program run under GNU time: its wall time and its peak resident memory.
Ran timed(const QString& program, const QStringList& arguments) {
    QProcess p;
    QElapsedTimer t;
    t.start();
    p.start(QStringLiteral("/usr/bin/time"),
            QStringList{QStringLiteral("-f"), QStringLiteral("peak %M")} + QStringList{program} +
                arguments);
    if (!p.waitForFinished(-1) || p.exitCode() != 0)
        qFatal("%s failed: %s", qPrintable(program), p.readAllStandardError().constData());
    const double seconds = double(t.nsecsElapsed()) / 1e9;
    const auto m = QRegularExpression(QStringLiteral("peak (\\d+)"))
                       .match(QString::fromUtf8(p.readAllStandardError()));
    return {seconds, m.captured(1).toDouble() / 1024.0,
            QString::fromUtf8(p.readAllStandardOutput())};
}

void BM_ScoreSchool(benchmark::State& state) {
    qputenv("TAVRIN_SOURCE_DIR", TAVRIN_SOURCE);
    Program p;
    const QDir app(p.dir.path());
    test::copyResourcesFrom(QStringLiteral(TAVRIN_SOURCE), app.path());
    const QString project = app.filePath(QStringLiteral("Project 1"));
    test::makePaperProject(p.context, project, 34);
    QStringList ids;
    for (const BankLesson& l : readQuestionBank(p.context, project).lessons)
        for (const BankQuestion& q : l.questions)
            if (q.scorable() && ids.size() < 100)
                ids.append(q.id);
    const int students = int(state.range(0));
    const QString sheets = app.filePath(QStringLiteral("sheets.csv"));
    {
        QFile f(sheets);
        if (!f.open(QIODevice::WriteOnly))
            qFatal("no sheets file");
        f.write((QStringLiteral("name,") + ids.join(u',') + QStringLiteral("\r\n")).toUtf8());
        QByteArray row;
        for (int s = 0; s < students; ++s) {
            row = "student " + QByteArray::number(s);
            for (int q = 0; q < ids.size(); ++q)
                row += (s + q) % 5 == 0 ? QByteArray(",")
                                        : "," + QByteArray::number(1 + (s * 7 + q) % 4);
            f.write(row + "\r\n");
        }
    }
    const QString result = app.filePath(QStringLiteral("result.csv"));
    const QString peer = QStringLiteral("import csv,sys\n"
                                        "n=0\n"
                                        "with open(sys.argv[1],newline='',encoding='utf-8') as f:\n"
                                        "    for row in csv.reader(f): n+=1\n"
                                        "print(n)\n");
    for (auto _ : state) {
        const Ran tool = timed(QStringLiteral(TAVRIN_BINARY),
                               {QStringLiteral("score"), QStringLiteral("--project"), project,
                                QStringLiteral("--answers"), sheets, QStringLiteral("--out"),
                                result, QStringLiteral("--force")});
        if (!tool.out.contains(QStringLiteral("%1 students scored").arg(students)))
            qFatal("not every student was scored: %s", qPrintable(tool.out));
        const Ran python = timed(QStringLiteral("python3"), {QStringLiteral("-c"), peer, sheets});
        if (python.out.trimmed().toInt() != students + 1)
            qFatal("the peer read another number of rows");
        state.SetIterationTime(tool.seconds);
        state.counters["tool_MiB"] = tool.peakMib;
        state.counters["python_ms"] = python.seconds * 1e3;
        state.counters["python_MiB"] = python.peakMib;
        state.counters["ratio"] = tool.seconds / python.seconds;
    }
}

} // namespace

BENCHMARK(BM_ScoreSchool)->Arg(1000)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScoreSchool)
    ->Arg(100000)
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
