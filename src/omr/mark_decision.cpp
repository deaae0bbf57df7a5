#include "omr/mark_decision.h"

#include "platform/persian_text.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

namespace tavrin {

namespace {

// On the page's scale: a fill from here, nothing below the other, a doubt between.
constexpr double kFilled = 0.6, kNothing = 0.3;
// A fill covers its bubble: one that covers less stops short, or is a cross or a tick.
constexpr double kCovered = 0.6;
// What tells a page's fills from its empties at the least: less, and the page has no fills.
constexpr double kLeastSpan = 0.18;
// Below the nothing level, a bubble that stands this far above the rest of its row is still
// a doubt: a light mark under a phone's uneven light reads faint, and a blank must be sure.
constexpr double kFaint = 0.14, kApartInRow = 0.12;
constexpr double kNominalSpan = 0.6;

double median(std::vector<double> values) {
    if (values.empty())
        return 0;
    const auto mid = values.begin() + values.size() / 2;
    std::nth_element(values.begin(), mid, values.end());
    return *mid;
}

QString figure(double x) {
    return QString::number(x, 'f', 2);
}

// The Persian texts' decimal separator; their digits follow when they are shown.
QString figurePersian(double x) {
    return figure(x).replace(u'.', u'\u066B');
}

} // namespace

PageScale pageScale(std::vector<double> inks) {
    PageScale scale;
    if (inks.empty())
        return scale;
    // Most bubbles of a sheet are empty (at most one of four is filled): their middle is the
    // empty level. The fills are what lies well apart above it, split where Otsu would.
    scale.empty = median(inks);
    std::sort(inks.begin(), inks.end());
    double bestSplit = -1, bestScore = -1;
    const size_t n = inks.size();
    std::vector<double> prefix(n + 1, 0);
    for (size_t i = 0; i < n; ++i)
        prefix[i + 1] = prefix[i] + inks[i];
    for (size_t k = 1; k < n; ++k) {
        const double w0 = double(k) / n, w1 = 1 - w0;
        const double m0 = prefix[k] / k, m1 = (prefix[n] - prefix[k]) / (n - k);
        if (const double score = w0 * w1 * (m1 - m0) * (m1 - m0); score > bestScore) {
            bestScore = score;
            bestSplit = (inks[k - 1] + inks[k]) / 2;
        }
    }
    std::vector<double> above;
    for (const double x : inks)
        if (x > bestSplit && x > scale.empty)
            above.push_back(x);
    const double full = median(above);
    if (!above.empty() && full - scale.empty >= kLeastSpan) {
        scale.full = full;
        scale.fillsSeen = true;
    } else {
        scale.full = scale.empty + kNominalSpan;
    }
    return scale;
}

double level(const MarkFigures& mark, const PageScale& scale) {
    return (mark.ink - scale.empty) / std::max(scale.full - scale.empty, kLeastSpan);
}

RowReading readRow(const QList<MarkFigures>& marks, const PageScale& scale, int first) {
    RowReading out;
    QList<int> doubtful;
    QStringList seen, seenPersian;
    int likeliest = 0;
    double likeliestLevel = 0;
    std::vector<double> levels;
    for (const MarkFigures& m : marks)
        levels.push_back(level(m, scale));
    const double rowMiddle = median(levels);
    for (int i = 0; i < marks.size(); ++i) {
        const double at = levels[size_t(i)];
        const int value = first + i;
        if (at >= kFilled && marks[i].cover >= kCovered) {
            out.marked.append(value);
        } else if (at >= kNothing || (at >= kFaint && at - rowMiddle >= kApartInRow)) {
            doubtful.append(value);
            const bool short_ = at >= kFilled;
            seen.append(QStringLiteral("%1 %2 at %3 of a fill, %4 covered")
                            .arg(short_ ? QStringLiteral("a fill that stops short, or a cross,")
                                        : QStringLiteral("a faint mark"))
                            .arg(value)
                            .arg(figure(at))
                            .arg(figure(marks[i].cover)));
            seenPersian.append(QStringLiteral(u"%1 در %2: %3 یک پرشدن، %4 پوشیده")
                                   .arg(short_ ? QStringLiteral(u"پرشدن ناتمام یا ضربدر")
                                               : QStringLiteral(u"نشان کم‌رنگ"))
                                   .arg(value)
                                   .arg(figurePersian(at))
                                   .arg(figurePersian(marks[i].cover)));
        }
        if (at > likeliestLevel) {
            likeliestLevel = at;
            likeliest = value;
        }
    }
    const QString scaleText = QStringLiteral(" (the page's empty %1, fill %2)")
                                  .arg(figure(scale.empty), figure(scale.full));
    const QString scalePersian = QStringLiteral(u" (خالی صفحه %1، پر آن %2)")
                                     .arg(figurePersian(scale.empty), figurePersian(scale.full));
    if (out.marked.size() >= 2) {
        out.state = RowState::Several;
        QStringList values;
        for (const int v : std::as_const(out.marked))
            values.append(QString::number(v));
        out.why = QStringLiteral("several marked: %1").arg(values.join(QStringLiteral(", ")));
        out.persian =
            QStringLiteral(u"چند گزینه پر شده: %1").arg(values.join(QStringLiteral(u"، ")));
    } else if (doubtful.isEmpty()) {
        out.state = out.marked.isEmpty() ? RowState::Blank : RowState::Answer;
        out.chosen = out.marked.value(0);
        return out;
    } else {
        out.state = RowState::Doubtful;
        // Likeliest: the one fill if there is one, else the darkest doubt if it is near a fill.
        out.chosen = !out.marked.isEmpty()                        ? out.marked.first()
                     : likeliestLevel >= (kNothing + kFilled) / 2 ? likeliest
                                                                  : 0;
        if (!out.marked.isEmpty()) {
            seen.prepend(QStringLiteral("%1 filled").arg(out.marked.first()));
            seenPersian.prepend(QStringLiteral(u"%1 پر").arg(out.marked.first()));
        }
        out.why = seen.join(QStringLiteral("; "));
        out.persian = seenPersian.join(QStringLiteral(u"؛ "));
    }
    out.why += scaleText;
    out.persian = persianShown(out.persian + scalePersian, Digits::InPersianText);
    return out;
}

} // namespace tavrin
