// Stateless file helpers shared by the search and the deletion; callable
// from any thread.
#pragma once

#include <cstdint>
#include <string>

// Appends the platform separator unless the text already ends in "/" or "\".
void AddBackslash(std::string& strPath);
// True when the path names an existing file that is not a folder.
bool FileExists(const std::string& strPath);
// True when the path names an existing folder.
bool FolderExists(const std::string& strPath);
// The file's size in bytes; 0 when its status cannot be read.
std::int64_t FileSize(const std::string& strPath);
// Deletes the file, first making a read-only file writable when allowed.
// True only when the file is gone.
bool RemoveFile(const std::string& strPath, bool bClearReadOnly);
