// kesmora-cli.exe as a Windows user runs it: a child process with its
// streams in files, a Japanese folder passed on the wide command line, each
// format read back, its exit status, and a deletion.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "RunCli.h"
#include "tests/support/WinTestTree.h"

namespace {

// A tree below a Japanese folder; found is what the default rules list.
class CliWin32Test : public ::testing::Test {
protected:
    void SetUp() override {
        m_folder = m_tree.Dir("ビルド");
        m_found = Sorted({
            m_tree.File("ビルド\\root.sbr", 10),
            m_tree.File("ビルド\\Debug\\a.obj", 2048),
            m_tree.File("ビルド\\Debug\\日本語.pdb", 4096, FILE_ATTRIBUTE_READONLY),
            m_tree.File("ビルド\\Release\\x.ilk", 300),
        });
        m_kept = {m_tree.File("ビルド\\other\\skip.obj", 5),
                  m_tree.File("ビルド\\Debug\\a.txt", 5)};
    }

    bool Exists(const std::string& path) const {
        return GetFileAttributesW(WideOf(path).c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    WinTestTree m_tree;
    std::string m_folder;
    std::vector<std::string> m_found;
    std::vector<std::string> m_kept;
};

TEST_F(CliWin32Test, EachFormatListsTheFilesFoundWithWindowsPathsOnePerLine) {
    // Given with forward slashes, printed with the system's own separators.
    std::string slashed = m_folder;
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    const std::regex isoTime(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d)");
    struct Case {
        std::vector<std::string> args;
        char separator;
        std::function<std::string(const std::string&)> path;
    };
    const std::vector<Case> cases = {
        {{}, '\n', [](const std::string& line) { return Split(line, '\t').at(0); }},
        {{"-0"}, '\0', [](const std::string& record) { return record; }},
        {{"--json"},
         '\n',
         [&](const std::string& line) {
             const auto j = nlohmann::json::parse(line);
             EXPECT_TRUE(std::regex_match(j.at("modified").get<std::string>(), isoTime)) << line;
             EXPECT_FALSE(j.contains("path_base64"));
             return j.at("path").get<std::string>();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        std::vector<std::string> args = c.args;
        args.push_back(slashed);
        const Result r = RunCli(Launch(args));
        ASSERT_EQ(r.exitCode, 0) << r.err;
        std::vector<std::string> paths;
        for (const std::string& record : Split(r.out, c.separator)) paths.push_back(c.path(record));
        EXPECT_EQ(Sorted(paths), m_found) << r.out;
    }
}

TEST_F(CliWin32Test, EachExitStatusComesForItsCause) {
    const struct {
        std::vector<std::string> args;
        int exitCode;
    } cases[] = {
        {{m_folder}, 0},
        {{"--types", "exe", m_folder}, 2},
        {{"--delete", m_folder}, 2},  // no console to ask on
        {{m_tree.Path("none")}, 3},
        {{m_kept[0]}, 3},
        {{"--by-project", "-0", m_folder}, 2},
        {{"--by-project", "--delete", "--yes", m_folder}, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        const Result r = RunCli(Launch(c.args));
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err;
        if (c.exitCode == 3) {
            EXPECT_EQ(r.err.rfind("kesmora-cli: cannot search ", 0), 0u) << r.err;
        }
    }
    EXPECT_TRUE(Exists(m_found[0]));
}

// Folders and names as Windows tells them apart: a folder given again in
// other letter case is searched once, one inside another folder given on
// its own (its files named as it was given) and not again as part of the
// other, and --exclude leaves out a name in either case.
TEST_F(CliWin32Test, SeveralFoldersAndExcludedNamesIgnoreLetterCase) {
    auto paths = [](const std::vector<std::string>& args) {
        const Result r = RunCli({args});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        std::vector<std::string> found = Split(r.out, '\0');
        if (!found.empty() && found.back().empty()) found.pop_back();
        return Sorted(found);
    };
    std::string upper = m_folder;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
    std::vector<std::string> found = m_found;
    for (std::string& path : found) {
        if (const auto at = path.find("\\Debug\\"); at != std::string::npos)
            path.replace(at, 7, "\\DEBUG\\");
    }
    EXPECT_EQ(paths({"-0", m_folder + "\\DEBUG", m_folder, upper}), Sorted(found));
    EXPECT_EQ(paths({"-0", "--exclude", "DEBUG", "--exclude", "rel*", m_folder}),
              std::vector<std::string>{m_tree.Path("ビルド\\root.sbr")});
}

// The zone is the system's: under Wine the one TZ names as the tests start
// (tests/cli/CMakeLists.txt sets US Eastern).
TEST_F(CliWin32Test, JsonTimesHaveSecondsAndTheOffsetOfTheirOwnMoment) {
    DYNAMIC_TIME_ZONE_INFORMATION zone{};
    if (GetDynamicTimeZoneInformation(&zone) == TIME_ZONE_ID_INVALID || zone.Bias != 300 ||
        zone.DaylightBias != -60) {
        GTEST_SKIP() << "the system's time zone is not US Eastern (bias " << zone.Bias << ")";
    }
    const struct {
        const char* name;
        std::int64_t seconds;
        const char* text;
    } cases[] = {
        {"first.obj", 1793511017, "2026-11-01T01:30:17-04:00"},
        {"again.obj", 1793514617, "2026-11-01T01:30:17-05:00"},
        // Summer time by that year's rule, which ended it a week earlier.
        {"old.obj", 1162209600, "2006-10-30T07:00:00-05:00"},
    };
    const std::string folder = m_tree.Dir("zone");
    for (const auto& c : cases) {
        const std::string path = m_tree.File(std::string("zone\\") + c.name, 1);
        const std::uint64_t ticks = (c.seconds + 11644473600ull) * 10000000ull;
        const FILETIME ft{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
        HANDLE h = CreateFileW(WideOf(path).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                               OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        EXPECT_TRUE(SetFileTime(h, nullptr, nullptr, &ft));
        CloseHandle(h);
    }
    const Result r = RunCli({{"--json", "--folders", "all", folder}});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::vector<std::string> times;
    for (const std::string& line : Split(r.out, '\n')) {
        const auto j = nlohmann::json::parse(line);
        times.push_back(j.at("path").get<std::string>() + " " +
                        j.at("modified").get<std::string>());
    }
    std::vector<std::string> expected;
    for (const auto& c : cases) expected.push_back(folder + "\\" + c.name + " " + c.text);
    EXPECT_EQ(Sorted(times), Sorted(expected)) << r.out;
}

TEST_F(CliWin32Test, DeletionRemovesEveryFileFoundReadOnlyToo) {
    const Result r = RunCli({{"--delete", "--yes", "--bytes", "--prune-empty", m_folder}});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Split(r.out, '\n').size(), m_found.size()) << r.out;
    // Release emptied goes; Debug, which keeps a file, stays.
    EXPECT_NE(r.err.find("deleted 4 files, 6,454 bytes; removed 1 emptied folder\n"),
              std::string::npos)
        << r.err;
    EXPECT_FALSE(Exists(m_tree.Path("ビルド\\Release")));
    for (const std::string& path : m_found) EXPECT_FALSE(Exists(path)) << path;
    for (const std::string& path : m_kept) EXPECT_TRUE(Exists(path)) << path;
}

}  // namespace
