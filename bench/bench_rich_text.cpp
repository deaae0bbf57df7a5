// The rich text paths at 100 KB, 1 MB and 5 MB of RTF: plain text (ToTXT), loading into the
// box, writing the box's RTF back, and right-aligning all of it; and a paragraph of 10,000
// format runs loaded into a new box, into a used one and by Qt's own setHtml, in turn. Wall
// time; every benchmark checks that its work was done.
#include "richtext/rich_text_document.h"
#include "richtext/rich_text_plain.h"
#include "richtext/rich_text_reader.h"
#include "widgets/rich_text_box.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextBlock>
#include <benchmark/benchmark.h>
#include <memory>

using namespace tavrin;

namespace {

// A lesson as RichEdit saves it: Persian as \'hh in code page 1256, some bold, a paragraph
// of about 400 bytes at a time.
QByteArray lessonRtf(qsizetype size) {
    QByteArray rtf(
        "{\\rtf1\\ansi\\ansicpg1256\\deff0\\deflang1065{\\fonttbl{\\f0\\fnil\\fcharset178 "
        "Tahoma;}}\r\n\\viewkind4\\uc1");
    const QByteArray word = "\\'d3\\'c4\\'c7\\'e1 \\'cf\\'d1\\'d3 \\'c7\\'e6\\'e1 "; // سؤال درس اول
    int n = 0;
    while (rtf.size() < size) {
        rtf += "\\pard\\rtlpar\\qr\\f0\\fs20 ";
        rtf += QByteArray::number(++n) + ". ";
        for (int i = 0; i < 6; ++i)
            rtf += word;
        rtf += "\\b Qt 6\\b0  ";
        for (int i = 0; i < 4; ++i)
            rtf += word;
        rtf += "\\par\r\n";
    }
    return rtf + "}";
}

const QString kWords = QStringLiteral(u"سؤال درس اول");

// Every paragraph's ten words and its Latin run came through.
bool wholeText(const QString& text, qsizetype rtfSize) {
    const qsizetype paragraphs = lessonRtf(rtfSize).count("\\par\r\n");
    return text.count(QStringLiteral("Qt 6")) == paragraphs &&
           text.count(kWords) == paragraphs * 10;
}

void BM_ToTXT(benchmark::State& state) {
    const QString rtf = rtfTextFromBytes(lessonRtf(state.range(0)));
    QString text;
    for (auto _ : state)
        text = rtfToPlainText(rtf);
    if (!wholeText(text, state.range(0)))
        qFatal("ToTXT lost text");
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

// Loads into a shown box, with the layout the user waits for: the box painted once more. Its
// scroll bar is always on, as the lesson box has it.
void showLoaded(RichTextBox& box) {
    QCoreApplication::processEvents();
    box.viewport()->repaint();
}

void BM_LoadIntoBox(benchmark::State& state) {
    const QString rtf = rtfTextFromBytes(lessonRtf(state.range(0)));
    RichTextBox box;
    box.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box.resize(600, 400);
    box.show();
    for (auto _ : state) {
        box.setRtf(rtf);
        showLoaded(box);
    }
    if (!wholeText(box.text(), state.range(0)))
        qFatal("the box lost text");
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void BM_BoxRtf(benchmark::State& state) {
    RichTextBox box;
    setDocumentRtf(box.document(), rtfTextFromBytes(lessonRtf(state.range(0))), true);
    QString rtf;
    for (auto _ : state)
        rtf = box.rtf();
    if (rtfToPlainText(rtf) != rtfToPlainText(rtfTextFromBytes(lessonRtf(state.range(0)))))
        qFatal("the box's RTF does not hold its text");
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void BM_RightAlignAll(benchmark::State& state) {
    RichTextBox box;
    box.resize(600, 400);
    box.show();
    box.setText(rtfToPlainText(rtfTextFromBytes(lessonRtf(state.range(0)))));
    QCoreApplication::processEvents();
    int flip = 0;
    for (auto _ : state) {
        box.selectAll();
        box.setSelectionAlignment(++flip % 2 ? Qt::AlignRight | Qt::AlignAbsolute : Qt::AlignLeft);
        box.setCaret(0);
        QCoreApplication::processEvents();
    }
    const Qt::Alignment last = flip % 2 ? Qt::AlignRight | Qt::AlignAbsolute : Qt::AlignLeft;
    for (QTextBlock b = box.document()->begin(); b.isValid(); b = b.next()) {
        if (b.blockFormat().alignment() != last)
            qFatal("a paragraph was not aligned");
    }
}

// One paragraph of N letters, bold and plain in turn: a format run per letter.
QByteArray manyRunsRtf(int letters) {
    QByteArray rtf(
        "{\\rtf1\\ansi\\ansicpg1256{\\fonttbl{\\f0\\fcharset178 Tahoma;}}\\pard\\rtlpar\\qr ");
    for (int i = 0; i < letters; ++i)
        rtf += i % 2 ? "\\b0 \\'c8" : "\\b \\'c7";
    return rtf + "\\par}";
}

QString manyRunsHtml(int letters) {
    QString html = QStringLiteral("<p dir=\"rtl\" align=\"right\">");
    for (int i = 0; i < letters; ++i)
        html += i % 2 ? QStringLiteral(u"ب") : QStringLiteral(u"<b>ا</b>");
    return html + QStringLiteral("</p>");
}

// A paragraph of N runs loaded into a box just made and shown (a first-use cost would show
// as the difference), into the same box again, and by Qt's own setHtml of the same
// formatted text, in turn; the scroll bar always on as the lesson box has it (with the bar
// as needed, the first long text brings the bar in, narrows the box and is laid out twice).
void BM_ManyRuns(benchmark::State& state) {
    const int letters = int(state.range(0));
    const QString rtf = rtfTextFromBytes(manyRunsRtf(letters));
    const QString html = manyRunsHtml(letters);
    const auto shownBox = [] {
        auto box = std::make_unique<RichTextBox>();
        box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        box->resize(600, 400);
        box->show();
        QCoreApplication::processEvents();
        return box;
    };
    const auto timed = [&](RichTextBox& box, const std::function<void()>& load) {
        QElapsedTimer clock;
        clock.start();
        load();
        showLoaded(box);
        const double ms = double(clock.nsecsElapsed()) / 1e6;
        if (box.textLength() < letters)
            qFatal("the paragraph was not loaded");
        return ms;
    };
    for (auto _ : state) {
        auto box = shownBox();
        const double first = timed(*box, [&] { box->setRtf(rtf); });
        const double later = timed(*box, [&] { box->setRtf(rtf); });
        auto peer = shownBox();
        const double byHtml = timed(*peer, [&] { peer->setHtml(html); });
        state.SetIterationTime(first / 1e3);
        state.counters["later_ms"] = later;
        state.counters["set_html_ms"] = byHtml;
    }
}

constexpr int64_t kSmall = 100 << 10, kMedium = 1 << 20, kLarge = 5 << 20;

} // namespace

#define TAVRIN_SIZES(b)                                                                            \
    BENCHMARK(b)->Arg(kSmall)->Arg(kMedium)->Arg(kLarge)->UseRealTime()->Unit(                     \
        benchmark::kMillisecond)
TAVRIN_SIZES(BM_ToTXT);
TAVRIN_SIZES(BM_LoadIntoBox);
TAVRIN_SIZES(BM_BoxRtf);
TAVRIN_SIZES(BM_RightAlignAll);
BENCHMARK(BM_ManyRuns)
    ->Arg(10000)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
