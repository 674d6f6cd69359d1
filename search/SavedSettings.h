// The window's saved choices read as the window's start reads them: one
// loader for the window and for kesmora-cli --saved, so that both search
// alike from the same settings.
#pragma once

#include <string>
#include <vector>

#include "search/SearchParams.h"

class CRegistry;

struct SavedSettings {
    // Anything of ours is stored at all; false on an account whose window
    // never saved.
    bool bStored = false;
    // The folders searched, most recent first: the non-empty entries up to
    // History\Count that are UTF-8 text, in entry order.
    std::vector<std::string> history;
    // Check boxes, radios and the period, each after its check at load:
    // a folder radio outside the group loads as 1 (Debug and Release), a
    // period outside 1..99 as 1, a newer kind is on only when stored as 1.
    // The combo positions are what a search started at once would take:
    // a position past its list matches no item and counts as 0.
    SearchOptions options;
    // The combo positions the window shows, a negative one as 0; past its
    // list the combo shows no text.
    int nDayMonthPosition = 0;
    int nFileTimePosition = 0;
    bool bConfirmRemove = true;
    bool bUseTrash = false;            // only when stored as 1
    bool bRemoveEmptyFolders = false;  // only when stored as 1
    // The result list shows one row per project; only when stored as 1,
    // any other value shows the files.
    bool bProjectView = false;
    // The field of folders never entered, as typed (empty when the stored
    // text is not UTF-8); options.excludedFolders holds its names.
    std::string strExcludedFolders;

    bool operator==(const SavedSettings&) const = default;
};

// Reads the History and Controls sections; a missing or unreadable value
// gives its default. Writes nothing.
SavedSettings LoadSavedSettings(CRegistry& registry);
