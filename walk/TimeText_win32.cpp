// Local-time conversion on Windows: the time zone's rule for the date
// itself, as Explorer shows file times, not today's offset.
#include <windows.h>

#include <cstring>
#include <unordered_map>

#include "walk/TimeText.h"

namespace {

constexpr std::int64_t kTicksPerSecond = 10000000;
constexpr std::int64_t kEpochSeconds = 11644473600LL;  // 1601 to 1970
// FILETIME stops at year 30828; SYSTEMTIME says no more.
constexpr std::int64_t kMaxSeconds = 0x7FFFFFFFFFFFFFFFLL / kTicksPerSecond - kEpochSeconds;
// How long the system's zone is taken as unchanged: a listing asks at most
// once a second, and a change of zone shows in the times after it.
constexpr ULONGLONG kZoneCheckMs = 1000;

// The zone's rule of each year asked for (a rule that changed, as the US
// one did in 2007, applies to the dates of its own years), read from the
// system once per year: reading it is far dearer than converting with it,
// and a listing's times may switch years at every file. Forgotten when the
// system's zone changes.
class CZoneRules {
public:
    // Null when the system gives none for the year: then the zone's
    // present rule.
    const TIME_ZONE_INFORMATION* OfYear(WORD wYear) {
        ForgetOnZoneChange();
        auto it = m_years.find(wYear);
        if (it == m_years.end()) {
            Rule rule;
            rule.bKnown = GetTimeZoneInformationForYear(wYear, nullptr, &rule.zone) != FALSE;
            it = m_years.emplace(wYear, rule).first;
        }
        return it->second.bKnown ? &it->second.zone : nullptr;
    }

private:
    struct Rule {
        TIME_ZONE_INFORMATION zone{};
        bool bKnown = false;
    };

    void ForgetOnZoneChange() {
        const ULONGLONG now = GetTickCount64();
        if (m_bChecked && now - m_lastCheck < kZoneCheckMs) return;
        m_bChecked = true;
        m_lastCheck = now;
        // Zeroed first, so that padding compares equal too.
        DYNAMIC_TIME_ZONE_INFORMATION zone;
        std::memset(&zone, 0, sizeof zone);
        GetDynamicTimeZoneInformation(&zone);
        if (std::memcmp(&zone, &m_zone, sizeof zone) != 0) {
            m_zone = zone;
            m_years.clear();
        }
    }

    DYNAMIC_TIME_ZONE_INFORMATION m_zone{};
    bool m_bChecked = false;
    ULONGLONG m_lastCheck = 0;
    std::unordered_map<WORD, Rule> m_years;
};

// The local time of a UTC time by the rule of the local date's year, which
// differs from the UTC year for some hours around New Year.
bool ToLocalSystemTime(const SYSTEMTIME& utc, SYSTEMTIME& local) {
    thread_local CZoneRules t_rules;
    if (!SystemTimeToTzSpecificLocalTime(t_rules.OfYear(utc.wYear), &utc, &local)) return false;
    if (local.wYear == utc.wYear) return true;
    return SystemTimeToTzSpecificLocalTime(t_rules.OfYear(local.wYear), &utc, &local) != FALSE;
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
    if (!FileTimeToSystemTime(&ft, &utc) || !ToLocalSystemTime(utc, local) ||
        !SystemTimeToFileTime(&local, &localTicks)) {
        return false;
    }
    // The local fields less the moment: the offset the zone's rules give
    // for that date, to the second.
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
