#pragma once

#include "exam/scoring.h"
#include "store/store_view.h"

#include <QMap>
#include <QString>

namespace tavrin {

// The project's scoring and comprehensive exam, read from its settings. Anything missing or
// out of range reads as the project made before these were kept would behave: no penalty,
// no comprehensive exam, every field of weight 1.
struct ScoringSettings {
    Penalty penalty;
    bool fullExam = false;
    QString fullExamTitle;
    int fullExamMinutes = 0;
    QMap<QString, int> budget; // lesson id ("F-L", from 0) -> questions drawn, each above 0
    QMap<int, int> weights;    // field (from 0) -> weight other than 1
    int passMark = 50;         // percent
    bool passMarkSet = false;
    bool given = false; // the project keeps any of these
    int weightOf(int field) const { return weights.value(field, 1); }
    int budgetTotal() const;
};
ScoringSettings scoringSettings(const ProjectSettings& settings);

// The settings elements to write for what the author chose, in the order they stand in the
// file, each only when it differs in meaning from what the project holds: an unchanged
// choice writes nothing, so a project made before keeps its file byte for byte.
QList<std::pair<QString, QString>> scoringChanges(const ProjectSettings& before,
                                                  const ScoringSettings& chosen);

// The stored forms: "1-1:5 1-2:3" and "1:4 2:3", in key order, zeros and ones left out.
QString budgetText(const QMap<QString, int>& budget);
QString weightsText(const QMap<int, int>& weights);

constexpr int kMostPassMark = 100;

} // namespace tavrin
