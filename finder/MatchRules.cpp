// The search's rules for names, folders and times.
#include "finder/MatchRules.h"

#include <cstring>

bool WildcardMatch(const char* pszPattern, const char* pszName) {
    const char* pStar = nullptr;
    const char* pResume = nullptr;
    while (*pszName != '\0') {
        if (*pszPattern == '*') {
            pStar = pszPattern++;
            pResume = pszName;
        } else if (*pszPattern != '\0' &&
                   (*pszPattern == '?' || LowerAscii(*pszPattern) == LowerAscii(*pszName))) {
            ++pszPattern;
            ++pszName;
        } else if (pStar != nullptr) {
            pszPattern = pStar + 1;
            pszName = ++pResume;
        } else {
            return false;
        }
    }
    while (*pszPattern == '*') ++pszPattern;
    return *pszPattern == '\0';
}

bool FolderWanted(int nFolderMode, const char* pszName) {
    return (nFolderMode & 1) != 0 ||
           ((nFolderMode & 2) != 0 && std::strcmp(pszName, "Debug") == 0) ||
           ((nFolderMode & 4) != 0 && std::strcmp(pszName, "Release") == 0);
}

std::int64_t TimeThreshold(std::int64_t now, int nDays) {
    constexpr std::int64_t kSecondsPerDay = 86400;
    return now - nDays * kSecondsPerDay;
}

bool PassesTimeFilter(int nTimeMode, bool bOlder, std::int64_t created, std::int64_t modified,
                      std::int64_t threshold) {
    std::int64_t t;
    if ((nTimeMode & 2) != 0) {
        t = created;
    } else if ((nTimeMode & 4) != 0) {
        t = modified;
    } else {
        return true;
    }
    return bOlder ? t < threshold : t >= threshold;
}
