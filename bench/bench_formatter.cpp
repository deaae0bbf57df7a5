// The formatter's paths, each repetition running the tool and then its peers (wall time):
// loading a lesson text into the lesson box until it answers, until the whole text is laid
// out and until Ctrl+End, against QTextEdit given the same text and right-aligned by a
// merged block format or by QTextOption (at 100 KB, 1 MB and 5 MB, with the peak memory each
// adds); DoPara against the same reflowed text set and aligned; the reflow of blanks, line
// ends and Persian text against the rules' literal reading; MakeBook of 250 and 5,000
// questions against writing the same quiz files' plain text. Every run checks its work.
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
#include <QKeyEvent>
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

bool allRightAligned(const QTextDocument* document) {
    for (QTextBlock b = document->begin(); b.isValid(); b = b.next()) {
        if (b.blockFormat().alignment() != (Qt::AlignRight | Qt::AlignAbsolute))
            return false;
    }
    return document->blockCount() > 1;
}

// Every line of the document laid out, as at the end of a scroll to its end.
bool wholeLayout(const QTextDocument* document) {
    const QSizeF size = document->documentLayout()->documentSize();
    const QTextBlock last = document->lastBlock();
    return size.height() > 0 && last.layout() && last.layout()->lineCount() > 0;
}

// Ctrl+End as the author presses it: the caret at the end, and in sight.
bool ctrlEnd(QTextEdit& box) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
    QCoreApplication::sendEvent(&box, &press);
    QCoreApplication::processEvents();
    return box.textCursor().atEnd() && box.viewport()->rect().intersects(box.cursorRect());
}

// One way of showing the lesson in a box: the time until the box answers (its first
// screen), until the whole text is laid out, and, loaded again, until Ctrl+End has taken the
// caret to the end; and the peak memory the first load adds, the layout included.
struct Side {
    QTextEdit& box;
    std::function<void(QTextEdit&)> load;
    std::function<bool(const QTextDocument*)> loaded;
    double first = 0, whole = 0, end = 0, peak = 0;
    void run() {
        const PeakMemory memory;
        QElapsedTimer clock;
        clock.start();
        load(box);
        QCoreApplication::processEvents();
        first = double(clock.nsecsElapsed()) / 1e6;
        const bool laidOut = wholeLayout(box.document());
        whole = double(clock.nsecsElapsed()) / 1e6;
        peak = memory.increaseMb();
        clock.restart();
        load(box);
        QCoreApplication::processEvents();
        const bool atEnd = ctrlEnd(box);
        end = double(clock.nsecsElapsed()) / 1e6;
        if (!laidOut || !atEnd || !loaded(box.document()))
            qFatal("a lesson was not shown whole: its time is not a load's");
    }
};

// Loading as the formatter does: the file read and cleaned, shown, every paragraph
// right-aligned (Mright). Its peers read and clean the same file the same way (so memory and
// time count the same work), then put the text in a QTextEdit and right-align it: by merging
// a block format into every paragraph, or by the document's QTextOption. Each repetition
// runs the three in turn; the time is the box's to the whole layout.
void BM_LoadLessonText(benchmark::State& state) {
    Program p;
    const QString file = p.dir.filePath(QStringLiteral("lesson.txt"));
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly) || f.write(lessonText(state.range(0))) < state.range(0))
        qFatal("the lesson could not be written");
    f.close();
    const auto cleaned = [&] { return Rep(decodeAnsi(readWholeFile(file))); };
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignAbsolute;
    RichTextBox box;
    QTextEdit merged, option;
    for (QTextEdit* b : {static_cast<QTextEdit*>(&box), &merged, &option}) {
        b->resize(800, 500);
        b->show();
    }
    const qsizetype length = cleaned().size();
    const auto whole = [&](const QTextDocument* d) {
        return d->characterCount() >= length / 2 && d->blockCount() > 1;
    };
    const auto aligned = [&](const QTextDocument* d) { return whole(d) && allRightAligned(d); };
    Side tool{
        box,
        [&](QTextEdit&) {
            box.setText(
                std::move(
                    loadLessonText(p.context, p.dir.path(), QStringLiteral("lesson.txt"))->text),
                right);
            box.alignAll(right); // Mright
            box.setCaret(0);
        },
        aligned};
    Side merge{merged,
               [&](QTextEdit& b) {
                   b.setPlainText(cleaned());
                   QTextCursor all(b.document());
                   all.select(QTextCursor::Document);
                   QTextBlockFormat format;
                   format.setAlignment(right);
                   all.mergeBlockFormat(format);
               },
               aligned};
    Side byOption{option,
                  [&](QTextEdit& b) {
                      QTextOption way = b.document()->defaultTextOption();
                      way.setAlignment(right);
                      b.document()->setDefaultTextOption(way);
                      b.setPlainText(cleaned());
                  },
                  [&](const QTextDocument* d) {
                      return whole(d) && d->defaultTextOption().alignment() == right;
                  }};
    for (auto _ : state) {
        tool.run();
        merge.run();
        byOption.run();
        state.SetIterationTime(tool.whole / 1e3);
        state.counters["first_screen_ms"] = tool.first;
        state.counters["ctrl_end_ms"] = tool.end;
        state.counters["peak_MiB"] = tool.peak;
        state.counters["merge_whole_ms"] = merge.whole;
        state.counters["merge_ctrl_end_ms"] = merge.end;
        state.counters["merge_peak_MiB"] = merge.peak;
        state.counters["option_whole_ms"] = byOption.whole;
        state.counters["option_ctrl_end_ms"] = byOption.end;
        state.counters["option_peak_MiB"] = byOption.peak;
    }
}

// What the DoPara peer does: the text put in a QTextEdit as it is and right-aligned once.
void peerSetAndAlign(QTextEdit& box, const QString& text) {
    box.setPlainText(text);
    QTextCursor all(box.document());
    all.select(QTextCursor::Document);
    QTextBlockFormat right;
    right.setAlignment(Qt::AlignRight | Qt::AlignAbsolute);
    all.mergeBlockFormat(right);
    QCoreApplication::processEvents();
}

double msOf(const std::function<void()>& work) {
    QElapsedTimer clock;
    clock.start();
    work();
    return double(clock.nsecsElapsed()) / 1e6;
}

// Each repetition times the tool's work and then the peer's, in wall time; the counters are
// the peer's time and the ratio, tool / peer.
void paired(benchmark::State& state, const std::function<double()>& tool,
            const std::function<double()>& peer) {
    for (auto _ : state) {
        const double t = tool(), q = peer();
        state.SetIterationTime(t / 1e3);
        state.counters["peer_ms"] = q;
        state.counters["ratio"] = t / q;
    }
}

// DoPara's work in the box: the reflowed text in place of the lesson, one undo step,
// right-aligned, until the box answers and until the whole text is laid out; the peer puts
// the same reflowed text in a QTextEdit and right-aligns it. Both start from the lesson.
void BM_DoPara(benchmark::State& state) {
    const QString text = Rep(decodeAnsi(lessonText(state.range(0))));
    const QString reflowed = reflowText(text, 20, true, true);
    if (reflowed == text)
        qFatal("the lesson needs no reflow: DoPara would do nothing");
    RichTextBox box;
    QTextEdit peer;
    for (QTextEdit* b : {static_cast<QTextEdit*>(&box), &peer}) {
        b->resize(800, 500);
        b->show();
    }
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignAbsolute;
    double first = 0;
    paired(
        state,
        [&] {
            box.setText(text, right);
            QCoreApplication::processEvents();
            QElapsedTimer clock;
            clock.start();
            box.replaceAllText(reflowText(box.text(), 20, true, true), right);
            box.setCaret(0);
            QCoreApplication::processEvents();
            first = double(clock.nsecsElapsed()) / 1e6;
            const bool laidOut = wholeLayout(box.document());
            const double whole = double(clock.nsecsElapsed()) / 1e6;
            if (!laidOut || box.text() != reflowed || !allRightAligned(box.document()))
                qFatal("DoPara did not reflow the lesson");
            state.counters["first_screen_ms"] = first;
            return whole;
        },
        [&] {
            peer.setPlainText(text);
            QCoreApplication::processEvents();
            double whole = msOf([&] {
                peerSetAndAlign(peer, reflowed);
                if (!wholeLayout(peer.document()))
                    qFatal("the peer was not laid out");
            });
            if (!allRightAligned(peer.document()))
                qFatal("the peer did not align");
            return whole;
        });
}

// The reflow alone, against the rules' literal reading at 1 MB (beyond that the literal
// reading takes minutes), and alone at 4 and 10 MB where only its linear growth is checked.
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

// Joined and wrapped: no run of blanks is left, text is never lost, and the text changed.
void checkReflow(const QString& in, const QString& out) {
    if (out.contains(QStringLiteral("  ")) || out == in ||
        (in.trimmed().size() > 0 && out.trimmed().isEmpty()))
        qFatal("the reflow lost its text or did nothing");
}

void BM_Reflow(benchmark::State& state) {
    const QString text = reflowInput(int(state.range(0)), state.range(1));
    QString out;
    if (state.range(1) > (1 << 20)) {
        for (auto _ : state)
            state.SetIterationTime(msOf([&] { out = reflowText(text, 20, true, true); }) / 1e3);
        checkReflow(text, out);
        return;
    }
    paired(
        state,
        [&] {
            const double t = msOf([&] { out = reflowText(text, 20, true, true); });
            checkReflow(text, out);
            return t;
        },
        [&] {
            QString literal;
            const double t =
                msOf([&] { literal = tavrin::test::reflowReference(text, 20, true, true); });
            if (literal != out)
                qFatal("the peer did other work");
            return t;
        });
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

// MakeBook of every lesson, each from a fresh entry table; every lesson's quiz file checked.
double makeBooks(Books& b, qint64 questions) {
    double ms = 0;
    for (int lesson = 0; lesson < Books::lessons(questions); ++lesson) {
        EntryTable table;
        for (int i = 0; i < Books::perLesson(questions); ++i) {
            table.SoalText[i] = QStringLiteral(u"سؤال شماره %1 كدام است؟").arg(i);
            table.JavabRtf[i] = kAnswers;
            table.TozihRtf[i] = kWhy;
        }
        QFile::remove(b.project + QStringLiteral("/_xml/quiz0-%1.xml").arg(lesson));
        const BookRequest r{b.project, 0, lesson, QStringLiteral("L"), {}, {}, {}};
        BookOutcome made = BookOutcome::Failed;
        ms += msOf([&] { made = MakeBook(b.p.context, table, r); });
        const QString quiz =
            readUtf16File(b.project + QStringLiteral("/_xml/quiz0-%1.xml").arg(lesson));
        if (made != BookOutcome::Made ||
            quiz.count(QStringLiteral("<chk>")) != Books::perLesson(questions) ||
            !quiz.contains(QStringLiteral(u"<D>د</D>")))
            qFatal("lesson %d was not made whole", lesson);
    }
    return ms;
}

// The floor: the same quiz files' text and index, already plain, put together and written
// the same safe way (on disk, then renamed into place).
double plainBooks(Books& b, qint64 questions) {
    const QString answers = QStringLiteral(u"الف\r\nب\r\nج\r\nد");
    const QString why = QStringLiteral(u"جواب");
    double ms = 0;
    for (int lesson = 0; lesson < Books::lessons(questions); ++lesson) {
        const QString path = b.project + QStringLiteral("/_xml/plain0-%1.xml").arg(lesson);
        ms += msOf([&] {
            QString quiz = QStringLiteral("<quiz qNo='0-%1' IDname='L'>\r\n").arg(lesson);
            for (int i = 0; i < Books::perLesson(questions); ++i) {
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
            files.write(encodeUtf16Le(quiz), path);
            files.write(encodeUtf16Le(index), b.project + QStringLiteral("/_xml/Plain.xml"));
            files.place();
        });
        if (readUtf16File(path).count(QStringLiteral("<chk>")) != Books::perLesson(questions))
            qFatal("the floor did not write lesson %d", lesson);
    }
    return ms;
}

void BM_MakeBook(benchmark::State& state) {
    Books b;
    paired(
        state, [&] { return makeBooks(b, state.range(0)); },
        [&] { return plainBooks(b, state.range(0)); });
}

} // namespace

// Each repetition runs the tool and then its peer (interleaved); wall time.
#define TAVRIN_PAIRED(n)                                                                           \
    Iterations(1)->Repetitions(n)->ReportAggregatesOnly(true)->UseManualTime()->Unit(              \
        benchmark::kMillisecond)
BENCHMARK(BM_LoadLessonText)->Arg(100 << 10)->Arg(1 << 20)->Arg(5 << 20)->TAVRIN_PAIRED(3);
BENCHMARK(BM_DoPara)->Arg(100 << 10)->Arg(1 << 20)->Arg(5 << 20)->TAVRIN_PAIRED(3);
// Kind 0 blanks, 1 line ends, 2 Persian text; 1, 4 and 10 MB.
BENCHMARK(BM_Reflow)->ArgsProduct({{0, 1, 2}, {1 << 20, 4 << 20, 10 << 20}})->TAVRIN_PAIRED(3);
BENCHMARK(BM_MakeBook)->Arg(250)->Arg(5000)->TAVRIN_PAIRED(5);
