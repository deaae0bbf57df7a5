#include "exam/scoring.h"

#include "platform/persian_text.h"

#include <QByteArray>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <numeric>

namespace tavrin {

namespace {

// num / den rounded half away from zero; den > 0.
qint64 roundedQuotient(qint64 num, qint64 den) {
    const qint64 magnitude = (2 * (num < 0 ? -num : num) + den) / (2 * den);
    return num < 0 ? -magnitude : magnitude;
}

std::optional<Penalty> reduced(qint64 taken, qint64 per) {
    if (per <= 0 || taken < 0 || taken > per)
        return std::nullopt;
    if (taken == 0)
        return Penalty{};
    const qint64 g = std::gcd(taken, per);
    if (per / g > kMostPenaltyDenominator)
        return std::nullopt;
    return Penalty{int(taken / g), int(per / g)};
}

} // namespace

std::optional<Penalty> parsePenalty(const QString& given) {
    // Typed on a Persian keyboard as the windows show it: Persian or Arabic-Indic digits
    // and the Persian decimal separator.
    const QString text = latinDigits(given.trimmed()).replace(QChar(0x066B), u'.');
    if (text.isEmpty())
        return Penalty{};
    static const QRegularExpression fraction(QStringLiteral("^(\\d{1,4})\\s*/\\s*(\\d{1,4})$"));
    if (const auto m = fraction.match(text); m.hasMatch())
        return reduced(m.captured(1).toLongLong(), m.captured(2).toLongLong());
    static const QRegularExpression decimal(QStringLiteral("^(\\d)(?:\\.(\\d{1,4}))?$"));
    if (const auto m = decimal.match(text); m.hasMatch()) {
        const QString places = m.captured(2);
        qint64 per = 1;
        for (int i = 0; i < places.size(); ++i)
            per *= 10;
        return reduced(
            m.captured(1).toLongLong() * per + (places.isEmpty() ? 0 : places.toLongLong()), per);
    }
    return std::nullopt;
}

QString penaltyText(const Penalty& penalty) {
    if (penalty.none())
        return QStringLiteral("0");
    return QStringLiteral("%1/%2").arg(penalty.taken).arg(penalty.per);
}

PlatformFraction platformFraction(const Penalty& penalty) {
    if (penalty.none())
        return {QStringLiteral("0"), true};
    // Moodle's list of answer grades, in percent, as its question bank gives them.
    static const char* const kGrades[] = {"100",      "90",       "83.33333", "80", "75",
                                          "70",       "66.66667", "60",       "50", "40",
                                          "33.33333", "30",       "25",       "20", "16.66667",
                                          "14.28571", "12.5",     "11.11111", "10", "5"};
    const double wanted = 100.0 * penalty.taken / penalty.per;
    // QByteArray reads a number in the C locale, whatever the desktop's.
    const auto off = [wanted](const char* g) {
        return std::abs(QByteArray(g).toDouble() - wanted);
    };
    const char* nearest =
        *std::min_element(std::begin(kGrades), std::end(kGrades),
                          [&](const char* a, const char* b) { return off(a) < off(b); });
    return {u'-' + QLatin1String(nearest), off(nearest) < 0.00001};
}

void FieldTally::add(Given answer, bool isCancelled) {
    if (isCancelled && answer != Given::Right)
        return; // out of the count
    ++questions;
    switch (answer) {
    case Given::Right:
        ++right;
        break;
    case Given::Wrong:
        ++wrong;
        break;
    case Given::Blank:
        ++blank;
        break;
    }
}

qint64 rawHundredths(const FieldTally& tally, const Penalty& penalty) {
    if (tally.questions <= 0)
        return 0;
    const qint64 per = penalty.per > 0 ? penalty.per : 1;
    const qint64 score = per * tally.right - qint64(penalty.taken) * tally.wrong;
    return roundedQuotient(10000 * score, per * tally.questions);
}

qint64 overallHundredths(const QList<WeightedField>& fields, const Penalty& penalty) {
    // Σ w·s/(per·q) over Σ w, on the common denominator per·lcm(q)·Σ w; the fields' counts
    // are small, so the lowest common multiple stays far inside 128 bits.
    using Wide = __int128;
    const qint64 per = penalty.per > 0 ? penalty.per : 1;
    Wide common = 1;
    qint64 weights = 0;
    for (const WeightedField& f : fields)
        if (f.tally.questions > 0 && f.weight > 0) {
            common = common /
                     std::gcd(qint64(common % f.tally.questions), qint64(f.tally.questions)) *
                     f.tally.questions;
            weights += f.weight;
        }
    if (weights == 0)
        return 0;
    Wide sum = 0;
    for (const WeightedField& f : fields)
        if (f.tally.questions > 0 && f.weight > 0)
            sum += Wide(f.weight) * (per * f.tally.right - qint64(penalty.taken) * f.tally.wrong) *
                   (common / f.tally.questions);
    const Wide num = 10000 * sum, den = Wide(per) * common * weights;
    const Wide magnitude = (2 * (num < 0 ? -num : num) + den) / (2 * den);
    return qint64(num < 0 ? -magnitude : magnitude);
}

QString hundredthsText(qint64 hundredths) {
    const qint64 magnitude = hundredths < 0 ? -hundredths : hundredths;
    return QStringLiteral("%1%2.%3")
        .arg(hundredths < 0 ? QStringLiteral("-") : QString())
        .arg(magnitude / 100)
        .arg(magnitude % 100, 2, 10, QLatin1Char('0'));
}

} // namespace tavrin
