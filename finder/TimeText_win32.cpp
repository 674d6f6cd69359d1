// Local-time conversion on Windows: the time zone's rule for the date
// itself, as Explorer shows file times, not today's offset.
#include <windows.h>

#include "finder/TimeText.h"

namespace {

constexpr std::int64_t kTicksPerSecond = 10000000;
constexpr std::int64_t kEpochSeconds = 11644473600LL;  // 1601 to 1970
// FILETIME stops at year 30828; SYSTEMTIME says no more.
constexpr std::int64_t kMaxSeconds = 0x7FFFFFFFFFFFFFFFLL / kTicksPerSecond - kEpochSeconds;

}  // namespace

bool ToLocalTime(std::int64_t seconds, std::tm& tmLocal) {
    if (seconds < -kEpochSeconds || seconds > kMaxSeconds) return false;
    const std::uint64_t ticks =
        static_cast<std::uint64_t>(seconds + kEpochSeconds) * kTicksPerSecond;
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(ticks);
    ft.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    SYSTEMTIME utc;
    SYSTEMTIME local;
    if (!FileTimeToSystemTime(&ft, &utc) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) {
        return false;
    }
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
