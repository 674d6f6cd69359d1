// Duplicate and nested folders of one run, by identity.
#include "search/SearchFolders.h"

#include <algorithm>
#include <cstddef>

#include "finder/DirReader.h"
#include "finder/FileUtil.h"

namespace {

// No real tree is this deep; a bound keeps a looping file system finite.
constexpr int kMostAncestors = 1024;

struct Given {
    std::string strFolder;
    bool bKnown = false;
    FolderId id;
    std::vector<FolderId> ancestors;  // parent first, up to the file system's top
};

// The folders above folder, each reached by "..": on POSIX that is the
// folder's real parent even when folder was reached through a link; on
// Windows the parent of its full path, as every path there is understood.
std::vector<FolderId> AncestorsOf(std::string path, const FolderId& self) {
    std::vector<FolderId> ancestors;
    FolderId last = self;
    for (int i = 0; i < kMostAncestors; ++i) {
        EnsureFolderSeparator(path);
        path += "..";
        FolderId id;
        // The top is its own parent.
        if (!ReadFolderId(path, id) || id == last) break;
        ancestors.push_back(id);
        last = id;
    }
    return ancestors;
}

bool Contains(const std::vector<FolderId>& ids, const FolderId& id) {
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

}  // namespace

std::vector<std::string> FoldersToWalk(const std::vector<std::string>& folders) {
    std::vector<Given> given(folders.size());
    for (std::size_t i = 0; i < folders.size(); ++i) {
        given[i].strFolder = folders[i];
        given[i].bKnown = ReadFolderId(folders[i], given[i].id);
        if (given[i].bKnown && folders.size() > 1) {
            given[i].ancestors = AncestorsOf(folders[i], given[i].id);
        }
    }
    std::vector<std::string> walked;
    for (std::size_t i = 0; i < given.size(); ++i) {
        const Given& folder = given[i];
        bool bCovered = false;
        for (std::size_t j = 0; j < given.size() && folder.bKnown && !bCovered; ++j) {
            if (j == i || !given[j].bKnown) continue;
            bCovered =
                (j < i && given[j].id == folder.id) || Contains(folder.ancestors, given[j].id);
        }
        if (!bCovered) walked.push_back(folder.strFolder);
    }
    return walked;
}
