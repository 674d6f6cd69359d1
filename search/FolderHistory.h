// The folder history behind the folder combo: most recent first, updated
// when a search starts.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// When two folder texts name the same folder, as far as the text tells.
struct FolderTextRule {
    // Letter case does not tell folders apart (Windows); only ASCII letters
    // fold, every other byte must match, so "É" and "é" stay different.
    bool bFoldAsciiCase = false;
    // The characters that end a folder; one of them at the end of a text
    // counts as none, except for a root ("/", "C:\"), which needs it.
    std::string_view separators = "/";
    // "C:" (the drive's current folder) differs from "C:\" (its root).
    bool bDriveRoots = false;
};

// The rule of this platform's file systems: exact on POSIX, letter case
// folded on Windows (FolderHistory_posix.cpp, FolderHistory_win32.cpp).
FolderTextRule PlatformFolderRule();

bool SameFolderText(std::string_view a, std::string_view b, const FolderTextRule& rule);

// Puts folder at position 0 of items, as given, after removing every item
// that names the same folder by rule, so the list holds it once. A folder
// that only begins another ("/src" and "/src/old") is a different folder.
// The list is not capped here; only the saved history is.
void AddFolderHistory(std::vector<std::string>& items, const std::string& folder,
                      const FolderTextRule& rule = PlatformFolderRule());

// Of a section's value names, those a load takes as history entries, in
// entry order: "History" and a number below nCount written as "%d" writes
// it (no sign, no leading zero), ASCII case folded, each number once. The
// cost follows the names stored, not the count they claim.
std::vector<std::string> HistoryValueNames(const std::vector<std::string>& names, int nCount);
