#pragma once
// Calendar days and clock times of the process's time zone, with daylight
// saving resolved once for every caller.
#include "CTime.h"

namespace lifelike {

struct LocalDate {
    int year = 1970;
    int month = 1;  // 1-12
    int day = 1;    // 1-31
    friend auto operator<=>(const LocalDate&, const LocalDate&) = default;
};

LocalDate DateOf(CTime moment);
LocalDate AddDays(LocalDate date, int days);

// The moment the local clock shows `minuteOfDay` (0 to 1439) on `date`.  A
// time the clock skips (spring forward) is the first moment after the gap; a
// time it shows twice (fall back) is the first of the two.
CTime ClockMoment(LocalDate date, int minuteOfDay);

// The start of the local day: its first moment, which is midnight unless the
// zone skips midnight itself.
inline CTime DayStart(LocalDate date) { return ClockMoment(date, 0); }

}  // namespace lifelike
