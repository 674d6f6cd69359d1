// The one reader of the window's saved choices.
#include "search/SavedSettings.h"

#include <algorithm>

#include "search/DisplayText.h"
#include "search/FolderHistory.h"
#include "search/SettingsKeys.h"

namespace {

constexpr int kMaxPeriod = 99;

using settings::ReadInt;

// Reads the value names of one section; true when it holds any.
bool SectionNames(CRegistry& registry, const char* pszSection, std::vector<std::string>& names) {
    settings::PointAt(registry, pszSection);
    names.clear();
    return registry.EnumValueNames(names, RegRoot::CurrentUser) == 0 && !names.empty();
}

int PositionWithin(int nPosition, int nItems) { return nPosition < nItems ? nPosition : 0; }

}  // namespace

SavedSettings LoadSavedSettings(CRegistry& registry) {
    SavedSettings saved;
    const CRegistryBatch batch(registry);
    std::vector<std::string> names;
    saved.bStored = SectionNames(registry, settings::kHistory, names);
    // Only the entries present are read: a hand-edited Count of two billion
    // must cost no more than the store holds.
    for (const std::string& strName :
         HistoryValueNames(names, ReadInt(registry, settings::kHistoryCount, 0))) {
        std::string strFolder;
        registry.ReadString(strName, strFolder, std::string(), RegRoot::CurrentUser);
        // Text that is not UTF-8 (hand-edited) cannot be shown: skipped like
        // an empty entry rather than listed as a blank line.
        if (!strFolder.empty() && IsValidUtf8(strFolder)) saved.history.push_back(strFolder);
    }

    std::vector<std::string> controls;
    saved.bStored = SectionNames(registry, settings::kControls, controls) || saved.bStored;
    SearchOptions& o = saved.options;
    o.bFindSubFolder = ReadInt(registry, settings::kFindSubFolder, 1) != 0;
    // Hand-edited scopes beyond the four buttons would widen a later
    // delete-all to every subfolder: the default scope instead.
    o.nRadioFolder = ReadInt(registry, settings::kRadioFolder, 1);
    if (o.nRadioFolder < 0 || o.nRadioFolder > 3) o.nRadioFolder = 1;
    o.bBsc = ReadInt(registry, SettingsKeyOf(FileKind::Bsc), 1) != 0;
    o.bIdb = ReadInt(registry, SettingsKeyOf(FileKind::Idb), 1) != 0;
    o.bIlk = ReadInt(registry, SettingsKeyOf(FileKind::Ilk), 1) != 0;
    o.bObj = ReadInt(registry, SettingsKeyOf(FileKind::Obj), 1) != 0;
    o.bPch = ReadInt(registry, SettingsKeyOf(FileKind::Pch), 1) != 0;
    o.bPdb = ReadInt(registry, SettingsKeyOf(FileKind::Pdb), 1) != 0;
    o.bRes = ReadInt(registry, SettingsKeyOf(FileKind::Res), 1) != 0;
    o.bSbr = ReadInt(registry, SettingsKeyOf(FileKind::Sbr), 1) != 0;
    for (int i = 0; i < kNewerKindCount; ++i) {
        o.newer.Set(NewerKind(i),
                    settings::NewerKindSaved(ReadInt(registry, SettingsKeyOf(NewerKind(i)), 0)));
    }
    o.nRadioTime = ReadInt(registry, settings::kRadioTime, 0);
    o.nCount = ReadInt(registry, settings::kPeriodCount, 1);
    if (o.nCount < 1 || o.nCount > kMaxPeriod) o.nCount = 1;
    saved.nDayMonthPosition = std::max(ReadInt(registry, settings::kComboDayMonth, 0), 0);
    saved.nFileTimePosition = std::max(ReadInt(registry, settings::kComboFile, 0), 0);
    o.nUnitIndex = PositionWithin(saved.nDayMonthPosition, kUnitPositions);
    o.nFileTimeIndex = PositionWithin(saved.nFileTimePosition, kFileTimePositions);
    saved.bConfirmRemove = ReadInt(registry, settings::kConfirmRemove, 1) != 0;
    // Moving to the trash only when plainly asked for: any other value
    // leaves deletion as it always was.
    saved.bUseTrash = ReadInt(registry, settings::kUseTrash, 0) == 1;
    saved.bRemoveEmptyFolders = ReadInt(registry, settings::kRemoveEmptyFolders, 0) == 1;
    saved.bProjectView = ReadInt(registry, settings::kProjectView, 0) == 1;
    registry.ReadString(settings::kExcludedFolders, saved.strExcludedFolders, std::string(),
                        RegRoot::CurrentUser);
    if (!IsValidUtf8(saved.strExcludedFolders)) saved.strExcludedFolders.clear();
    o.excludedFolders = SplitFolderNames(saved.strExcludedFolders);
    return saved;
}
