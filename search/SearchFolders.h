// Several folders searched as one run: which of them are walked.
#pragma once

#include <string>
#include <vector>

#include "walk/DirReader.h"

struct RunFolders {
    std::vector<std::string> walked;  // in the order given
    // Those of the walked folders whose identity could be read, for the
    // finder's run (CIntermediateFileFinder::SetRun); none for one folder.
    std::vector<FolderMark> marks;
};

// Of folders (each an existing folder as typed), those to walk. Folders are
// known by identity, not by text: a folder given again ("t1", "./t1", a link
// to it, or "T1" where case does not count) is walked the first time only.
// One inside another given folder is walked on its own, by its own rules,
// and the other's walk leaves it out. A folder whose identity cannot be read
// is kept: its own start says what is wrong with it.
RunFolders FoldersToWalk(const std::vector<std::string>& folders);
