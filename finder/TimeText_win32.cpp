// Local-time conversion on Windows: the time zone's rule for the date
// itself, as Explorer shows file times, not today's offset.
#include <windows.h>

#include "finder/TimeText.h"

namespace {

constexpr std::int64_t kTicksPerSecond = 10000000;
constexpr std::int64_t kEpochSeconds = 11644473600LL;  // 1601 to 1970
// FILETIME stops at year 30828; SYSTEMTIME says no more.
constexpr std::int64_t kMaxSeconds = 0x7FFFFFFFFFFFFFFFLL / kTicksPerSecond - kEpochSeconds;

// The zone's rule for one year (a rule that changed, as the US one did in
// 2007, applies to the dates of its own years); the last year asked is
// kept, since the times of one listing mostly share their year. Null when
// the system gives none: then the zone's present rule.
const TIME_ZONE_INFORMATION* ZoneOfYear(WORD wYear) {
    thread_local WORD t_wYear = 0;
    thread_local TIME_ZONE_INFORMATION t_zone;
    thread_local bool t_bKnown = false;
    if (wYear != t_wYear) {
        t_wYear = wYear;
        t_bKnown = GetTimeZoneInformationForYear(wYear, nullptr, &t_zone) != FALSE;
    }
    return t_bKnown ? &t_zone : nullptr;
}

}  // namespace

bool ToLocalTime(std::int64_t seconds, std::tm& tmLocal, int& nOffsetSeconds) {
    if (seconds < -kEpochSeconds || seconds > kMaxSeconds) return false;
    const std::uint64_t ticks =
        static_cast<std::uint64_t>(seconds + kEpochSeconds) * kTicksPerSecond;
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(ticks);
    ft.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    SYSTEMTIME utc;
    SYSTEMTIME local;
    FILETIME localTicks;
    if (!FileTimeToSystemTime(&ft, &utc) ||
        !SystemTimeToTzSpecificLocalTime(ZoneOfYear(utc.wYear), &utc, &local) ||
        !SystemTimeToFileTime(&local, &localTicks)) {
        return false;
    }
    // The local fields less the moment: the offset the zone's rules give
    // for that date.
    const std::int64_t localAsTicks = static_cast<std::int64_t>(
        (static_cast<std::uint64_t>(localTicks.dwHighDateTime) << 32) | localTicks.dwLowDateTime);
    nOffsetSeconds =
        static_cast<int>((localAsTicks - static_cast<std::int64_t>(ticks)) / kTicksPerSecond);
    tmLocal = std::tm{};
    tmLocal.tm_year = local.wYear - 1900;
    tmLocal.tm_mon = local.wMonth - 1;
    tmLocal.tm_mday = local.wDay;
    tmLocal.tm_hour = local.wHour;
    tmLocal.tm_min = local.wMinute;
    tmLocal.tm_sec = local.wSecond;
    tmLocal.tm_wday = local.wDayOfWeek;
    return true;
}
