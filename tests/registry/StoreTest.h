// A store of its own for each test, on whichever backend the platform has.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "tavoBasis/Registry.h"

inline void PointAt(CRegistry& reg, const std::string& strSection) {
    reg.m_strCompany = "tavoApp";
    reg.m_strApplication = "VcppKesmora";
    reg.m_strSection = strSection;
}

// Each writer stores its own numbered values; all must be there in the end.
inline int WriteMany(const std::string& prefix, int count) {
    CRegistry reg;
    PointAt(reg, "History");
    int failures = 0;
    for (int i = 0; i < count; ++i) {
        failures += reg.WriteDWORD(prefix + std::to_string(i), static_cast<std::uint32_t>(i),
                                   RegRoot::CurrentUser, false);
    }
    return failures;
}

inline void ExpectAllPresent(const std::string& prefix, int count) {
    CRegistry reg;
    PointAt(reg, "History");
    int missing = 0;
    for (int i = 0; i < count; ++i) {
        std::uint32_t value = 0xFFFFFFFF;
        missing += reg.ReadDWORD(prefix + std::to_string(i), &value, 0xFFFFFFFF,
                                 RegRoot::CurrentUser) != 0 ||
                   value != static_cast<std::uint32_t>(i);
    }
    EXPECT_EQ(missing, 0) << prefix;
}

// Before and after each test nothing is stored under the company: on POSIX
// XDG_CONFIG_HOME points into a fresh temporary folder; on Windows the
// company's key is removed (those tests never run in parallel).
class StoreTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // True while the store holds nothing at all for the company.
    bool StoreIsEmpty() const;

    std::string m_strPlace;
    CRegistry m_reg;
};
