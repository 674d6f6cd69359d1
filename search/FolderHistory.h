// The folder history behind the folder combo: most recent first, updated
// when a search starts.
#pragma once

#include <string>
#include <vector>

// Puts folder at position 0 of items, with its own letter case, after
// removing every item that names the same folder, so the list holds it
// once. The same folder: texts equal but for ASCII letter case; every other
// byte (all of a multi-byte UTF-8 character) must match exactly, so "É" and
// "é" differ while "C:\SRC" matches "c:\src". A folder that only begins
// another ("/src" and "/src/old") is a different folder. The list is not
// capped here; only the saved history is.
void AddFolderHistory(std::vector<std::string>& items, const std::string& folder);

// Of a section's value names, those a load takes as history entries, in
// entry order: "History" and a number below nCount written as "%d" writes
// it (no sign, no leading zero), ASCII case folded, each number once. The
// cost follows the names stored, not the count they claim.
std::vector<std::string> HistoryValueNames(const std::vector<std::string>& names, int nCount);
