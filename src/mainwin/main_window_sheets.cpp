#include "app/activity_log.h"
#include "app/context.h"
#include "app/identity.h"
#include "app/messages.h"
#include "exam/class_model.h"
#include "exam/paper_record.h"
#include "exam/question_bank.h"
#include "mainwin/main_window.h"
#include "mainwin/read_sheets_dialog.h"
#include "omr/sheets_results.h"
#include "platform/fs_error.h"
#include "platform/paths.h"
#include "platform/persian_text.h"
#include "store/quiz_file.h"
#include "widgets/busy_cursor.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QProgressDialog>

namespace tavrin {

namespace {

QString sheetRefusalWhy(const BadSheet& bad, QString* persian) {
    *persian = bad.line() > 0 ? QStringLiteral(u"سطر %1 پاسخ‌برگ‌ها: %2")
                                    .arg(bad.line())
                                    .arg(bad.persian())
                              : bad.persian();
    return bad.line() > 0
               ? QStringLiteral("line %1 of the answers: %2").arg(bad.line()).arg(bad.why())
               : bad.why();
}

} // namespace

void MainWindow::readSheetsCommand() {
    context_.log().LogMe(QStringLiteral("Read answer sheets..."));
    const auto output = projectOutput();
    if (!output)
        return;
    const auto& [project, name, exports] = *output;
    ReadSheetsDialog::Request first;
    first.exam = exports.filePath(QStringLiteral("paper-") + name);
    first.out = exports.filePath(QStringLiteral("sheets-") + name);
    const auto failed = [this](const QString& why, const QString& persian) {
        reportFailure(context_, kFailReadSheets, why);
        bepayamWithLine(context_, kNoticeSheetsNotRead,
                        persian.isEmpty() ? persianCause(why) : persian);
    };
    int questions = 0;
    const auto read = [&](const ReadSheetsDialog::Request& r) -> std::optional<SheetsReading> {
        QString why, persian;
        try {
            SheetReader reader(checkedExamRecord(r.exam));
            questions = reader.questions(1);
            QProgressDialog progress(QStringLiteral(u"خواندن پاسخ‌برگ‌ها…"),
                                     QString(), 0, 0, this);
            progress.setWindowModality(Qt::WindowModal);
            progress.setMinimumDuration(300);
            reader.setOnPage([&progress](int pages) {
                progress.setLabelText(persianShown(
                    QStringLiteral(u"خواندن پاسخ‌برگ‌ها… %1 صفحه")
                        .arg(pages),
                    Digits::AlsoBare));
                progress.setValue(0);
                QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            });
            const BusyCursor busy;
            for (const QString& scan : r.scanPaths())
                reader.readPath(scan);
            SheetsReading reading = reader.finish();
            context_.log().LogMe(QStringLiteral("Answer sheets read: %1 sheets from %2 pages, "
                                                "%3 to review, %4 pages refused, %5 files "
                                                "unreadable")
                                     .arg(reading.sheets.size())
                                     .arg(reading.pagesRead)
                                     .arg(reading.review.size() - reading.pagesRefused)
                                     .arg(reading.pagesRefused)
                                     .arg(reading.unreadable.size()));
            for (const QString& file : std::as_const(reading.unreadable))
                reportFailure(context_, kFailReadSheets, file);
            // A file that is no scan is named, and the others' sheets go on to review.
            if (!reading.unreadable.isEmpty())
                bepayamWithLine(context_, kNoticeSheetsNotRead,
                                reading.unreadablePersian.join(QStringLiteral("\r\n")));
            if (reading.sheets.isEmpty() && reading.review.isEmpty()) {
                if (reading.unreadable.isEmpty())
                    failed(QStringLiteral("no answer sheet in the scans"),
                           QStringLiteral(u"در پویش‌ها پاسخ‌برگی نبود."));
                return std::nullopt;
            }
            return reading;
        } catch (const BadSheet& bad) {
            why = sheetRefusalWhy(bad, &persian);
        } catch (const FsError& e) {
            why = e.description();
        }
        failed(why, persian);
        return std::nullopt;
    };
    const auto finish = [&](const ReadSheetsDialog::Request& r, const SheetsReading& reading,
                            QObject* owner) -> QAbstractTableModel* {
        // An earlier reading in the folder is replaced only when the author says so.
        if (QFileInfo::exists(QDir(r.out).filePath(QStringLiteral("sheets.csv"))) &&
            !context_.prompts().askYesNo(
                kMainCaption,
                QStringLiteral(u"در پوشهٔ\r\n") + pathInLine(r.out) +
                    QStringLiteral(u"\r\nپاسخ‌برگ‌های دیگری "
                                   u"هست.\r\n\r\nآیا جایگزین شود؟\u200F"),
                Default::No)) {
            context_.log().LogMe(QStringLiteral("Aborted by user!"));
            return nullptr;
        }
        QString why, persian;
        try {
            const BusyCursor busy;
            const QuestionBank bank = readQuestionBank(context_, project);
            const SheetsWritten w = writeSheetsResults(bank, r.exam, r.out, reading, questions);
            context_.log().LogMe(QStringLiteral("Answer sheets scored: %1 students into %2")
                                     .arg(w.scored.students)
                                     .arg(QDir::toNativeSeparators(r.out)));
            return new ClassScoresModel(bank, w.scored.rows, w.numbers, owner);
        } catch (const BadSheet& bad) {
            why = sheetRefusalWhy(bad, &persian);
        } catch (const UnreadableQuiz& e) {
            why = QStringLiteral("Unreadable line %1: %2").arg(e.line()).arg(e.name());
        } catch (const FsError& e) {
            why = e.description();
        }
        failed(why, persian);
        return nullptr;
    };
    ReadSheetsDialog dialog(first, read, finish, this);
    dialog.exec();
}

} // namespace tavrin
