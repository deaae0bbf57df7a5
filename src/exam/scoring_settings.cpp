#include "exam/scoring_settings.h"

#include "store/project_settings.h"

#include <QRegularExpression>

namespace tavrin {

namespace {

int numberIn(const QString& text, int least, int most, int otherwise) {
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    return ok && n >= least && n <= most ? n : otherwise;
}

} // namespace

int ScoringSettings::budgetTotal() const {
    int total = 0;
    for (const int n : budget)
        total += n;
    return total;
}

ScoringSettings scoringSettings(const ProjectSettings& settings) {
    ScoringSettings s;
    s.penalty = parsePenalty(settings.penalty).value_or(Penalty{});
    s.fullExam = settings.fullExam.trimmed() == QLatin1String("1");
    s.fullExamTitle = settings.fullExamTitle.trimmed();
    s.fullExamMinutes = numberIn(settings.fullExamMinutes, 0, kMostExamMinutes, 0);
    static const QRegularExpression budgetItem(
        QStringLiteral("^(\\d{1,4})-(\\d{1,4}):(\\d{1,5})$"));
    for (const QString& item : settings.fullExamBudget.split(u' ', Qt::SkipEmptyParts)) {
        const auto m = budgetItem.match(item);
        const int n = m.hasMatch() ? m.captured(3).toInt() : 0;
        if (n > 0 && n <= kQuizEntries)
            s.budget.insert(
                QStringLiteral("%1-%2").arg(m.captured(1).toInt()).arg(m.captured(2).toInt()), n);
    }
    static const QRegularExpression weightItem(QStringLiteral("^(\\d{1,4}):(\\d{1,2})$"));
    for (const QString& item : settings.fieldWeights.split(u' ', Qt::SkipEmptyParts)) {
        const auto m = weightItem.match(item);
        const int w = m.hasMatch() ? m.captured(2).toInt() : 0;
        if (w >= 1 && w <= kMostFieldWeight && w != 1)
            s.weights.insert(m.captured(1).toInt(), w);
    }
    const int passMark = numberIn(settings.passMark, 0, kMostPassMark, -1);
    s.passMarkSet = passMark >= 0;
    s.passMark = s.passMarkSet ? passMark : 50;
    for (const QString* text :
         {&settings.penalty, &settings.fullExam, &settings.fullExamTitle, &settings.fullExamMinutes,
          &settings.fullExamBudget, &settings.fieldWeights, &settings.passMark})
        s.given = s.given || !text->trimmed().isEmpty();
    return s;
}

QList<std::pair<QString, QString>> scoringChanges(const ProjectSettings& before,
                                                  const ScoringSettings& chosen) {
    const ScoringSettings now = scoringSettings(before);
    QList<std::pair<QString, QString>> changes;
    const auto change = [&](bool differs, const char* tag, const QString& value) {
        if (differs)
            changes.append({QLatin1String(tag), value});
    };
    change(!(now.penalty == chosen.penalty), "Penalty", penaltyText(chosen.penalty));
    change(now.fullExam != chosen.fullExam, "FullExam",
           chosen.fullExam ? QStringLiteral("1") : QStringLiteral("0"));
    change(now.fullExamTitle != chosen.fullExamTitle.trimmed(), "FullExamTitle",
           chosen.fullExamTitle.trimmed());
    change(now.fullExamMinutes != chosen.fullExamMinutes, "FullExamMinutes",
           QString::number(chosen.fullExamMinutes));
    change(budgetText(now.budget) != budgetText(chosen.budget), "FullExamBudget",
           budgetText(chosen.budget));
    change(weightsText(now.weights) != weightsText(chosen.weights), "FieldWeights",
           weightsText(chosen.weights));
    change(now.passMark != chosen.passMark, "PassMark", QString::number(chosen.passMark));
    return changes;
}

QString budgetText(const QMap<QString, int>& budget) {
    // In field and lesson order, not the text order of the ids ("1-10" after "1-9").
    QList<std::pair<std::pair<int, int>, int>> items;
    for (auto it = budget.begin(); it != budget.end(); ++it) {
        const QStringList parts = it.key().split(u'-');
        if (parts.size() == 2 && it.value() > 0)
            items.append({{parts[0].toInt(), parts[1].toInt()}, it.value()});
    }
    std::sort(items.begin(), items.end());
    QStringList out;
    for (const auto& [id, n] : items)
        out.append(QStringLiteral("%1-%2:%3").arg(id.first).arg(id.second).arg(n));
    return out.join(u' ');
}

QString weightsText(const QMap<int, int>& weights) {
    QStringList out;
    for (auto it = weights.begin(); it != weights.end(); ++it) {
        if (it.value() != 1)
            out.append(QStringLiteral("%1:%2").arg(it.key()).arg(it.value()));
    }
    return out.join(u' ');
}

} // namespace tavrin
