#include "paper/paper_pages.h"

#include "exam/sheet_code.h"
#include "export/quiz_data.h"
#include "paper/paper_exam.h"
#include "paper/qr_svg.h"
#include "platform/paths.h"

#include <QHash>
#include <QJsonArray>
#include <QUrl>
#include <algorithm>

namespace tavrin {

namespace {

// The printed option that is the marked answer, from 1.
int printedRight(const BankQuestion& q, const QList<int>& options) {
    return int(options.indexOf(q.marked)) + 1;
}

// Where each drawn question stands in each version: [its number, its right option].
QList<QJsonArray> placesOf(const PaperExam& exam) {
    QList<QJsonArray> places(exam.questions.size());
    for (const PaperVersion& v : exam.versions)
        for (int k = 0; k < v.order.size(); ++k)
            places[v.order[k]].append(
                QJsonArray{k + 1, printedRight(exam.questions[v.order[k]], v.options[k])});
    return places;
}

// What every document carries: the header, the rule, the layout choices.
QJsonObject common(const QuestionBank& bank, const PaperChoices& c, const QString& kind) {
    return {{QStringLiteral("kind"), kind},
            {QStringLiteral("project"), bank.title},
            {QStringLiteral("header"), QJsonObject{{QStringLiteral("school"), c.school},
                                                   {QStringLiteral("className"), c.className},
                                                   {QStringLiteral("title"), c.title},
                                                   {QStringLiteral("date"), c.date},
                                                   {QStringLiteral("teacher"), c.teacher},
                                                   {QStringLiteral("minutes"), c.minutes}}},
            {QStringLiteral("penalty"),
             QJsonArray{bank.scoring.penalty.taken, bank.scoring.penalty.per}},
            {QStringLiteral("fields"), QJsonArray::fromStringList(bank.fieldTitles)},
            {QStringLiteral("columns"), c.columns},
            {QStringLiteral("fontSize"), c.fontSize}};
}

QJsonObject versionOf(const PaperExam& exam, int version) {
    return {{QStringLiteral("number"), version},
            {QStringLiteral("name"), versionName(version)},
            {QStringLiteral("count"), exam.versions.size()}};
}

} // namespace

QJsonObject pictureUrls(const BankQuestion& q) {
    QJsonObject out;
    for (auto it = q.images.begin(); it != q.images.end(); ++it)
        out.insert(QString::number(it.key()),
                   QUrl::fromLocalFile(it.value()).toString(QUrl::FullyEncoded));
    return out;
}

QJsonObject bookletData(const QuestionBank& bank, const PaperExam& exam,
                        const PaperChoices& choices, int version) {
    QJsonObject data = common(bank, choices, QStringLiteral("booklet"));
    data.insert(QStringLiteral("version"), versionOf(exam, version));
    const PaperVersion& v = exam.versions[version - 1];
    QJsonArray questions;
    for (int k = 0; k < v.order.size(); ++k) {
        const BankQuestion& q = exam.questions[v.order[k]];
        QJsonArray answers;
        for (const int o : v.options[k])
            answers.append(q.answers.value(o - 1));
        questions.append(QJsonObject{{QStringLiteral("text"), q.text},
                                     {QStringLiteral("answers"), answers},
                                     {QStringLiteral("images"), pictureUrls(q)},
                                     {QStringLiteral("field"), q.field}});
    }
    data.insert(QStringLiteral("questions"), questions);
    return data;
}

int sheetPages(int questions) {
    return std::max(1, (questions + kSheetQuestionsPerPage - 1) / kSheetQuestionsPerPage);
}

QJsonObject sheetData(const QuestionBank& bank, const PaperExam& exam, const PaperChoices& choices,
                      int version) {
    QJsonObject data = common(bank, choices, QStringLiteral("sheet"));
    data.insert(QStringLiteral("version"), versionOf(exam, version));
    const PaperVersion& v = exam.versions[version - 1];
    QJsonArray options;
    for (int k = 0; k < v.order.size(); ++k)
        options.append(int(v.options[k].size()));
    data.insert(QStringLiteral("options"), options);
    data.insert(QStringLiteral("seed"), qint64(exam.seed));
    SheetCode code{bank.title, version, exam.seed, 1, examDigest(examRecord(exam, bank.title)),
                   {},         {}};
    QJsonArray codes;
    for (code.page = 1; code.page <= sheetPages(int(v.order.size())); ++code.page) {
        // A sheet without its code would be scored against no exam: never printed blank.
        const QString qr = qrSvg(encodeSheetCode(code));
        if (qr.isEmpty())
            throw NothingToPrint(
                QStringLiteral("the answer sheet's QR code cannot hold the project's name"),
                QStringLiteral(u"نام پروژه در کد QR پاسخ‌برگ جا نمی‌شود؛ نام "
                               u"پوشهٔ "
                               u"پروژه را کوتاه‌تر کنید."));
        codes.append(qr);
    }
    data.insert(QStringLiteral("qr"), codes);
    return data;
}

QJsonObject keyData(const QuestionBank& bank, const PaperExam& exam, const PaperChoices& choices) {
    QJsonObject data = common(bank, choices, QStringLiteral("key"));
    data.insert(QStringLiteral("seed"), qint64(exam.seed));
    QJsonArray versions;
    for (int vi = 0; vi < exam.versions.size(); ++vi) {
        const PaperVersion& v = exam.versions[vi];
        QJsonArray rights;
        for (int k = 0; k < v.order.size(); ++k)
            rights.append(printedRight(exam.questions[v.order[k]], v.options[k]));
        versions.append(QJsonObject{{QStringLiteral("name"), versionName(vi + 1)},
                                    {QStringLiteral("rights"), rights}});
    }
    const QList<QJsonArray> places = placesOf(exam);
    data.insert(QStringLiteral("versions"), versions);
    QHash<QString, QString> titles;
    for (const BankLesson& l : bank.lessons)
        titles.insert(l.id, l.title);
    QJsonArray master;
    for (int n = 0; n < exam.questions.size(); ++n) {
        const BankQuestion& q = exam.questions[n];
        const QString lesson = titles.value(QStringLiteral("%1-%2").arg(q.field).arg(q.lesson));
        master.append(QJsonObject{{QStringLiteral("bank"), q.id},
                                  {QStringLiteral("lesson"), lesson},
                                  {QStringLiteral("cancelled"), q.cancelled},
                                  {QStringLiteral("places"), places[n]}});
    }
    data.insert(QStringLiteral("master"), master);
    return data;
}

QJsonObject explanationsData(const QuestionBank& bank, const PaperExam& exam,
                             const PaperChoices& choices) {
    QJsonObject data = common(bank, choices, QStringLiteral("explanations"));
    const QList<QJsonArray> places = placesOf(exam);
    QJsonArray names;
    for (int vi = 1; vi <= exam.versions.size(); ++vi)
        names.append(versionName(vi));
    data.insert(QStringLiteral("versionNames"), names);
    // In version الف's order, as the teacher reads the first version's booklet.
    QJsonArray questions;
    for (const int n : exam.versions.first().order) {
        const BankQuestion& q = exam.questions[n];
        questions.append(QJsonObject{{QStringLiteral("text"), q.text},
                                     {QStringLiteral("right"), q.answers.value(q.marked - 1)},
                                     {QStringLiteral("explanation"), q.explanation},
                                     {QStringLiteral("images"), pictureUrls(q)},
                                     {QStringLiteral("cancelled"), q.cancelled},
                                     {QStringLiteral("field"), q.field},
                                     {QStringLiteral("places"), places[n]}});
    }
    data.insert(QStringLiteral("questions"), questions);
    return data;
}

QString programPage(const QString& resourcesFolder, const QString& style, const QString& name,
                    const QJsonObject& data, const QString& script) {
    QString base = QUrl::fromLocalFile(DoSlash(resourcesFolder)).toString(QUrl::FullyEncoded);
    if (!base.endsWith(u'/'))
        base += u'/';
    base.replace(u'"', QStringLiteral("%22"));
    return QStringLiteral("<!DOCTYPE html>\n<html lang=\"fa\" dir=\"rtl\">\n<head>\n"
                          "<meta charset=\"utf-8\">\n<base href=\"%1\">\n"
                          "<title>Tavrin</title>\n"
                          "<link rel=\"stylesheet\" href=\"katex/katex.min.css\">\n"
                          "<link rel=\"stylesheet\" href=\"%2\">\n"
                          "<script src=\"katex/katex.min.js\"></script>\n"
                          "<script src=\"player-formula.js\"></script>\n"
                          "<script src=\"player-text.js\"></script>\n"
                          "<script src=\"player-score.js\"></script>\n"
                          "<script>const %3 = %4;</script>\n"
                          "<script src=\"%5\"></script>\n"
                          "</head>\n<body></body>\n</html>\n")
        .arg(base, style, name, scriptJson(data), script);
}

QString paperHtml(const QString& resourcesFolder, const QJsonObject& data) {
    return programPage(resourcesFolder, QStringLiteral("paper.css"), QStringLiteral("PAPER"), data,
                       QStringLiteral("paper.js"));
}

} // namespace tavrin
