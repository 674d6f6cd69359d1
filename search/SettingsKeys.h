// Where the program keeps its settings in the store, and the whole-number
// access every part of it uses. The frame, the view and the application
// read and write through these, so the key names exist once.
#pragma once

#include "tavoBasis/Registry.h"

namespace settings {

inline constexpr const char* kCompany = "tavoApp";
inline constexpr const char* kApplication = "VcppKesmora";

// Sections.
inline constexpr const char* kWindow = "Window";
inline constexpr const char* kHistory = "History";
inline constexpr const char* kControls = "Controls";

// The Controls value holding the names of folders never entered, as the
// window's field shows them (a text).
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
