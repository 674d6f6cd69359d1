// Paths as the Windows file API takes them: UTF-16, absolute, and with the
// \\?\ prefix once they may pass MAX_PATH (real build trees do).
#pragma once

#include <string>

// The full path of a UTF-8 path, prefixed when long. False when the text is
// not UTF-8 or names no possible path.
bool ToApiPath(const std::string& strPath, std::wstring& wpath);
// Prefixes a full path (drive or UNC) with \\?\ once it is long enough that
// a name or "\*" appended to it could pass MAX_PATH.
void PrefixIfLong(std::wstring& wpath);

struct FolderId;
struct EntryFacts;
struct FileStamp;
struct _FILETIME;
// A file time as the walk carries it.
FileStamp StampOf(const _FILETIME& ft);
// The facts of an open file from its own record, as the walk lists a file
// and a deletion knows it again: size, times and its FoldFileId (the
// volume's 32-bit serial with the 64-bit file index). False when they
// cannot be read.
bool HandleFacts(void* hFile, EntryFacts& facts);
// The identity of an open file or folder: the volume's 64-bit serial with
// the 128-bit file id (ReFS needs all of it), or, where the system does not
// give those, the 32-bit serial with the 64-bit file index.
bool HandleId(void* hFile, FolderId& id);
// Where an open folder really is, links resolved: the path every name below
// it is looked up from.
bool FinalPath(void* hFolder, std::wstring& wpath);
