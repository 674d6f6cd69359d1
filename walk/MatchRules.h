// What the search asks of a name, a folder and a file's times, apart from
// any walk: the pattern a name matches, the folder rule and the time filter.
// Pure functions, so another walker can share them and tests need no
// threads. The ones called for every entry are inline: they sit in the
// walk's innermost loop.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "walk/FileKinds.h"

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

// The kinds in the order a folder's matches are reported (FileKinds.h),
// with the type-mask bit that asks for each.
struct Pattern {
    int nBit;
};
inline constexpr int kClassicPatternCount = static_cast<int>(kClassicKindCount);
inline constexpr int kPatternCount = static_cast<int>(kFileKindCount);
inline constexpr int kIpchBit = KindBit(FileKind::Ipch);
inline constexpr int kVcDbBit = KindBit(FileKind::VcDb);
inline constexpr int kSdfBit = KindBit(FileKind::Sdf);
inline constexpr int kNcbBit = KindBit(FileKind::Ncb);
inline constexpr int kIobjBit = KindBit(FileKind::Iobj);
inline constexpr int kIpdbBit = KindBit(FileKind::Ipdb);
inline constexpr int kTlogBit = KindBit(FileKind::Tlog);
inline constexpr int kClassicKinds = (1 << kClassicPatternCount) - 1;
inline constexpr int kNewerKinds = ((1 << kPatternCount) - 1) & ~kClassicKinds;
constexpr std::array<Pattern, kPatternCount> PatternsInReportOrder() {
    std::array<Pattern, kPatternCount> patterns{};
    for (int n = 0; n < kPatternCount; ++n) {
        patterns[ReportOrderOf(static_cast<FileKind>(n))].nBit = 1 << n;
    }
    return patterns;
}
inline constexpr std::array<Pattern, kPatternCount> kPatterns = PatternsInReportOrder();
// What ClassifyName gives besides a pattern: names a solution cache needs
// beside it.
inline constexpr int kSolutionName = kPatternCount;       // "*.sln"
inline constexpr int kWorkspaceName = kPatternCount + 1;  // "*.dsw"
inline constexpr int kBscPattern = ReportOrderOf(FileKind::Bsc);
inline constexpr int kIdbPattern = ReportOrderOf(FileKind::Idb);
inline constexpr int kIlkPattern = ReportOrderOf(FileKind::Ilk);
inline constexpr int kObjPattern = ReportOrderOf(FileKind::Obj);
inline constexpr int kPchPattern = ReportOrderOf(FileKind::Pch);
inline constexpr int kPdbPattern = ReportOrderOf(FileKind::Pdb);
inline constexpr int kResPattern = ReportOrderOf(FileKind::Res);
inline constexpr int kSbrPattern = ReportOrderOf(FileKind::Sbr);
inline constexpr int kIpchPattern = ReportOrderOf(FileKind::Ipch);
inline constexpr int kVcDbPattern = ReportOrderOf(FileKind::VcDb);
inline constexpr int kSdfPattern = ReportOrderOf(FileKind::Sdf);
inline constexpr int kNcbPattern = ReportOrderOf(FileKind::Ncb);
inline constexpr int kIobjPattern = ReportOrderOf(FileKind::Iobj);
inline constexpr int kIpdbPattern = ReportOrderOf(FileKind::Ipdb);
inline constexpr int kTlogPattern = ReportOrderOf(FileKind::Tlog);

// Names whose last extension is not three letters long (rarer in a build
// tree), out of line.
int ClassifyLongName(const char* pszName, std::size_t len);

// The pattern a name of len bytes matches, case-insensitively, or
// kSolutionName / kWorkspaceName, or -1. "*" may match nothing, so ".obj"
// matches too; x.objx and obj.txt never do.
inline int ClassifyName(const char* pszName, std::size_t len) {
    if (len < 4 || pszName[len - 4] != '.') return ClassifyLongName(pszName, len);
    switch (ExtensionKey(LowerAscii(pszName[len - 3]), LowerAscii(pszName[len - 2]),
                         LowerAscii(pszName[len - 1]))) {
        case ExtensionKey('b', 's', 'c'):
            return kBscPattern;
        case ExtensionKey('i', 'd', 'b'):
            return kIdbPattern;
        case ExtensionKey('i', 'l', 'k'):
            return kIlkPattern;
        case ExtensionKey('o', 'b', 'j'):
            return kObjPattern;
        case ExtensionKey('p', 'c', 'h'):
            return kPchPattern;
        case ExtensionKey('p', 'd', 'b'):
            return kPdbPattern;
        case ExtensionKey('r', 'e', 's'):
            return kResPattern;
        case ExtensionKey('s', 'b', 'r'):
            return kSbrPattern;
        case ExtensionKey('s', 'd', 'f'):
            return kSdfPattern;
        case ExtensionKey('n', 'c', 'b'):
            return kNcbPattern;
        case ExtensionKey('s', 'l', 'n'):
            return kSolutionName;
        case ExtensionKey('d', 's', 'w'):
            return kWorkspaceName;
        default:
            return -1;
    }
}

// Whether a name is that of a Visual C++ project or solution file (.sln
// .slnx .vcxproj .vcproj .dsp .dsw, in either case): its folder is a
// project folder. Looked at for every entry of every folder, so the last
// letter turns most names away before any comparison.
inline bool IsProjectFileName(const char* pszName, std::size_t len) {
    const auto endsWith = [pszName, len](const char* pszLower, std::size_t n) {
        if (len <= n) return false;
        for (std::size_t i = 0; i < n; ++i) {
            if (LowerAscii(pszName[len - n + i]) != pszLower[i]) return false;
        }
        return true;
    };
    if (len < 5) return false;
    switch (LowerAscii(pszName[len - 1])) {
        case 'n':
            return endsWith(".sln", 4);
        case 'x':
            return endsWith(".slnx", 5);
        case 'j':
            return endsWith(".vcxproj", 8) || endsWith(".vcproj", 7);
        case 'p':
            return endsWith(".dsp", 4);
        case 'w':
            return endsWith(".dsw", 4);
        default:
            return false;
    }
}

// What the search looks for in one folder.
struct FolderScope {
    bool bPasses = true;  // the folder rule takes it (the root's files are always looked for)
    int nKinds = 0;       // type-mask bits of the kinds looked for here
};

// The scope of a subfolder named pszName of a folder that passes the rule
// or not. The eight and the link-time leftovers follow the folder rule; the
// IDE's caches are looked for in every folder, since they never live in
// Debug or Release; build records also in a "*.tlog" folder whose parent
// passes the rule.
FolderScope SubfolderScope(int nTypeMask, int nFolderMode, bool bParentPasses, const char* pszName,
                           std::size_t len);

// What the walk does with one entry.
enum class NameUse {
    kNone,       // passed over
    kCandidate,  // reported if it passes the time filter (and, for the newer kinds, is a file)
    kSolution,   // a name a solution cache needs beside it: looked at, never reported
};

// nCode is ClassifyName's answer. An entry the listing already calls a
// folder is never one of the newer kinds, nor a solution.
inline NameUse UseOf(int nKinds, int nCode, bool bKnownFolder) {
    if (nCode < 0) return NameUse::kNone;
    if (nCode < kPatternCount) {
        if ((nKinds & kPatterns[nCode].nBit) == 0) return NameUse::kNone;
        return nCode >= kClassicPatternCount && bKnownFolder ? NameUse::kNone : NameUse::kCandidate;
    }
    const int nWants = nCode == kSolutionName ? (kSdfBit | kNcbBit) : kNcbBit;
    return (nKinds & nWants) != 0 && !bKnownFolder ? NameUse::kSolution : NameUse::kNone;
}

// Whether the solution cache pszCache (pattern kSdfPattern or kNcbPattern)
// belongs to the solution pszSolution (kSolutionName or kWorkspaceName):
// the same stem, in either case; a .dsw serves only a .ncb.
bool CacheOfSolution(const char* pszCache, std::size_t nCacheLen, int nCachePattern,
                     const char* pszSolution, std::size_t nSolutionLen, int nSolutionCode);

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
