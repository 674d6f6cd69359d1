// The search's rules for names, folders and times.
#include "walk/MatchRules.h"

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

namespace {

// Whether the len bytes at pszName equal the lower-case ASCII pszLower in
// either case.
bool EqualsLower(const char* pszName, const char* pszLower, std::size_t len) {
    for (std::size_t i = 0; i < len; ++i) {
        if (LowerAscii(pszName[i]) != pszLower[i]) return false;
    }
    return true;
}

bool EndsWithLower(const char* pszName, std::size_t len, const char* pszSuffix) {
    const std::size_t nSuffix = std::strlen(pszSuffix);
    return len >= nSuffix && EqualsLower(pszName + len - nSuffix, pszSuffix, nSuffix);
}

}  // namespace

int ClassifyLongName(const char* pszName, std::size_t len) {
    if (len >= 5 && pszName[len - 5] == '.') {
        const char* pszExt = pszName + len - 4;
        if (EqualsLower(pszExt, "ipch", 4)) return kIpchPattern;
        if (EqualsLower(pszExt, "iobj", 4)) return kIobjPattern;
        if (EqualsLower(pszExt, "ipdb", 4)) return kIpdbPattern;
        if (EqualsLower(pszExt, "tlog", 4)) return kTlogPattern;
        return -1;
    }
    if (EndsWithLower(pszName, len, ".vc.db")) return kVcDbPattern;
    if (EndsWithLower(pszName, len, ".lastbuildstate")) return kTlogPattern;
    return -1;
}

FolderScope SubfolderScope(int nTypeMask, int nFolderMode, bool bParentPasses, const char* pszName,
                           std::size_t len) {
    if (FolderWanted(nFolderMode, pszName)) return {true, nTypeMask};
    int nKinds = nTypeMask & (kIpchBit | kVcDbBit | kSdfBit | kNcbBit);
    if (bParentPasses && EndsWithLower(pszName, len, ".tlog")) nKinds |= nTypeMask & kTlogBit;
    return {false, nKinds};
}

bool CacheOfSolution(const char* pszCache, std::size_t nCacheLen, int nCachePattern,
                     const char* pszSolution, std::size_t nSolutionLen, int nSolutionCode) {
    if (nSolutionCode == kWorkspaceName && nCachePattern != kNcbPattern) return false;
    // Both extensions are three letters: equal lengths mean equal stems' lengths.
    if (nCacheLen != nSolutionLen) return false;
    for (std::size_t i = 0; i + 4 < nCacheLen; ++i) {
        if (LowerAscii(pszCache[i]) != LowerAscii(pszSolution[i])) return false;
    }
    return true;
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
