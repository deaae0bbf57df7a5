#pragma once

#include <QDateTime>
#include <QString>
#include <cstdint>

namespace tavrin {

// Solar Hijri dates by the arithmetic 2820-year cycle, through the Julian day number.

// "1386/9/13 9:05": no leading zeros but in the minute.
QString ShamsiDate(const QDateTime& t);
// Decimal text with "0" in front when shorter than two characters.
QString DoTa(int number);

// Gregorian (or Julian before 15 October 1582) date to Solar Hijri, in place.
void civil_persian(int16_t& year, int16_t& month, int16_t& day);
// calendarFlag 1 uses the Gregorian rule from 15 October 1582 on.
int32_t civil_jdn(int16_t year, int16_t month, int16_t day, int16_t calendarFlag);
int32_t julian_jdn(int16_t year, int16_t month, int16_t day);

struct PersianDate {
    int32_t year;
    int32_t month;
    int32_t day;
    bool operator==(const PersianDate&) const = default;
};
PersianDate jdn_persian(int32_t jdn);
int32_t persian_jdn(int32_t year, int32_t month, int32_t day);

} // namespace tavrin
