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
