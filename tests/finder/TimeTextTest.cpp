// File times in local time: each moment by its own year's zone rule, the
// same in any order of years, around New Year, and exact to the second.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "finder/TimeText.h"
#if defined(_WIN32)
#include <windows.h>
#endif

namespace {

// US Eastern for the test: POSIX takes it from TZ; a Windows program from
// the system, which Wine sets from TZ as the tests start (CMakeLists.txt).
bool UseEasternTime() {
#if defined(_WIN32)
    DYNAMIC_TIME_ZONE_INFORMATION zone{};
    return GetDynamicTimeZoneInformation(&zone) != TIME_ZONE_ID_INVALID && zone.Bias == 300 &&
           zone.DaylightBias == -60;
#else
    ::setenv("TZ", "America/New_York", 1);
    ::tzset();
    return true;
#endif
}

TEST(ToLocalTime, GivesEachMomentItsOwnYearsRuleInAnyOrderOfYears) {
    if (!UseEasternTime()) GTEST_SKIP() << "the system's time zone is not US Eastern";
    const struct {
        std::int64_t seconds;
        const char* text;
        int nOffset;
    } cases[] = {
        {1162209600, "2006/10/30 07:00", -5 * 3600},  // summer time ended a week before
        {1193742000, "2007/10/30 07:00", -4 * 3600},  // the 2007 rule: until November
        {1577853000, "2019/12/31 23:30", -5 * 3600},  // 2020 already in UTC
        {1593619259, "2020/07/01 12:00", -4 * 3600},
    };
    // Years alternating from one file to the next, as a listing meets them.
    for (int nRound = 0; nRound < 3; ++nRound) {
        for (const auto& c : cases) {
            std::tm tm{};
            int nOffset = 0;
            ASSERT_TRUE(ToLocalTime(c.seconds, tm, nOffset)) << c.seconds;
            EXPECT_EQ(nOffset, c.nOffset) << c.text;
            EXPECT_EQ(tm.tm_sec, static_cast<int>((c.seconds + c.nOffset) % 60)) << c.text;
            EXPECT_EQ(FileTimeText(c.seconds), c.text);
        }
    }
}

}  // namespace
