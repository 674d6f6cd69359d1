// Duplicate folders of one run, by identity.
#include "search/SearchFolders.h"

#include <algorithm>

#include "walk/FileUtil.h"

RunFolders FoldersToWalk(const std::vector<std::string>& folders) {
    RunFolders run;
    for (const std::string& strFolder : folders) {
        FolderMark mark;
        if (!ReadFolderMark(strFolder, mark)) {
            run.walked.push_back(strFolder);
            continue;
        }
        const auto same = [&](const FolderMark& other) { return other.id == mark.id; };
        if (std::any_of(run.marks.begin(), run.marks.end(), same)) continue;
        run.walked.push_back(strFolder);
        run.marks.push_back(std::move(mark));
    }
    if (run.walked.size() < 2) run.marks.clear();
    return run;
}
