#pragma once

// A class's filled sheets of one printed exam, made and passed through scanners, copiers and
// phones, with what each student meant: the tests and the accuracy run read them back.

#include "omr/sheet_reader.h"
#include "support/scan_maker.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QStringList>

namespace tavrin::test {

struct FilledAnswer {
    QList<Fill> fills;       // a bubble each, options 1..n
    QString meant;           // "1".."4", "" blank, "*" several
    bool mustReview = false; // several marked: listed whatever is read
};
struct FilledSheet {
    int version = 1;
    QString number; // as filled, its first digit at the left
    QList<FilledAnswer> answers;
    QString file;
    int page = 1;
};

// What a class puts on paper: mostly dark fills, light pencil, blanks, and now and then a
// fill that stops short, a cross, an erasure (alone or beside the answer) or a double mark.
// `plain` gives dark fills only, every question answered.
inline FilledAnswer anAnswer(int options, std::mt19937& random, bool plain) {
    FilledAnswer a;
    a.fills = QList<Fill>(options, Fill::None);
    const int o = std::uniform_int_distribution<int>(0, options - 1)(random);
    const int other =
        (o + 1 + std::uniform_int_distribution<int>(0, options - 2)(random)) % options;
    const int kind = plain ? 0 : std::uniform_int_distribution<int>(0, 99)(random);
    const auto chose = [&](Fill f) {
        a.fills[o] = f;
        a.meant = QString::number(o + 1);
    };
    if (kind < 50)
        chose(Fill::Dark);
    else if (kind < 62)
        chose(Fill::Light);
    else if (kind < 68)
        chose(Fill::Short);
    else if (kind < 73)
        chose(Fill::Cross);
    else if (kind < 79)
        a.fills[o] = Fill::Erased; // changed to nothing
    else if (kind < 84) {
        chose(Fill::Dark);
        a.fills[other] = Fill::Erased; // changed to o
    } else if (kind < 89) {
        a.fills[o] = a.fills[other] = Fill::Dark;
        a.meant = QStringLiteral("*");
        a.mustReview = true;
    }
    return a;
}

// The record's layout of a version, and each question's options.
inline QList<int> optionsOf(const QJsonObject& record, int version) {
    QList<int> options;
    for (const QJsonValue& q :
         record[QStringLiteral("versions")][version - 1][QStringLiteral("questions")].toArray())
        options.append(int(q[QStringLiteral("options")].toArray().size()));
    return options;
}
inline SheetLayout layoutOf(const QJsonObject& record, int version) {
    return sheetLayoutOf(
        record[QStringLiteral("versions")][version - 1][QStringLiteral("sheet")].toObject(),
        optionsOf(record, version));
}

// A sheet filled on its page drawn at 300 dpi.
inline cv::Mat filledPage(const QString& examFolder, const QJsonObject& record, FilledSheet& sheet,
                          std::mt19937& random, bool plain) {
    cv::Mat page =
        drawnSheet(examFolder + QStringLiteral("/sheet-%1.pdf").arg(sheet.version), 1, 300);
    const double px = page.cols / 210.0;
    const SheetLayout layout = layoutOf(record, sheet.version);
    const QList<int> options = optionsOf(record, sheet.version);
    for (const int n : options)
        sheet.answers.append(anAnswer(n, random, plain));
    for (const SheetBubble& b : layout.pages[0].bubbles)
        fillBubble(page, px, b.at, b.r, sheet.answers[b.question - 1].fills[b.option - 1], random);
    const int digits = std::uniform_int_distribution<int>(0, 9)(random) == 0 ? 6 : 8;
    for (int d = 0; d < digits; ++d)
        sheet.number += QString::number(std::uniform_int_distribution<int>(0, 9)(random));
    const bool light = !plain && std::uniform_int_distribution<int>(0, 4)(random) == 0;
    for (const NumberBubble& b : layout.pages[0].number)
        if (b.digit < sheet.number.size() && sheet.number[b.digit].digitValue() == b.value)
            fillBubble(page, px, b.at, b.r, light ? Fill::Light : Fill::Dark, random);
    return page;
}

// How a batch read back against what was meant.
struct BatchFigures {
    int questions = 0, marks = 0, reviewed = 0, wrongInSilence = 0, severalListed = 0, several = 0,
        numbers = 0, numbersRead = 0, numbersWrongInSilence = 0;
    QStringList silent; // where, for the failure's message
};

inline BatchFigures compare(const QList<FilledSheet>& filled, const SheetsReading& read) {
    BatchFigures f;
    QMap<QString, QSet<QString>> reviewed; // file|page → questions
    for (const ReviewRow& r : read.review)
        reviewed[QStringLiteral("%1|%2").arg(r.file).arg(r.page)].insert(r.question);
    QMap<QString, int> sheetOf;
    for (int s = 0; s < read.sheets.size(); ++s)
        sheetOf[QStringLiteral("%1|%2").arg(read.sheets[s].file).arg(read.sheets[s].page)] = s;
    for (const FilledSheet& sheet : filled) {
        const QString at = QStringLiteral("%1|%2").arg(sheet.file).arg(sheet.page);
        if (!sheetOf.contains(at)) {
            f.silent.append(at + QStringLiteral(": not read"));
            continue;
        }
        const SheetRow& row = read.sheets[sheetOf[at]];
        const QSet<QString> doubts = reviewed.value(at);
        ++f.numbers;
        if (row.name == sheet.number)
            ++f.numbersRead;
        else if (!doubts.contains(QStringLiteral("number"))) {
            ++f.numbersWrongInSilence;
            f.silent.append(at +
                            QStringLiteral(": number %1 read as %2").arg(sheet.number, row.name));
        }
        for (int q = 0; q < sheet.answers.size(); ++q) {
            const FilledAnswer& a = sheet.answers[q];
            ++f.questions;
            for (const Fill x : a.fills)
                f.marks += x != Fill::None;
            const bool listed = doubts.contains(QString::number(q + 1));
            f.reviewed += listed;
            if (a.mustReview) {
                ++f.several;
                f.severalListed += listed && row.answers[q] == a.meant;
            }
            if (row.answers[q] != a.meant && !listed) {
                ++f.wrongInSilence;
                f.silent.append(at + QStringLiteral(": question %1 meant \"%2\", read \"%3\"")
                                         .arg(q + 1)
                                         .arg(a.meant, row.answers[q]));
            }
        }
    }
    return f;
}

} // namespace tavrin::test
