// What a search looks for, as both front ends ask for it: the folder, which
// subfolders count, the kinds of files and the age filter. The finder's
// StartFind takes the same choices as seven numbers; FinderArgumentsOf
// turns one into the other.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// In which subfolders files are looked for (every subfolder is walked
// either way). Debug and Release are exact, case-sensitive folder names.
enum class FolderRule {
    All,
    DebugAndRelease,
    Debug,
    Release,
};

// The kinds of files, one pattern "*.ext" each. A kind's number is its bit
// in the finder's type mask.
enum class FileKind {
    Idb,
    Ilk,
    Obj,
    Pch,
    Pdb,
    Res,
    Sbr,
    Bsc,
};
inline constexpr std::size_t kFileKindCount = 8;

// "idb", "ilk", ...: the extension that names the kind.
std::string_view FileKindName(FileKind kind);

class FileKinds {
public:
    constexpr FileKinds() = default;
    static constexpr FileKinds All() {
        FileKinds kinds;
        kinds.m_bits = (std::uint32_t{1} << kFileKindCount) - 1;
        return kinds;
    }

    constexpr bool Has(FileKind kind) const { return (m_bits & Bit(kind)) != 0; }
    constexpr void Set(FileKind kind, bool bOn = true) {
        m_bits = bOn ? (m_bits | Bit(kind)) : (m_bits & ~Bit(kind));
    }
    constexpr bool Empty() const { return m_bits == 0; }
    // Bit n stands for FileKind n.
    constexpr std::uint32_t Bits() const { return m_bits; }
    constexpr bool operator==(const FileKinds&) const = default;

private:
    static constexpr std::uint32_t Bit(FileKind kind) {
        return std::uint32_t{1} << static_cast<unsigned>(kind);
    }
    std::uint32_t m_bits = 0;
};

enum class AgeFilter {
    None,
    Within,  // changed (or created) within the period
    Older,   // older than the period
};
enum class AgeUnit {
    Days,
    Months,  // 30 days each
};
enum class FileTime {
    Modified,
    Created,
};

struct SearchQuery {
    std::string strRoot;  // exactly as typed: no trimming, no normalising
    bool bSubfolders = true;
    FolderRule folders = FolderRule::DebugAndRelease;
    FileKinds kinds = FileKinds::All();
    AgeFilter age = AgeFilter::None;
    int nPeriod = 1;  // 1..99 units; unused without an age filter
    AgeUnit unit = AgeUnit::Days;
    FileTime time = FileTime::Modified;

    bool operator==(const SearchQuery&) const = default;
};

// StartFind's arguments after the folder and the subfolder flag, in its order.
struct FinderArguments {
    int nFolderMode = 6;  // 1 all, 6 Debug+Release, 2 Debug, 4 Release
    int nTypeMask = 0;    // FileKinds::Bits
    int nTimeMode = 1;    // 1 none, 2 creation time, 4 modification time
    int nDays = 0;        // months count as 30 days
    bool bOlder = false;

    bool operator==(const FinderArguments&) const = default;
};
FinderArguments FinderArgumentsOf(const SearchQuery& query);
