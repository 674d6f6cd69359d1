// What a search listed of a file, so that a deletion takes that file and
// no other that has since come to stand at its name.
#pragma once

#include <cstdint>

#include "walk/FileStamp.h"

// One number for a file while it exists: its index on its file system
// (inode; file id) folded with the file system's number (device; volume
// serial). An entry lies on the file system of the folder that holds it (a
// mount point can be neither renamed nor removed), so two entries met in
// one folder compare by their index exactly; the fold only keeps files of
// different file systems apart. 0 when the walk could not tell.
inline std::uint64_t FoldFileId(std::uint64_t volume, std::uint64_t index) {
    return index ^ (volume * 0x9E3779B97F4A7C15ULL);
}

struct ListedFile {
    std::uint64_t id = 0;  // FoldFileId
    std::uint64_t size = 0;
    FileStamp created;
    FileStamp modified;
    bool operator==(const ListedFile&) const = default;
};

// Whether the entry found now (as the walk would list it) is the file
// listed, unchanged: the same file, with its size and times as they were.
// A listing without an identity proves nothing.
inline bool SameAsListed(const ListedFile& listed, const ListedFile& now) {
    return listed.id != 0 && listed == now;
}
