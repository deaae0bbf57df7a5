// The formatter's paths: loading a lesson text into the lesson text box against plain
// setPlainText and one right alignment of the same text; the reflow at 100 KB, 1 MB and
// 5 MB, and at 1, 4 and 10 MB of blanks, line ends and Persian text against the rules'
// literal reading; MakeBook of 256 entries with rich text answers.
#include "bench_program.h"
#include "export/output_folders.h"
#include "formatter/entry_table.h"
#include "formatter/lesson_texts.h"
#include "formatter/quiz_book.h"
#include "formatter/text_procedures.h"
#include "platform/text_codec.h"
#include "richtext/rich_text_box.h"
#include "support/reflow_reference.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextCursor>
#include <QTextEdit>
#include <benchmark/benchmark.h>

using namespace tavrin;
using tavrin::bench::Program;

namespace {

// A lesson text as the input folder holds it: 1256 bytes, paragraphs in ircMAIN.
QByteArray lessonText(qsizetype size) {
    const QString paragraph = QStringLiteral(
        u"<ircMAIN>1- كدام يك از مواد زير در دماى اتاق به حالت مايع است؟ جيوه تنها فلزي است "
        u"كه در دماي اتاق مايع است؛ آهن و نمك جامدند و اكسيژن گاز است. آب خالص در فشار يك "
        u"اتمسفر در 100 درجه مي\u200Cجوشد!&nbsp;پاسخ: گزينه ب</ircMAIN>");
    const QByteArray one = encodeAnsi(paragraph);
    QByteArray out;
    out.reserve(size + one.size());
    while (out.size() < size)
        out += one;
    return out;
}

void BM_LoadLessonText(benchmark::State& state) {
    Program p;
    QFile f(p.dir.filePath(QStringLiteral("lesson.txt")));
    f.open(QIODevice::WriteOnly);
    f.write(lessonText(state.range(0)));
    f.close();
    RichTextBox box;
    box.resize(800, 500);
    box.show();
    for (auto _ : state) {
        box.setText(loadLessonText(p.context, p.dir.path(), QStringLiteral("lesson.txt"))->text);
        box.setCaret(0);
        box.selectAll();
        box.setSelectionAlignment(Qt::AlignRight | Qt::AlignAbsolute);
        box.setCaret(0);
        QCoreApplication::processEvents();
    }
}

// The yardstick: the same text put in as it is and right-aligned once.
void BM_PlainSetAndAlign(benchmark::State& state) {
    const QString text = decodeAnsi(lessonText(state.range(0)));
    QTextEdit box;
    box.resize(800, 500);
    box.show();
    for (auto _ : state) {
        box.setPlainText(text);
        QTextCursor all(box.document());
        all.select(QTextCursor::Document);
        QTextBlockFormat right;
        right.setAlignment(Qt::AlignRight | Qt::AlignAbsolute);
        all.mergeBlockFormat(right);
        QCoreApplication::processEvents();
    }
}

void BM_Reflow(benchmark::State& state) {
    const QString text = Rep(decodeAnsi(lessonText(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(reflowText(text, 20, true, true));
    state.SetBytesProcessed(state.iterations() * state.range(0));
    state.SetComplexityN(state.range(0));
}

// Texts the one-pass reflow must take in linear time: runs of blanks, runs of line ends,
// and Persian lesson text; the rules' literal reading, one replace at a time, is the peer
// (at 1 MB: beyond that it takes minutes).
QString reflowInput(int kind, qsizetype size) {
    if (kind == 0)
        return QString(size, u' ');
    if (kind == 1) {
        QString t;
        t.reserve(size);
        while (t.size() < size)
            t += QStringLiteral("\r\n");
        return t;
    }
    return Rep(decodeAnsi(lessonText(size)));
}

void checkReflow(benchmark::State& state, const QString& in, const QString& out) {
    // Joined and wrapped: no run of blanks is left, and text is never lost.
    if (out.contains(QStringLiteral("  ")) || (in.trimmed().size() > 0 && out.trimmed().isEmpty()))
        state.SkipWithError("the reflow lost its text");
}

void BM_ReflowLinear(benchmark::State& state) {
    const QString text = reflowInput(int(state.range(0)), state.range(1));
    QString out;
    for (auto _ : state)
        out = reflowText(text, 20, true, true);
    checkReflow(state, text, out);
    state.SetBytesProcessed(state.iterations() * state.range(1) * 2);
}

void BM_ReflowRulesReading(benchmark::State& state) {
    const QString text = reflowInput(int(state.range(0)), state.range(1));
    QString out;
    for (auto _ : state)
        out = tavrin::test::reflowReference(text, 20, true, true);
    if (out != reflowText(text, 20, true, true))
        state.SkipWithError("the peer did other work");
    state.SetBytesProcessed(state.iterations() * state.range(1) * 2);
}

void BM_MakeBook256(benchmark::State& state) {
    Program p;
    const QString project = p.dir.filePath(QStringLiteral("Project 1"));
    QDir().mkpath(project);
    MakeDirs(p.context, project, QStringLiteral("BookTXT"), QStringLiteral("_xml"));
    const QString answers = QStringLiteral(
        "{\\rtf1\\ansi\\ansicpg1256{\\fonttbl{\\f0\\fcharset178 Tahoma;}}\\pard\\rtlpar\\qr "
        "\\'c7\\'e1\\'dd\\par \\'c8\\par \\'cc\\par \\'cf}");
    for (auto _ : state) {
        state.PauseTiming();
        EntryTable table;
        for (int i = 0; i < EntryTable::kEntries; ++i) {
            table.SoalText[i] = QStringLiteral(u"سؤال شماره %1 كدام است؟").arg(i);
            table.JavabRtf[i] = answers;
            table.TozihRtf[i] = QStringLiteral("{\\rtf1\\ansi \\'cc\\'e6\\'c7\\'c8}");
        }
        QFile::remove(project + QStringLiteral("/_xml/quiz0-0.xml"));
        state.ResumeTiming();
        BookRequest r;
        r.projectPath = project;
        r.fieldIndex = 0;
        r.lessonIndex = 0;
        r.lessonTitle = QStringLiteral("L");
        if (MakeBook(p.context, table, r) != BookOutcome::Made)
            state.SkipWithError("MakeBook failed");
    }
}

} // namespace

BENCHMARK(BM_LoadLessonText)->Arg(1 << 20)->Arg(100 << 10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainSetAndAlign)->Arg(1 << 20)->Arg(100 << 10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Reflow)
    ->Arg(100 << 10)
    ->Arg(1 << 20)
    ->Arg(5 << 20)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
// Kind 0 blanks, 1 line ends, 2 Persian text; 1, 4 and 10 MB.
BENCHMARK(BM_ReflowLinear)
    ->ArgsProduct({{0, 1, 2}, {1 << 20, 4 << 20, 10 << 20}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReflowRulesReading)
    ->ArgsProduct({{0, 1, 2}, {1 << 20}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MakeBook256)->Unit(benchmark::kMillisecond);
