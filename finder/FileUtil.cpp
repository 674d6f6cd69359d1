// The platform-neutral file helper: the trailing separator of a folder path.
#include "finder/FileUtil.h"

#include "finder/DirReader.h"

void AddBackslash(std::string& strPath) {
    // Both separators count, whatever the platform: a path typed as C:/a/ or
    // /home/a\ is taken as already ending in one. In UTF-8 no byte of a
    // multi-byte character can look like either separator.
    if (strPath.empty() || (strPath.back() != '/' && strPath.back() != '\\')) {
        strPath += kPathSeparator;
    }
}
