// The folder history behind the folder combo: most recent first, updated
// when a search starts.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// Position of the first item whose text begins with prefix, compared
// without regard to case, or nothing. Case is folded for ASCII letters
// only; every other byte (all of a multi-byte UTF-8 character) must match
// exactly, so "É" and "é" are different while "C:\SRC" matches "c:\src".
// An empty prefix matches the first item.
std::optional<std::size_t> FindFolderPrefix(const std::vector<std::string>& items,
                                            const std::string& prefix);

// Puts folder at position 0 of items. The first item that begins with
// folder (FindFolderPrefix) is removed first, and only that one: adding
// "/src" to ["/src/old", "/src"] gives ["/src", "/src"]. The list is not
// capped here; only the saved history is.
void AddFolderHistory(std::vector<std::string>& items, const std::string& folder);
