// The platform-neutral file helpers: the trailing separator of a folder
// path and the test of a listed path.
#include "walk/FileUtil.h"

#include <string_view>

#include "walk/DirReader.h"

void AddBackslash(std::string& strPath) {
    // Both separators count, whatever the platform: a path typed as C:/a/ or
    // /home/a\ is taken as already ending in one. In UTF-8 no byte of a
    // multi-byte character can look like either separator.
    if (strPath.empty() || (strPath.back() != '/' && strPath.back() != '\\')) {
        strPath += kPathSeparator;
    }
}

bool PathBelowRoot(const std::string& strRoot, const std::string& strPath,
                   std::string& strRelative) {
    if (strRoot.empty()) return false;
    std::string strPrefix = strRoot;
    EnsureFolderSeparator(strPrefix);
    if (strPath.size() <= strPrefix.size() ||
        strPath.compare(0, strPrefix.size(), strPrefix) != 0) {
        return false;
    }
    strRelative.assign(strPath, strPrefix.size());
    // The walk never lists such names; a path holding one did not come from
    // it and could climb out of the root.
    std::size_t start = 0;
    for (;;) {
        const std::size_t sep = strRelative.find(kPathSeparator, start);
        const std::string_view name(strRelative.data() + start,
                                    (sep == std::string::npos ? strRelative.size() : sep) - start);
        if (name.empty() || name == "." || name == "..") return false;
        // Where "\" separates, "/" does too for the system.
        if (kPathSeparator == '\\' && name.find('/') != std::string_view::npos) return false;
        if (sep == std::string::npos) return true;
        start = sep + 1;
    }
}
