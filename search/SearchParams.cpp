// Mapping of the window's search options onto a typed search.
#include "search/SearchParams.h"

#include <algorithm>

#include "search/FolderHistory.h"

namespace {

std::optional<FolderRule> FolderRuleOf(int nRadioFolder) {
    switch (nRadioFolder) {
        case 0:
            return FolderRule::All;
        case 1:
            return FolderRule::DebugAndRelease;
        case 2:
            return FolderRule::Debug;
        case 3:
            return FolderRule::Release;
        default:
            return std::nullopt;
    }
}

FileKinds KindsOf(const SearchOptions& o) {
    FileKinds kinds;
    kinds.Set(FileKind::Idb, o.bIdb);
    kinds.Set(FileKind::Ilk, o.bIlk);
    kinds.Set(FileKind::Obj, o.bObj);
    kinds.Set(FileKind::Pch, o.bPch);
    kinds.Set(FileKind::Pdb, o.bPdb);
    kinds.Set(FileKind::Res, o.bRes);
    kinds.Set(FileKind::Sbr, o.bSbr);
    kinds.Set(FileKind::Bsc, o.bBsc);
    return FileKinds::FromBits(kinds.Bits() | (o.newer.Bits() & FileKinds::Newer().Bits()));
}

// Fills the age filter; false when the choice is not one the finder knows.
bool SetAgeFilter(const SearchOptions& o, SearchQuery& q) {
    if (o.nRadioTime == 0) return true;
    if (o.nRadioTime != 1) return false;
    if (o.nFileTimeIndex != 0 && o.nFileTimeIndex != 1) return false;
    const int u = o.nUnitIndex;
    q.age = (u == 0 || u == 2) ? AgeFilter::Older : AgeFilter::Within;
    q.unit = (u == 0 || u == 1) ? AgeUnit::Months : AgeUnit::Days;
    q.nPeriod = o.nCount;
    q.time = o.nFileTimeIndex == 1 ? FileTime::Created : FileTime::Modified;
    return true;
}

}  // namespace

std::optional<SearchQuery> MakeSearchQuery(const std::string& strFolder,
                                           const SearchOptions& options) {
    SearchQuery q;
    const auto rule = FolderRuleOf(options.nRadioFolder);
    if (!rule) return std::nullopt;
    q.folders = *rule;
    q.kinds = KindsOf(options);
    if (q.kinds.Empty()) return std::nullopt;
    if (!SetAgeFilter(options, q)) return std::nullopt;
    q.strRoot = strFolder;
    q.bSubfolders = options.bFindSubFolder;
    q.excludedFolders = options.excludedFolders;
    return q;
}

std::vector<std::string> SplitFolderNames(std::string_view text) {
    constexpr std::string_view kSpaces = " \t";
    std::vector<std::string> names;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find(';'), text.size());
        std::string_view name = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        name.remove_prefix(std::min(name.find_first_not_of(kSpaces), name.size()));
        name.remove_suffix(name.size() - (name.find_last_not_of(kSpaces) + 1));
        if (!name.empty()) names.emplace_back(name);
    }
    return names;
}

bool IsFolderName(std::string_view name) {
    return !name.empty() && name.find_first_of(PlatformFolderRule().separators) == name.npos;
}
