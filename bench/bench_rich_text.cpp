// The rich text paths at 100 KB, 1 MB and 5 MB of RTF: plain text (ToTXT), loading into the
// box, writing the box's RTF back, and right-aligning all of it.
#include "richtext/rich_text_document.h"
#include "richtext/rich_text_plain.h"
#include "richtext/rich_text_reader.h"
#include "widgets/rich_text_box.h"

#include <QCoreApplication>
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

void BM_ToTXT(benchmark::State& state) {
    const QString rtf = rtfTextFromBytes(lessonRtf(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(rtfToPlainText(rtf));
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

// Loads into a shown box, with the layout the user waits for: the box painted once more. Its
// scroll bar is always on, as the lesson box has it.
template <typename Load> void loadShown(benchmark::State& state, Load load) {
    RichTextBox box;
    box.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box.resize(600, 400);
    box.show();
    for (auto _ : state) {
        load(box);
        QCoreApplication::processEvents();
        box.viewport()->repaint();
    }
}

void BM_LoadIntoBox(benchmark::State& state) {
    const QString rtf = rtfTextFromBytes(lessonRtf(state.range(0)));
    loadShown(state, [&](RichTextBox& box) { box.setRtf(rtf); });
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void BM_BoxRtf(benchmark::State& state) {
    RichTextBox box;
    setDocumentRtf(box.document(), rtfTextFromBytes(lessonRtf(state.range(0))), true);
    for (auto _ : state)
        benchmark::DoNotOptimize(box.rtf());
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

void BM_ManyRunsIntoBox(benchmark::State& state) {
    const QString rtf = rtfTextFromBytes(manyRunsRtf(int(state.range(0))));
    loadShown(state, [&](RichTextBox& box) { box.setRtf(rtf); });
}

// The first load into a box just made and shown, its scroll bar always on as the lesson box
// has it (the later loads are BM_ManyRunsIntoBox): a first-use cost would show as the
// difference. With the bar as needed, the first long text brings the bar in, narrows the
// box and is laid out twice.
void BM_ManyRunsFirstLoad(benchmark::State& state) {
    const QString rtf = rtfTextFromBytes(manyRunsRtf(int(state.range(0))));
    for (auto _ : state) {
        state.PauseTiming();
        auto box = std::make_unique<RichTextBox>();
        box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn); // as the lesson box has it
        box->resize(600, 400);
        box->show();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        box->setRtf(rtf);
        QCoreApplication::processEvents();
        box->viewport()->repaint();
        state.PauseTiming();
        if (box->textLength() < state.range(0))
            state.SkipWithError("the paragraph was not loaded");
        box.reset();
        state.ResumeTiming();
    }
}

// The yardstick: Qt's own loading of the same formatted text.
void BM_ManyRunsSetHtml(benchmark::State& state) {
    const QString html = manyRunsHtml(int(state.range(0)));
    loadShown(state, [&](RichTextBox& box) { box.setHtml(html); });
}

BENCHMARK(BM_ManyRunsFirstLoad)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ManyRunsIntoBox)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ManyRunsSetHtml)->Arg(10000)->Unit(benchmark::kMillisecond);

constexpr int64_t kSmall = 100 << 10, kMedium = 1 << 20, kLarge = 5 << 20;

} // namespace

BENCHMARK(BM_ToTXT)->Arg(kSmall)->Arg(kMedium)->Arg(kLarge)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadIntoBox)->Arg(kSmall)->Arg(kMedium)->Arg(kLarge)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BoxRtf)->Arg(kSmall)->Arg(kMedium)->Arg(kLarge)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RightAlignAll)->Arg(kSmall)->Arg(kMedium)->Arg(kLarge)->Unit(benchmark::kMillisecond);
