// The POSIX backend of the settings store: the file, its folder and its text, on real files in a
// temporary folder.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <future>

#include "RegistryTestSupport.h"
#include "tavoBasis/RegistryFile.h"

namespace {

constexpr RegRoot kUser = RegRoot::CurrentUser;

// The raw bytes the file holds for a value, straight from its text.
std::vector<unsigned char> StoredBytes(const std::string& text, const std::string& section,
                                       const std::string& name, std::uint32_t* pType = nullptr) {
    const regfile::Content content = regfile::Parse(text);
    const regfile::Entry* entry = regfile::FindValue(
        content, "HKEY_CURRENT_USER\\Software\\tavoApp\\VcppKesmora\\" + section, name);
    if (!entry) return {};
    if (pType) *pType = entry->dwType;
    return entry->data;
}

using Writing = SettingsFolderTest;

TEST_F(Writing, FirstWriteCreatesThePrivateFolderFileAndKeyChainAtOnce) {
    PointAt(m_reg, "Window");
    ASSERT_EQ(m_reg.WriteDWORD("Left", 100, kUser, false), 0);
    struct stat folder {};
    struct stat file {};
    ASSERT_EQ(stat(Folder().c_str(), &folder), 0);
    ASSERT_EQ(stat(FilePath().c_str(), &file), 0);
    EXPECT_EQ(folder.st_mode & 0777, 0700u);
    EXPECT_EQ(file.st_mode & 0777, 0600u);
    std::uint32_t value = 0;
    EXPECT_EQ(m_reg.ReadDWORD("Left", &value, 0, kUser), 0);
    EXPECT_EQ(value, 100u);
}

TEST_F(Writing, FileReadsLikeARegistryExport) {
    PointAt(m_reg, "Window");
    ASSERT_EQ(m_reg.WriteDWORD("ShowCmd", 5, kUser, false), 0);
    ASSERT_EQ(m_reg.WriteDWORD("Right", 0xFFFFFFFF, kUser, false), 0);
    PointAt(m_reg, "History");
    ASSERT_EQ(m_reg.WriteDWORD("Count", 1, kUser, false), 0);
    ASSERT_EQ(m_reg.WriteString("History0", "/home/me/src \"a\\b\"", kUser, false), 0);
    ASSERT_EQ(m_reg.WriteString("Line", "one\ntwo", kUser, false), 0);
    EXPECT_EQ(ReadText(FilePath()),
              "REGEDIT4\n"
              "\n"
              "[HKEY_CURRENT_USER\\Software\\tavoApp\\VcppKesmora\\Window]\n"
              "\"ShowCmd\"=dword:00000005\n"
              "\"Right\"=dword:ffffffff\n"
              "\n"
              "[HKEY_CURRENT_USER\\Software\\tavoApp\\VcppKesmora\\History]\n"
              "\"Count\"=dword:00000001\n"
              "\"History0\"=\"/home/me/src \\\"a\\\\b\\\"\"\n"
              "\"Line\"=hex(1):6f,6e,65,0a,74,77,6f,00\n");
}

TEST_F(Writing, RewriteKeepsEveryOtherValueAndTheOrder) {
    PointAt(m_reg, "History");
    ASSERT_EQ(m_reg.WriteDWORD("Count", 2, kUser, false), 0);
    ASSERT_EQ(m_reg.WriteString("History0", "/a", kUser, false), 0);
    ASSERT_EQ(m_reg.WriteString("History1", "/b", kUser, false), 0);
    PointAt(m_reg, "Controls");
    ASSERT_EQ(m_reg.WriteDWORD("Count", 9, kUser, false), 0);
    const std::string before = ReadText(FilePath());

    PointAt(m_reg, "History");
    ASSERT_EQ(m_reg.WriteString("History0", "/z", kUser, false), 0);
    std::string expected = before;
    expected.replace(expected.find("\"/a\""), 4, "\"/z\"");
    EXPECT_EQ(ReadText(FilePath()), expected);
}

TEST_F(Writing, HandWrittenCommentsSurviveARewrite) {
    WriteText(FilePath(),
              "REGEDIT4\n; kept by hand\n\n"
              "[HKEY_CURRENT_USER\\Software\\tavoApp\\VcppKesmora\\Controls]\n"
              "; one\n\"Bsc\"=dword:00000001\n");
    ASSERT_EQ(m_reg.WriteDWORD("Idb", 0, kUser, false), 0);
    EXPECT_EQ(ReadText(FilePath()),
              "REGEDIT4\n; kept by hand\n\n"
              "[HKEY_CURRENT_USER\\Software\\tavoApp\\VcppKesmora\\Controls]\n"
              "; one\n\"Bsc\"=dword:00000001\n\"Idb\"=dword:00000000\n");
    EXPECT_TRUE(OtherFiles().empty());
}

TEST_F(Writing, FlushedAndUnflushedWritesLeaveNoTemporaryFiles) {
    ASSERT_EQ(m_reg.WriteDWORD("Bsc", 1, kUser, true), 0);
    ASSERT_EQ(m_reg.WriteDWORD("Idb", 2, kUser, false), 0);
    ASSERT_EQ(m_reg.WriteString("Res", "x", kUser, true), 0);
    std::uint32_t value = 0;
    EXPECT_EQ(m_reg.ReadDWORD("Bsc", &value, 0, kUser), 0);
    EXPECT_EQ(value, 1u);
    EXPECT_EQ(m_reg.ReadDWORD("Idb", &value, 0, kUser), 0);
    EXPECT_EQ(value, 2u);
    EXPECT_TRUE(OtherFiles().empty());
}

TEST_F(Writing, RemovesTemporaryFilesThatACrashedWriterLeftBehind) {
    ASSERT_EQ(m_reg.WriteDWORD("Bsc", 1, kUser, false), 0);
    WriteText(Folder() / "VcppKesmora.reg.tmp-a1B2c3", "half a file");
    WriteText(Folder() / "Other.reg.tmp-a1B2c3", "another program's");
    WriteText(Folder() / "VcppKesmora.reg.tmp-notours", "not a temporary name");
    ASSERT_EQ(m_reg.WriteDWORD("Bsc", 0, kUser, false), 0);
    auto others = OtherFiles();
    std::sort(others.begin(), others.end());
    EXPECT_EQ(others,
              (std::vector<std::string>{"Other.reg.tmp-a1B2c3", "VcppKesmora.reg.tmp-notours"}));
}

TEST_F(Writing, KeepsAnEditedFilesPermissions) {
    ASSERT_EQ(m_reg.WriteDWORD("Bsc", 1, kUser, false), 0);
    ASSERT_EQ(chmod(FilePath().c_str(), 0640), 0);
    ASSERT_EQ(m_reg.WriteDWORD("Bsc", 0, kUser, false), 0);
    struct stat file {};
    ASSERT_EQ(stat(FilePath().c_str(), &file), 0);
    EXPECT_EQ(file.st_mode & 0777, 0640u);
}

using ByteRules = SettingsFolderTest;

TEST_F(ByteRules, JapaneseTextIsStoredWithItsUtf8ByteLengthPlusOneZero) {
    const std::string path = "/home/me/開発/ｿｰｽ";  // 9 + 6 + 1 + 9 bytes
    ASSERT_EQ(path.size(), 25u);
    PointAt(m_reg, "History");
    ASSERT_EQ(m_reg.WriteString("History0", path, kUser, false), 0);
    std::uint32_t type = 0;
    const auto bytes = StoredBytes(ReadText(FilePath()), "History", "History0", &type);
    EXPECT_EQ(type, 1u);
    ASSERT_EQ(bytes.size(), 26u);
    EXPECT_EQ(bytes.back(), 0);
    std::string text;
    EXPECT_EQ(m_reg.ReadString("History0", text, "", kUser), 0);
    EXPECT_EQ(text, path);
    EXPECT_NE(ReadText(FilePath()).find("\"History0\"=\"/home/me/開発/ｿｰｽ\""), std::string::npos);
}

TEST_F(ByteRules, EmptyTextIsOneZeroByteAndReadsBackEmpty) {
    ASSERT_EQ(m_reg.WriteString("Empty", "", kUser, false), 0);
    EXPECT_EQ(StoredBytes(ReadText(FilePath()), "Controls", "Empty"),
              std::vector<unsigned char>{0});
    std::string text = "x";
    EXPECT_EQ(m_reg.ReadString("Empty", text, "default", kUser), 0);
    EXPECT_EQ(text, "");
}

TEST_F(ByteRules, TextStopsAtItsFirstZeroLikeACString) {
    ASSERT_EQ(m_reg.WriteString("Cut", std::string("ab\0cd", 5), kUser, false), 0);
    EXPECT_EQ(StoredBytes(ReadText(FilePath()), "Controls", "Cut"),
              (std::vector<unsigned char>{'a', 'b', 0}));
}

TEST_F(ByteRules, ShortDataReadsAsANumberWithTheMissingBytesZero) {
    WriteText(FilePath(),
              "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\tavoApp\\VcppKesmora\\Controls]\n"
              "\"Two\"=hex:ff,01\n\"None\"=hex(4):\n\"Long\"=hex(4):01,02,03,04,05\n");
    std::uint32_t value = 7;
    EXPECT_EQ(m_reg.ReadDWORD("Two", &value, 7, kUser), 0);
    EXPECT_EQ(value, 0x01FFu);
    EXPECT_EQ(m_reg.ReadDWORD("None", &value, 7, kUser), 0);
    EXPECT_EQ(value, 0u);
    EXPECT_EQ(m_reg.ReadDWORD("Long", &value, 7, kUser), 0);
    EXPECT_EQ(value, 0x04030201u);
    ASSERT_EQ(m_reg.WriteDWORD("Other", 1, kUser, false), 0);
    EXPECT_EQ(StoredBytes(ReadText(FilePath()), "Controls", "Long"),
              (std::vector<unsigned char>{1, 2, 3, 4, 5}));
}

using Sections = SettingsFolderTest;

TEST_F(Sections, ValueAndSectionNamesIgnoreAsciiCaseLikeTheRegistry) {
    ASSERT_EQ(m_reg.WriteDWORD("Count", 1, kUser, false), 0);
    m_reg.m_strSection = "CONTROLS";
    ASSERT_EQ(m_reg.WriteDWORD("COUNT", 2, kUser, false), 0);
    std::uint32_t value = 0;
    EXPECT_EQ(m_reg.ReadDWORD("count", &value, 0, kUser), 0);
    EXPECT_EQ(value, 2u);
    EXPECT_EQ(ReadText(FilePath()).find("COUNT"), std::string::npos);  // first spelling stays
}

TEST_F(Sections, CompaniesAndApplicationsHaveFilesOfTheirOwn) {
    ASSERT_EQ(m_reg.WriteDWORD("Count", 1, kUser, false), 0);
    CRegistry other;
    other.m_strCompany = "tavoApp";
    other.m_strApplication = "Other";
    other.m_strSection = "Controls";
    std::uint32_t value = 0;
    EXPECT_EQ(other.ReadDWORD("Count", &value, 5, kUser), 1);
    ASSERT_EQ(other.WriteDWORD("Count", 2, kUser, false), 0);
    EXPECT_TRUE(std::filesystem::exists(Folder() / "Other.reg"));
    EXPECT_EQ(m_reg.ReadDWORD("Count", &value, 5, kUser), 0);
    EXPECT_EQ(value, 1u);
}

TEST_F(Sections, NamesThatWouldLeaveTheSettingsFolderAreRefused) {
    std::uint32_t value = 0;
    for (const char* company : {"", ".", "..", "a/b"}) {
        m_reg.m_strCompany = company;
        EXPECT_EQ(m_reg.WriteDWORD("Count", 1, kUser, false), 1) << company;
        EXPECT_EQ(m_reg.ReadDWORD("Count", &value, 0, kUser), 1) << company;
    }
    PointAt(m_reg, "Line\nBreak");
    EXPECT_EQ(m_reg.WriteDWORD("Count", 1, kUser, false), 1);
    EXPECT_FALSE(std::filesystem::exists(FilePath()));
}

using Escapes = SettingsFolderTest;

TEST_F(Escapes, AwkwardTextsAndNamesRoundTripExactly) {
    const std::vector<std::string> texts = {
        "\"quoted\"",   "C:\\dir\\",        "ends with \\",    "line\nbreak\r\n", "tab\there",
        "\xff\xfe\x80", "\xe9t\xe9 latin1", "日本語\\\"mix\"", "=\"x\"=dword:1",  "@",
    };
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const std::string name = "N" + texts[i];  // names with the same bytes must work too
        ASSERT_EQ(m_reg.WriteString(name, texts[i], kUser, false), 0) << i;
    }
    ASSERT_TRUE(regfile::Parse(ReadText(FilePath())).bClean);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        std::string text;
        EXPECT_EQ(m_reg.ReadString("N" + texts[i], text, "default", kUser), 0) << i;
        EXPECT_EQ(text, texts[i]) << i;
    }
    EXPECT_TRUE(OtherFiles().empty());  // a clean file: no damaged copy was ever needed
}

TEST_F(Escapes, TheDefaultValueHasNoNameAndIsWrittenAsAt) {
    ASSERT_EQ(m_reg.WriteString("", "default", kUser, false), 0);
    ASSERT_EQ(m_reg.WriteString("@", "at", kUser, false), 0);
    EXPECT_NE(ReadText(FilePath()).find("\n@=\"default\"\n\"@\"=\"at\"\n"), std::string::npos);
    std::string text;
    EXPECT_EQ(m_reg.ReadString("", text, "", kUser), 0);
    EXPECT_EQ(text, "default");
}

using DamagedFile = SettingsFolderTest;

const char kDamaged[] =
    "REGEDIT4\n\n"
    "[HKEY_CURRENT_USER\\Software\\tavoApp\\VcppKesmora\\Controls]\n"
    "\"Bsc\"=dword:00000000\n"
    "\"Idb\"=dword:0000\n"        // cut short
    "\x01\x02\xff garbage\x00\n"  // binary junk
    "\"Obj\"=dword:00000000\n"
    "\"Pch\"=\"/unterminated\n";

TEST_F(DamagedFile, ValuesThatParseAreReadAndTheRestGiveDefaults) {
    WriteText(FilePath(), std::string(kDamaged, sizeof kDamaged - 1));
    std::uint32_t value = 9;
    EXPECT_EQ(m_reg.ReadDWORD("Bsc", &value, 1, kUser), 0);
    EXPECT_EQ(value, 0u);
    EXPECT_EQ(m_reg.ReadDWORD("Idb", &value, 1, kUser), 1);
    EXPECT_EQ(value, 1u);
    EXPECT_EQ(m_reg.ReadDWORD("Obj", &value, 1, kUser), 0);
    EXPECT_EQ(value, 0u);
    std::string text;
    EXPECT_EQ(m_reg.ReadString("Pch", text, "def", kUser), 1);
    EXPECT_EQ(text, "def");
}

TEST_F(DamagedFile, NextWriteKeepsTheOldFileAsADamagedCopyOnce) {
    const std::string damaged(kDamaged, sizeof kDamaged - 1);
    WriteText(FilePath(), damaged);
    ASSERT_EQ(m_reg.WriteDWORD("Res", 1, kUser, false), 0);
    auto others = OtherFiles();
    ASSERT_EQ(others.size(), 1u);
    EXPECT_EQ(others[0].rfind("VcppKesmora.reg.damaged-", 0), 0u);
    EXPECT_EQ(ReadText(Folder() / others[0]), damaged);

    const std::string rewritten = ReadText(FilePath());
    EXPECT_TRUE(regfile::Parse(rewritten).bClean);
    EXPECT_NE(rewritten.find("\"Bsc\"=dword:00000000\n\"Obj\"=dword:00000000\n\"Res\""),
              std::string::npos);
    ASSERT_EQ(m_reg.WriteDWORD("Res", 2, kUser, false), 0);
    EXPECT_EQ(OtherFiles().size(), 1u);  // the file is clean now

    // Damaged again within the same second: a second copy, the first one untouched.
    WriteText(FilePath(), "not a settings file\n");
    ASSERT_EQ(m_reg.WriteDWORD("Res", 3, kUser, false), 0);
    others = OtherFiles();
    ASSERT_EQ(others.size(), 2u);
    int firstCopies = 0;
    for (const auto& name : others) {
        const std::string text = ReadText(Folder() / name);
        firstCopies += text == damaged;
        EXPECT_TRUE(text == damaged || text == "not a settings file\n") << name;
    }
    EXPECT_EQ(firstCopies, 1);
}

TEST_F(DamagedFile, BinaryJunkNeitherCrashesNorStopsTheNextWrite) {
    std::string junk(1 << 16, '\0');
    unsigned state = 12345;
    for (char& c : junk) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>(state >> 16);
    }
    WriteText(FilePath(), junk);
    std::uint32_t value = 0;
    EXPECT_EQ(m_reg.ReadDWORD("Bsc", &value, 1, kUser), 1);
    ASSERT_EQ(m_reg.WriteDWORD("Bsc", 0, kUser, false), 0);
    EXPECT_EQ(m_reg.ReadDWORD("Bsc", &value, 1, kUser), 0);
    EXPECT_EQ(value, 0u);
    ASSERT_EQ(OtherFiles().size(), 1u);
    EXPECT_EQ(ReadText(Folder() / OtherFiles()[0]), junk);
}

TEST_F(DamagedFile, AHundredMegabyteFileIsReadInPartAndKeptAsideOnWrite) {
    const std::string head =
        "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\tavoApp\\VcppKesmora\\Controls]\n"
        "\"Bsc\"=dword:00000000\n";
    WriteText(FilePath(), head);
    constexpr off_t kSize = 100 * 1024 * 1024;
    ASSERT_EQ(truncate(FilePath().c_str(), kSize), 0);
    std::uint32_t value = 1;
    EXPECT_EQ(m_reg.ReadDWORD("Bsc", &value, 1, kUser), 0);
    EXPECT_EQ(value, 0u);
    ASSERT_EQ(m_reg.WriteDWORD("Idb", 0, kUser, false), 0);
    ASSERT_EQ(OtherFiles().size(), 1u);
    EXPECT_EQ(std::filesystem::file_size(Folder() / OtherFiles()[0]),
              static_cast<std::uintmax_t>(kSize));
    EXPECT_LT(std::filesystem::file_size(FilePath()), 200u);
    EXPECT_EQ(m_reg.ReadDWORD("Bsc", &value, 1, kUser), 0);
    EXPECT_EQ(value, 0u);
}

TEST_F(DamagedFile, APipeWhereTheFileShouldBeDoesNotHang) {
    std::filesystem::create_directories(Folder());
    ASSERT_EQ(mkfifo(FilePath().c_str(), 0600), 0);
    std::uint32_t value = 0;
    EXPECT_EQ(m_reg.ReadDWORD("Bsc", &value, 4, kUser), 1);
    EXPECT_EQ(value, 4u);
    EXPECT_EQ(m_reg.WriteDWORD("Bsc", 0, kUser, false), 1);
}

using Unwritable = SettingsFolderTest;

TEST_F(Unwritable, AFileWhereTheFolderShouldBeGivesOneAndNothingElse) {
    WriteText(Folder(), "in the way");
    EXPECT_EQ(m_reg.WriteDWORD("Bsc", 0, kUser, false), 1);
    EXPECT_EQ(m_reg.WriteString("Res", "x", kUser, true), 1);
    std::uint32_t value = 0;
    EXPECT_EQ(m_reg.ReadDWORD("Bsc", &value, 3, kUser), 1);
    EXPECT_EQ(value, 3u);
    EXPECT_EQ(ReadText(Folder()), "in the way");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_config), {}), 1);
}

TEST_F(Unwritable, AReadOnlyFolderGivesOneAndLeavesTheFileAsItWas) {
    ASSERT_EQ(m_reg.WriteDWORD("Bsc", 0, kUser, false), 0);
    const std::string before = ReadText(FilePath());
    ASSERT_EQ(chmod(Folder().c_str(), 0555), 0);
    EXPECT_EQ(m_reg.WriteDWORD("Bsc", 1, kUser, false), 1);
    EXPECT_EQ(m_reg.WriteDWORD("Idb", 1, kUser, false), 1);
    EXPECT_EQ(ReadText(FilePath()), before);
    EXPECT_TRUE(OtherFiles().empty());
    std::uint32_t value = 1;
    EXPECT_EQ(m_reg.ReadDWORD("Bsc", &value, 1, kUser), 0);  // reading still works
    EXPECT_EQ(value, 0u);
}

TEST_F(Unwritable, AReadOnlyFileGivesOneAndIsNotReplaced) {
    ASSERT_EQ(m_reg.WriteDWORD("Bsc", 0, kUser, false), 0);
    const std::string before = ReadText(FilePath());
    ASSERT_EQ(chmod(FilePath().c_str(), 0444), 0);
    EXPECT_EQ(m_reg.WriteDWORD("Bsc", 1, kUser, false), 1);
    EXPECT_EQ(ReadText(FilePath()), before);
    EXPECT_TRUE(OtherFiles().empty());
}

using Location = SettingsFolderTest;

TEST_F(Location, FallsBackToHomeConfigWhenXdgConfigHomeIsUnsetEmptyOrRelative) {
    const auto home = m_root / "home";
    std::filesystem::create_directories(home);
    const std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    struct RestoreHome {
        const std::string& home;
        ~RestoreHome() { setenv("HOME", home.c_str(), 1); }
    } restore{savedHome};
    setenv("HOME", home.c_str(), 1);
    const auto expected = home / ".config" / "tavoApp" / "VcppKesmora.reg";
    std::uint32_t n = 0;
    for (const char* config : {static_cast<const char*>(nullptr), "", "relative/config"}) {
        if (config) {
            setenv("XDG_CONFIG_HOME", config, 1);
        } else {
            unsetenv("XDG_CONFIG_HOME");
        }
        ASSERT_EQ(m_reg.WriteDWORD("Count", ++n, kUser, false), 0);
        std::uint32_t value = 0;
        EXPECT_EQ(m_reg.ReadDWORD("Count", &value, 0, kUser), 0);
        EXPECT_EQ(value, n);
        EXPECT_TRUE(std::filesystem::exists(expected));
    }
    EXPECT_FALSE(std::filesystem::exists(m_config));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::current_path() / "relative"));
}

TEST_F(Location, TheFolderIsFoundAgainAtEveryCall) {
    ASSERT_EQ(m_reg.WriteDWORD("Count", 1, kUser, false), 0);
    setenv("XDG_CONFIG_HOME", (m_root / "elsewhere").c_str(), 1);
    std::uint32_t value = 0;
    EXPECT_EQ(m_reg.ReadDWORD("Count", &value, 0, kUser), 1);
    ASSERT_EQ(m_reg.WriteDWORD("Count", 2, kUser, false), 0);
    EXPECT_TRUE(std::filesystem::exists(m_root / "elsewhere" / "tavoApp" / "VcppKesmora.reg"));
    setenv("XDG_CONFIG_HOME", m_config.c_str(), 1);
    EXPECT_EQ(m_reg.ReadDWORD("Count", &value, 0, kUser), 0);
    EXPECT_EQ(value, 1u);
}

TEST_F(Location, ASettingsFileThatIsALinkStaysALinkAndItsTargetIsWritten) {
    const auto target = m_root / "dotfiles" / "kesmora.reg";
    ASSERT_EQ(m_reg.WriteDWORD("Bsc", 0, kUser, false), 0);
    std::filesystem::create_directories(target.parent_path());
    std::filesystem::rename(FilePath(), target);
    std::filesystem::create_symlink(target, FilePath());

    ASSERT_EQ(m_reg.WriteDWORD("Idb", 1, kUser, false), 0);
    EXPECT_TRUE(std::filesystem::is_symlink(FilePath()));
    EXPECT_NE(ReadText(target).find("\"Bsc\"=dword:00000000\n\"Idb\"=dword:00000001\n"),
              std::string::npos);
    EXPECT_TRUE(OtherFiles().empty());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(target.parent_path()), {}), 1);
}

using Batches = SettingsFolderTest;

std::uint32_t ReadOr(CRegistry& reg, const std::string& name, std::uint32_t dwDefault) {
    std::uint32_t value = 0;
    reg.ReadDWORD(name, &value, dwDefault, kUser);
    return value;
}

TEST_F(Batches, ReadsSeeTheStoreAsFirstReadAndTheBatchsOwnWrites) {
    ASSERT_EQ(m_reg.WriteDWORD("A", 1, kUser, false), 0);
    m_reg.BeginBatch();
    EXPECT_EQ(ReadOr(m_reg, "a", 0), 1u);
    CRegistry other;
    PointAt(other, "Controls");
    ASSERT_EQ(other.WriteDWORD("A", 2, kUser, false), 0);
    ASSERT_EQ(other.WriteDWORD("B", 3, kUser, false), 0);
    EXPECT_EQ(ReadOr(m_reg, "A", 0), 1u);
    EXPECT_EQ(ReadOr(m_reg, "B", 0), 0u);
    ASSERT_EQ(m_reg.WriteDWORD("C", 4, kUser, false), 0);
    EXPECT_EQ(ReadOr(m_reg, "C", 0), 4u);
    std::vector<std::string> names;
    EXPECT_EQ(m_reg.EnumValueNames(names, kUser), 0);
    EXPECT_EQ(names, (std::vector<std::string>{"A", "C"}));
    PointAt(m_reg, "Nowhere");
    EXPECT_EQ(m_reg.EnumValueNames(names, kUser), 1);
    EXPECT_TRUE(names.empty());
    EXPECT_EQ(m_reg.EndBatch(), 0);
    // The held write joins what the other store wrote meanwhile.
    EXPECT_EQ(ReadOr(other, "A", 0), 2u);
    EXPECT_EQ(ReadOr(other, "B", 0), 3u);
    EXPECT_EQ(ReadOr(other, "C", 0), 4u);
}

TEST_F(Batches, WritesAreHeldUntilTheOutermostEndAndStoredInOneRewrite) {
    ASSERT_EQ(m_reg.WriteDWORD("Old", 1, kUser, false), 0);
    const std::string before = ReadText(FilePath());
    m_reg.BeginBatch();
    m_reg.BeginBatch();
    for (const char* section : {"Window", "History", "Controls"}) {
        PointAt(m_reg, section);
        for (int i = 0; i < 10; ++i) {
            EXPECT_EQ(m_reg.WriteDWORD("V" + std::to_string(i), i, kUser, true), 0);
        }
    }
    EXPECT_EQ(m_reg.EndBatch(), 0);
    EXPECT_EQ(ReadText(FilePath()), before);
    EXPECT_EQ(m_reg.EndBatch(), 0);
    CRegistry fresh;
    for (const char* section : {"Window", "History", "Controls"}) {
        PointAt(fresh, section);
        EXPECT_EQ(ReadOr(fresh, "V9", 0), 9u) << section;
    }
    EXPECT_TRUE(OtherFiles().empty());
}

using ConcurrentWriters = SettingsFolderTest;

TEST_F(ConcurrentWriters, TwoProcessesWritingFiveHundredValuesEachLoseNone) {
    constexpr int kCount = 500;
    pid_t children[2];
    for (int p = 0; p < 2; ++p) {
        children[p] = fork();
        ASSERT_GE(children[p], 0);
        if (children[p] == 0) _exit(WriteMany("P" + std::to_string(p) + "_", kCount) == 0 ? 0 : 1);
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    ExpectAllPresent("P0_", kCount);
    ExpectAllPresent("P1_", kCount);
    EXPECT_TRUE(OtherFiles().empty());
}

TEST_F(ConcurrentWriters, AReaderNeverSeesAHalfWrittenFile) {
    ASSERT_EQ(m_reg.WriteDWORD("Anchor", 1, kUser, false), 0);
    const pid_t writer = fork();
    ASSERT_GE(writer, 0);
    if (writer == 0) {
        CRegistry reg;
        PointAt(reg, "Controls");
        int failures = 0;
        for (int i = 0; i < 300; ++i) {
            failures += reg.WriteString("Big" + std::to_string(i % 7),
                                        std::string(4096 + i, static_cast<char>('a' + i % 26)),
                                        RegRoot::CurrentUser, false);
        }
        _exit(failures == 0 ? 0 : 1);
    }
    int reads = 0;
    int misses = 0;
    int status = 0;
    while (waitpid(writer, &status, WNOHANG) == 0) {
        std::uint32_t value = 0;
        misses += m_reg.ReadDWORD("Anchor", &value, 0, kUser) != 0 || value != 1;
        ++reads;
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_GT(reads, 0);
    EXPECT_EQ(misses, 0) << "of " << reads << " reads";
}

// A holder that never lets go (a stopped process) delays a close by about two seconds, not
// for good; the value is then written whole all the same.
TEST_F(ConcurrentWriters, AStuckLockHolderDelaysAWriteOnlyBriefly) {
    ASSERT_EQ(m_reg.WriteDWORD("Count", 1, kUser, false), 0);
    const int lock = open((FilePath().string() + ".lock").c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(lock, 0);
    ASSERT_EQ(flock(lock, LOCK_EX), 0);
    auto write = std::async(std::launch::async, [] {
        CRegistry reg;
        PointAt(reg, "Controls");
        return reg.WriteDWORD("Count", 2, RegRoot::CurrentUser, false);
    });
    const bool bDone = write.wait_for(std::chrono::seconds(30)) == std::future_status::ready;
    close(lock);
    EXPECT_TRUE(bDone);
    EXPECT_EQ(write.get(), 0);
    EXPECT_EQ(ReadOr(m_reg, "Count", 0), 2u);
    EXPECT_TRUE(OtherFiles().empty());
}

}  // namespace
