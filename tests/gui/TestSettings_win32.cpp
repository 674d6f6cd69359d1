// Windows body: the settings are the current user's registry key; the test
// prefix is fresh, and each test starts and ends with the key removed.
#include <windows.h>

#include "TestSettings.h"

namespace {

constexpr wchar_t kCompanyKey[] = L"Software\\tavoApp";
constexpr wchar_t kAppKey[] = L"Software\\tavoApp\\VcppKesmora";

}  // namespace

void IsolateSettings(const std::filesystem::path&) {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kCompanyKey);
}

void DropSettings() { ::RegDeleteTreeW(HKEY_CURRENT_USER, kCompanyKey); }

bool SettingsAreAFile() { return false; }

bool RegistryKeyExists() {
    HKEY hKey = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kAppKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS) {
        return false;
    }
    ::RegCloseKey(hKey);
    return true;
}
