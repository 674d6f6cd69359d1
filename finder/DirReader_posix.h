// What the POSIX directory reading shares with the POSIX file helpers.
#pragma once

#include "finder/DirReader.h"

// The identity of the entry pszName of the folder dirFd, read by statx with
// flags (AT_EMPTY_PATH and "": of dirFd itself). False, with errno set,
// when it cannot be read.
bool ReadEntryId(int dirFd, const char* pszName, int flags, FolderId& id);
