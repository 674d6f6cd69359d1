// Folder texts on POSIX file systems: letter case tells folders apart.
#include "search/FolderHistory.h"

FolderTextRule PlatformFolderRule() { return {false, "/", false}; }
