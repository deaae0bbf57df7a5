#pragma once

#include <QList>
#include <QString>
#include <optional>

namespace tavrin {

// How Iranian exams are scored: each wrong answer takes back `taken / per` of a right one
// (the entrance exam's third is 1/3), a blank costs nothing, a cancelled question counts
// only when it was answered right. Figures are kept in hundredths of a percent and rounded
// half away from zero in whole numbers, so the player's script, the printed result and the
// command line give the same digits.
struct Penalty {
    int taken = 0;
    int per = 1;
    bool none() const { return taken == 0; }
    friend bool operator==(const Penalty&, const Penalty&) = default;
};
constexpr int kMostPenaltyDenominator = 100;

// "0", "", "1/3", "1/4", "2/5" or a decimal such as "0.25"; a fraction from 0 to 1 with a
// denominator of at most 100, reduced. Nothing for anything else.
std::optional<Penalty> parsePenalty(const QString& text);
// "0" or "N/D", as parsePenalty reads it.
QString penaltyText(const Penalty& penalty);
// A wrong answer's fraction as the learning platforms write it, in percent: the nearest of
// the fractions Moodle accepts ("-33.33333" for a third, "-25" for a quarter, "-40" for
// 2/5); exact is false when the penalty is none of them (3/7 is written as "-40").
struct PlatformFraction {
    QString text;
    bool exact = true;
};
PlatformFraction platformFraction(const Penalty& penalty);

enum class Given { Blank, Right, Wrong };

// One field's answers as they were added.
struct FieldTally {
    int questions = 0; // those counted: a cancelled question only when answered right
    int right = 0;
    int wrong = 0;
    int blank = 0;
    void add(Given answer, bool cancelled);
};

// (per × right − taken × wrong) / (per × questions), in hundredths of a percent; 0 when no
// question counts. Can be negative, down to −100 × taken / per.
qint64 rawHundredths(const FieldTally& tally, const Penalty& penalty);

// The weighted mean of the fields' raw percentages, in hundredths, rounded once from the
// exact fractions (never a mean of rounded figures: 38.89 and 55.56 by weights 2 and 1 are
// 4/9, 44.44, not 44.45); a field with no counted question stays out of it. 0 when none
// counts.
struct WeightedField {
    int weight = 1;
    FieldTally tally;
};
qint64 overallHundredths(const QList<WeightedField>& fields, const Penalty& penalty);

// "33.33", "-33.33", "0.00": two decimals, Latin digits.
QString hundredthsText(qint64 hundredths);

constexpr int kMostFieldWeight = 10;

} // namespace tavrin
