// A made lesson reopened (the fullest lesson a table holds: 257 questions with four answers,
// a mark and an explanation) against the floor of reading the same file's lines; a Word
// lesson of 1 MB read and shown in the lesson box against the floor of unzipping it and
// walking its XML.
#include "bench_program.h"
#include "export/output_folders.h"
#include "lesson/entry_table.h"
#include "lesson/quiz_book.h"
#include "lesson/quiz_reopen.h"
#include "lessontext/lesson_texts.h"
#include "platform/text_codec.h"
#include "platform/text_file.h"
#include "support/docx_fixture.h"
#include "widgets/rich_text_box.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QXmlStreamReader>
#include <benchmark/benchmark.h>
#include <zip.h>

using namespace tavrin;
using tavrin::bench::Program;

namespace {

QString resource(const char* name) {
    return decodeAnsi(readWholeFile(QStringLiteral(TAVRIN_RESOURCES "/") + QLatin1String(name)));
}

// A project whose lesson 0-0 is made with every entry of the table a question.
struct MadeLesson {
    Program p;
    QString project = p.dir.filePath(QStringLiteral("Project 1"));
    MadeLesson() {
        QDir().mkpath(project);
        MakeDirs(p.context, project, QStringLiteral("BookTXT"), QStringLiteral("_xml"));
        EntryTable table;
        const QString mark = resource("check.bin");
        for (int i = 0; i < EntryTable::kEntries; ++i) {
            table.SoalText[i] = QStringLiteral(u"سؤال شماره %1 كدام گزينه درست است؟").arg(i);
            table.JavabRtf[i] = QStringLiteral("{\\rtf1\\ansi\\ansicpg1256\\pard\\rtlpar\\qr "
                                               "\\'c7\\'e1\\'dd\\par ") +
                                mark + QStringLiteral("\\'c8\\par \\'cc\\par \\'cf}");
            table.TozihRtf[i] = QStringLiteral(u"چون پاسخ درست همين است.");
        }
        BookRequest r{project, 0, 0, QStringLiteral("L"), {}, mark, {}};
        if (MakeBook(p.context, table, r) != BookOutcome::Made)
            qFatal("MakeBook failed");
    }
};

void BM_ReopenLesson(benchmark::State& state) {
    MadeLesson m;
    const QString check = resource("check.bin"), img = resource("img.bin");
    QListWidget outline;
    outline.show();
    for (auto _ : state) {
        const auto book = reopenBook(m.p.context, m.project, QStringLiteral("0-0"), check, img);
        if (!book || book->table.EntryCount != EntryTable::kEntries)
            state.SkipWithError("the lesson did not come back whole");
        outline.clear();
        outline.addItems(book->outline);
        QCoreApplication::processEvents();
    }
}

// The floor: the same file read and cut into its lines.
void BM_ReadQuizLines(benchmark::State& state) {
    MadeLesson m;
    const QString path = m.project + QStringLiteral("/_xml/quiz0-0.xml");
    for (auto _ : state) {
        const QStringList lines = readUtf16File(path).split(QStringLiteral("\r\n"));
        if (lines.size() < EntryTable::kEntries * 9)
            state.SkipWithError("the file was not read");
    }
}

// A Word lesson of about this many bytes of document XML: Persian paragraphs with bold and
// coloured runs, a table row and a list item now and then.
struct WordLesson {
    Program p;
    QString name = QStringLiteral("lesson.docx");
    explicit WordLesson(qsizetype size) {
        const QString paragraph = QStringLiteral(
            u"<w:p><w:pPr><w:bidi/></w:pPr><w:r><w:rPr><w:rtl/></w:rPr><w:t xml:space='preserve'>"
            u"كدام يك از مواد زير در دماي اتاق به حالت مايع است؟ جيوه تنها فلزي است كه "
            u"</w:t></w:r><w:r><w:rPr><w:b/><w:color w:val='C00000'/><w:rtl/></w:rPr><w:t>"
            u"در دماي اتاق مايع است</w:t></w:r><w:r><w:t>: آهن و نمك جامدند.</w:t></w:r></w:p>"
            u"<w:p><w:pPr><w:bidi/><w:numPr><w:ilvl w:val='0'/><w:numId w:val='2'/></w:numPr>"
            u"</w:pPr><w:r><w:t>گزينه ب</w:t></w:r></w:p><w:tbl><w:tr><w:tc><w:p><w:r><w:t>عدد"
            u"</w:t></w:r></w:p></w:tc><w:tc><w:p><w:r><w:t>نام</w:t></w:r></w:p></w:tc></w:tr>"
            u"</w:tbl>");
        QString body;
        while (body.toUtf8().size() < size)
            body += paragraph;
        test::writeDocx(p.dir.filePath(name), body);
    }
};

void BM_LoadWordLesson(benchmark::State& state) {
    WordLesson w(state.range(0));
    RichTextBox box;
    box.resize(800, 500);
    box.show();
    for (auto _ : state) {
        const LessonText text = readLessonText(w.p.dir.path(), w.name);
        box.setRtf(text.text, repDocument);
        box.setCaret(0);
        box.selectAll();
        box.setSelectionAlignment(Qt::AlignRight | Qt::AlignAbsolute);
        box.setCaret(0);
        QCoreApplication::processEvents();
        if (!box.text().startsWith(QStringLiteral(u"كدام يك")))
            state.SkipWithError("the lesson was not shown");
    }
}

// The floor of any reader: the document part unzipped and every element walked.
void BM_UnzipAndWalk(benchmark::State& state) {
    WordLesson w(state.range(0));
    const QByteArray path = QFile::encodeName(w.p.dir.filePath(w.name));
    for (auto _ : state) {
        int error = 0;
        zip_t* zip = zip_open(path.constData(), ZIP_RDONLY, &error);
        zip_stat_t stat;
        zip_stat(zip, "word/document.xml", 0, &stat);
        QByteArray xml(qsizetype(stat.size), Qt::Uninitialized);
        zip_file_t* file = zip_fopen(zip, "word/document.xml", 0);
        zip_fread(file, xml.data(), stat.size);
        zip_fclose(file);
        zip_discard(zip);
        QXmlStreamReader reader(xml);
        qsizetype letters = 0;
        while (!reader.atEnd()) {
            if (reader.readNext() == QXmlStreamReader::Characters)
                letters += reader.text().size();
        }
        if (reader.hasError() || letters == 0)
            state.SkipWithError("the document was not read");
    }
}

} // namespace

// Wall time, median of three repetitions.
#define TAVRIN_WALL(b)                                                                             \
    BENCHMARK(b)->UseRealTime()->Repetitions(3)->ReportAggregatesOnly(true)->Unit(                 \
        benchmark::kMillisecond)
TAVRIN_WALL(BM_ReopenLesson);
TAVRIN_WALL(BM_ReadQuizLines);
TAVRIN_WALL(BM_LoadWordLesson)->Arg(100 << 10)->Arg(1 << 20);
TAVRIN_WALL(BM_UnzipAndWalk)->Arg(100 << 10)->Arg(1 << 20);
