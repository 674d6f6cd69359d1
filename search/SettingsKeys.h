// Where the program keeps its settings in the store, and the whole-number
// access every part of it uses. The loader here, the frame, the view and the
// application read and write through these, so each section's and value's
// name exists once.
#pragma once

#include <string>

#include "tavoBasis/Registry.h"

namespace settings {

inline constexpr const char* kCompany = "tavoApp";
inline constexpr const char* kApplication = "VcppKesmora";

// Sections.
inline constexpr const char* kWindow = "Window";
inline constexpr const char* kHistory = "History";
inline constexpr const char* kControls = "Controls";

// Window values: the frame's normal rectangle and how it was last shown.
inline constexpr const char* kShowCmd = "ShowCmd";
inline constexpr const char* kLeft = "Left";
inline constexpr const char* kTop = "Top";
inline constexpr const char* kRight = "Right";
inline constexpr const char* kBottom = "Bottom";

// History values: how many folders were saved, and each folder under this
// prefix with its position written as "%d" writes it ("History0").
inline constexpr const char* kHistoryCount = "Count";
inline constexpr const char* kHistoryEntry = "History";
std::string HistoryEntryName(int nPosition);

// Controls values, the window's choices.
inline constexpr const char* kColumnWidth = "ColumnWidth";
inline constexpr const char* kProjectColumnWidth = "ProjectColumnWidth";
inline constexpr const char* kFindSubFolder = "FindSubFolder";
inline constexpr const char* kRadioFolder = "RadioFolder";
inline constexpr const char* kRadioTime = "RadioTime";
inline constexpr const char* kPeriodCount = "Count";
inline constexpr const char* kComboDayMonth = "ComboDayMonth";
inline constexpr const char* kComboFile = "ComboFile";
inline constexpr const char* kConfirmRemove = "ConfirmRemove";
inline constexpr const char* kUseTrash = "UseTrash";
inline constexpr const char* kRemoveEmptyFolders = "RemoveEmptyFolders";
inline constexpr const char* kProjectView = "ProjectView";
// The names of folders never entered, as the window's field shows them (a
// text).
inline constexpr const char* kExcludedFolders = "ExcludeFolders";

// The Controls value of a kind's check box is its pszSettingsKey
// (walk/FileKinds.h). A newer kind's value turns it on only when it is
// exactly 1: they are off unless plainly asked for, and a settings file
// without them searches as it always did.
constexpr bool NewerKindSaved(int nValue) { return nValue == 1; }

// Points the store at one section of this program's settings.
void PointAt(CRegistry& registry, const char* pszSection);

// Values are stored as DWORDs but used as signed numbers; a missing or
// unreadable value reads as nDefault.
int ReadInt(CRegistry& registry, const char* pszName, int nDefault);
void WriteInt(CRegistry& registry, const char* pszName, int nValue);

}  // namespace settings
