// POSIX body: the settings file under the test's own XDG_CONFIG_HOME.
#include <stdlib.h>

#include "TestSettings.h"

void IsolateSettings(const std::filesystem::path& scratch) {
    setenv("XDG_CONFIG_HOME", scratch.c_str(), 1);
}

void DropSettings() {}

bool SettingsAreAFile() { return true; }

bool RegistryKeyExists() { return false; }
