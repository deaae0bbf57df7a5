#include "omr/sheets_output.h"

#include "platform/csv.h"
#include "platform/file_system.h"
#include "platform/fs_error.h"
#include "platform/safe_save.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

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

qsizetype doubtsOf(const SheetsReading& reading) {
    return reading.review.size() - reading.pagesRefused;
}

QString readingSummary(const SheetsReading& reading) {
    return QStringLiteral("Answer sheets read: %1 sheets from %2 pages, %3 to review, %4 pages "
                          "refused, %5 files unreadable")
        .arg(reading.sheets.size())
        .arg(reading.pagesRead)
        .arg(doubtsOf(reading))
        .arg(reading.pagesRefused)
        .arg(reading.unreadable.size());
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

bool settleNumber(SheetsReading& reading, int row, const QString& number) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,8}$"));
    ReviewRow& r = reading.review[row];
    if (r.sheet < 0 || r.question != QLatin1String("number") || !digits.match(number).hasMatch())
        return false;
    const int from = r.sheet;
    r.read = number;
    reading.sheets[from].name = number;
    reading.sheets[from].number = number;
    const auto apart = [&](const SheetRow& other) {
        for (int p : other.pages)
            if (reading.sheets[from].pages.contains(p))
                return false;
        return true;
    };
    int into = -1;
    for (int s = 0; s < reading.sheets.size() && into < 0; ++s)
        if (s != from && reading.sheets[s].version == reading.sheets[from].version &&
            reading.sheets[s].name == number && apart(reading.sheets[s]))
            into = s;
    if (into < 0)
        return true;
    // The two pages of one student: one row, in the place of the first scanned.
    const int keep = std::min(from, into), gone = std::max(from, into);
    SheetRow& kept = reading.sheets[keep];
    const SheetRow& other = reading.sheets[gone];
    for (int q = 0; q < kept.answers.size() && q < other.answers.size(); ++q)
        if (kept.answers[q].isEmpty())
            kept.answers[q] = other.answers[q];
    kept.name = number;
    kept.number = number;
    kept.pages += other.pages;
    std::sort(kept.pages.begin(), kept.pages.end());
    reading.sheets.removeAt(gone);
    for (ReviewRow& each : reading.review)
        if (each.sheet == gone)
            each.sheet = keep;
        else if (each.sheet > gone)
            --each.sheet;
    // A page missing from either is missing no more once the other brought it.
    reading.review.removeIf([&](const ReviewRow& each) {
        return each.sheet == keep && each.missingPage &&
               reading.sheets[keep].pages.contains(each.missingPage);
    });
    return true;
}

} // namespace tavrin
