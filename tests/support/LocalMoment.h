// A moment given by its local calendar fields, as a test names a file time.
#pragma once

#include <ctime>

// The seconds since 1970 of year/month/day hour:minute:second local time,
// summer time as the zone has it on that day.
inline std::time_t LocalMoment(int year, int month, int day, int hour, int minute, int second) {
    std::tm when{};
    when.tm_year = year - 1900;
    when.tm_mon = month - 1;
    when.tm_mday = day;
    when.tm_hour = hour;
    when.tm_min = minute;
    when.tm_sec = second;
    when.tm_isdst = -1;
    return std::mktime(&when);
}
