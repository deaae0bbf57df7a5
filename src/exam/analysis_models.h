#pragma once

#include "exam/item_analysis.h"

#include <QAbstractTableModel>

namespace tavrin {

// The analysis as a table a window shows, of its questions or of its class: Persian headers
// and digits for display, the figure itself under Qt::UserRole for sorting (an undefined
// figure sorts first).
class AnalysisTableModel : public QAbstractTableModel {
public:
    enum class Of { Questions, Class };
    AnalysisTableModel(Analysis analysis, Of of, QObject* parent = nullptr)
        : QAbstractTableModel(parent), a_(std::move(analysis)), of_(of) {}
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

private:
    QVariant item(int row, int column, bool sorting) const;
    QVariant student(int row, int column, bool sorting) const;
    Analysis a_;
    Of of_;
};

} // namespace tavrin
