// The window's search options, as its controls hold them, and the search
// they ask for. The window maps its controls through this; the command
// line's saved settings come as the same options and map the same way.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "search/SearchQuery.h"

// The positions a search knows in the window's two period lists (unit,
// then file time); each list holds one item per position.
inline constexpr int kUnitPositions = 4;
inline constexpr int kFileTimePositions = 2;

// The option members as the window's data exchange leaves them.
struct SearchOptions {
    bool bIdb = false;
    bool bIlk = false;
    bool bObj = false;
    bool bPch = false;
    bool bPdb = false;
    bool bRes = false;
    bool bSbr = false;
    bool bBsc = false;
    // The newer kinds ticked; any of the eight here is ignored.
    FileKinds newer;
    bool bFindSubFolder = true;
    // 0 all subfolders, 1 Debug and Release, 2 Debug, 3 Release; anything
    // else means no radio of the group is checked.
    int nRadioFolder = 0;
    // 0 no time filter, 1 filter by the period below.
    int nRadioTime = 0;
    // The period, 1..99 after a successful exchange.
    int nCount = 1;
    // Position of the unit combo's text in its list, 0 when no item matches:
    // 0 "ヶ月以前に", 1 "ヶ月間に", 2 "日以前に", 3 "日間に".
    int nUnitIndex = 0;
    // Position of the file-time combo's text, 0 when no item matches:
    // 0 "更新があったファイル", 1 "作成したファイル".
    int nFileTimeIndex = 0;
    // Names (globs) of folders never entered, as SplitFolderNames gives them.
    std::vector<std::string> excludedFolders;

    bool operator==(const SearchOptions&) const = default;
};

// The names of the window's field of folders left out: separated by ";",
// the spaces around each dropped, and empty ones with them.
std::vector<std::string> SplitFolderNames(std::string_view text);
// Whether name can name a folder on its own: not empty, and no path (a
// path would never match a folder's name, and the search would skip
// nothing).
bool IsFolderName(std::string_view name);

// The search of strFolder (passed on exactly as typed), or nothing when the
// start must silently do nothing: no folder radio checked, no file type
// ticked, or a time choice outside the known values. An empty result means
// the list, the total and the status bar must stay untouched.
std::optional<SearchQuery> MakeSearchQuery(const std::string& strFolder,
                                           const SearchOptions& options);
