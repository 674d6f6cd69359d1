// Placeholder until the engine lands.
#include "finder/FileUtil.h"
void AddBackslash(std::string& s) { if (s.empty() || (s.back() != '/' && s.back() != '\\')) s += '/'; }
bool FileExists(const std::string&) { return false; }
bool FolderExists(const std::string&) { return false; }
std::int64_t FileSize(const std::string&) { return 0; }
bool RemoveFile(const std::string&, bool) { return false; }
