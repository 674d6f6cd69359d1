// The Recycle Bin, for the Win32 bodies of the file helpers.
#pragma once

#include <string>

// Moves the file wpath to the Recycle Bin through the shell's own file
// operation, the way Explorer does. True only when the shell reports this
// file recycled and its name is gone; otherwise the file stays (the shell
// is never let delete it for good) and strReason says why.
bool RecycleFile(const std::wstring& wpath, std::string& strReason);
