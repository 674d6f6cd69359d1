// Folder texts on Windows: letter case does not tell folders apart, and
// either slash ends a folder.
#include "search/FolderHistory.h"

FolderTextRule PlatformFolderRule() { return {true, "\\/", true}; }
