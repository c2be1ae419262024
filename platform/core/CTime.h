#pragma once
// Calendar time in whole seconds since 1970 UTC, with the local-time
// breakdown of the C library.  Held in 64 bits; the settings file keeps 32.
#include <compare>
#include <cstdint>

#include "CString.h"

class CTimeSpan {
public:
    constexpr CTimeSpan() = default;
    constexpr explicit CTimeSpan(std::int64_t seconds) : seconds_(seconds) {}
    constexpr std::int64_t GetTotalSeconds() const { return seconds_; }
    friend constexpr bool operator==(CTimeSpan, CTimeSpan) = default;

private:
    std::int64_t seconds_ = 0;
};

class CTime {
public:
    constexpr CTime() = default;
    constexpr explicit CTime(std::int64_t seconds) : seconds_(seconds) {}
    // Local date and time; out-of-range fields are normalised (hour 24 is
    // 00:00 of the next day).  isDst -1 leaves daylight saving to the library.
    CTime(int year, int month, int day, int hour, int minute, int second, int isDst = -1);

    static CTime GetCurrentTime();

    constexpr std::int64_t GetTime() const { return seconds_; }
    int GetYear() const;
    int GetMonth() const;
    int GetDay() const;
    int GetHour() const;
    int GetMinute() const;
    int GetSecond() const;

    // strftime on the local breakdown; the program uses %H %M %m %d %Y.
    CString Format(const char* format) const;

    friend constexpr CTimeSpan operator-(CTime a, CTime b) { return CTimeSpan(a.seconds_ - b.seconds_); }
    friend constexpr CTime operator+(CTime t, CTimeSpan s) { return CTime(t.seconds_ + s.GetTotalSeconds()); }
    friend constexpr auto operator<=>(CTime, CTime) = default;

private:
    std::int64_t seconds_ = 0;
};
