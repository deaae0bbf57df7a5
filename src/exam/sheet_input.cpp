#include "exam/sheet_input.h"

#include "exam/paper_answers.h"
#include "exam/paper_record.h"
#include "platform/file_system.h"
#include "platform/fs_error.h"
#include "platform/persian_text.h"
#include "platform/text_file.h"

#include <QFile>

namespace tavrin {

void readAnswerSheets(const QuestionBank& bank, const QString& answers, const QString& examFolder,
                      const std::function<void(SheetRows&, const ExamSheetRows*)>& use,
                      QByteArray* record) {
    checkInputFile(answers, kLargestAnswerSheets);
    QFile file(answers);
    if (!file.open(QIODevice::ReadOnly))
        throw FsError::at(QStringLiteral("File not found"), answers);
    {
        CsvSheetRows rows(file);
        if (examFolder.isEmpty()) {
            use(rows, nullptr);
        } else {
            const QByteArray checked = checkedExamRecord(examFolder);
            if (record)
                *record = checked;
            ExamSheetRows mapped(checked, rows);
            // A record of another bank is the record's fault, never a sheet's line.
            for (const QString& id : mapped.bankQuestions())
                if (const BankQuestion* q = bank.find(id); !q || !q->scorable())
                    throw BadSheet(
                        0,
                        QStringLiteral("exam.json names question %1, which the project %2: "
                                       "the exam was printed from another bank; print it "
                                       "again")
                            .arg(id, q ? QStringLiteral("cannot score (no marked answer)")
                                       : QStringLiteral("does not have")),
                        QStringLiteral(
                            u"exam.json سؤال %1 را نام می‌برد که پروژه %2؛ "
                            u"آزمون "
                            u"از "
                            u"بانک دیگری چاپ شده است: دوباره چاپش کنید.")
                            .arg(leftToRight(id),
                                 q ? QStringLiteral(u"پاسخ درستش را معین نکرده است")
                                   : QStringLiteral(u"ندارد")));
            use(mapped, &mapped);
        }
    }
    if (file.error() != QFileDevice::NoError)
        throw FsError::at(file.errorString(), answers);
}

} // namespace tavrin
