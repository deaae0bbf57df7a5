#include "platform/calendar.h"

#include <QCalendar>
#include <QtTest>

using namespace tavrin;

namespace {
PersianDate fromCivil(int y, int m, int d) {
    auto yy = int16_t(y), mm = int16_t(m), dd = int16_t(d);
    civil_persian(yy, mm, dd);
    return {yy, mm, dd};
}
} // namespace

class CalendarTest : public QObject {
    Q_OBJECT
private slots:
    void timestamps() {
        QCOMPARE(ShamsiDate(QDateTime(QDate(2007, 12, 4), QTime(9, 5))),
                 QStringLiteral("1386/9/13 9:05"));
        QCOMPARE(ShamsiDate(QDateTime(QDate(2008, 3, 20), QTime(23, 59))),
                 QStringLiteral("1387/1/1 23:59"));
    }

    // Every day from 1900 to 2100: JDN agrees with Qt's Gregorian day count, the Solar
    // Hijri date round-trips, days run on by one and months have their lengths.
    void everyDayFrom1900To2100() {
        const QDate first(1900, 1, 1), last(2100, 12, 31);
        PersianDate prev = jdn_persian(int32_t(first.toJulianDay()) - 1);
        for (QDate day = first; day <= last; day = day.addDays(1)) {
            const int32_t jdn =
                civil_jdn(int16_t(day.year()), int16_t(day.month()), int16_t(day.day()), 1);
            QCOMPARE(qint64(jdn), day.toJulianDay());
            const PersianDate p = jdn_persian(jdn);
            QCOMPARE(persian_jdn(p.year, p.month, p.day), jdn);
            QVERIFY(p.month >= 1 && p.month <= 12 && p.day >= 1);
            QVERIFY(p.day <= (p.month <= 6 ? 31 : 30));
            if (p.day > 1) {
                QCOMPARE(p.year, prev.year);
                QCOMPARE(p.month, prev.month);
                QCOMPARE(p.day, prev.day + 1);
            } else if (p.month > 1) {
                QCOMPARE(p.month, prev.month + 1);
            } else {
                QCOMPARE(p.year, prev.year + 1);
                QCOMPARE(prev.month, 12);
                QVERIFY(prev.day == 29 || prev.day == 30);
            }
            prev = p;
        }
    }

    // Qt's own Jalali calendar is an independent implementation of another arithmetic
    // rule. The two agree on every day of these two centuries except Solar Hijri year 1404,
    // where the 2820-year rule starts the year a day earlier (20 March 2025).
    void agreesWithQtJalali() {
        const QCalendar jalali(QCalendar::System::Jalali);
        const QDate oddFirst(2025, 3, 20), oddLast(2026, 3, 20);
        int disagree = 0;
        for (QDate day(1900, 1, 1); day <= QDate(2100, 12, 31); day = day.addDays(1)) {
            const PersianDate p = fromCivil(day.year(), day.month(), day.day());
            const QCalendar::YearMonthDay theirs = jalali.partsFromDate(day);
            if (p == PersianDate{theirs.year, theirs.month, theirs.day})
                continue;
            ++disagree;
            QVERIFY2(day >= oddFirst && day <= oddLast, qPrintable(day.toString(Qt::ISODate)));
            // There, ours runs one day ahead of Qt's until ours gives 1404 its 30th Esfand.
            const QCalendar::YearMonthDay next = jalali.partsFromDate(day.addDays(1));
            if (day < oddLast)
                QCOMPARE(p, (PersianDate{next.year, next.month, next.day}));
            else
                QCOMPARE(p, (PersianDate{1404, 12, 30}));
        }
        QCOMPARE(disagree, int(oddFirst.daysTo(oddLast)) + 1);
    }

    // Before the reform the Julian rule (4 October 1582 is followed by 15 October); flag 0
    // asks for it after the reform too.
    void julianRuleBeforeTheReform() {
        QCOMPARE(civil_jdn(1582, 10, 15, 1), julian_jdn(1582, 10, 4) + 1);
        QCOMPARE(civil_jdn(2007, 12, 4, 0), julian_jdn(2007, 12, 4));
        const QCalendar julian(QCalendar::System::Julian);
        for (QDate day = QDate(1000, 1, 1, julian); day <= QDate(1582, 10, 4, julian);
             day = day.addDays(1)) {
            const QCalendar::YearMonthDay j = julian.partsFromDate(day);
            QCOMPARE(qint64(civil_jdn(int16_t(j.year), int16_t(j.month), int16_t(j.day), 1)),
                     day.toJulianDay());
        }
    }

    void farDatesStayConsistent() {
        for (int32_t jdn = 1000000; jdn < 3500000; jdn += 997) {
            const PersianDate p = jdn_persian(jdn);
            QCOMPARE(persian_jdn(p.year, p.month, p.day), jdn);
        }
    }
};

QTEST_GUILESS_MAIN(CalendarTest)
#include "tst_calendar.moc"
