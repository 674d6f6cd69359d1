// The one-off forms of a pinned root.
#include "finder/Removal.h"

std::int64_t FileSize(const std::string& strRoot, const std::string& strPath) {
    CPinnedRoot root;
    std::string strReason;
    return root.Open(strRoot, nullptr, strReason) ? root.FileSize(strPath) : 0;
}

bool RemoveFile(const std::string& strRoot, const std::string& strPath, bool bClearReadOnly) {
    CPinnedRoot root;
    std::string strReason;
    return root.Open(strRoot, nullptr, strReason) &&
           root.RemoveFile(strPath, bClearReadOnly, strReason);
}

bool TrashFile(const std::string& strRoot, const std::string& strPath) {
    CPinnedRoot root;
    std::string strReason;
    return root.Open(strRoot, nullptr, strReason) && root.TrashFile(strPath, strReason);
}
