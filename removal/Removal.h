// Deleting a listed file or moving it to the trash, through the folder its
// search started from, held open for the run; callable from any thread.
// The bodies: Removal_posix.cpp and Removal_win32.cpp, the desktop's trash
// Trash_posix.cpp and Trash_win32.cpp.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "removal/RemovalFailure.h"
#include "walk/DirReader.h"
#include "walk/ListedFile.h"

// A listed file is named by the folder its search started from (strRoot, as
// the user gave it: it may be reached through links) and the path the search
// listed for it (strPath, strRoot's text followed by the names below it).
// Below strRoot each name is looked up on its own and never through a link,
// so a folder swapped for a link after the search cannot lead anywhere
// outside strRoot, and no path length limit applies. A name below strRoot
// that is now a link, or a folder where a file was, makes the call fail.

// What became of a folder a clean-up tried to remove.
enum class FolderRemoval {
    kRemoved,
    kNotEmpty,  // it holds something: it stays, and that is no failure
    kFailed,    // the failure says why
};

// The folder a search started from, opened once for a deletion run: every
// listed file is reached below this open folder (descriptor or handle),
// never through the root's path again, so a root renamed and replaced by a
// link or another folder after the search leads nowhere. The trash's own
// folders are found once per run and kept too.
class CPinnedRoot {
public:
    CPinnedRoot();
    ~CPinnedRoot();
    CPinnedRoot(const CPinnedRoot&) = delete;
    CPinnedRoot& operator=(const CPinnedRoot&) = delete;

    // Opens strRoot. With pSearched, a folder that is not the one the
    // search recorded is refused (kRootReplaced). True when open.
    bool Open(const std::string& strRoot, const FolderId* pSearched, RemovalFailure& why);
    // The size in bytes of the entry itself (a link's own size); 0 when its
    // status cannot be read or it is a folder.
    std::int64_t FileSize(const std::string& strPath) const;
    // Deletes the entry (a link as the link itself); a read-only file only
    // when bClearReadOnly allows. Windows clears its read-only attribute
    // first, without touching its times; POSIX never changes the mode
    // (another hard link shares it). True only when the entry is gone;
    // otherwise it is left as it was found, read-only bit included, and
    // why tells what stopped it. With pListed, only that very file goes,
    // unchanged (SameAsListed): the entry checked is the entry removed, and
    // any other stays (kChangedSinceSearch); without, whatever stands there.
    bool RemoveFile(const std::string& strPath, bool bClearReadOnly, RemovalFailure& why,
                    const ListedFile* pListed = nullptr);
    // Moves the entry (a link as the link itself) to the desktop's trash,
    // the way a file manager does, keeping its mode: a read-only file goes
    // as it is. False for a folder (or a link to one) and for whatever the
    // trash cannot take (no usable trash on its file system, no
    // permission); such an entry stays exactly where it was and is never
    // removed instead. pListed as for RemoveFile.
    bool TrashFile(const std::string& strPath, RemovalFailure& why,
                   const ListedFile* pListed = nullptr);
    // Removes the folder strPath (named below the root as a listed file is)
    // only if it is empty now and still the folder this root removed an
    // entry from: never one made or moved into its place since
    // (kChangedSinceSearch), never a link put there, never what it holds,
    // never the root itself.
    FolderRemoval RemoveEmptyFolder(const std::string& strPath, RemovalFailure& why);

    struct State;

private:
    std::unique_ptr<State> m_pState;
};

// The process had no descriptor (handle) to spare for it: a failure worth
// trying again later, which says nothing about the folder or the file.
bool IsDescriptorShortage(const RemovalFailure& why);

// One-off forms of the members above, for a root opened as it is now.
std::int64_t FileSize(const std::string& strRoot, const std::string& strPath);
bool RemoveFile(const std::string& strRoot, const std::string& strPath, bool bClearReadOnly);
bool TrashFile(const std::string& strRoot, const std::string& strPath);
