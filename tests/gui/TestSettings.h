// Where a GUI test's settings live: a store of its own, away from the
// user's and from the other tests'. On POSIX a settings file in the test's
// own folder (XDG_CONFIG_HOME); on Windows the registry key itself.
#pragma once

#include <filesystem>

// Makes the store empty for one test whose own folder is scratch.
void IsolateSettings(const std::filesystem::path& scratch);
// Removes what the test saved outside its folder.
void DropSettings();
// Whether the settings are a file (else the registry).
bool SettingsAreAFile();
// Whether the program's registry key exists (Windows).
bool RegistryKeyExists();
