#include "lesson/paper_answers.h"

#include "lesson/sheet_scoring.h"
#include "platform/persian_text.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <algorithm>

namespace tavrin {

namespace {

struct Printed {
    QString bank;
    QList<int> options; // bank answer of printed option 1, 2, …
};

QList<QList<Printed>> versionsOf(const QByteArray& record) {
    const QJsonDocument doc = QJsonDocument::fromJson(record);
    const QJsonArray versions = doc.object().value(QStringLiteral("versions")).toArray();
    if (versions.isEmpty())
        throw BadSheet(0, QStringLiteral("exam.json holds no versions"));
    QList<QList<Printed>> out;
    for (const QJsonValue& v : versions) {
        QList<Printed> questions;
        for (const QJsonValue& q : v.toObject().value(QStringLiteral("questions")).toArray()) {
            Printed p{q.toObject().value(QStringLiteral("bank")).toString(), {}};
            for (const QJsonValue& o : q.toObject().value(QStringLiteral("options")).toArray())
                p.options.append(o.toInt());
            if (p.bank.isEmpty() || p.options.isEmpty())
                throw BadSheet(
                    0, QStringLiteral("exam.json: a question without its bank place or options"));
            questions.append(p);
        }
        if (!out.isEmpty() && questions.size() != out.first().size())
            throw BadSheet(0, QStringLiteral("exam.json: the versions differ in length"));
        out.append(questions);
    }
    return out;
}

} // namespace

QString sheetsInBankOrder(const QByteArray& examRecord, const QString& sheets) {
    const QList<QList<Printed>> versions = versionsOf(examRecord);
    // The bank's questions in the order the record's first version sorts them by id.
    QStringList bank;
    for (const Printed& p : versions.first())
        bank.append(p.bank);
    std::sort(bank.begin(), bank.end(), [](const QString& a, const QString& b) {
        const QStringList x = a.split(u'-'), y = b.split(u'-');
        for (int i = 0; i < 3; ++i)
            if (x.value(i).toInt() != y.value(i).toInt())
                return x.value(i).toInt() < y.value(i).toInt();
        return false;
    });
    QMap<QString, int> column;
    for (int i = 0; i < bank.size(); ++i)
        column.insert(bank[i], i);
    const int n = int(bank.size());
    QString out = csvRow(QStringList{QStringLiteral("name")} + bank);
    const QList<QStringList> rows = csvRows(sheets);
    for (int r = 0; r < rows.size(); ++r) {
        const QStringList& row = rows[r];
        const QString first = row.value(0).trimmed().toLower();
        if (r == 0 && (first == QLatin1String("name") || first == QStringLiteral(u"نام")))
            continue; // the header
        if (row.size() == 1 && first.isEmpty())
            continue;
        if (row.size() > n + 2)
            throw BadSheet(r + 1,
                           QStringLiteral("%1 cells, the exam has %2 questions after the name "
                                          "and the version")
                               .arg(row.size())
                               .arg(n));
        bool ok = false;
        const int version = latinDigits(row.value(1).trimmed()).toInt(&ok);
        if (!ok || version < 1 || version > versions.size())
            throw BadSheet(r + 1, QStringLiteral("\"%1\" is not a version from 1 to %2")
                                      .arg(row.value(1))
                                      .arg(versions.size()));
        QStringList answers(n);
        for (int k = 0; k < n; ++k) {
            const QString cell = latinDigits(row.value(k + 2).trimmed());
            if (cell.isEmpty())
                continue;
            const Printed& p = versions[version - 1][k];
            const int printed = cell.toInt(&ok);
            if (!ok || printed < 1 || printed > p.options.size())
                throw BadSheet(
                    r + 1,
                    QStringLiteral("question %1: \"%2\" is not an option from 1 to %3 or empty")
                        .arg(k + 1)
                        .arg(row.value(k + 2))
                        .arg(p.options.size()));
            const auto at = column.find(p.bank);
            if (at == column.end())
                throw BadSheet(0,
                               QStringLiteral("exam.json: the versions hold different questions"));
            answers[*at] = QString::number(p.options[printed - 1]);
        }
        out += csvRow(QStringList{row.value(0).trimmed()} + answers);
    }
    return out;
}

} // namespace tavrin
