#include "exam/analysis_models.h"

#include "exam/analysis_csv.h"
#include "platform/persian_text.h"

namespace tavrin {

namespace {

// "۰٫۳۸", "−۰٫۱۲", "—": a figure as the report shows it; for sorting, the figure.
QVariant figure(const std::optional<double>& v, int decimals, bool sorting) {
    if (sorting)
        return v ? *v : -1e9;
    if (!v)
        return QStringLiteral("—");
    QString t = figureText(v, decimals).replace(u'.', u'٫').replace(u'-', QChar(0x2212));
    return persianShown(t, Digits::AlsoBare);
}

QVariant count(int n, bool sorting) {
    return sorting ? QVariant(n) : QVariant(persianShown(QString::number(n), Digits::AlsoBare));
}

const QList<const char16_t*> kItemHeads = {
    u"سؤال", u"آسانی ٪", u"تمیز", u"بالا−پایین", u"دورشته‌ای",
    u"درست", u"نادرست",  u"نزده", u"نشان"};
const QList<const char16_t*> kClassHeads = {u"رتبه",   u"نام",  u"نسخه", u"درست",
                                            u"نادرست", u"نزده", u"درصد", u"تراز"};

} // namespace

int AnalysisTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(of_ == Of::Questions ? a_.items.size() : a_.students.size());
}

int AnalysisTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int((of_ == Of::Questions ? kItemHeads : kClassHeads).size());
}

QVariant AnalysisTableModel::headerData(int section, Qt::Orientation o, int role) const {
    const auto& heads = of_ == Of::Questions ? kItemHeads : kClassHeads;
    if (o != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= heads.size())
        return {};
    return QString::fromUtf16(heads[section]);
}

QVariant AnalysisTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    // The words of a question's flags and a student's name read from the right.
    const int wordy = of_ == Of::Questions ? 8 : 1;
    if (role == Qt::TextAlignmentRole)
        return index.column() == wordy ? int(Qt::AlignRight | Qt::AlignVCenter)
                                       : int(Qt::AlignCenter);
    if (role != Qt::DisplayRole && role != Qt::UserRole)
        return {};
    const bool sorting = role == Qt::UserRole;
    return of_ == Of::Questions ? item(index.row(), index.column(), sorting)
                                : student(index.row(), index.column(), sorting);
}

QVariant AnalysisTableModel::item(int row, int column, bool sorting) const {
    const ItemFigures& i = a_.items[row];
    switch (column) {
    case 0:
        return sorting ? QVariant(row) : QVariant(i.question.id);
    case 1:
        return figure(i.facility, 1, sorting);
    case 2:
        return figure(i.discrimination, 2, sorting);
    case 3:
        return figure(i.upperLower, 2, sorting);
    case 4:
        return figure(i.pointBiserial, 2, sorting);
    case 5:
        return count(i.right, sorting);
    case 6:
        return count(i.wrong, sorting);
    case 7:
        return count(i.blank, sorting);
    default: {
        if (sorting)
            return int(i.flags.size());
        QStringList words;
        for (const ItemFlag f : i.flags)
            words.append(flagWords(f));
        return words.join(QStringLiteral(u"، "));
    }
    }
}

QVariant AnalysisTableModel::student(int row, int column, bool sorting) const {
    const StudentFigures& s = a_.students[row];
    switch (column) {
    case 0:
        return count(s.rank, sorting);
    case 1:
        return persianShown(s.name, Digits::Untouched);
    case 2:
        return s.version > 0 ? count(s.version, sorting) : QVariant(QStringLiteral("—"));
    case 3:
        return count(s.right, sorting);
    case 4:
        return count(s.wrong, sorting);
    case 5:
        return count(s.blank, sorting);
    case 6:
        return figure(double(s.percent) / 100.0, 2, sorting);
    default:
        return count(s.taraz, sorting);
    }
}

} // namespace tavrin
