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
