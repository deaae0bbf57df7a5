#include "exam/paper_answers.h"

#include "platform/persian_text.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

namespace tavrin {

ExamSheetRows::ExamSheetRows(const QByteArray& record, SheetRows& printed) : printed_(printed) {
    const QJsonArray versions =
        QJsonDocument::fromJson(record).object().value(QStringLiteral("versions")).toArray();
    if (versions.isEmpty())
        throw BadSheet(0, QStringLiteral("exam.json holds no versions"),
                       QStringLiteral(u"exam.json هیچ نسخه‌ای ندارد."));
    for (const QJsonValue& v : versions) {
        QList<Printed> questions;
        for (const QJsonValue& q : v.toObject().value(QStringLiteral("questions")).toArray()) {
            Printed p{q.toObject().value(QStringLiteral("bank")).toString(), {}};
            for (const QJsonValue& o : q.toObject().value(QStringLiteral("options")).toArray())
                p.options.append(o.toInt());
            if (p.bank.isEmpty() || p.options.isEmpty())
                throw BadSheet(
                    0, QStringLiteral("exam.json: a question without its bank place or options"),
                    QStringLiteral(u"exam.json: سؤالی جای خود در بانک یا "
                                   u"گزینه‌هایش "
                                   u"را "
                                   u"ندارد."));
            questions.append(p);
        }
        if (!versions_.isEmpty() && questions.size() != versions_.first().size())
            throw BadSheet(
                0, QStringLiteral("exam.json: the versions differ in length"),
                QStringLiteral(u"exam.json: نسخه‌ها هم‌اندازه نیستند."));
        versions_.append(questions);
    }
    if (versions_.first().isEmpty())
        throw BadSheet(0, QStringLiteral("exam.json: its versions hold no question"),
                       QStringLiteral(u"exam.json: نسخه‌هایش سؤالی ندارند."));
    // The bank's questions in the order the record's first version sorts them by id.
    for (const Printed& p : versions_.first())
        bank_.append(p.bank);
    std::sort(bank_.begin(), bank_.end(), [](const QString& a, const QString& b) {
        const QStringList x = a.split(u'-'), y = b.split(u'-');
        for (int i = 0; i < 3; ++i)
            if (x.value(i).toInt() != y.value(i).toInt())
                return x.value(i).toInt() < y.value(i).toInt();
        return false;
    });
    for (int i = 0; i < bank_.size(); ++i)
        column_.insert(bank_[i], i);
    for (const QList<Printed>& version : versions_)
        for (const Printed& p : version)
            if (!column_.contains(p.bank))
                throw BadSheet(
                    0, QStringLiteral("exam.json: the versions hold different questions"),
                    QStringLiteral(
                        u"exam.json: سؤال‌های نسخه‌ها یکی نیستند."));
}

bool ExamSheetRows::next(QStringList& out) {
    if (!headerGiven_) {
        headerGiven_ = true;
        out = QStringList{QStringLiteral("name")} + bank_;
        return true;
    }
    const int n = int(bank_.size());
    QStringList row;
    for (;;) {
        if (!printed_.next(row))
            return false;
        const QString first = row.value(0).trimmed().toLower();
        const bool header =
            first_ && (first == QLatin1String("name") || first == QStringLiteral(u"نام"));
        first_ = false;
        if (header || (row.size() == 1 && first.isEmpty()))
            continue; // the header, or an empty line
        break;
    }
    const auto cellCount = [&] {
        return BadSheet(line(),
                        QStringLiteral("%1 cells, the exam has %2 questions after the "
                                       "name and the version")
                            .arg(row.size())
                            .arg(n),
                        QStringLiteral(u"%1 خانه دارد و آزمون پس از نام و نسخه %2 سؤال دارد.")
                            .arg(row.size())
                            .arg(n));
    };
    if (row.size() < 2) // a name alone has no version to read
        throw cellCount();
    bool ok = false;
    const int version = latinDigits(row[1].trimmed()).toInt(&ok);
    if (!ok || version < 1 || version > versions_.size())
        throw BadSheet(line(),
                       QStringLiteral("\"%1\" is not a version from 1 to %2")
                           .arg(row[1])
                           .arg(versions_.size()),
                       QStringLiteral(u"«%1» نسخه‌ای از 1 تا %2 نیست.")
                           .arg(row[1])
                           .arg(versions_.size()));
    if (row.size() != n + 2)
        throw cellCount();
    QStringList answers(n);
    for (int k = 0; k < n; ++k) {
        const QString cell = latinDigits(row[k + 2].trimmed());
        if (cell.isEmpty())
            continue;
        const Printed& p = versions_[version - 1][k];
        if (cell == u'*') { // several marked: wrong whatever the bank's order
            answers[column_.value(p.bank)] = cell;
            continue;
        }
        const int printed = cell.toInt(&ok);
        if (!ok || printed < 1 || printed > p.options.size())
            throw BadSheet(
                line(),
                QStringLiteral("question %1: \"%2\" is not an option from 1 to %3 or empty")
                    .arg(k + 1)
                    .arg(row[k + 2])
                    .arg(p.options.size()),
                QStringLiteral(
                    u"سؤال %1: «%2» گزینه‌ای از 1 تا %3 یا خالی نیست.")
                    .arg(k + 1)
                    .arg(row[k + 2])
                    .arg(p.options.size()));
        answers[column_.value(p.bank)] = QString::number(p.options[printed - 1]);
    }
    out = QStringList{row[0].trimmed()} + answers;
    version_ = version;
    return true;
}

QString sheetsInBankOrder(const QByteArray& examRecord, const QString& sheets) {
    CsvSheetRows printed(sheets);
    ExamSheetRows rows(examRecord, printed);
    QString out;
    QStringList row;
    while (rows.next(row))
        out += csvRow(row);
    return out;
}

} // namespace tavrin
