// What the search asks of a name, a folder and a file's times, apart from
// any walk: the pattern a name matches, the folder rule and the time filter.
// Pure functions, so another walker can share them and tests need no
// threads. The ones called for every entry are inline: they sit in the
// walk's innermost loop.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}

// "." and "..", which every listing holds and no walk enters.
constexpr bool IsDotOrDotDot(const char* pszName) {
    return pszName[0] == '.' && (pszName[1] == '\0' || (pszName[1] == '.' && pszName[2] == '\0'));
}

// "*" matches any run of characters, "?" any one; letters match in either
// case, as the folder listings of the original platform do.
bool WildcardMatch(const char* pszPattern, const char* pszName);

constexpr std::uint32_t ExtensionKey(char a, char b, char c) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(a)) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(c));
}

// The patterns "*.ext" in the order a folder's matches are reported, with
// the type-mask bit that asks for each.
struct Pattern {
    int nBit;
    std::uint32_t key;
};
inline constexpr int kPatternCount = 8;
inline constexpr Pattern kPatterns[kPatternCount] = {
    {128, ExtensionKey('b', 's', 'c')}, {1, ExtensionKey('i', 'd', 'b')},
    {2, ExtensionKey('i', 'l', 'k')},   {4, ExtensionKey('o', 'b', 'j')},
    {8, ExtensionKey('p', 'c', 'h')},   {16, ExtensionKey('p', 'd', 'b')},
    {32, ExtensionKey('r', 'e', 's')},  {64, ExtensionKey('s', 'b', 'r')},
};

// Which of the patterns "*.ext" the name of len bytes matches,
// case-insensitively, or -1. "*" may match nothing, so ".obj" matches too;
// x.objx and obj.txt never do.
inline int PatternOf(const char* pszName, std::size_t len) {
    if (len < 4 || pszName[len - 4] != '.') return -1;
    const std::uint32_t key = ExtensionKey(
        LowerAscii(pszName[len - 3]), LowerAscii(pszName[len - 2]), LowerAscii(pszName[len - 1]));
    for (int i = 0; i < kPatternCount; ++i) {
        if (kPatterns[i].key == key) return i;
    }
    return -1;
}

// The folder rule: whether the files of a subfolder named pszName are
// looked for (its own subfolders are walked either way). nFolderMode: 1
// every folder, 2 Debug, 4 Release, or a sum. Exact, case-sensitive names:
// debug or DEBUG do not count.
bool FolderWanted(int nFolderMode, const char* pszName);

// The time filter. The threshold is nDays before now (seconds since 1970);
// nTimeMode 2 filters by the creation time, 4 by the modification time,
// anything else not at all. A time exactly at the threshold is within the
// period, not older.
std::int64_t TimeThreshold(std::int64_t now, int nDays);
bool PassesTimeFilter(int nTimeMode, bool bOlder, std::int64_t created, std::int64_t modified,
                      std::int64_t threshold);
