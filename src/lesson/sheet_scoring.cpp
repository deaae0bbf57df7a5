#include "lesson/sheet_scoring.h"

#include "platform/file_system.h"
#include "platform/paths.h"
#include "platform/persian_text.h"
#include "platform/project_folders.h"
#include "platform/text_file.h"
#include "store/fields.h"
#include "store/lesson_files.h"
#include "store/quiz_file.h"
#include "store/store_common.h"

#include <QRegularExpression>

namespace tavrin {

QList<QStringList> csvRows(const QString& given) {
    QString text = given;
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false, any = false;
    int line = 1, quoteLine = 0;
    const auto endField = [&] {
        row.append(field);
        field.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                if (c == u'\n')
                    ++line;
                field += c;
            }
            continue;
        }
        any = true;
        if (c == u'"' && field.isEmpty()) {
            quoted = true;
            quoteLine = line;
        } else if (c == u',') {
            endField();
        } else if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            continue;
        } else if (c == u'\n') {
            endField();
            rows.append(row);
            row.clear();
            any = false;
            ++line;
        } else {
            field += c;
        }
    }
    if (quoted)
        throw BadSheet(quoteLine, QStringLiteral("a quote is not closed"));
    if (any) {
        endField();
        rows.append(row);
    }
    return rows;
}

QString csvRow(const QStringList& fields) {
    QStringList out;
    for (const QString& f : fields) {
        const bool quote = f.contains(u',') || f.contains(u'"') || f.contains(u'\n') ||
                           f.contains(u'\r') || f.startsWith(u' ') || f.endsWith(u' ');
        out.append(quote ? u'"' + QString(f).replace(u'"', QStringLiteral("\"\"")) + u'"' : f);
    }
    return out.join(u',') + QStringLiteral("\r\n");
}

SheetBank sheetBank(Context& context, const QString& projectPath) {
    SheetBank bank;
    const QString text = readUtf16File(store::projectFilePath(projectPath));
    bank.scoring = scoringSettings(readSettings(context, text));
    bank.fieldTitles = projectFieldTitles(context, text);
    for (const LessonRef& ref : projectLessons(context, text)) {
        const QString name = folders::quizName(ref.id());
        const QString quiz = DoSlash(projectPath) + folders::kXml + u'/' + name;
        if (!fileExists(quiz))
            continue;
        const QList<QuizQuestion> questions = parseQuizFile(readUtf16File(quiz), ref.id(), name);
        for (int q = 0; q < questions.size(); ++q) {
            const QuizQuestion& read = questions[q];
            bank.questions.insert(
                QStringLiteral("%1-%2-%3").arg(ref.field + 1).arg(ref.lesson + 1).arg(q + 1),
                {ref.field, read.marked, int(read.answers.size()), read.cancelled});
        }
    }
    return bank;
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

QList<StudentResult> scoreSheets(const SheetBank& bank, const QString& sheets,
                                 const Penalty& penalty) {
    const QList<QStringList> rows = csvRows(sheets);
    if (rows.isEmpty())
        throw BadSheet(0, QStringLiteral("the file is empty; its first line names the questions"));
    const QStringList& header = rows.first();
    // "name", or the Persian word a teacher's sheet may head it with.
    const QString nameCell = header.isEmpty() ? QString() : header.first().trimmed().toLower();
    if (nameCell != QLatin1String("name") && nameCell != QStringLiteral(u"نام"))
        throw BadSheet(1, QStringLiteral("the header must start with \"name\""));
    QList<const SheetQuestion*> columns;
    QSet<QString> seen;
    QMap<int, bool> fields;
    for (int c = 1; c < header.size(); ++c) {
        const QString id = questionId(header[c]);
        const auto found = bank.questions.find(id);
        if (found == bank.questions.end())
            throw BadSheet(
                1, QStringLiteral(
                       "column %1: no question %2 in the project (field-lesson-question, from 1)")
                       .arg(c + 1)
                       .arg(id));
        if (seen.contains(id))
            throw BadSheet(
                1, QStringLiteral("column %1: question %2 is named twice").arg(c + 1).arg(id));
        if (found->marked < 1 || found->marked > found->answers)
            throw BadSheet(1,
                           QStringLiteral("column %1: question %2 has no marked answer to score by")
                               .arg(c + 1)
                               .arg(id));
        seen.insert(id);
        columns.append(&*found);
        fields.insert(found->field, true);
    }
    QList<StudentResult> results;
    for (int r = 1; r < rows.size(); ++r) {
        const QStringList& row = rows[r];
        if (row.size() == 1 && row.first().trimmed().isEmpty())
            continue; // an empty line
        if (row.size() > header.size())
            throw BadSheet(
                r + 1,
                QStringLiteral("%1 cells, the header has %2").arg(row.size()).arg(header.size()));
        QMap<int, FieldTally> tallies;
        for (const int f : fields.keys())
            tallies.insert(f, FieldTally{});
        for (int c = 0; c < columns.size(); ++c) {
            const QString cell = c + 1 < row.size() ? row[c + 1] : QString();
            const int chosen = answerIn(cell);
            if (chosen < 0 || chosen > columns[c]->answers)
                throw BadSheet(
                    r + 1,
                    QStringLiteral("column %1: \"%2\" is not an answer from 1 to %3 or empty")
                        .arg(c + 2)
                        .arg(cell)
                        .arg(columns[c]->answers));
            const Given given = chosen == 0                    ? Given::Blank
                                : chosen == columns[c]->marked ? Given::Right
                                                               : Given::Wrong;
            tallies[columns[c]->field].add(given, columns[c]->cancelled);
        }
        StudentResult result;
        result.name = row.first().trimmed();
        QList<WeightedField> weighted;
        for (auto it = tallies.begin(); it != tallies.end(); ++it) {
            const qint64 h = rawHundredths(it.value(), penalty);
            result.fields.append({it.key(), it.value(), h});
            weighted.append({bank.scoring.weightOf(it.key()), h, it.value().questions > 0});
        }
        result.overall = overallHundredths(weighted);
        results.append(result);
    }
    return results;
}

QString resultCsv(const SheetBank& bank, const QList<StudentResult>& results) {
    QString out =
        csvRow({QStringLiteral("name"), QStringLiteral("field"), QStringLiteral("questions"),
                QStringLiteral("right"), QStringLiteral("wrong"), QStringLiteral("blank"),
                QStringLiteral("percent")});
    for (const StudentResult& s : results) {
        FieldTally all;
        for (const StudentField& f : s.fields) {
            // Read by people in other programs: Persian letters, whatever the project keeps.
            const QString title =
                persianShown(bank.fieldTitles.value(f.field, QString::number(f.field + 1)),
                             Digits::InPersianText);
            out += csvRow({s.name, title, QString::number(f.tally.questions),
                           QString::number(f.tally.right), QString::number(f.tally.wrong),
                           QString::number(f.tally.blank), hundredthsText(f.hundredths)});
            all.questions += f.tally.questions;
            all.right += f.tally.right;
            all.wrong += f.tally.wrong;
            all.blank += f.tally.blank;
        }
        out += csvRow({s.name, QStringLiteral("overall"), QString::number(all.questions),
                       QString::number(all.right), QString::number(all.wrong),
                       QString::number(all.blank), hundredthsText(s.overall)});
    }
    return out;
}

} // namespace tavrin
