// The formatter's paths, each with its peer in the same run: loading a lesson text into the
// lesson box and DoPara against QTextEdit's setPlainText of the same text and one right
// alignment of all (at 100 KB, 1 MB and 5 MB, with the peak memory each adds); the reflow at
// 1, 4 and 10 MB of blanks, line ends and Persian text against the rules' literal reading;
// MakeBook of 250 and 5,000 questions against writing the same quiz files' plain text.
#include "bench_program.h"
#include "export/output_folders.h"
#include "lesson/entry_table.h"
#include "lesson/quiz_book.h"
#include "lesson/text_procedures.h"
#include "lessontext/lesson_texts.h"
#include "platform/file_copy.h"
#include "platform/text_codec.h"
#include "platform/text_file.h"
#include "support/reflow_reference.h"
#include "widgets/rich_text_box.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <benchmark/benchmark.h>
#include <malloc.h>

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

// Peak memory: the kernel's high-water mark of this process, set back to now before a run.
qint64 statusKb(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qsizetype(qstrlen(field))).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}
struct PeakMemory {
    qint64 base;
    PeakMemory() {
        // Memory freed earlier goes back to the system first, so the rise is this run's.
        malloc_trim(0);
        QFile clear(QStringLiteral("/proc/self/clear_refs"));
        clear.open(QIODevice::WriteOnly);
        clear.write("5");
        clear.close();
        base = statusKb("VmRSS:");
    }
    double increaseMb() const { return double(statusKb("VmHWM:") - base) / 1024.0; }
};

// What is left of laying the whole text out once the box answers again (the box does it a
// screen at a time while the author works), in ms.
double layoutTheRest(const QTextDocument* document) {
    QElapsedTimer clock;
    clock.start();
    benchmark::DoNotOptimize(document->documentLayout()->documentSize());
    return double(clock.nsecsElapsed()) / 1e6;
}

bool allRightAligned(const QTextDocument* document) {
    for (QTextBlock b = document->begin(); b.isValid(); b = b.next()) {
        if (b.blockFormat().alignment() != (Qt::AlignRight | Qt::AlignAbsolute))
            return false;
    }
    return document->blockCount() > 1;
}

// After each load, untimed: the rest of the layout and the peak memory with it; at the end,
// the check that the work was done and the counters.
struct AfterLoad {
    double peak = 0, laidOut = 0;
    void run(benchmark::State& state, const QTextDocument* document, const PeakMemory& memory) {
        state.PauseTiming();
        laidOut += layoutTheRest(document);
        peak = std::max(peak, memory.increaseMb()); // the whole text laid out included
        state.ResumeTiming();
    }
    void report(benchmark::State& state, const QTextDocument* document) const {
        if (!allRightAligned(document))
            state.SkipWithError("the text was not loaded right-aligned");
        state.counters["peak_MiB"] = peak;
        state.counters["rest_laid_out_ms"] = laidOut / double(state.iterations());
    }
};

// Loading as the formatter does: the file read and cleaned, shown, every paragraph
// right-aligned (Mright).
void BM_LoadLessonText(benchmark::State& state) {
    Program p;
    QFile f(p.dir.filePath(QStringLiteral("lesson.txt")));
    f.open(QIODevice::WriteOnly);
    f.write(lessonText(state.range(0)));
    f.close();
    RichTextBox box;
    box.resize(800, 500);
    box.show();
    AfterLoad after;
    for (auto _ : state) {
        const PeakMemory memory;
        box.setText(
            std::move(loadLessonText(p.context, p.dir.path(), QStringLiteral("lesson.txt"))->text),
            Qt::AlignRight | Qt::AlignAbsolute);
        box.alignAll(Qt::AlignRight | Qt::AlignAbsolute); // Mright
        box.setCaret(0);
        QCoreApplication::processEvents();
        after.run(state, box.document(), memory);
    }
    after.report(state, box.document());
}

// What the peers do: the text put in a QTextEdit as it is and right-aligned once.
void peerSetAndAlign(QTextEdit& box, const QString& text) {
    box.setPlainText(text);
    QTextCursor all(box.document());
    all.select(QTextCursor::Document);
    QTextBlockFormat right;
    right.setAlignment(Qt::AlignRight | Qt::AlignAbsolute);
    all.mergeBlockFormat(right);
    QCoreApplication::processEvents();
}

// The fair peer: the same cleaned text put in a QTextEdit and right-aligned once.
void BM_PlainSetAndAlign(benchmark::State& state) {
    const QString text = Rep(decodeAnsi(lessonText(state.range(0))));
    QTextEdit box;
    box.resize(800, 500);
    box.show();
    AfterLoad after;
    for (auto _ : state) {
        const PeakMemory memory;
        peerSetAndAlign(box, text);
        after.run(state, box.document(), memory);
    }
    after.report(state, box.document());
}

// DoPara's work in the box: the reflowed text in place of the lesson, one undo step,
// right-aligned; and the peer with the same reflowed text.
void BM_DoPara(benchmark::State& state) {
    const QString text = Rep(decodeAnsi(lessonText(state.range(0))));
    RichTextBox box;
    box.resize(800, 500);
    box.show();
    box.setText(text, Qt::AlignRight | Qt::AlignAbsolute);
    for (auto _ : state) {
        box.replaceAllText(reflowText(box.text(), 20, true, true),
                           Qt::AlignRight | Qt::AlignAbsolute);
        box.setCaret(0);
        QCoreApplication::processEvents();
    }
    if (!allRightAligned(box.document()))
        state.SkipWithError("the reflow was not right-aligned");
}

void BM_DoParaPeer(benchmark::State& state) {
    const QString reflowed =
        reflowText(Rep(decodeAnsi(lessonText(state.range(0)))), 20, true, true);
    QTextEdit box;
    box.resize(800, 500);
    box.show();
    for (auto _ : state) {
        peerSetAndAlign(box, reflowed);
    }
    if (!allRightAligned(box.document()))
        state.SkipWithError("the peer did not align");
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

// A lesson of n questions with rich text answers and explanations, made into its quiz
// file; Arg 5000 makes twenty lessons of 250 (a lesson holds at most 257 entries).
const QString kAnswers = QStringLiteral(
    "{\\rtf1\\ansi\\ansicpg1256{\\fonttbl{\\f0\\fcharset178 Tahoma;}}\\pard\\rtlpar\\qr "
    "\\'c7\\'e1\\'dd\\par \\'c8\\par \\'cc\\par \\'cf}");
const QString kWhy = QStringLiteral("{\\rtf1\\ansi\\ansicpg1256 \\'cc\\'e6\\'c7\\'c8}");

struct Books {
    Program p;
    QString project = p.dir.filePath(QStringLiteral("Project 1"));
    Books() {
        QDir().mkpath(project);
        MakeDirs(p.context, project, QStringLiteral("BookTXT"), QStringLiteral("_xml"));
    }
    static int lessons(qint64 questions) { return int(std::max<qint64>(1, questions / 250)); }
    static int perLesson(qint64 questions) { return int(std::min<qint64>(questions, 250)); }
};

void BM_MakeBook(benchmark::State& state) {
    Books b;
    for (auto _ : state) {
        for (int lesson = 0; lesson < Books::lessons(state.range(0)); ++lesson) {
            state.PauseTiming();
            EntryTable table;
            for (int i = 0; i < Books::perLesson(state.range(0)); ++i) {
                table.SoalText[i] = QStringLiteral(u"سؤال شماره %1 كدام است؟").arg(i);
                table.JavabRtf[i] = kAnswers;
                table.TozihRtf[i] = kWhy;
            }
            QFile::remove(b.project + QStringLiteral("/_xml/quiz0-%1.xml").arg(lesson));
            state.ResumeTiming();
            const BookRequest r{b.project, 0, lesson, QStringLiteral("L"), {}, {}, {}};
            if (MakeBook(b.p.context, table, r) != BookOutcome::Made)
                state.SkipWithError("MakeBook failed");
        }
    }
    const QString quiz = readUtf16File(b.project + QStringLiteral("/_xml/quiz0-0.xml"));
    if (quiz.count(QStringLiteral("<chk>")) != Books::perLesson(state.range(0)) ||
        !quiz.contains(QStringLiteral(u"<D>د</D>")))
        state.SkipWithError("the quiz file is not whole");
}

// The floor: the same quiz files' text and index, already plain, put together and written
// the same safe way (on disk, then renamed into place).
void BM_PlainBookFloor(benchmark::State& state) {
    Books b;
    const QString answers = QStringLiteral(u"الف\r\nب\r\nج\r\nد");
    const QString why = QStringLiteral(u"جواب");
    for (auto _ : state) {
        for (int lesson = 0; lesson < Books::lessons(state.range(0)); ++lesson) {
            QString quiz = QStringLiteral("<quiz qNo='0-%1' IDname='L'>\r\n").arg(lesson);
            for (int i = 0; i < Books::perLesson(state.range(0)); ++i) {
                const QString n = QString::number(i);
                quiz += QStringLiteral("\t<question") + n +
                        QStringLiteral(">\r\n\t\t<question No='") + n + QStringLiteral("'>") +
                        QStringLiteral(u"سؤال شماره %1 كدام است؟").arg(i) +
                        QStringLiteral("</question>\r\n");
                const QStringList lines = answers.split(QStringLiteral("\r\n"));
                for (int a = 0; a < 4; ++a)
                    quiz += QStringLiteral("\t\t<%1>%2</%1>\r\n").arg(QChar(u'A' + a), lines[a]);
                quiz += QStringLiteral("\t\t<chk>2</chk>\r\n\t\t<rslt>") + why +
                        QStringLiteral("</rslt>\r\n\t</question") + n + QStringLiteral(">\r\n");
            }
            const QString index =
                QStringLiteral("<strings>\r\n\t<quiz0-%1>L</quiz0-%1>\r\n").arg(lesson);
            StagedFiles files;
            files.write(encodeUtf16Le(quiz),
                        b.project + QStringLiteral("/_xml/quiz0-%1.xml").arg(lesson));
            files.write(encodeUtf16Le(index), b.project + QStringLiteral("/_xml/BookTitle.xml"));
            files.place();
        }
    }
    if (!QFile::exists(b.project + QStringLiteral("/_xml/quiz0-0.xml")))
        state.SkipWithError("nothing was written");
}

} // namespace

// Each size's tool run, then its peer's.
BENCHMARK(BM_LoadLessonText)->Arg(100 << 10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainSetAndAlign)->Arg(100 << 10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadLessonText)->Arg(1 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainSetAndAlign)->Arg(1 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadLessonText)->Arg(5 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainSetAndAlign)->Arg(5 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DoPara)->Arg(100 << 10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DoParaPeer)->Arg(100 << 10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DoPara)->Arg(1 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DoParaPeer)->Arg(1 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DoPara)->Arg(5 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DoParaPeer)->Arg(5 << 20)->Unit(benchmark::kMillisecond);
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
BENCHMARK(BM_MakeBook)->Arg(250)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainBookFloor)->Arg(250)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MakeBook)->Arg(5000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainBookFloor)->Arg(5000)->Unit(benchmark::kMillisecond);
