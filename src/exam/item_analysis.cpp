#include "exam/item_analysis.h"

#include "exam/paper_answers.h"

#include <QCollator>
#include <algorithm>
#include <cmath>
#include <numeric>

namespace tavrin {

SheetMatrix readSheetMatrix(const QuestionBank& bank, SheetRows& sheets, const Penalty& penalty,
                            const ExamSheetRows* versions) {
    SheetMatrix matrix;
    scoreSheets(
        bank, sheets, penalty,
        [&](const StudentResult& r) {
            matrix.students.append({r, versions ? versions->version() : 0});
        },
        &matrix.questions);
    return matrix;
}

namespace {

// Pearson's r from exact sums: n Σxy − Σx Σy over the root of the two variances' like.
std::optional<double> pearson(double sxy, double sxx, double syy) {
    if (sxx <= 0 || syy <= 0)
        return std::nullopt;
    return sxy / std::sqrt(sxx * syy);
}

double medianOf(QList<double> v) {
    std::sort(v.begin(), v.end());
    const qsizetype n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

struct Spread {
    double mean = 0, sd = 0;
};
Spread spreadOf(const QList<double>& v) {
    Spread s;
    if (v.isEmpty())
        return s;
    s.mean = std::accumulate(v.begin(), v.end(), 0.0) / double(v.size());
    double ss = 0;
    for (const double x : v)
        ss += (x - s.mean) * (x - s.mean);
    s.sd = v.size() > 1 ? std::sqrt(ss / double(v.size() - 1)) : 0;
    return s;
}

void describe(TestFigures& t, const QList<double>& percents) {
    const Spread s = spreadOf(percents);
    t.mean = s.mean;
    t.sd = s.sd;
    t.median = medianOf(percents);
    t.min = *std::min_element(percents.begin(), percents.end());
    t.max = *std::max_element(percents.begin(), percents.end());
    double m2 = 0, m3 = 0, m4 = 0;
    for (const double x : percents) {
        const double d = x - s.mean;
        m2 += d * d;
        m3 += d * d * d;
        m4 += d * d * d * d;
    }
    const double n = double(percents.size());
    m2 /= n;
    m3 /= n;
    m4 /= n;
    t.skewness = m2 > 0 ? m3 / std::pow(m2, 1.5) : 0;
    t.kurtosis = m2 > 0 ? m4 / (m2 * m2) - 3 : 0;
}

// Ranks by the overall percentage, the best first; equal figures share the better rank.
void rank(QList<StudentFigures>& students) {
    QList<int> order(students.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return students[a].percent > students[b].percent; });
    for (int i = 0; i < order.size(); ++i)
        students[order[i]].rank =
            i > 0 && students[order[i]].percent == students[order[i - 1]].percent
                ? students[order[i - 1]].rank
                : i + 1;
}

void flag(ItemFigures& item) {
    if (item.facility > kTooEasy)
        item.flags.append(ItemFlag::TooEasy);
    if (item.facility < kTooHard)
        item.flags.append(ItemFlag::TooHard);
    if (!item.discrimination)
        item.flags.append(ItemFlag::Undefined);
    else if (*item.discrimination < 0)
        item.flags.append(ItemFlag::NegativeDiscrimination);
    else if (*item.discrimination < kLeastDiscrimination)
        item.flags.append(ItemFlag::NoDiscrimination);
    const int key = item.question.marked;
    bool unchosen = false, over = false;
    for (int o = 1; o <= int(item.question.answers.size()); ++o) {
        if (o == key)
            continue;
        unchosen = unchosen || item.chose[o - 1] == 0;
        over = over || item.upperChose[o - 1] > item.upperChose[key - 1];
    }
    if (unchosen)
        item.flags.append(ItemFlag::UnchosenDistractor);
    if (over)
        item.flags.append(ItemFlag::DistractorOverKey);
}

} // namespace

int tarazOf(double x, double mean, double sd) {
    if (sd <= 0)
        return 5000;
    return int(std::lround(1000.0 * (x - mean) / sd + 5000.0));
}

Analysis analyseSheets(const SheetMatrix& sheets) {
    const int n = int(sheets.students.size());
    if (n < 2)
        throw BadSheet(
            0, QStringLiteral("%1 students: the figures need at least 2").arg(n),
            QStringLiteral(
                u"برای تحلیل دست‌کم پاسخ‌برگ دو دانش‌آموز "
                u"لازم "
                u"است؛ "
                u"%1 پاسخ‌برگ آمد.")
                .arg(n));
    Analysis a;
    const int k = int(sheets.questions.size());
    for (const BankQuestion* q : sheets.questions) {
        if (!a.fields.contains(q->field))
            a.fields.append(q->field);
        a.mostOptions = std::max(a.mostOptions, int(q->answers.size()));
    }
    std::sort(a.fields.begin(), a.fields.end());

    // Each student's number right, the item figures' total.
    QList<qint64> totals(n, 0);
    for (int s = 0; s < n; ++s)
        for (int j = 0; j < k; ++j)
            totals[s] += sheets.students[s].result.chosen[j] == sheets.questions[j]->marked;
    const double sumT = double(std::accumulate(totals.begin(), totals.end(), qint64(0)));
    double sumT2 = 0;
    for (const qint64 t : totals)
        sumT2 += double(t) * double(t);
    const double stt = double(n) * sumT2 - sumT * sumT; // n² × the totals' variance

    // The upper and lower 27%, by number right, ties by name.
    QList<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    QCollator byName;
    std::stable_sort(order.begin(), order.end(), [&](int x, int y) {
        if (totals[x] != totals[y])
            return totals[x] > totals[y];
        return byName.compare(sheets.students[x].result.name, sheets.students[y].result.name) < 0;
    });
    const int group = std::max(1, int(std::lround(0.27 * n)));
    QList<char> upper(n, 0), lower(n, 0);
    for (int i = 0; i < group; ++i) {
        upper[order[i]] = 1;
        lower[order[n - 1 - i]] = 1;
    }

    double sumPq = 0;
    for (int j = 0; j < k; ++j) {
        ItemFigures item;
        item.question = *sheets.questions[j];
        item.students = n;
        item.chose = QList<int>(a.mostOptions, 0);
        item.upperChose = QList<int>(a.mostOptions, 0);
        double sumXT = 0;
        int upperRight = 0, lowerRight = 0;
        for (int s = 0; s < n; ++s) {
            const int c = sheets.students[s].result.chosen[j];
            const bool right = c == item.question.marked;
            if (c == 0)
                ++item.blank;
            else if (c == kSeveralMarked)
                ++item.wrong; // several marked: wrong, and no option's
            else {
                ++item.chose[c - 1];
                if (upper[s])
                    ++item.upperChose[c - 1];
                right ? ++item.right : ++item.wrong;
            }
            if (right) {
                sumXT += double(totals[s]);
                upperRight += upper[s];
                lowerRight += lower[s];
            }
        }
        const double r = item.right;
        item.facility = 100.0 * r / n;
        const double sxx = n * r - r * r;
        const double sxt = n * sumXT - r * sumT;
        item.pointBiserial = pearson(sxt, sxx, stt);
        // The rest is the total less the item: its sums follow from the whole's.
        item.discrimination = pearson(sxt - sxx, sxx, stt + sxx - 2 * sxt);
        item.upperLower = double(upperRight - lowerRight) / group;
        sumPq += r * (n - r);
        flag(item);
        a.items.append(item);
    }

    QList<double> percents;
    QList<QList<double>> fieldPercents(a.fields.size());
    for (int s = 0; s < n; ++s) {
        const AnalysedStudent& in = sheets.students[s];
        StudentFigures f;
        f.name = in.result.name;
        f.version = in.version;
        for (int j = 0; j < k; ++j) {
            const int c = in.result.chosen[j];
            c == 0 ? ++f.blank : c == sheets.questions[j]->marked ? ++f.right : ++f.wrong;
        }
        f.percent = in.result.overall;
        percents.append(double(f.percent) / 100.0);
        for (int i = 0; i < a.fields.size(); ++i) {
            qint64 h = 0;
            for (const StudentField& sf : in.result.fields)
                if (sf.field == a.fields[i])
                    h = sf.hundredths;
            f.fieldPercents.append(h);
            fieldPercents[i].append(double(h) / 100.0);
        }
        a.students.append(f);
    }

    TestFigures& t = a.test;
    t.students = n;
    t.questions = k;
    describe(t, percents);
    if (k > 1 && stt > 0) {
        t.kr20 = double(k) / (k - 1) * (1.0 - sumPq / stt);
        t.sem = t.sd * std::sqrt(std::max(0.0, 1.0 - *t.kr20));
    }
    QList<Spread> fieldSpread;
    for (const QList<double>& v : fieldPercents)
        fieldSpread.append(spreadOf(v));
    for (StudentFigures& f : a.students) {
        f.taraz = tarazOf(double(f.percent) / 100.0, t.mean, t.sd);
        for (int i = 0; i < a.fields.size(); ++i)
            f.fieldTaraz.append(tarazOf(double(f.fieldPercents[i]) / 100.0, fieldSpread[i].mean,
                                        fieldSpread[i].sd));
    }
    rank(a.students);
    return a;
}

namespace {

struct FlagText {
    const char16_t* words;
    const char16_t* reason;
};
// In ItemFlag's order.
constexpr FlagText kFlags[] = {
    {u"بسیار آسان", u"بیش از ۹۰٪ دانش‌آموزان درست پاسخ داده‌اند؛ سؤال چیزی "
                    u"را "
                    u"از "
                    u"هم "
                    u"جدا "
                    u"نمی‌کند."},
    {u"بسیار دشوار",
     u"کمتر از ۲۰٪ درست پاسخ داده‌اند؛ سؤال یا کلید را "
     u"بازبینی "
     u"کنید."},
    {u"بدون قدرت تمیز", u"همبستگی با بقیهٔ آزمون کمتر از ۰٫۲ است؛ قوی و ضعیف به یک اندازه "
                        u"درست زده‌اند."},
    {u"تمیز منفی (کلید شاید نادرست است)",
     u"دانش‌آموزانی که در بقیهٔ آزمون بهترند این سؤال را "
     u"کمتر درست زده‌اند؛ کلید را "
     u"بازبینی "
     u"کنید."},
    {u"گزینهٔ انحرافی بی‌انتخاب",
     u"گزینه‌ای نادرست را هیچ‌کس انتخاب "
     u"نکرده است؛ آن گزینه کاری "
     u"نمی‌کند."},
    {u"گزینهٔ انحرافی پرطرفدارتر از کلید در گروه بالا",
     u"در ۲۷٪ بالای کلاس، گزینه‌ای نادرست بیش "
     u"از کلید انتخاب شده است."},
    {u"همبستگی تعریف‌نشده",
     u"همه در این سؤال یکسان بوده‌اند (همه درست یا "
     u"هیچ‌کس درست)؛ "
     u"همبستگی آن تعریف نمی‌شود."},
};
static_assert(std::size(kFlags) == int(ItemFlag::Undefined) + 1);

} // namespace

QString flagWords(ItemFlag flag) {
    return QString::fromUtf16(kFlags[int(flag)].words);
}

QString flagReason(ItemFlag flag) {
    return QString::fromUtf16(kFlags[int(flag)].reason);
}

} // namespace tavrin
