// What the POSIX directory reading shares with the POSIX file helpers.
#pragma once

#include <string>

#include "finder/DirReader.h"

// The identity of the entry pszName of the folder dirFd, read by statx with
// flags (AT_EMPTY_PATH and "": of dirFd itself). False, with errno set,
// when it cannot be read.
bool ReadEntryId(int dirFd, const char* pszName, int flags, FolderId& id);

// Opens the folder at strRelative below fdFrom with flags, refusing a link
// anywhere on the way. -1 with errno when it cannot.
int OpenBeneath(int fdFrom, const std::string& strRelative, int flags);
