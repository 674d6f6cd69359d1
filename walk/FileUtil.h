// Stateless file helpers shared by the search and the deletion; callable
// from any thread. The deletion and the trash themselves are Removal.h.
#pragma once

#include <string>

#include "walk/DirReader.h"

// Appends the platform separator unless the text already ends in "/" or "\".
// Two rules stay on purpose: this one, of the generic folder enumeration
// (CFinderThread), takes either as a separator as the original platform
// does; the intermediate-file search uses EnsureFolderSeparator
// (DirReader.h), the platform's own rule, so on POSIX a folder whose name
// ends in "\" (a legal byte there) still gets its "/".
void AddBackslash(std::string& strPath);
// True when the path names an existing file that is not a folder.
bool FileExists(const std::string& strPath);
// True when the path names an existing folder.
bool FolderExists(const std::string& strPath);

// The part of strPath below strRoot (no leading separator), or false when
// strPath does not lie below strRoot or has an empty, "." or ".." name there.
bool PathBelowRoot(const std::string& strRoot, const std::string& strPath,
                   std::string& strRelative);
// The identity of the folder strFolder names now, reached through links as
// a search's root is. False when it cannot be read.
bool ReadFolderId(const std::string& strFolder, FolderId& id);
// The mark of the folder strFolder names now, reached as ReadFolderId
// reaches it. False when it cannot be read.
bool ReadFolderMark(const std::string& strFolder, FolderMark& mark);

// The folder a first search starts in: C:\ on Windows, the home folder on
// POSIX systems, where walking "/" would enter every mount.
std::string DefaultFolder();
