#include "app/activity_log.h"
#include "app/context.h"
#include "app/identity.h"
#include "app/messages.h"
#include "exam/class_model.h"
#include "exam/paper_record.h"
#include "exam/question_bank.h"
#include "mainwin/main_window.h"
#include "mainwin/read_sheets_dialog.h"
#include "omr/sheets_output.h"
#include "omr/sheets_results.h"
#include "platform/fs_error.h"
#include "platform/paths.h"
#include "platform/persian_text.h"
#include "store/quiz_file.h"
#include "widgets/busy_cursor.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QProgressDialog>

namespace tavrin {

void MainWindow::readSheetsCommand() {
    context_.log().LogMe(QStringLiteral("Read answer sheets..."));
    const auto output = projectOutput();
    if (!output)
        return;
    const auto& [project, name, exports] = *output;
    ReadSheetsDialog::Request first;
    first.exam = exports.filePath(QStringLiteral("paper-") + name);
    first.out = exports.filePath(QStringLiteral("sheets-") + name);
    int questions = 0;
    const auto read = [&](const ReadSheetsDialog::Request& r) -> std::optional<SheetsReading> {
        std::optional<SheetsReading> out;
        examStep(kFailReadSheets, kNoticeSheetsNotRead, [&] {
            const auto reader = openSheetScans(checkedExamRecord(r.exam));
            questions = reader->questions(1);
            QProgressDialog progress(QStringLiteral(u"خواندن پاسخ‌برگ‌ها…"),
                                     QString(), 0, 0, this);
            progress.setWindowModality(Qt::WindowModal);
            progress.setMinimumDuration(300);
            reader->setOnPage([&progress](int pages) {
                progress.setLabelText(persianShown(
                    QStringLiteral(u"خواندن پاسخ‌برگ‌ها… %1 صفحه")
                        .arg(pages),
                    Digits::AlsoBare));
                progress.setValue(0);
                QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            });
            const BusyCursor busy;
            for (const QString& scan : r.scanPaths())
                reader->readPath(scan);
            SheetsReading reading = reader->finish();
            context_.log().LogMe(readingSummary(reading));
            for (const QString& file : std::as_const(reading.unreadable))
                reportFailure(context_, kFailReadSheets, file);
            // A file that is no scan is named, and the others' sheets go on to review.
            if (!reading.unreadable.isEmpty())
                bepayamWithLine(context_, kNoticeSheetsNotRead,
                                reading.unreadablePersian.join(QStringLiteral("\r\n")));
            if (!reading.sheets.isEmpty() || !reading.review.isEmpty())
                out = std::move(reading);
            else if (reading.unreadable.isEmpty())
                examFailed(kFailReadSheets, kNoticeSheetsNotRead,
                           QStringLiteral("no answer sheet in the scans"),
                           QStringLiteral(u"در پویش‌ها پاسخ‌برگی نبود."));
        });
        return out;
    };
    const auto finish = [&](const ReadSheetsDialog::Request& r, const SheetsReading& reading,
                            QObject* owner) -> QAbstractTableModel* {
        // An earlier reading in the folder is replaced only when the author says so.
        if (!sheetsResultsIn(r.out).isEmpty() &&
            !replacesEarlier(r.out, QStringLiteral(u"پاسخ‌برگ‌های دیگری")))
            return nullptr;
        QAbstractTableModel* model = nullptr;
        examStep(kFailReadSheets, kNoticeSheetsNotRead, [&] {
            const BusyCursor busy;
            const QuestionBank bank = readQuestionBank(context_, project);
            const SheetsWritten w = writeSheetsResults(bank, r.exam, r.out, reading, questions);
            context_.log().LogMe(QStringLiteral("Answer sheets scored: %1 students into %2")
                                     .arg(w.scored.students)
                                     .arg(QDir::toNativeSeparators(r.out)));
            model = new ClassScoresModel(bank, w.scored.rows, w.numbers, owner);
        });
        return model;
    };
    ReadSheetsDialog dialog(first, read, finish, this);
    dialog.exec();
}

} // namespace tavrin
