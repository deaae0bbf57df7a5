#include "exam/analysis_models.h"

#include "exam/analysis_csv.h"
#include "platform/persian_text.h"

namespace tavrin {

namespace {

// "۰٫۳۸", "−۰٫۱۲", "—": a figure as the report shows it.
QString shown(const std::optional<double>& v, int decimals) {
    if (!v)
        return QStringLiteral("—");
    QString t = figureText(v, decimals).replace(u'.', u'٫').replace(u'-', QChar(0x2212));
    return persianShown(t, Digits::AlsoBare);
}

QVariant sortValue(const std::optional<double>& v) {
    return v ? QVariant(*v) : QVariant(-1e9);
}

const char16_t* const kItemHeads[] = {
    u"سؤال", u"آسانی ٪", u"تمیز", u"بالا−پایین", u"دورشته‌ای",
    u"درست", u"نادرست",  u"نزده", u"نشان"};
const char16_t* const kClassHeads[] = {u"رتبه",   u"نام",  u"نسخه", u"درست",
                                       u"نادرست", u"نزده", u"درصد", u"تراز"};

QVariant head(const char16_t* const* heads, int count, int section, Qt::Orientation o, int role) {
    if (o != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= count)
        return {};
    return QString::fromUtf16(heads[section]);
}

} // namespace

int ItemTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(a_.items.size());
}
int ItemTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(std::size(kItemHeads));
}
QVariant ItemTableModel::headerData(int section, Qt::Orientation o, int role) const {
    return head(kItemHeads, int(std::size(kItemHeads)), section, o, role);
}

QVariant ItemTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= a_.items.size())
        return {};
    const ItemFigures& i = a_.items[index.row()];
    const auto count = [&](int n) {
        return role == Qt::UserRole ? QVariant(n)
                                    : QVariant(persianShown(QString::number(n), Digits::AlsoBare));
    };
    if (role == Qt::TextAlignmentRole)
        return index.column() == 8 ? int(Qt::AlignRight | Qt::AlignVCenter) : int(Qt::AlignCenter);
    if (role != Qt::DisplayRole && role != Qt::UserRole)
        return {};
    switch (index.column()) {
    case 0:
        return role == Qt::UserRole ? QVariant(index.row()) : QVariant(i.question->id);
    case 1:
        return role == Qt::UserRole ? QVariant(i.facility) : QVariant(shown(i.facility, 1));
    case 2:
        return role == Qt::UserRole ? sortValue(i.discrimination)
                                    : QVariant(shown(i.discrimination, 2));
    case 3:
        return role == Qt::UserRole ? QVariant(i.upperLower) : QVariant(shown(i.upperLower, 2));
    case 4:
        return role == Qt::UserRole ? sortValue(i.pointBiserial)
                                    : QVariant(shown(i.pointBiserial, 2));
    case 5:
        return count(i.right);
    case 6:
        return count(i.wrong);
    case 7:
        return count(i.blank);
    case 8: {
        QStringList words;
        for (const ItemFlag f : i.flags)
            words.append(flagWords(f));
        return role == Qt::UserRole ? QVariant(int(i.flags.size()))
                                    : QVariant(words.join(QStringLiteral(u"، ")));
    }
    }
    return {};
}

int ClassTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(a_.students.size());
}
int ClassTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(std::size(kClassHeads));
}
QVariant ClassTableModel::headerData(int section, Qt::Orientation o, int role) const {
    return head(kClassHeads, int(std::size(kClassHeads)), section, o, role);
}

QVariant ClassTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= a_.students.size())
        return {};
    const StudentFigures& s = a_.students[index.row()];
    if (role == Qt::TextAlignmentRole)
        return index.column() == 1 ? int(Qt::AlignRight | Qt::AlignVCenter) : int(Qt::AlignCenter);
    if (role != Qt::DisplayRole && role != Qt::UserRole)
        return {};
    const auto count = [&](int n) {
        return role == Qt::UserRole ? QVariant(n)
                                    : QVariant(persianShown(QString::number(n), Digits::AlsoBare));
    };
    switch (index.column()) {
    case 0:
        return count(s.rank);
    case 1:
        return persianShown(s.name, Digits::Untouched);
    case 2:
        return s.version > 0 ? count(s.version) : QVariant(QStringLiteral("—"));
    case 3:
        return count(s.right);
    case 4:
        return count(s.wrong);
    case 5:
        return count(s.blank);
    case 6:
        return role == Qt::UserRole ? QVariant(double(s.percent))
                                    : QVariant(shown(double(s.percent) / 100.0, 2));
    case 7:
        return count(s.taraz);
    }
    return {};
}

} // namespace tavrin
