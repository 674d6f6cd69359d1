#include <gtest/gtest.h>
#include "finder/FileUtil.h"
TEST(Smoke, AddBackslashAppendsSeparator) { std::string s = "a"; AddBackslash(s); EXPECT_EQ(s, "a/"); }
