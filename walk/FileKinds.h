// The kinds of files the search finds, described once: the word that names
// each, the pattern it stands for, the settings value that keeps its check
// box, and where the finder reports it. A kind's number is its bit in the
// finder's type mask; the window's label for it is UiText::kCheckKinds at
// the same number.
#pragma once

#include <cstddef>
#include <string_view>

// The eight classic patterns "*.ext", then the seven leftovers of newer
// IDEs and builds (off unless asked for).
enum class FileKind {
    Idb,
    Ilk,
    Obj,
    Pch,
    Pdb,
    Res,
    Sbr,
    Bsc,
    Ipch,
    VcDb,
    Sdf,
    Ncb,
    Iobj,
    Ipdb,
    Tlog,
};
inline constexpr std::size_t kClassicKindCount = 8;
inline constexpr std::size_t kFileKindCount = 15;

struct KindInfo {
    std::string_view name;       // as the command line takes it: "idb", "vcdb"
    std::string_view pattern;    // the names it finds
    const char* pszSettingsKey;  // the Controls value of its check box
    // Its place in a folder's report: the classic ones from "*.bsc", a
    // format the walk's order and its tests rely on.
    int nReportOrder;
};

inline constexpr KindInfo kKinds[kFileKindCount] = {
    {"idb", "*.idb", "Idb", 1},
    {"ilk", "*.ilk", "Ilk", 2},
    {"obj", "*.obj", "Obj", 3},
    {"pch", "*.pch", "Pch", 4},
    {"pdb", "*.pdb", "Pdb", 5},
    {"res", "*.res", "Res", 6},
    {"sbr", "*.sbr", "Sbr", 7},
    {"bsc", "*.bsc", "Bsc", 0},
    {"ipch", "*.ipch", "Ipch", 8},
    {"vcdb", "*.VC.db", "VcDb", 9},
    {"sdf", "*.sdf beside a .sln of its stem", "Sdf", 10},
    {"ncb", "*.ncb beside a .sln or .dsw of its stem", "Ncb", 11},
    {"iobj", "*.iobj", "Iobj", 12},
    {"ipdb", "*.ipdb", "Ipdb", 13},
    {"tlog", "*.tlog, *.lastbuildstate", "Tlog", 14},
};

constexpr const KindInfo& InfoOf(FileKind kind) { return kKinds[static_cast<std::size_t>(kind)]; }
constexpr const char* SettingsKeyOf(FileKind kind) { return InfoOf(kind).pszSettingsKey; }
constexpr int KindBit(FileKind kind) { return 1 << static_cast<int>(kind); }
constexpr int ReportOrderOf(FileKind kind) { return InfoOf(kind).nReportOrder; }
