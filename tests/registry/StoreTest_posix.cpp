// The per-test store on POSIX: a settings folder in a fresh temporary folder.
#include <stdlib.h>

#include <filesystem>

#include "StoreTest.h"

void StoreTest::SetUp() {
    char pattern[] = "/tmp/kesmora-store-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    m_strPlace = pattern;
    setenv("XDG_CONFIG_HOME", (m_strPlace + "/config").c_str(), 1);
    PointAt(m_reg, "Controls");
}

void StoreTest::TearDown() {
    std::error_code ignored;
    std::filesystem::remove_all(m_strPlace, ignored);
}

bool StoreTest::StoreIsEmpty() const {
    return !std::filesystem::exists(std::filesystem::path(m_strPlace) / "config" / "tavoApp");
}
