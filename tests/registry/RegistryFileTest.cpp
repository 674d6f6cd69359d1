// The settings file's text: what parses, what counts as damaged, and that writing it back
// changes nothing.
#include <gtest/gtest.h>

#include "tavoBasis/RegistryFile.h"

namespace {

constexpr const char* kControls = "HKEY_CURRENT_USER\\Software\\tavoApp\\VcppKesmora\\Controls";

regfile::Bytes BytesOf(const regfile::Content& content, const char* name) {
    const regfile::Entry* entry = regfile::FindValue(content, kControls, name);
    return entry ? entry->data : regfile::Bytes{0xEE};
}

TEST(SettingsText, CanonicalTextParsesCleanAndWritesBackByteForByte) {
    const std::string text =
        "REGEDIT4\n"
        "; settings\n"
        "\n"
        "[HKEY_CURRENT_USER\\Software\\tavoApp\\VcppKesmora\\History]\n"
        "\"Count\"=dword:00000001\n"
        "\"History0\"=\"/home/me/src\"\n"
        "\n"
        "[HKEY_CURRENT_USER\\Software\\tavoApp\\VcppKesmora\\Controls]\n"
        "@=\"\"\n"
        "\"Bin\"=hex:\n"
        "\"Multi\"=hex(7):61,00,00\n"
        "\"Name \\\"with\\\" \\\\ \\x0a\"=hex(1):ff,00\n";
    const regfile::Content content = regfile::Parse(text);
    EXPECT_TRUE(content.bClean);
    EXPECT_EQ(regfile::Serialize(content), text);
    EXPECT_EQ(BytesOf(content, ""), regfile::Bytes{0});
    EXPECT_EQ(BytesOf(content, "Bin"), regfile::Bytes{});
    EXPECT_EQ(regfile::FindValue(content, kControls, "Multi")->dwType, 7u);
    EXPECT_EQ(BytesOf(content, "Name \"with\" \\ \n"), (regfile::Bytes{0xFF, 0}));
}

TEST(SettingsText, ExportsFromWindowsReadTheSame) {
    // CRLF line ends, a byte order mark, upper-case hex and a hex value over several lines.
    const regfile::Content content = regfile::Parse(
        "\xEF\xBB\xBFREGEDIT4\r\n\r\n"
        "[HKEY_CURRENT_USER\\Software\\tavoApp\\VcppKesmora\\Controls]\r\n"
        "\"Count\"=DWORD:0000000A\r\n"
        "\"Long\"=hex(2):25,00,\\\r\n"
        "  41,00,\\\r\n"
        "  42\r\n");
    EXPECT_TRUE(content.bClean);
    EXPECT_EQ(BytesOf(content, "Count"), (regfile::Bytes{10, 0, 0, 0}));
    EXPECT_EQ(BytesOf(content, "Long"), (regfile::Bytes{0x25, 0, 0x41, 0, 0x42}));
}

TEST(SettingsText, LinesThatLoseSomethingOnRewriteMarkTheFileDamaged) {
    const std::string section = "[HKEY_CURRENT_USER\\Software\\tavoApp\\VcppKesmora\\Controls]\n";
    const char* damaged[] = {
        "",                                              // no REGEDIT4 line at all
        "\"Count\"=dword:0000001\n",                     // seven digits: cut short
        "\"Count\"=dword:00000001x\n",                   // trailing junk
        "\"Bin\"=hex:0,1\n",                             // one digit a byte
        "\"Bin\"=hex:01,\n",                             // dangling comma
        "\"Text\"=\"open\n",                             // unterminated text
        "\"Text\"=\"bad \\q escape\"\n",                 // unknown escape
        "\"Count\"=-\n",                                 // deletion from an import file
        "\"A\"=dword:00000001\n\"a\"=dword:00000002\n",  // the same value twice
        "[-HKEY_CURRENT_USER\\Software]\n",              // key deletion
        "[unclosed\n",
    };
    for (const char* line : damaged) {
        const std::string text = (line[0] == '\0' ? std::string() : "REGEDIT4\n") + section + line;
        EXPECT_FALSE(regfile::Parse(text).bClean) << line;
    }
    EXPECT_FALSE(regfile::Parse("REGEDIT4\n\"Count\"=dword:00000001\n" + section).bClean)
        << "a value before any key";
    EXPECT_TRUE(regfile::Parse("").bClean) << "an empty file has nothing to lose";
}

TEST(SettingsText, TheLaterOfTwoEqualNamesWinsAndKeysGivenTwiceMerge) {
    const regfile::Content content = regfile::Parse(
        std::string("REGEDIT4\n[") + kControls + "]\n\"A\"=dword:00000001\n[Other]\n" +
        "\"A\"=dword:00000003\n[" + kControls + "]\n\"B\"=dword:00000004\n\"a\"=dword:00000002\n");
    EXPECT_EQ(BytesOf(content, "A"), (regfile::Bytes{2, 0, 0, 0}));
    EXPECT_EQ(BytesOf(content, "B"), (regfile::Bytes{4, 0, 0, 0}));
    ASSERT_EQ(content.keys.size(), 2u);
    EXPECT_EQ(content.keys[0].entries.size(), 2u);
}

TEST(SettingsText, SetValueAppendsNewKeysAndValuesInOrderAndReplacesInPlace) {
    regfile::Content content;
    const unsigned char one[] = {1};
    const unsigned char two[] = {2};
    regfile::SetValue(content, "K1", "A", 3, one, 1);
    regfile::SetValue(content, "K2", "A", 3, one, 1);
    regfile::SetValue(content, "K1", "B", 3, one, 1);
    regfile::SetValue(content, "k1", "a", 4, two, 1);
    EXPECT_EQ(regfile::Serialize(content),
              "REGEDIT4\n\n[K1]\n\"A\"=hex(4):02\n\"B\"=hex:01\n\n[K2]\n\"A\"=hex:01\n");
}

}  // namespace
