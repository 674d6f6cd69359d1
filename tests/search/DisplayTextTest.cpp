// Showing file-system names that may not be UTF-8.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "search/DisplayText.h"

namespace {

const std::string kFFFD = "\xEF\xBF\xBD";

TEST(DisplayPath, LeavesValidUtf8Untouched) {
    const std::string names[] = {
        "/home/user/src/Debug/vc60.idb",
        "/ソース/ﾃﾞﾊﾞｯｸﾞ/a.obj",
        "/emoji/\xF0\x9F\x98\x80.pdb",
        "/edge/\xEF\xBF\xBF\xF4\x8F\xBF\xBF\xED\x9F\xBF",  // U+FFFF, U+10FFFF, U+D7FF
        "",
    };
    for (const std::string& name : names) {
        EXPECT_TRUE(IsValidUtf8(name)) << name;
        EXPECT_EQ(DisplayPath(name), name);
    }
}

TEST(DisplayPath, ReplacesEachStrayByteAndKeepsTheRest) {
    // A Shift_JIS name ("テスト" in code page 932) as an older tool leaves it.
    EXPECT_EQ(DisplayPath("/x/\x83\x65\x83\x58\x83\x67.obj"),
              "/x/" + kFFFD + "e" + kFFFD + "X" + kFFFD + "g.obj");
    EXPECT_EQ(DisplayPath("a\xFF"
                          "b"),
              "a" + kFFFD + "b");
    EXPECT_EQ(DisplayPath("\x80"), kFFFD);
}

TEST(DisplayPath, RejectsSequencesThatAreMalformedThoughWellShaped) {
    EXPECT_EQ(DisplayPath("\xC0\xAF"), kFFFD + kFFFD) << "overlong slash";
    EXPECT_EQ(DisplayPath("\xE0\x80\xAF"), kFFFD + kFFFD + kFFFD) << "overlong, three bytes";
    EXPECT_EQ(DisplayPath("\xED\xA0\x80"), kFFFD + kFFFD + kFFFD) << "surrogate";
    EXPECT_EQ(DisplayPath("\xF4\x90\x80\x80"), kFFFD + kFFFD + kFFFD + kFFFD) << "above U+10FFFF";
    EXPECT_EQ(DisplayPath("ab\xE3\x81"), "ab" + kFFFD + kFFFD) << "cut at the end";
    EXPECT_EQ(DisplayPath("\xE3\x81"
                          "a"),
              kFFFD + kFFFD + "a")
        << "cut in the middle";
}

TEST(DisplayPath, AlwaysGivesValidUtf8AndNeverLosesAByte) {
    std::mt19937 random(12345);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes(random() % 24, '\0');
        for (char& c : bytes) c = static_cast<char>(random() % 256);
        const std::string shown = DisplayPath(bytes);
        ASSERT_TRUE(IsValidUtf8(shown));
        EXPECT_GE(shown.size(), bytes.size());
        EXPECT_EQ(bytes.empty(), shown.empty());
    }
}

}  // namespace
