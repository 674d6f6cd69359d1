// Several folders searched as one run: which of them are walked.
#pragma once

#include <string>
#include <vector>

// Of folders (each an existing folder as typed), those to walk, in the order
// given. Folders are known by identity, not by text: a folder given again
// ("t1", "./t1", a link to it, or "T1" where case does not count) is walked
// the first time only, and one inside another given folder only as part of
// that one, wherever either stands in the list. A folder whose identity
// cannot be read is kept: its own start says what is wrong with it.
std::vector<std::string> FoldersToWalk(const std::vector<std::string>& folders);
