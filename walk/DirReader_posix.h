// What the POSIX directory reading shares with the POSIX file helpers.
#pragma once

#include <sys/stat.h>

#include <string>

#include "walk/DirReader.h"

// The identity of the entry pszName of the folder dirFd, read by statx with
// flags (AT_EMPTY_PATH and "": of dirFd itself). False, with errno set,
// when it cannot be read.
bool ReadEntryId(int dirFd, const char* pszName, int flags, FolderId& id);

// The facts of the entry pszName of the folder dirFd as the walk lists
// them (flags: AT_SYMLINK_NOFOLLOW for the entry itself), with its statx.
// False, with errno set, when it cannot be read.
bool ReadFacts(int dirFd, const char* pszName, int flags, EntryFacts& facts, struct statx& sx);

// Opens the folder at strRelative below fdFrom with flags, refusing a link
// anywhere on the way. -1 with errno when it cannot.
int OpenBeneath(int fdFrom, const std::string& strRelative, int flags);
