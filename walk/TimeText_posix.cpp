// Local-time conversion on POSIX.
#include <time.h>

#include <limits>

#include "walk/TimeText.h"

bool ToLocalTime(std::int64_t seconds, std::tm& tmLocal, int& nOffsetSeconds) {
    if constexpr (sizeof(time_t) < sizeof(std::int64_t)) {
        if (seconds < std::numeric_limits<time_t>::min() ||
            seconds > std::numeric_limits<time_t>::max()) {
            return false;
        }
    }
    // localtime_r reads the time zone once and, unlike localtime, keeps no
    // shared result: safe on the worker thread.
    const time_t t = static_cast<time_t>(seconds);
    if (localtime_r(&t, &tmLocal) == nullptr) return false;
    nOffsetSeconds = static_cast<int>(tmLocal.tm_gmtoff);
    return true;
}
