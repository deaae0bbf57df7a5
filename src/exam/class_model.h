#pragma once

#include "exam/class_scores.h"

#include <QAbstractTableModel>
#include <QStringList>

namespace tavrin {

// A class's scores as a window shows them: name, number, version, right, wrong and blank of
// the whole sheet, the percentage of each field and overall (by the project's rule, as the
// score verb writes them) and, when the project sets a pass mark, the verdict. Persian
// digits for display, the figure under Qt::UserRole for sorting.
class ClassScoresModel : public QAbstractTableModel {
public:
    // `numbers` holds each row's student number, in the rows' order ("" when not known).
    ClassScoresModel(const QuestionBank& bank, QList<ClassRow> rows, QStringList numbers,
                     QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

private:
    QVariant cell(int row, int column, bool sorting) const;
    QList<ClassRow> rows_;
    QStringList numbers_;
    QStringList heads_;
    QList<int> fields_; // the fields of the percentage columns, in order
    bool verdict_ = false;
    ScoringSettings scoring_;
};

} // namespace tavrin
