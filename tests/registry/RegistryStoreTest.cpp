// The store's rules through its public operations, the same on every
// backend: results, defaults, sections and how bytes read as numbers and
// texts.
#include <thread>
#include <vector>

#include "StoreTest.h"

namespace {

constexpr RegRoot kUser = RegRoot::CurrentUser;

using StoreDefaults = StoreTest;

TEST_F(StoreDefaults, ReadWithNothingStoredGivesTheDefaultAndCreatesNothing) {
    std::uint32_t value = 7;
    EXPECT_EQ(m_reg.ReadDWORD("Count", &value, 42, kUser), 1);
    EXPECT_EQ(value, 42u);
    std::string text = "x";
    EXPECT_EQ(m_reg.ReadString("History0", text, "C:\\", kUser), 1);
    EXPECT_EQ(text, "C:\\");
    EXPECT_TRUE(StoreIsEmpty());
}

TEST_F(StoreDefaults, MissingValueOrSectionBesideStoredOnesGivesTheDefault) {
    ASSERT_EQ(m_reg.WriteDWORD("Bsc", 0, kUser, false), 0);
    std::uint32_t value = 0;
    EXPECT_EQ(m_reg.ReadDWORD("Idb", &value, 1, kUser), 1);
    EXPECT_EQ(value, 1u);
    PointAt(m_reg, "Window");
    EXPECT_EQ(m_reg.ReadDWORD("Bsc", &value, 5, kUser), 1);
    EXPECT_EQ(value, 5u);
}

using StoreBytes = StoreTest;

TEST_F(StoreBytes, TextsReadBackExactly) {
    const std::vector<std::string> texts = {
        "", "C:\\dir\\", "/home/me/開発/ｿｰｽ", "\"quoted\" = dword:1", "line\nbreak\r\n",
    };
    PointAt(m_reg, "History");
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const std::string name = "History" + std::to_string(i);
        ASSERT_EQ(m_reg.WriteString(name, texts[i], kUser, false), 0) << i;
        std::string text = "default";
        EXPECT_EQ(m_reg.ReadString(name, text, "default", kUser), 0) << i;
        EXPECT_EQ(text, texts[i]) << i;
    }
}

TEST_F(StoreBytes, TextStopsAtItsFirstZeroLikeACString) {
    ASSERT_EQ(m_reg.WriteString("Cut", std::string("ab\0cd", 5), kUser, false), 0);
    std::string text;
    EXPECT_EQ(m_reg.ReadString("Cut", text, "", kUser), 0);
    EXPECT_EQ(text, "ab");
}

TEST_F(StoreBytes, TextReadAsNumberGivesItsFirstFourBytesLittleEndian) {
    ASSERT_EQ(m_reg.WriteString("Count", "1234", kUser, false), 0);
    std::uint32_t value = 0;
    EXPECT_EQ(m_reg.ReadDWORD("Count", &value, 1, kUser), 0);
    EXPECT_EQ(value, 0x34333231u);
}

TEST_F(StoreBytes, NumberReadAsTextGivesItsBytesUpToTheFirstZero) {
    ASSERT_EQ(m_reg.WriteDWORD("Letter", 0x41, kUser, false), 0);
    ASSERT_EQ(m_reg.WriteDWORD("Letters", 0x44434241, kUser, false), 0);
    std::string text;
    EXPECT_EQ(m_reg.ReadString("Letter", text, "", kUser), 0);
    EXPECT_EQ(text, "A");
    EXPECT_EQ(m_reg.ReadString("Letters", text, "", kUser), 0);
    EXPECT_EQ(text, "ABCD");  // no zero byte: the whole data, nothing beyond it
}

using StoreSections = StoreTest;

TEST_F(StoreSections, ChangingTheSectionMovesTheNextCall) {
    PointAt(m_reg, "History");
    ASSERT_EQ(m_reg.WriteDWORD("Count", 3, kUser, false), 0);
    PointAt(m_reg, "Controls");
    ASSERT_EQ(m_reg.WriteDWORD("Count", 99, kUser, false), 0);
    std::uint32_t value = 0;
    EXPECT_EQ(m_reg.ReadDWORD("Count", &value, 0, kUser), 0);
    EXPECT_EQ(value, 99u);
    m_reg.m_strSection = "History";
    EXPECT_EQ(m_reg.ReadDWORD("Count", &value, 0, kUser), 0);
    EXPECT_EQ(value, 3u);
    m_reg.m_strSection = "Window";
    EXPECT_EQ(m_reg.ReadDWORD("Count", &value, 0, kUser), 1);
}

using StoreWriters = StoreTest;

TEST_F(StoreWriters, TwoThreadsWithStoresOfTheirOwnLoseNone) {
    constexpr int kCount = 100;
    int failures[2] = {0, 0};
    std::thread first([&] { failures[0] = WriteMany("T0_", kCount); });
    std::thread second([&] { failures[1] = WriteMany("T1_", kCount); });
    first.join();
    second.join();
    EXPECT_EQ(failures[0] + failures[1], 0);
    ExpectAllPresent("T0_", kCount);
    ExpectAllPresent("T1_", kCount);
}

}  // namespace
