#include "exam/sheet_scoring.h"

#include "platform/persian_text.h"

#include <QRegularExpression>

namespace tavrin {

bool CsvSheetRows::next(QStringList& row) {
    try {
        return reader_.next(row);
    } catch (const CsvError& e) {
        throw BadSheet(e.line(), e.why(), e.persian());
    }
}

namespace {

// "2", "۲" or "٢": an answer from 1 to 9; 0 for a blank; -1 for anything else.
int answerIn(const QString& cell) {
    const QString t = latinDigits(cell.trimmed());
    if (t.isEmpty())
        return 0;
    return t.size() == 1 && t[0] >= u'1' && t[0] <= u'9' ? t[0].unicode() - u'0' : -1;
}

// "1-2-3" as a teacher may write it: Persian or Arabic digits, zeros in front, spaces
// around the dashes; anything else as it stands.
QString questionId(const QString& cell) {
    static const QRegularExpression form(
        QStringLiteral("^\\s*(\\d{1,6})\\s*-\\s*(\\d{1,6})\\s*-\\s*(\\d{1,6})\\s*$"));
    const auto m = form.match(latinDigits(cell));
    if (!m.hasMatch())
        return cell.trimmed();
    return QStringLiteral("%1-%2-%3")
        .arg(m.captured(1).toInt())
        .arg(m.captured(2).toInt())
        .arg(m.captured(3).toInt());
}

} // namespace

int scoreSheets(const QuestionBank& bank, SheetRows& sheets, const Penalty& penalty,
                const std::function<void(const StudentResult&)>& each,
                QList<const BankQuestion*>* columnsOut) {
    QStringList header;
    if (!sheets.next(header))
        throw BadSheet(
            0, QStringLiteral("the file is empty; its first line names the questions"),
            QStringLiteral(
                u"پرونده خالی است؛ سطر اول آن نام سؤال‌ها را "
                u"می‌آورد."));
    // "name", or the Persian word a teacher's sheet may head it with.
    const QString nameCell = header.isEmpty() ? QString() : header.first().trimmed().toLower();
    if (nameCell != QLatin1String("name") && nameCell != QStringLiteral(u"نام"))
        throw BadSheet(sheets.line(), QStringLiteral("the header must start with \"name\""),
                       QStringLiteral(u"سطر اول باید با «name» یا «نام» آغاز شود."));
    QList<const BankQuestion*> columns;
    QSet<QString> seen;
    QMap<int, bool> fields;
    for (int c = 1; c < header.size(); ++c) {
        const QString id = questionId(header[c]);
        const BankQuestion* found = bank.find(id);
        if (!found)
            throw BadSheet(
                sheets.line(),
                QStringLiteral(
                    "column %1: no question %2 in the project (field-lesson-question, from 1)")
                    .arg(c + 1)
                    .arg(id),
                QStringLiteral(u"ستون %1: پروژه سؤال %2 ندارد (رشته-درس-سؤال، از 1).")
                    .arg(c + 1)
                    .arg(leftToRight(id)));
        if (seen.contains(id))
            throw BadSheet(
                sheets.line(),
                QStringLiteral("column %1: question %2 is named twice").arg(c + 1).arg(id),
                QStringLiteral(u"ستون %1: سؤال %2 دو بار آمده است.")
                    .arg(c + 1)
                    .arg(leftToRight(id)));
        if (!found->scorable())
            throw BadSheet(sheets.line(),
                           QStringLiteral("column %1: question %2 has no marked answer to score by")
                               .arg(c + 1)
                               .arg(id),
                           QStringLiteral(u"ستون %1: پاسخ درست سؤال %2 معین نشده و "
                                          u"نمره‌ای "
                                          u"ندارد.")
                               .arg(c + 1)
                               .arg(leftToRight(id)));
        seen.insert(id);
        columns.append(found);
        fields.insert(found->field, true);
    }
    if (columnsOut)
        *columnsOut = columns;
    int scored = 0;
    QStringList row;
    while (sheets.next(row)) {
        if (row.size() == 1 && row.first().trimmed().isEmpty())
            continue; // an empty line
        if (row.size() != header.size())
            throw BadSheet(
                sheets.line(),
                QStringLiteral("%1 cells, the header has %2").arg(row.size()).arg(header.size()),
                QStringLiteral(u"%1 خانه دارد و سطر اول %2 خانه.")
                    .arg(row.size())
                    .arg(header.size()));
        QMap<int, FieldTally> tallies;
        for (const int f : fields.keys())
            tallies.insert(f, FieldTally{});
        StudentResult result;
        result.chosen.resize(columns.size());
        for (int c = 0; c < columns.size(); ++c) {
            const QString& cell = row[c + 1];
            const int answers = int(columns[c]->answers.size());
            const bool several = cell.trimmed() == u'*';
            const int chosen = several ? 0 : answerIn(cell);
            if (chosen < 0 || chosen > answers)
                throw BadSheet(
                    sheets.line(),
                    QStringLiteral("column %1: \"%2\" is not an answer from 1 to %3, * or empty")
                        .arg(c + 2)
                        .arg(cell)
                        .arg(answers),
                    QStringLiteral(u"ستون %1: «%2» پاسخی از 1 تا %3، * یا خالی نیست.")
                        .arg(c + 2)
                        .arg(cell)
                        .arg(answers));
            const Given given = several                        ? Given::Wrong
                                : chosen == 0                  ? Given::Blank
                                : chosen == columns[c]->marked ? Given::Right
                                                               : Given::Wrong;
            tallies[columns[c]->field].add(given, columns[c]->cancelled);
            result.chosen[c] = several ? kSeveralMarked : char(chosen);
        }
        result.name = row.first().trimmed();
        // A name is read by people and by spreadsheets: no control character (a NUL, a tab
        // that a trim would drop from before a '=') passes into the results.
        for (const QChar c : row.first())
            if (c.category() == QChar::Other_Control)
                throw BadSheet(
                    sheets.line(),
                    QStringLiteral("column 1: the name holds a control character "
                                   "(U+%1)")
                        .arg(QString::number(c.unicode(), 16).rightJustified(4, u'0').toUpper()),
                    QStringLiteral(
                        u"ستون 1: نام نویسه‌ای کنترلی دارد (U+%1).")
                        .arg(QString::number(c.unicode(), 16).rightJustified(4, u'0').toUpper()));
        QList<WeightedField> weighted;
        for (auto it = tallies.begin(); it != tallies.end(); ++it) {
            const qint64 h = rawHundredths(it.value(), penalty);
            result.fields.append({it.key(), it.value(), h});
            weighted.append({bank.scoring.weightOf(it.key()), it.value()});
        }
        result.overall = overallHundredths(weighted, penalty);
        each(result);
        ++scored;
    }
    return scored;
}

QList<StudentResult> scoreSheets(const QuestionBank& bank, const QString& sheets,
                                 const Penalty& penalty) {
    CsvSheetRows rows(sheets);
    QList<StudentResult> results;
    scoreSheets(bank, rows, penalty, [&](const StudentResult& r) { results.append(r); });
    return results;
}

QString resultHeader() {
    return csvRow({QStringLiteral("name"), QStringLiteral("field"), QStringLiteral("questions"),
                   QStringLiteral("right"), QStringLiteral("wrong"), QStringLiteral("blank"),
                   QStringLiteral("percent"), QStringLiteral("passed")});
}

QString resultRows(const QuestionBank& bank, const StudentResult& s) {
    QString out;
    FieldTally all;
    for (const StudentField& f : s.fields) {
        // Read by people in other programs: Persian letters, whatever the project keeps.
        const QString title = persianShown(
            bank.fieldTitles.value(f.field, QString::number(f.field + 1)), Digits::InPersianText);
        out += csvRow({csvText(s.name), csvText(title), QString::number(f.tally.questions),
                       QString::number(f.tally.right), QString::number(f.tally.wrong),
                       QString::number(f.tally.blank), hundredthsText(f.hundredths), QString()});
        all.questions += f.tally.questions;
        all.right += f.tally.right;
        all.wrong += f.tally.wrong;
        all.blank += f.tally.blank;
    }
    out +=
        csvRow({csvText(s.name), QStringLiteral("overall"), QString::number(all.questions),
                QString::number(all.right), QString::number(all.wrong), QString::number(all.blank),
                hundredthsText(s.overall), passWords(bank.scoring, s.overall)});
    return out;
}

QString passWords(const ScoringSettings& scoring, qint64 overall) {
    if (!scoring.passMarkSet)
        return {};
    return overall >= qint64(scoring.passMark) * 100 ? QStringLiteral(u"قبول")
                                                     : QStringLiteral(u"مردود");
}

QString resultCsv(const QuestionBank& bank, const QList<StudentResult>& results) {
    QString out = resultHeader();
    for (const StudentResult& s : results)
        out += resultRows(bank, s);
    return out;
}

QString answersWhy(const CsvError& bad) {
    return bad.line() > 0
               ? QStringLiteral("line %1 of the answers: %2").arg(bad.line()).arg(bad.why())
               : bad.why();
}

QString answersWhyPersian(const CsvError& bad) {
    return bad.line() > 0 ? QStringLiteral(u"سطر %1 پاسخ‌برگ‌ها: %2")
                                .arg(bad.line())
                                .arg(bad.persian())
                          : bad.persian();
}

} // namespace tavrin
