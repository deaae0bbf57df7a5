// A long run of the sheets' reading for a person to judge: many sheets of every passage,
// filled as a class fills them, read back and compared with what was meant. Prints the
// figures; exits 1 when an answer or a number was read wrong without a review row.
//   sheet_accuracy [SHEETS_PER_PASSAGE]
#include "exam/paper_record.h"
#include "paper/paper_exam.h"
#include "sheet_batch.h"
#include "support/paper_project.h"
#include "support/test_program.h"

#include <QApplication>
#include <QElapsedTimer>

using namespace tavrin;
using namespace tavrin::test;

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    const int perPassage = argc > 1 ? std::atoi(argv[1]) : 25;
    TestProgram program;
    copyShippedResources(program.folder());
    const QString project = program.path(QStringLiteral("Project 1"));
    makePaperProject(program.context(), project, 20);
    PaperChoices c;
    c.versions = 2;
    c.seed = 77;
    c.scope = {PaperScope::Kind::Field, 0, 0};
    const QString exam = program.path(QStringLiteral("exam"));
    writePaperExam(program.context(), project, QStringLiteral("Project 1"), exam, c);
    const QByteArray recordBytes = checkedExamRecord(exam);
    const QJsonObject record = QJsonDocument::fromJson(recordBytes).object();
    std::mt19937 random(2026);
    BatchFigures all;
    int failures = 0;
    for (const auto& [how, name] :
         {std::pair{Passage::Scan300, "300 dpi scan"}, std::pair{Passage::Copy200, "200 dpi copy"},
          std::pair{Passage::UpsideDown, "upside down"},
          std::pair{Passage::Phone, "phone, JPEG 70"}}) {
        QList<FilledSheet> filled;
        SheetReader reader(recordBytes);
        QElapsedTimer timer;
        qint64 reading = 0;
        for (int s = 0; s < perPassage; ++s) {
            FilledSheet sheet;
            sheet.version = 1 + s % 2;
            const cv::Mat page =
                passed(filledPage(exam, record, sheet, random, false), how, random);
            sheet.file = program.path(
                QStringLiteral("%1-%2.%3")
                    .arg(int(how))
                    .arg(s)
                    .arg(how == Passage::Phone ? QStringLiteral("jpg") : QStringLiteral("png")));
            writeImage(sheet.file, page, how == Passage::Phone ? 70 : 0);
            timer.start();
            reader.readPath(sheet.file);
            reading += timer.elapsed();
            filled.append(sheet);
        }
        const SheetsReading read = reader.finish();
        const BatchFigures f = compare(filled, read);
        std::printf("%-16s %4d sheets, %5d questions, %5d marks: %4d reviewed (%.1f%%), %d of %d "
                    "double marks listed, %d of %d numbers read, %d pages refused, %d wrong in "
                    "silence, %d numbers wrong in silence, %.0f ms a page\n",
                    name, perPassage, f.questions, f.marks, f.reviewed,
                    100.0 * f.reviewed / std::max(1, f.questions), f.severalListed, f.several,
                    f.numbersRead, f.numbers, read.pagesRefused, f.wrongInSilence,
                    f.numbersWrongInSilence, double(reading) / perPassage);
        for (const QString& s : f.silent)
            std::printf("  %s\n", qPrintable(s));
        failures += f.wrongInSilence + f.numbersWrongInSilence + read.pagesRefused;
        all.questions += f.questions;
        all.marks += f.marks;
        all.reviewed += f.reviewed;
    }
    std::printf("all: %d questions, %d marks, %d reviewed\n", all.questions, all.marks,
                all.reviewed);
    return failures == 0 ? 0 : 1;
}
