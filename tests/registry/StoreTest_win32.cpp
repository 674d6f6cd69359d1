// The per-test store on Windows: the company's key in the prefix's registry,
// removed before and after each test.
#include <windows.h>

#include "StoreTest.h"

namespace {

constexpr const wchar_t* kCompanyKey = L"Software\\tavoApp";

void RemoveCompanyKey() { RegDeleteTreeW(HKEY_CURRENT_USER, kCompanyKey); }

}  // namespace

void StoreTest::SetUp() {
    RemoveCompanyKey();
    ASSERT_TRUE(StoreIsEmpty());
    PointAt(m_reg, "Controls");
}

void StoreTest::TearDown() { RemoveCompanyKey(); }

bool StoreTest::StoreIsEmpty() const {
    HKEY hKey = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kCompanyKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS) {
        return true;
    }
    RegCloseKey(hKey);
    return false;
}
