// A result row for a file as a search lists it now: its facts read the
// walk's own way, identity included, so that a deletion takes it.
#pragma once

#include <string>

#include "search/ResultRow.h"
#include "walk/DirReader.h"

inline ResultRow ListedRow(const std::string& strPath) {
    const std::size_t nSep = strPath.find_last_of("/\\");
    CDirReader folder;
    EntryFacts facts;
    if (folder.OpenPath(strPath.substr(0, nSep)) == OpenResult::kOpened) {
        folder.Facts(strPath.c_str() + nSep + 1, facts);
    }
    return ResultRow(strPath, facts.size, facts.created, facts.modified, facts.id);
}
