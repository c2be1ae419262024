#include "CTime.h"

#include <ctime>

#include "Clock.h"

namespace {
std::tm LocalBreakdown(std::int64_t seconds)
{
    std::tm parts{};
    const std::time_t t = static_cast<std::time_t>(seconds);
    localtime_r(&t, &parts);
    return parts;
}
}

CTime::CTime(int year, int month, int day, int hour, int minute, int second, int isDst)
{
    std::tm parts{};
    parts.tm_year = year - 1900;
    parts.tm_mon = month - 1;
    parts.tm_mday = day;
    parts.tm_hour = hour;
    parts.tm_min = minute;
    parts.tm_sec = second;
    parts.tm_isdst = isDst;
    seconds_ = static_cast<std::int64_t>(std::mktime(&parts));
}

CTime CTime::GetCurrentTime()
{
    return CTime(platform::InstalledClock().NowSeconds());
}

int CTime::GetYear() const { return LocalBreakdown(seconds_).tm_year + 1900; }
int CTime::GetMonth() const { return LocalBreakdown(seconds_).tm_mon + 1; }
int CTime::GetDay() const { return LocalBreakdown(seconds_).tm_mday; }
int CTime::GetHour() const { return LocalBreakdown(seconds_).tm_hour; }
int CTime::GetMinute() const { return LocalBreakdown(seconds_).tm_min; }
int CTime::GetSecond() const { return LocalBreakdown(seconds_).tm_sec; }

CString CTime::Format(const char* format) const
{
    const std::tm parts = LocalBreakdown(seconds_);
    char text[256];
    const size_t length = std::strftime(text, sizeof text, format, &parts);
    return CString(std::string(text, length));
}
