#include "exam/class_model.h"

#include "exam/paper_draw.h"
#include "platform/persian_text.h"

namespace tavrin {

namespace {

constexpr int kFixed = 6; // name, number, version, right, wrong, blank

QVariant shown(const QString& figure) {
    return persianShown(figure, Digits::AlsoBare);
}

QString percentText(qint64 hundredths) {
    return hundredthsText(hundredths).replace(u'.', u'٫').replace(u'-', QChar(0x2212));
}

} // namespace

ClassScoresModel::ClassScoresModel(const QuestionBank& bank, QList<ClassRow> rows,
                                   QStringList numbers, QObject* parent)
    : QAbstractTableModel(parent), rows_(std::move(rows)), numbers_(std::move(numbers)),
      scoring_(bank.scoring) {
    heads_ = {QStringLiteral(u"نام"),  QStringLiteral(u"شماره"),  QStringLiteral(u"نسخه"),
              QStringLiteral(u"درست"), QStringLiteral(u"نادرست"), QStringLiteral(u"نزده")};
    if (!rows_.isEmpty())
        for (const StudentField& f : rows_.first().result.fields) {
            fields_.append(f.field);
            heads_.append(
                persianShown(QStringLiteral(u"درصد ") +
                                 bank.fieldTitles.value(f.field, QString::number(f.field + 1)),
                             Digits::InPersianText));
        }
    heads_.append(QStringLiteral(u"درصد کل"));
    verdict_ = scoring_.passMarkSet;
    if (verdict_)
        heads_.append(QStringLiteral(u"نتیجه"));
}

int ClassScoresModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

int ClassScoresModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(heads_.size());
}

QVariant ClassScoresModel::headerData(int section, Qt::Orientation o, int role) const {
    if (o != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= heads_.size())
        return {};
    return heads_[section];
}

QVariant ClassScoresModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    if (role == Qt::TextAlignmentRole)
        return index.column() == 0 ? int(Qt::AlignRight | Qt::AlignVCenter) : int(Qt::AlignCenter);
    if (role != Qt::DisplayRole && role != Qt::UserRole)
        return {};
    return cell(index.row(), index.column(), role == Qt::UserRole);
}

QVariant ClassScoresModel::cell(int row, int column, bool sorting) const {
    const ClassRow& r = rows_[row];
    FieldTally all;
    for (const StudentField& f : r.result.fields) {
        all.right += f.tally.right;
        all.wrong += f.tally.wrong;
        all.blank += f.tally.blank;
    }
    const auto count = [&](qint64 n) { return sorting ? QVariant(n) : shown(QString::number(n)); };
    switch (column) {
    case 0:
        return sorting ? QVariant(r.result.name)
                       : QVariant(persianShown(r.result.name, Digits::AlsoBare));
    case 1: {
        const QString number = numbers_.value(row);
        return sorting ? QVariant(number) : shown(number);
    }
    case 2:
        // Named as its sheet and booklet name it.
        return sorting     ? QVariant(r.version)
               : r.version ? QVariant(versionName(r.version))
                           : QVariant();
    case 3:
        return count(all.right);
    case 4:
        return count(all.wrong);
    case 5:
        return count(all.blank);
    default:
        break;
    }
    const int field = column - kFixed;
    qint64 hundredths = r.result.overall;
    if (field < fields_.size()) {
        hundredths = field < r.result.fields.size() ? r.result.fields[field].hundredths : 0;
    } else if (field > fields_.size()) {
        return passWords(scoring_, r.result.overall);
    }
    return sorting ? QVariant(hundredths) : shown(percentText(hundredths));
}

} // namespace tavrin
