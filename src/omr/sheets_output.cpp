#include "omr/sheets_output.h"

#include "platform/csv.h"
#include "platform/file_system.h"
#include "platform/fs_error.h"
#include "platform/safe_save.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace tavrin {

QByteArray sheetsCsv(const SheetsReading& reading, int questions) {
    QStringList header{QStringLiteral("name"), QStringLiteral("version")};
    for (int q = 1; q <= questions; ++q)
        header.append(QString::number(q));
    QByteArray out = "\xEF\xBB\xBF" + csvRow(header).toUtf8();
    for (const SheetRow& sheet : reading.sheets) {
        QStringList answers = sheet.answers;
        answers.resize(questions);
        out += csvRow(QStringList{csvText(sheet.name), QString::number(sheet.version)} + answers)
                   .toUtf8();
    }
    return out;
}

namespace {

QString cropName(const ReviewRow& row, int index) {
    QString stem = QFileInfo(row.file).completeBaseName();
    stem.replace(QRegularExpression(QStringLiteral("[^\\w.-]+")), QStringLiteral("_"));
    return QStringLiteral("%1-%2-p%3-%4.png")
        .arg(index + 1, 4, 10, QLatin1Char('0'))
        .arg(stem.left(60))
        .arg(row.page)
        .arg(row.question.isEmpty() ? QStringLiteral("page") : row.question);
}

} // namespace

void writeReviewFolder(const QString& folder, const SheetsReading& reading) {
    makeFolders(folder);
    QByteArray csv = "\xEF\xBB\xBF" +
                     csvRow({QStringLiteral("file"), QStringLiteral("page"), QStringLiteral("name"),
                             QStringLiteral("version"), QStringLiteral("question"),
                             QStringLiteral("read"), QStringLiteral("why"), QStringLiteral("crop")})
                         .toUtf8();
    for (int i = 0; i < reading.review.size(); ++i) {
        const ReviewRow& row = reading.review[i];
        const QString crop = row.crop.isNull() ? QString() : cropName(row, i);
        if (!crop.isEmpty()) {
            QByteArray png;
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            if (!row.crop.save(&buffer, "PNG"))
                throw FsError::at(QStringLiteral("The crop could not be made"),
                                  folder + u'/' + crop);
            saveWholeFile(folder + u'/' + crop, png);
        }
        csv += csvRow({QDir::toNativeSeparators(row.file), QString::number(row.page),
                       csvText(row.name), row.version ? QString::number(row.version) : QString(),
                       row.question, row.read, row.persian, crop})
                   .toUtf8();
    }
    saveWholeFile(folder + QStringLiteral("/review.csv"), csv);
}

void settleReview(SheetsReading& reading, int row, const QString& answer) {
    ReviewRow& r = reading.review[row];
    bool ok = false;
    const int question = r.question.toInt(&ok);
    if (r.sheet < 0 || !ok)
        return;
    reading.sheets[r.sheet].answers[question - 1] = answer;
    r.read = answer;
}

} // namespace tavrin
