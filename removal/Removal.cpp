// The one-off forms of a pinned root.
#include "removal/Removal.h"

std::int64_t FileSize(const std::string& strRoot, const std::string& strPath) {
    CPinnedRoot root;
    RemovalFailure why;
    return root.Open(strRoot, nullptr, why) ? root.FileSize(strPath) : 0;
}

bool RemoveFile(const std::string& strRoot, const std::string& strPath, bool bClearReadOnly) {
    CPinnedRoot root;
    RemovalFailure why;
    return root.Open(strRoot, nullptr, why) && root.RemoveFile(strPath, bClearReadOnly, why);
}

bool TrashFile(const std::string& strRoot, const std::string& strPath) {
    CPinnedRoot root;
    RemovalFailure why;
    return root.Open(strRoot, nullptr, why) && root.TrashFile(strPath, why);
}
