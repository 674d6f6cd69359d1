// The seam through which a search reports to whoever shows it; the finder
// knows nothing of the window.
#pragma once

#include <cstdint>
#include <string>

#include "walk/FileStamp.h"

// All are called on the search's worker thread. The finder never deletes
// its sink, so there is deliberately no virtual destructor use.
class CFindNotify {
public:
    // The walk is about to search this folder (path with a trailing separator).
    virtual void OnFindFolder(const std::string& strFolder) = 0;
    // One matching file, as the walk reports it: full path (exact bytes),
    // size, creation and modification times as numbers, and its identity
    // (FoldFileId, walk/ListedFile.h; 0 when not told), by which a
    // deletion knows it again. By default the texts are made from them
    // and handed to OnFindFile.
    virtual void OnFindFileStamps(const std::string& strPath, std::uint64_t size,
                                  const FileStamp& created, const FileStamp& modified,
                                  std::uint64_t fileId);
    // One matching file with its times formatted "%Y/%m/%d %H:%M" in local
    // time; a sink that takes the numbers needs no texts.
    virtual void OnFindFile(const std::string& /*strPath*/, std::uint64_t /*size*/,
                            const std::string& /*strCreated*/, const std::string& /*strModified*/) {
    }
    // The folder strFolder (as OnFindFolder gave it) holds a project or
    // solution file: called once, when its listing has been read, after
    // the files of its subfolders and before its own. The folder a search
    // starts from may be one.
    virtual void OnFindProjectFolder(const std::string& /*strFolder*/) {}
    // The walk ran to its end without being stopped.
    virtual void OnFindEnd() = 0;

protected:
    ~CFindNotify() = default;
};
