// The typed search and the finder's numbers for it.
#include "search/SearchQuery.h"

namespace {

constexpr int kDaysPerMonth = 30;

int FolderModeOf(FolderRule rule) {
    switch (rule) {
        case FolderRule::All:
            return 1;
        case FolderRule::Debug:
            return 2;
        case FolderRule::Release:
            return 4;
        case FolderRule::DebugAndRelease:
            break;
    }
    return 6;
}

}  // namespace

std::string_view FileKindName(FileKind kind) {
    const auto n = static_cast<std::size_t>(kind);
    return n < kFileKindCount ? kKinds[n].name : std::string_view();
}

FinderArguments FinderArgumentsOf(const SearchQuery& query) {
    FinderArguments args;
    args.nFolderMode = FolderModeOf(query.folders);
    args.nTypeMask = static_cast<int>(query.kinds.Bits());
    if (query.age == AgeFilter::None) return args;
    args.nTimeMode = query.time == FileTime::Created ? 2 : 4;
    args.nDays = query.unit == AgeUnit::Months ? query.nPeriod * kDaysPerMonth : query.nPeriod;
    args.bOlder = query.age == AgeFilter::Older;
    return args;
}
