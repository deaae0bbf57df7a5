#include "platform/calendar.h"

#include <cmath>

namespace tavrin {

QString DoTa(int number) {
    QString text = QString::number(number);
    return text.size() < 2 ? QLatin1Char('0') + text : text;
}

QString ShamsiDate(const QDateTime& t) {
    const QDate date = t.date();
    auto year = static_cast<int16_t>(date.year());
    auto month = static_cast<int16_t>(date.month());
    auto day = static_cast<int16_t>(date.day());
    civil_persian(year, month, day);
    const QTime time = t.time();
    return QStringLiteral("%1/%2/%3 %4:%5")
        .arg(year)
        .arg(month)
        .arg(day)
        .arg(time.hour())
        .arg(DoTa(time.minute()));
}

void civil_persian(int16_t& year, int16_t& month, int16_t& day) {
    const PersianDate p = jdn_persian(civil_jdn(year, month, day, 1));
    year = static_cast<int16_t>(p.year);
    month = static_cast<int16_t>(p.month);
    day = static_cast<int16_t>(p.day);
}

int32_t civil_jdn(int16_t year, int16_t month, int16_t day, int16_t calendarFlag) {
    const int32_t y = year, m = month, d = day;
    const bool gregorian = y > 1582 || (y == 1582 && m > 10) || (y == 1582 && m == 10 && d >= 15);
    if (calendarFlag == 1 && gregorian) {
        // C++ division truncates toward zero, as the rule requires.
        const int32_t a = (m - 14) / 12;
        return (1461 * (y + 4800 + a)) / 4 + (367 * (m - 2 - 12 * a)) / 12 -
               (3 * ((y + 4900 + a) / 100)) / 4 + d - 32075;
    }
    return julian_jdn(year, month, day);
}

int32_t julian_jdn(int16_t year, int16_t month, int16_t day) {
    const int32_t y = year, m = month, d = day;
    return 367 * y - (7 * (y + 5001 + (m - 9) / 7)) / 4 + (275 * m) / 9 + d + 1729777;
}

int32_t persian_jdn(int32_t year, int32_t month, int32_t day) {
    const int32_t epbase = year >= 0 ? year - 474 : year - 473;
    const int32_t epyear = 474 + epbase % 2820;
    const int32_t monthDays = month <= 7 ? (month - 1) * 31 : (month - 1) * 30 + 6;
    return day + monthDays + static_cast<int32_t>(std::trunc((epyear * 682.0 - 110.0) / 2816.0)) +
           (epyear - 1) * 365 + static_cast<int32_t>(std::trunc(epbase / 2820.0)) * 1029983 +
           1948320;
}

PersianDate jdn_persian(int32_t jdn) {
    const int32_t depoch = jdn - persian_jdn(475, 1, 1);
    const auto cycle = static_cast<int32_t>(std::trunc(depoch / 1029983.0));
    const int32_t cyear = depoch % 1029983;
    int32_t ycycle;
    if (cyear == 1029982) {
        ycycle = 2820;
    } else {
        const auto aux1 = static_cast<int32_t>(std::trunc(cyear / 366.0));
        const int32_t aux2 = cyear % 366;
        ycycle =
            static_cast<int32_t>(std::floor((2134.0 * aux1 + 2816.0 * aux2 + 2815.0) / 1028522.0)) +
            aux1 + 1;
    }
    int32_t year = ycycle + 2820 * cycle + 474;
    if (year < 1)
        year -= 1;
    const int32_t yday = jdn - persian_jdn(year, 1, 1) + 1;
    // The month quotient is taken in single precision, as the original did.
    const int32_t month =
        yday <= 186 ? static_cast<int32_t>(std::ceil(static_cast<float>(yday) / 31.0f))
                    : static_cast<int32_t>(std::ceil(static_cast<float>(yday - 6) / 30.0f));
    const int32_t day = jdn - persian_jdn(year, month, 1) + 1;
    return {year, month, day};
}

} // namespace tavrin
