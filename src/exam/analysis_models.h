#pragma once

#include "exam/item_analysis.h"

#include <QAbstractTableModel>

namespace tavrin {

// The analysis as tables a window shows: Persian headers and digits for display, the figure
// itself under Qt::UserRole for sorting (undefined figures sort first).
class ItemTableModel : public QAbstractTableModel {
public:
    explicit ItemTableModel(Analysis analysis, QObject* parent = nullptr)
        : QAbstractTableModel(parent), a_(std::move(analysis)) {}
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

private:
    Analysis a_;
};

class ClassTableModel : public QAbstractTableModel {
public:
    explicit ClassTableModel(Analysis analysis, QObject* parent = nullptr)
        : QAbstractTableModel(parent), a_(std::move(analysis)) {}
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

private:
    Analysis a_;
};

} // namespace tavrin
