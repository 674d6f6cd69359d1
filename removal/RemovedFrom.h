// The folders a deletion run removed entries from, each with the identity
// it had then, shared by the platform bodies of the pinned root.
#pragma once

#include <string>
#include <unordered_map>

#include "walk/DirReader.h"

// An emptied folder is removed only while it is still the folder the run
// removed from: one made or moved into its place since was never walked.
class CRemovedFrom {
public:
    // The folder that held strPath (a path as listed), named by the text
    // before its last separator; read(FolderId&) gives its identity, asked
    // once per folder: the first removal there fixes it.
    template <class ReadId>
    void Note(const std::string& strPath, ReadId read) {
        const std::size_t nSep = strPath.rfind(kPathSeparator);
        if (nSep == std::string::npos) return;
        const auto [it, bNew] = m_folders.try_emplace(strPath.substr(0, nSep));
        if (bNew && !read(it->second)) m_folders.erase(it);
    }
    // The identity noted for the folder strFolder, or null.
    const FolderId* Find(const std::string& strFolder) const {
        const auto it = m_folders.find(strFolder);
        return it == m_folders.end() ? nullptr : &it->second;
    }

private:
    std::unordered_map<std::string, FolderId> m_folders;
};
