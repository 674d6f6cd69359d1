// What a search looks for, as both front ends ask for it: the folder, which
// subfolders count, the kinds of files and the age filter. The finder's
// StartFind takes the same choices as seven numbers; FinderArgumentsOf
// turns one into the other.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "walk/FileKinds.h"

// In which subfolders files are looked for (every subfolder is walked
// either way). Debug and Release are exact, case-sensitive folder names.
enum class FolderRule {
    All,
    DebugAndRelease,
    Debug,
    Release,
};

inline constexpr int kNewerKindCount = static_cast<int>(kFileKindCount - kClassicKindCount);
// The i-th newer kind, 0 for Ipch.
constexpr FileKind NewerKind(int i) {
    return static_cast<FileKind>(static_cast<int>(kClassicKindCount) + i);
}

// "idb", "ilk", ..., "vcdb", ...: the word that names the kind.
std::string_view FileKindName(FileKind kind);

class FileKinds {
public:
    constexpr FileKinds() = default;
    // The eight, as searched by default.
    static constexpr FileKinds Classic() { return FromBits((1u << kClassicKindCount) - 1); }
    // The seven newer ones.
    static constexpr FileKinds Newer() {
        return FromBits(((1u << kFileKindCount) - 1) & ~Classic().Bits());
    }
    static constexpr FileKinds All() { return FromBits((1u << kFileKindCount) - 1); }
    static constexpr FileKinds FromBits(std::uint32_t bits) {
        FileKinds kinds;
        kinds.m_bits = bits & ((1u << kFileKindCount) - 1);
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
        return static_cast<std::uint32_t>(KindBit(kind));
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
    FileKinds kinds = FileKinds::Classic();
    AgeFilter age = AgeFilter::None;
    int nPeriod = 1;  // 1..99 units; unused without an age filter
    AgeUnit unit = AgeUnit::Days;
    FileTime time = FileTime::Modified;
    // Globs on a subfolder's own name ("node_modules", ".git", "vend*"):
    // such a folder is never entered, at any depth; strRoot itself always is.
    std::vector<std::string> excludedFolders;

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
