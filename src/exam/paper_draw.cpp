#include "exam/paper_draw.h"

#include "exam/seeded_draw.h"

#include <QHash>
#include <QJsonArray>
#include <algorithm>
#include <cmath>

namespace tavrin {

namespace {

QList<int> answerOrder(int count, bool shuffle, SeededRandom& random) {
    QList<int> options;
    for (int k = 1; k <= count; ++k)
        options.append(k);
    return shuffle ? shuffled(options, random) : options;
}

} // namespace

PaperExam drawPaperExam(const QuestionBank& bank, const PaperScope& scope, int versions,
                        quint32 seed, bool shuffleAnswers) {
    PaperExam exam;
    exam.seed = seed;
    SeededRandom random(seed);
    // Version 1's order as the bank's questions, then kept as indices into the drawn set.
    QList<const BankQuestion*> first;
    if (scope.kind == PaperScope::Kind::Budget) {
        if (!bank.scoring.fullExam || bank.scoring.budget.isEmpty())
            throw NothingToPrint(
                QStringLiteral("the project sets no comprehensive exam budget"),
                QStringLiteral(
                    u"این پروژه بودجه‌بندی آزمون جامع ندارد."));
        QMap<int, QList<const BankQuestion*>> byField;
        for (const BankLesson& lesson : bank.lessons) {
            const int take = bank.scoring.budget.value(lesson.id);
            QList<const BankQuestion*> own;
            for (const BankQuestion& q : lesson.questions)
                if (q.scorable())
                    own.append(&q);
            if (take <= 0 || own.isEmpty())
                continue;
            byField[lesson.field] += shuffled(own, random).mid(0, take);
        }
        for (const auto& drawn : std::as_const(byField))
            first += shuffled(drawn, random);
    } else {
        QList<const BankQuestion*> all;
        for (const BankLesson& lesson : bank.lessons) {
            if (lesson.field != scope.field)
                continue;
            for (const BankQuestion& q : lesson.questions)
                if (q.scorable() &&
                    (scope.kind == PaperScope::Kind::Field || q.lesson == scope.lesson))
                    all.append(&q);
        }
        first = shuffled(all, random);
    }
    if (first.isEmpty())
        throw NothingToPrint(QStringLiteral("no question with a marked answer in this choice"),
                             QStringLiteral(u"در این انتخاب سؤالی با پاسخ درستِ "
                                            u"علامت‌خورده "
                                            u"نیست."));
    // The drawn set in the bank's own order, lesson by lesson.
    QHash<const BankQuestion*, int> rank;
    for (const BankLesson& lesson : bank.lessons)
        for (const BankQuestion& q : lesson.questions)
            rank.insert(&q, int(rank.size()));
    QList<const BankQuestion*> inBank = first;
    std::sort(inBank.begin(), inBank.end(),
              [&](const BankQuestion* a, const BankQuestion* b) { return rank[a] < rank[b]; });
    QHash<const BankQuestion*, int> drawnAt;
    for (const BankQuestion* q : inBank) {
        drawnAt.insert(q, int(exam.questions.size()));
        exam.questions.append(*q);
    }
    const auto indexOf = [&](const BankQuestion* q) { return drawnAt.value(q); };
    PaperVersion one;
    for (const BankQuestion* q : first)
        one.order.append(indexOf(q));
    for (const int n : one.order)
        one.options.append(
            answerOrder(int(exam.questions[n].answers.size()), shuffleAnswers, random));
    exam.versions.append(one);
    for (int v = 2; v <= std::clamp(versions, 1, kMostPaperVersions); ++v) {
        PaperVersion next;
        // The fields stay in their order; each field's questions are shuffled again.
        for (qsizetype from = 0; from < one.order.size();) {
            qsizetype to = from;
            const int field = exam.questions[one.order[from]].field;
            while (to < one.order.size() && exam.questions[one.order[to]].field == field)
                ++to;
            next.order += shuffled(one.order.mid(from, to - from), random);
            from = to;
        }
        for (const int n : next.order)
            next.options.append(
                answerOrder(int(exam.questions[n].answers.size()), shuffleAnswers, random));
        exam.versions.append(next);
    }
    return exam;
}

QString versionName(int version) {
    static const QStringList names{QStringLiteral(u"الف"), QStringLiteral(u"ب"),
                                   QStringLiteral(u"ج"), QStringLiteral(u"د")};
    return names.value(version - 1, QString::number(version));
}

QJsonObject examRecord(const PaperExam& exam, const QString& projectTitle) {
    QJsonArray versions;
    for (int v = 0; v < exam.versions.size(); ++v) {
        const PaperVersion& version = exam.versions[v];
        QJsonArray questions;
        for (int k = 0; k < version.order.size(); ++k) {
            QJsonArray options;
            for (const int o : version.options[k])
                options.append(o);
            questions.append(
                QJsonObject{{QStringLiteral("bank"), exam.questions[version.order[k]].id},
                            {QStringLiteral("options"), options}});
        }
        versions.append(QJsonObject{{QStringLiteral("version"), v + 1},
                                    {QStringLiteral("name"), versionName(v + 1)},
                                    {QStringLiteral("questions"), questions}});
    }
    return {{QStringLiteral("project"), projectTitle},
            {QStringLiteral("seed"), qint64(exam.seed)},
            {QStringLiteral("versions"), versions}};
}

} // namespace tavrin
