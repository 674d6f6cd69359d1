// Mapping of the window's search options onto the finder's parameters.
#include "search/SearchParams.h"

namespace {

constexpr int kDaysPerMonth = 30;

std::optional<int> FolderModeOf(int nRadioFolder) {
    switch (nRadioFolder) {
        case 0:
            return 1;
        case 1:
            return 6;
        case 2:
            return 2;
        case 3:
            return 4;
        default:
            return std::nullopt;
    }
}

int TypeMaskOf(const SearchOptions& o) {
    int mask = 0;
    if (o.bBsc) mask += 128;
    if (o.bIdb) mask += 1;
    if (o.bIlk) mask += 2;
    if (o.bObj) mask += 4;
    if (o.bPch) mask += 8;
    if (o.bPdb) mask += 16;
    if (o.bRes) mask += 32;
    if (o.bSbr) mask += 64;
    return mask;
}

// Fills the time filter; false when the choice is not one the finder knows.
bool SetTimeFilter(const SearchOptions& o, SearchParams& p) {
    if (o.nRadioTime == 0) {
        p.nTimeMode = 1;
        p.nDays = 0;
        p.bOlder = false;
        return true;
    }
    if (o.nRadioTime != 1) return false;

    const int u = o.nUnitIndex;
    p.nDays = (u == 0 || u == 1) ? o.nCount * kDaysPerMonth : o.nCount;
    p.bOlder = (u == 0 || u == 2);
    if (o.nFileTimeIndex == 1) {
        p.nTimeMode = 2;
    } else if (o.nFileTimeIndex == 0) {
        p.nTimeMode = 4;
    } else {
        return false;
    }
    return true;
}

}  // namespace

std::optional<SearchParams> MakeSearchParams(const std::string& strFolder,
                                             const SearchOptions& options) {
    SearchParams p;
    const auto folderMode = FolderModeOf(options.nRadioFolder);
    if (!folderMode) return std::nullopt;
    p.nFolderMode = *folderMode;
    p.nTypeMask = TypeMaskOf(options);
    if (p.nTypeMask == 0) return std::nullopt;
    if (!SetTimeFilter(options, p)) return std::nullopt;
    p.strFolder = strFolder;
    p.bSubFolder = options.bFindSubFolder;
    return p;
}
