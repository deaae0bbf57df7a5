#pragma once

#include "exam/item_analysis.h"

#include <QByteArray>

namespace tavrin {

// The analysis as files for spreadsheets: UTF-8 with a byte order mark, CR LF, Latin digits,
// names of columns in English, the flags in Persian words. Undefined figures are empty cells.

// A row a question: question, students, right, wrong, blank, facility, discrimination,
// upper_lower, point_biserial, chose_1.., flags.
QByteArray itemsCsv(const Analysis& analysis);
// One row: students, questions, mean, median, sd, min, max, skewness, kurtosis, kr20, sem.
QByteArray testCsv(const Analysis& analysis);
// A row a student: name, version, right, wrong, blank, percent, percent_fN.., taraz,
// taraz_fN.., rank (fields numbered from 1).
QByteArray studentsCsv(const Analysis& analysis);

// A figure with `decimals` places, Latin digits; empty for none.
QString figureText(const std::optional<double>& value, int decimals);

} // namespace tavrin
