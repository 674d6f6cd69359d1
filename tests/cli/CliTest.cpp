// kesmora-cli as a subprocess on real trees: its options against the
// window's search parameters, every output format read back to the exact
// bytes, and the deletion's refusals, failures and interrupt.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "RunCli_posix.h"
#include "cli/Output.h"
#include "search/FolderHistory.h"
#include "search/SearchParams.h"
#include "search/SizeFormat.h"
#include "tavoBasis/Registry.h"
#include "tests/support/TempTrash.h"
#include "tests/support/UndeletableFiles.h"
#include "walk/FolderExclusion.h"
#include "walk/IntermediateFileFinder.h"
#include "walk/TimeText.h"

namespace {

namespace fs = std::filesystem;

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "kesmora-cli-XXXXXX").string();
        ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
        m_root = tmpl;
    }
    void TearDown() override {
        m_undeletable.ReleaseAll();
        fs::remove_all(m_root);
    }

    // A sparse file of size bytes, last modified daysOld days ago.
    std::string File(const std::string& rel, std::uint64_t size = 0, int daysOld = 0) {
        const fs::path path = m_root / rel;
        fs::create_directories(path.parent_path());
        const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
        EXPECT_GE(fd, 0) << path;
        EXPECT_EQ(::ftruncate(fd, static_cast<off_t>(size)), 0);
        if (daysOld > 0) {
            const timespec times[2] = {{::time(nullptr) - daysOld * 86400L, 0},
                                       {::time(nullptr) - daysOld * 86400L, 0}};
            EXPECT_EQ(::futimens(fd, times), 0);
        }
        ::close(fd);
        return path.string();
    }

    std::vector<std::string> FilesOnDisk() const {
        std::vector<std::string> files;
        for (const auto& e : fs::recursive_directory_iterator(m_root)) {
            if (e.is_regular_file()) files.push_back(e.path().string());
        }
        std::sort(files.begin(), files.end());
        return files;
    }

    fs::path m_root;
    UndeletableFiles m_undeletable;
};

// The paths the window's finder reports for the window's options.
class PathSink : public CFindNotify {
public:
    void OnFindFolder(const std::string&) override {}
    void OnFindFile(const std::string& path, std::uint64_t, const std::string&,
                    const std::string&) override {
        paths.push_back(path);
    }
    void OnFindEnd() override {
        std::lock_guard lock(m_mutex);
        m_bEnded = true;
        m_cv.notify_all();
    }
    void Wait() {
        std::unique_lock lock(m_mutex);
        m_cv.wait(lock, [&] { return m_bEnded; });
    }
    std::vector<std::string> paths;

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_bEnded = false;
};

std::vector<std::string> WindowSearch(const std::string& folder, const SearchOptions& options) {
    const auto query = MakeSearchQuery(folder, options);
    EXPECT_TRUE(query);
    if (!query) return {};
    PathSink sink;
    CIntermediateFileFinder finder(&sink);
    finder.SetExcludedFolders(
        CFolderExclusion(query->excludedFolders, PlatformFolderRule().bFoldAsciiCase));
    const FinderArguments a = FinderArgumentsOf(*query);
    EXPECT_TRUE(finder.StartFind(query->strRoot, query->bSubfolders, a.nFolderMode, a.nTypeMask,
                                 a.nTimeMode, a.nDays, a.bOlder));
    sink.Wait();
    finder.JoinWorker();
    return sink.paths;
}

SearchOptions AllTypes() {
    SearchOptions o;
    o.bIdb = o.bIlk = o.bObj = o.bPch = o.bPdb = o.bRes = o.bSbr = o.bBsc = true;
    o.nRadioFolder = 1;
    return o;
}

// The window's stored values, written as the window writes them.
struct Saved {
    std::vector<std::pair<const char*, int>> controls;
    std::string strExcluded = {};  // the field of folders left out, when not empty
};

// Stores saved settings under config as the window does: folder as its only
// history entry, History\Count as given.
void SaveAsTheWindow(const std::string& config, const Saved& saved, const std::string& folder,
                     std::uint32_t nHistoryCount = 1) {
    fs::remove_all(config);
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    CRegistry registry;
    registry.m_strCompany = "tavoApp";
    registry.m_strApplication = "VcppKesmora";
    registry.m_strSection = "History";
    registry.WriteDWORD("Count", nHistoryCount, RegRoot::CurrentUser, false);
    registry.WriteString("History0", folder, RegRoot::CurrentUser, false);
    registry.m_strSection = "Controls";
    for (const auto& [name, value] : saved.controls) {
        registry.WriteDWORD(name, static_cast<std::uint32_t>(value), RegRoot::CurrentUser, false);
    }
    if (!saved.strExcluded.empty()) {
        registry.WriteString("ExcludeFolders", saved.strExcluded, RegRoot::CurrentUser, false);
    }
    ::unsetenv("XDG_CONFIG_HOME");
}

TEST_F(CliTest, EveryOptionSearchesAsTheWindowsParametersDo) {
    File("root.obj", 10, 100);
    File("A/Debug/x.obj", 20, 40);
    File("A/Debug/x.pdb", 30, 10);
    File("A/Debug/sub/z.obj", 40, 2);
    File("B/Release/y.OBJ", 50, 100);
    File("B/other/w.obj", 60, 10);
    File("C/debug/v.obj", 70, 2);
    File("C/Release/r.res", 80, 40);
    File("A/Debug/a.ipdb", 90, 40);
    File("B/x.VC.db", 100, 10);
    File("C/Release/t.tlog", 110, 2);
    const std::string config = (m_root / "config").string();
    const std::string configEnv = "XDG_CONFIG_HOME=" + config;

    struct Case {
        Case(std::vector<std::string> a, std::function<void(SearchOptions&)> w,
             std::optional<Saved> s = std::nullopt)
            : args(std::move(a)), window(std::move(w)), saved(std::move(s)) {}
        std::vector<std::string> args;
        std::function<void(SearchOptions&)> window;
        std::optional<Saved> saved;
    };
    auto options = [](auto change) { return std::function<void(SearchOptions&)>(change); };
    auto period = [&](int nCount, int nUnit, int nFile) {
        return options([=](SearchOptions& o) {
            o.nRadioFolder = 0;
            o.nRadioTime = 1;
            o.nCount = nCount;
            o.nUnitIndex = nUnit;
            o.nFileTimeIndex = nFile;
        });
    };
    const std::vector<Case> cases = {
        {{}, options([](SearchOptions&) {})},
        {{"--folders", "all"}, options([](SearchOptions& o) { o.nRadioFolder = 0; })},
        {{"--folders", "debug"}, options([](SearchOptions& o) { o.nRadioFolder = 2; })},
        {{"--folders", "Release"}, options([](SearchOptions& o) { o.nRadioFolder = 3; })},
        {{"--no-subfolders", "--folders", "all"}, options([](SearchOptions& o) {
             o.bFindSubFolder = false;
             o.nRadioFolder = 0;
         })},
        {{"--types", "pdb,*.RES", "--folders", "all"}, options([](SearchOptions& o) {
             o = SearchOptions{};
             o.bPdb = o.bRes = true;
         })},
        {{"--types", "newer,obj", "--folders", "all"}, options([](SearchOptions& o) {
             o = SearchOptions{};
             o.bObj = true;
             o.newer = FileKinds::Newer();
         })},
        {{"--types", "VcDb,classic", "--folders", "all"}, options([](SearchOptions& o) {
             o.nRadioFolder = 0;
             o.newer.Set(FileKind::VcDb);
         })},
        {{"--types", "all", "--folders", "all"}, options([](SearchOptions& o) {
             o.nRadioFolder = 0;
             o.newer = FileKinds::Newer();
         })},
        // All folders and a period: count, unit position (0 months older,
        // 1 months within, 2 days older, 3 days within), file time position.
        {{"--folders", "all", "--older", "30"}, period(30, 2, 0)},
        {{"--folders", "all", "--within", "5d", "--modified"}, period(5, 3, 0)},
        {{"--folders", "all", "--older", "3m"}, period(3, 0, 0)},
        {{"--folders", "all", "--within", "1months"}, period(1, 1, 0)},
        {{"--folders", "all", "--created", "--older", "1"}, period(1, 2, 1)},
        {{"--saved"},
         options([](SearchOptions& o) {
             o.nRadioFolder = 2;
             o.bObj = false;
             o.nRadioTime = 1;
             o.nCount = 1;  // 150 is outside 1..99
             o.nUnitIndex = 0;
         }),
         Saved{{{"RadioFolder", 2},
                {"Obj", 0},
                {"RadioTime", 1},
                {"Count", 150},
                {"ComboDayMonth", 7}}}},
        {{"--saved", "--folders", "all"},
         options([](SearchOptions& o) {
             o.nRadioFolder = 0;
             o.newer.Set(FileKind::Ipdb);  // only 1 turns a newer kind on
         }),
         Saved{{{"Ipdb", 1}, {"Sdf", 2}}}},
        {{"--saved", "--folders", "all", "--within", "20d"},
         options([](SearchOptions& o) {
             o.nRadioFolder = 0;
             o.bObj = false;
             o.nRadioTime = 1;
             o.nCount = 20;
             o.nUnitIndex = 3;
         }),
         Saved{{{"RadioFolder", 2}, {"Obj", 0}}}},
        // The window's folders left out stay out; --exclude adds one.
        {{"--saved", "--exclude", "sub"},
         options([](SearchOptions& o) {
             o.nRadioFolder = 0;
             o.excludedFolders = {"B", "Debu?", "sub"};
         }),
         Saved{{{"RadioFolder", 0}}, " B; Debu?"}},
    };
    std::set<std::vector<std::string>> distinct;
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        SearchOptions window = AllTypes();
        c.window(window);
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"-0"});
        std::string settingsBefore;
        if (c.saved) {
            SaveAsTheWindow(config, *c.saved, m_root.string());
            for (const auto& e : fs::recursive_directory_iterator(config)) {
                if (e.is_regular_file()) settingsBefore += e.path().string() + "\n";
            }
        } else {
            args.push_back(m_root.string());
        }
        const Result r = RunCli({args, {configEnv}});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        const std::vector<std::string> expected = WindowSearch(m_root.string(), window);
        EXPECT_EQ(Split(r.out, '\0'), expected);
        distinct.insert(expected);
        if (c.saved) {
            // Read only: the same files, none added (no lock file either).
            std::string settingsAfter;
            for (const auto& e : fs::recursive_directory_iterator(config)) {
                if (e.is_regular_file()) settingsAfter += e.path().string() + "\n";
            }
            EXPECT_EQ(settingsAfter, settingsBefore);
        }
    }
    // The tree tells the options apart, so agreement above means something.
    EXPECT_GE(distinct.size(), cases.size() - 3);
}

// The window's rules themselves are the loader's (SavedSettingsTest); here
// what --saved makes of them that a search alone cannot show.
TEST_F(CliTest, SavedSettingsDeleteAsTheWindowWouldOrAreRefusedWhenThereAreNone) {
    const TempTrash& trash = TempTrash::Get();
    trash.Empty();
    File("Debug/a.obj", 1000);
    File("Release/b.pdb", 1000);
    const std::string other = File("other/c.obj", 1000);
    const std::string config = (m_root / "config").string();
    const std::string configEnv = "XDG_CONFIG_HOME=" + config;

    Result r = RunCli({{"--saved", "--delete", "--yes"}, {configEnv}});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, "kesmora-cli: --saved: the window has saved no settings for this user\n");
    EXPECT_EQ(FilesOnDisk().size(), 3u);

    // A count far beyond the entries stored, a folder radio outside the
    // group (Debug and Release then), the trash and the pruning chosen in
    // the window.
    SaveAsTheWindow(config, Saved{{{"RadioFolder", 7}, {"UseTrash", 1}, {"RemoveEmptyFolders", 1}}},
                    m_root.string(), 0x7fffffff);
    r = RunCli({{"--saved", "--delete", "--yes"}, {configEnv}});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(LastLine(r.err),
              "kesmora-cli: moved to the trash 2 files, 0 MB (2 KB); removed 2 emptied folders");
    EXPECT_TRUE(fs::exists(other));
    EXPECT_TRUE(fs::exists(trash.Files() / "a.obj"));
    EXPECT_TRUE(fs::exists(trash.Files() / "b.pdb"));
    trash.Empty();
}

// Reads one format back into (exact path bytes, size) pairs.
using Parsed = std::vector<std::pair<std::string, std::uint64_t>>;
std::string Unescape(const std::string& text) {
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            bytes += text[i];
            continue;
        }
        const char c = text[++i];
        if (c == 'n') bytes += '\n';
        if (c == 't') bytes += '\t';
        if (c == 'r') bytes += '\r';
        if (c == '\\') bytes += '\\';
        if (c == 'x') {
            bytes += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        }
    }
    return bytes;
}

TEST_F(CliTest, EveryFormatGivesBackTheExactPaths) {
    std::vector<std::pair<std::string, std::uint64_t>> files = {
        {File("Debug/plain.obj", 1536), 1536},
        {File("Debug/new\nline.obj", 511), 511},
        {File("Debug/\xff\xfe bad.pdb", 512), 512},
        {File("Debug/tab\tand\\back.idb", 1048576), 1048576},
        {File("Debug/\xe6\x97\xa5\xe6\x9c\xac.sbr", 0), 0},
    };
    std::sort(files.begin(), files.end());
    const std::regex windowTime(R"(\d{4}/\d\d/\d\d \d\d:\d\d)");
    const std::regex isoTime(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d)");

    // stdout holds the files and nothing else: parsed back, they are the
    // files on disk, each once.
    struct Case {
        std::vector<std::string> args;
        std::function<Parsed(const std::string&)> parse;
        std::string err;
    };
    const auto columns = [&](const std::string& out, bool bExactSize) {
        Parsed parsed;
        const auto lines = Split(out, '\n');
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const auto cells = Split(lines[i], '\t');
            EXPECT_EQ(cells.size(), 4u) << lines[i];
            if (cells.size() != 4) continue;
            EXPECT_TRUE(std::regex_match(cells[2], windowTime)) << cells[2];
            EXPECT_TRUE(std::regex_match(cells[3], windowTime)) << cells[3];
            const std::string path = Unescape(cells[0]);
            const auto size = std::find_if(files.begin(), files.end(),
                                           [&](const auto& f) { return f.first == path; });
            const std::uint64_t bytes = size == files.end() ? 0 : size->second;
            EXPECT_EQ(cells[1], bExactSize ? std::to_string(bytes) : SizeText(bytes));
            parsed.emplace_back(path, bytes);
        }
        return parsed;
    };
    const std::vector<Case> cases = {
        {{},
         [&](const std::string& out) { return columns(out, false); },
         "kesmora-cli: 5 files found, total 1 MB (1,026 KB)\n"},
        {{"--bytes"},
         [&](const std::string& out) { return columns(out, true); },
         "kesmora-cli: 5 files found, total 1,051,135 bytes\n"},
        {{"-0"},
         [&](const std::string& out) {
             Parsed parsed;
             EXPECT_EQ(out.back(), '\0');
             for (const std::string& path : Split(out, '\0')) {
                 const auto f = std::find_if(files.begin(), files.end(),
                                             [&](const auto& p) { return p.first == path; });
                 parsed.emplace_back(path, f == files.end() ? 1 : f->second);
             }
             return parsed;
         },
         ""},
        {{"--json"},
         [&](const std::string& out) {
             Parsed parsed;
             for (const std::string& line : Split(out, '\n')) {
                 const auto j = nlohmann::json::parse(line);
                 std::string path = j.at("path");
                 if (j.contains("path_base64")) {
                     EXPECT_NE(path.find("\xEF\xBF\xBD"), std::string::npos);
                     const std::string b64 = j.at("path_base64");
                     static const std::string kAlphabet =
                         "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
                     path.clear();
                     unsigned bits = 0, nBits = 0;
                     for (char c : b64) {
                         if (c == '=') break;
                         bits = bits << 6 | static_cast<unsigned>(kAlphabet.find(c));
                         nBits += 6;
                         if (nBits >= 8) {
                             nBits -= 8;
                             path += static_cast<char>((bits >> nBits) & 0xFF);
                         }
                     }
                 }
                 EXPECT_TRUE(std::regex_match(j.at("created").get<std::string>(), isoTime));
                 EXPECT_TRUE(std::regex_match(j.at("modified").get<std::string>(), isoTime));
                 parsed.emplace_back(path, j.at("size").get<std::uint64_t>());
             }
             return parsed;
         },
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        std::vector<std::string> args = c.args;
        args.push_back(m_root.string());
        const Result r = RunCli({args});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.err, c.err);
        Parsed parsed = c.parse(r.out);
        std::sort(parsed.begin(), parsed.end());
        EXPECT_EQ(parsed, files);
    }
}

TEST_F(CliTest, DeletionIsRefusedOrOnlyShownWithoutTouchingAFile) {
    File("Debug/a.obj", 100);
    File("Debug/b.pdb", 200);
    const auto before = FilesOnDisk();
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::size_t nRows;
        std::string err;
        std::string out = {};  // when only the summary is asked for
    };
    const std::vector<Case> cases = {
        {{"--delete"},
         2,
         0,
         "kesmora-cli: refusing to delete: no terminal to ask on (add --yes to delete anyway)\n"},
        {{"--dry-run"},
         0,
         2,
         "kesmora-cli: 2 files found, total 0 MB (0 KB)\n"
         "kesmora-cli: would delete 2 files, 0 MB (0 KB)\n"},
        {{"--delete", "--dry-run", "--json"},
         0,
         2,
         "kesmora-cli: would delete 2 files, 0 MB (0 KB)\n"},
        {{"--delete", "--dry-run", "--bytes", "--summary"},
         0,
         0,
         "",
         "2 files found, total 300 bytes\nwould delete 2 files, 300 bytes\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        std::vector<std::string> args = c.args;
        args.push_back(m_root.string());
        const Result r = RunCli({args});
        EXPECT_EQ(r.exitCode, c.exitCode);
        if (c.out.empty()) {
            EXPECT_EQ(static_cast<std::size_t>(std::count(r.out.begin(), r.out.end(), '\n')),
                      c.nRows);
        } else {
            EXPECT_EQ(r.out, c.out);
        }
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(FilesOnDisk(), before);
    }
}

// 1, 130 and the refused deletions (2) have their own cases below.
TEST_F(CliTest, EachExitStatusComesForItsCause) {
    File("Debug/a.obj", 100);
    const std::string file = File("plain.txt");
    const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(full, 0);
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::string errStart;  // of the last line on stderr
        int outFd = -1;
        int nErrLines = 1;
    };
    const std::string root = m_root.string();
    const std::vector<Case> cases = {
        {{root}, 0, ""},
        {{"--version"}, 0, ""},
        {{"--types", "exe"}, 2, "kesmora-cli: --types: unknown file type 'exe'"},
        {{"--folders", "some"}, 2, "kesmora-cli: --folders: unknown rule"},
        {{"--older", "100d"}, 2, "kesmora-cli: --older: the period must be"},
        {{"--within", "0"}, 2, "kesmora-cli: --within"},
        {{"--created"}, 2, "kesmora-cli: --modified and --created need"},
        {{"-0", "--json"}, 2, "kesmora-cli: "},
        {{"--yes"}, 2, "kesmora-cli: --yes only makes sense"},
        {{"--bogus"}, 2, "kesmora-cli: "},
        {{"--trash"}, 2, "kesmora-cli: --trash only makes sense"},
        {{"--prune-empty"}, 2, "kesmora-cli: --prune-empty only makes sense"},
        {{"--exclude", "src/.git"}, 2, "kesmora-cli: --exclude: 'src/.git' is not a folder name"},
        {{"--by-project", "-0"}, 2, "kesmora-cli: --by-project writes totals, not paths: -0"},
        {{"--by-project", "--delete", "--yes"}, 2, "kesmora-cli: --by-project only looks"},
        {{"--tree", "-0"}, 2, "kesmora-cli: --tree writes totals, not paths: -0"},
        {{"--tree", "--json"}, 2, "kesmora-cli: --json excludes --tree"},
        {{root + "/none"},
         3,
         "kesmora-cli: cannot search " + root + "/none: " + std::strerror(ENOENT)},
        {{file}, 3, "kesmora-cli: cannot search " + file + ": " + std::strerror(ENOTDIR)},
        {{root},
         4,
         "kesmora-cli: cannot write the output: " + std::string(std::strerror(ENOSPC)),
         full,
         2},  // after the summary
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        Launch launch{c.args};
        launch.outFd = c.outFd;
        const Result r = RunCli(launch);
        EXPECT_EQ(r.exitCode, c.exitCode);
        if (c.exitCode != 0) {
            // Prefixed with the program's name, one line each.
            EXPECT_EQ(LastLine(r.err).rfind(c.errStart, 0), 0u) << r.err;
            EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), c.nErrLines) << r.err;
        }
    }
    ::close(full);
}

// One line per group, largest first, in each format; several folders give
// a set of groups each, named as each folder was given. JSON names each
// group's parent and totals, a solution with no files of its own too;
// --tree nests the groups with their totals.
TEST_F(CliTest, ByProjectWritesEachGroupsTotalsLargestFirst) {
    File("App/App.vcxproj");
    File("App/Debug/a.obj", 2048);
    File("App/x64/Release/b.pdb", 1024, 10);
    File("Loose/Debug/c.obj", 100, 3);
    File("d.obj", 1, 20);
    File("Sln/S.sln");
    File("Sln/P/P.vcxproj");
    File("Sln/P/Debug/p.obj", 10, 5);
    const std::string root = m_root.string();
    const auto line = [&](const std::string& size, int nFiles, const char* pszNewest,
                          const std::string& group, const std::string& strAt = "") {
        struct stat st {};
        EXPECT_EQ(::stat((m_root / pszNewest).c_str(), &st), 0);
        return size + "\t" + std::to_string(nFiles) + "\t" + FileTimeText(st.st_mtime) + "\t" +
               (strAt.empty() ? root + group : strAt) + "\n";
    };
    struct stat st {};
    ASSERT_EQ(::stat((m_root / "Sln/P/Debug/p.obj").c_str(), &st), 0);
    const struct {
        std::vector<std::string> args;
        std::string out;
        std::string errStart;
    } cases[] = {
        {{root},
         line(SizeText(3072), 2, "App/Debug/a.obj", "/App") +
             line(SizeText(100), 1, "Loose/Debug/c.obj", "/Loose") +
             line(SizeText(10), 1, "Sln/P/Debug/p.obj", "/Sln/P") +
             line(SizeText(1), 1, "d.obj", ""),
         "kesmora-cli: 5 files found"},
        {{"--tree", root},
         line(SizeText(3183), 5, "App/Debug/a.obj", "", root) +
             line(SizeText(3072), 2, "App/Debug/a.obj", "", "  App") +
             line(SizeText(100), 1, "Loose/Debug/c.obj", "", "  Loose") +
             line(SizeText(10), 1, "Sln/P/Debug/p.obj", "", "  Sln") +
             line(SizeText(10), 1, "Sln/P/Debug/p.obj", "", "    P"),
         "kesmora-cli: 5 files found"},
        {{"--bytes", root + "/App//", root + "/Loose"},
         line("3072", 2, "App/Debug/a.obj", "/App") +
             line("100", 1, "Loose/Debug/c.obj", "/Loose/Debug"),
         "kesmora-cli: 3 files found"},
        {{"--json", "--folders", "debug", root + "/Sln"},
         R"({"path":")" + root + R"(/Sln/P","kind":"project","files":1,"size":10,"modified":")" +
             cli::CIsoTime().Convert(st.st_mtime) + R"(","parent":")" + root +
             R"(/Sln","total_files":1,"total_size":10})" + "\n" + R"({"path":")" + root +
             R"(/Sln","kind":"project","files":0,"size":0,"modified":null,"parent":null,)" +
             R"("total_files":1,"total_size":10})" + "\n",
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        std::vector<std::string> args = {"--by-project"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const Result r = RunCli({args});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.err.substr(0, c.errStart.size()), c.errStart);
        EXPECT_EQ(r.err.empty(), c.errStart.empty()) << r.err;
    }
}

// Several folders as one run: each searched once, in the order given (a
// folder given again under another text or through a link is not searched
// again; one inside another, at any depth or through a bind mount, by its
// own rules alone), a missing one named and the run's status 3, --exclude
// repeated between them; the deletion cleans every folder searched and
// nothing else, and --prune-empty the folders it emptied below each, never
// one given.
TEST_F(CliTest, SeveralFoldersAreSearchedOnceEachAsOneRun) {
    const std::string b1 = File("b/Debug/1.obj", 1000);
    const std::string a2 = File("a/Debug/2.obj", 2000);
    const std::string a3 = File("a/sub/Debug/3.obj", 4000);
    const std::string c4 = File("c/Debug/4.obj", 8000);
    fs::create_directory_symlink(m_root / "a", m_root / "link-to-a");
    const std::string a = (m_root / "a").string(), b = (m_root / "b").string();
    const std::string missing = (m_root / "missing").string();
    const std::vector<std::string> folders = {
        b, a + "/sub", a, a + "/", a + "/../a", missing, (m_root / "link-to-a").string()};
    auto run = [](std::vector<std::string> args) {
        args.insert(args.begin(), "-0");
        const Result r = RunCli({args});
        std::vector<std::string> paths = Split(r.out, '\0');
        if (!paths.empty() && paths.back().empty()) paths.pop_back();
        return std::make_pair(r, paths);
    };

    auto [listed, paths] = run(folders);
    EXPECT_EQ(listed.exitCode, 3);
    ASSERT_EQ(paths.size(), 3u) << listed.out;
    EXPECT_EQ(paths[0], b1);
    EXPECT_EQ(Sorted({paths[1], paths[2]}), Sorted({a2, a3}));
    EXPECT_NE(listed.err.find("cannot search " + missing + ": "), std::string::npos) << listed.err;

    auto [excluded, kept] = run({"--exclude", "sub", a, "--exclude", "x?", b});
    EXPECT_EQ(excluded.exitCode, 0) << excluded.err;
    EXPECT_EQ(kept, (std::vector<std::string>{a2, b1}));

    const std::string s5 = File("s/Debug/5.obj"), s6 = File("s/in/Debug/6.obj");
    std::string deep = "s/";
    for (int i = 0; i < 1000; ++i) deep += "d/";
    const std::string s7 = File("s/in/7.obj"), s8 = File(deep + "8.obj");
    const std::string s = (m_root / "s").string(), in = s + "/in", mnt = (m_root / "m").string();
    fs::create_directory(mnt);
    const bool bBound = ::mount(in.c_str(), mnt.c_str(), nullptr, MS_BIND, nullptr) == 0;
    const std::string whyUnbound = bBound ? "" : std::strerror(errno);
    const std::vector<std::pair<std::vector<std::string>, std::vector<std::string>>> nested = {
        {{"--exclude", "in", s, in}, {s5, s6, s7}},
        {{"--no-subfolders", s, in}, {s7}},
        {{"--folders", "release", s, in}, {s7}},
        {{"--folders", "all", s, s8.substr(0, s8.size() - 6)}, {s5, s6, s7, s8}},
        {{s, mnt},
         bBound ? std::vector<std::string>{s5, mnt + "/Debug/6.obj", mnt + "/7.obj"}
                : std::vector<std::string>{s5, s6, s7}},
    };
    for (const auto& [args, found] : nested) EXPECT_EQ(Sorted(run(args).second), Sorted(found));
    if (bBound) ::umount2(mnt.c_str(), MNT_DETACH);
    fs::remove_all(s);

    std::vector<std::string> deleteArgs = folders;
    deleteArgs.insert(deleteArgs.end(), {"--delete", "--yes", "--summary", "--prune-empty"});
    const Result deleted = RunCli({deleteArgs});
    EXPECT_EQ(deleted.exitCode, 3) << deleted.err;
    EXPECT_EQ(LastLine(deleted.out), "deleted 3 files, 0 MB (7 KB); removed 3 emptied folders")
        << deleted.out;
    EXPECT_EQ(FilesOnDisk(), std::vector<std::string>{c4});
    // Each chosen folder stays, emptied or not.
    EXPECT_TRUE(fs::is_empty(a + "/sub"));
    EXPECT_TRUE(fs::is_empty(b));
    if (!bBound) GTEST_SKIP() << "a bind mount was refused (" << whyUnbound << "): untested";
}

TEST_F(CliTest, AClosedPipeEndsAListingQuietlyButNeverCutsADeletionShort) {
    // Well over one 64 KB block of lines, so the first write fails mid-run.
    const std::string name(100, 'n');
    for (int i = 0; i < 1000; ++i) File("Debug/" + name + std::to_string(i) + ".obj", 1024);
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::string errLast;
        std::size_t nLeft;
    };
    const std::vector<Case> cases = {
        {{}, 128 + SIGPIPE, "", 1000},  // as find ends
        {{"--dry-run"}, 128 + SIGPIPE, "", 1000},
        {{"--delete", "--yes"}, 0, "kesmora-cli: deleted 1,000 files, 1 MB (1,000 KB)", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        int closed[2];
        ASSERT_EQ(::pipe2(closed, O_CLOEXEC), 0);
        ::close(closed[0]);
        Launch launch{c.args};
        launch.args.push_back(m_root.string());
        launch.outFd = closed[1];
        const Result r = RunCli(launch);
        ::close(closed[1]);
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_EQ(LastLine(r.err), c.errLast);
        EXPECT_EQ(FilesOnDisk().size(), c.nLeft);
    }
}

TEST_F(CliTest, AnUndeletableFileIsNamedKeptAndGivesExitOne) {
    File("Debug/a.obj", 1000);
    File("Debug/b.obj", 2000);
    const std::string stuck = File("Release/c.pdb", 700);
    ::chmod(stuck.c_str(), 0444);  // read-only files are deleted; this one cannot be
    const std::string why = m_undeletable.Make(stuck);
    if (!why.empty()) GTEST_SKIP() << why;
    const Result r = RunCli({{"--delete", "--yes", "--bytes", m_root.string()}});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.rfind("kesmora-cli: cannot delete " + stuck + ": ", 0), 0u) << r.err;
    EXPECT_EQ(LastLine(r.err), "kesmora-cli: deleted 2 files, 3,000 bytes; kept 1 file, 700 bytes");
    EXPECT_EQ(FilesOnDisk(), std::vector<std::string>{stuck});
}

TEST_F(CliTest, AFolderThatCannotBeReadIsSaidAndFailsADeletion) {
    const std::string kept = File("Locked/b.obj", 10);
    File("Debug/a.obj", 10);
    // Root reads every folder: the program runs as nobody, in a tree of its own.
    if (::geteuid() == 0) {
        for (const auto& e : fs::recursive_directory_iterator(m_root)) {
            ASSERT_EQ(::lchown(e.path().c_str(), 65534, 65534), 0);
        }
        ASSERT_EQ(::chown(m_root.c_str(), 65534, 65534), 0);
    }
    ::chmod((m_root / "Locked").c_str(), 0);
    for (const auto& [args, exitCode] : std::vector<std::pair<std::vector<std::string>, int>>{
             {{"--summary", m_root.string()}, 0}, {{"--delete", "--yes", m_root.string()}, 1}}) {
        Launch launch{args};
        launch.bAsNobody = true;
        const Result r = RunCli(launch);
        EXPECT_EQ(r.exitCode, exitCode) << r.err;
        EXPECT_NE(
            r.err.find("kesmora-cli: 1 folder could not be read; their files are not listed\n"),
            std::string::npos)
            << r.err;
    }
    EXPECT_EQ(FilesOnDisk(), std::vector<std::string>{kept});
    // A chosen folder listed but not entered cannot be searched at all.
    ::chmod(m_root.c_str(), 0444);
    Launch launch{{"--summary", m_root.string()}};
    launch.bAsNobody = true;
    const Result r = RunCli(launch);
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.err, "kesmora-cli: cannot search " + m_root.string() + ": " +
                         std::strerror(EACCES) + "\n");
}

TEST_F(CliTest, TrashMovesTheFilesToTheTrashAndSaysSo) {
    // The program inherits the temporary trash's HOME and XDG_DATA_HOME.
    const TempTrash& trash = TempTrash::Get();
    trash.Empty();
    File("Debug/a.obj", 1000);
    const std::string b = File("Release/b.pdb", 2000);
    ::chmod(b.c_str(), 0444);
    const Result r = RunCli({{"--delete", "--yes", "--trash", "--bytes", m_root.string()}});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(LastLine(r.err), "kesmora-cli: moved to the trash 2 files, 3,000 bytes");
    EXPECT_TRUE(FilesOnDisk().empty());
    EXPECT_TRUE(fs::exists(trash.Files() / "a.obj"));
    EXPECT_TRUE(fs::exists(trash.Files() / "b.pdb"));
    trash.Empty();
}

TEST_F(CliTest, TheTerminalPromptDeletesOnlyOnYes) {
    for (const std::string answer : {"n\n", "y\n"}) {
        File("Debug/a.obj", 3 << 20);
        const Result r = RunCli({{"--delete", m_root.string()}, {}, Input::Terminal, answer});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_NE(r.err.find("1 files, 3 MB: delete? [y/N] "), std::string::npos) << r.err;
        EXPECT_EQ(FilesOnDisk().size(), answer == "y\n" ? 0u : 1u);
        if (answer == "y\n") {
            EXPECT_NE(r.err.find("kesmora-cli: deleted 1 file, 3 MB (3,072 KB)"),
                      std::string::npos);
        }
    }
    // A trash run says what it does, from its prompt to its summary.
    TempTrash::Get().Empty();
    File("Debug/a.obj", 3 << 20);
    const Result r = RunCli({{"--delete", "--trash", m_root.string()}, {}, Input::Terminal, "y\n"});
    for (const char* said : {"MB: move to the trash? [y/N] ",
                             "moving to the trash: ", "kesmora-cli: moved to the trash 1 file"}) {
        EXPECT_NE(r.err.find(said), std::string::npos) << r.err;
    }
    EXPECT_EQ(r.err.find("deleting"), std::string::npos) << r.err;
    TempTrash::Get().Empty();
    // A file written anew while the prompt waits stays, and is said to.
    const std::string a = File("Debug/a.obj", 3 << 20);
    Launch launch{{"--delete", m_root.string()}, {}, Input::Terminal, "y\n"};
    launch.beforeAnswer = [&] { std::ofstream(a, std::ios::trunc) << "fresh"; };
    const Result changed = RunCli(launch);
    EXPECT_EQ(changed.exitCode, 1);
    EXPECT_NE(
        changed.err.find("cannot delete " + a + ": it was replaced or changed since the search"),
        std::string::npos)
        << changed.err;
    EXPECT_EQ(fs::file_size(a), 5u);
}

TEST_F(CliTest, AFolderReplacedAfterTheSearchRefusesTheDeletionWithExitTwo) {
    File("Debug/a.obj", 1024);
    const fs::path moved = m_root.string() + ".moved";
    Launch launch{{"--delete", m_root.string()}, {}, Input::Terminal, "y\n"};
    launch.beforeAnswer = [&] {
        fs::rename(m_root, moved);
        fs::create_directories(m_root / "Debug");
    };
    const Result r = RunCli(launch);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("kesmora-cli: refusing to delete anything: " + m_root.string()),
              std::string::npos)
        << r.err;
    EXPECT_TRUE(fs::exists(moved / "Debug/a.obj"));
    fs::remove_all(moved);
    // Refused after another folder's file went: said so, and no exit 2.
    const std::string first = File("first/Debug/x.obj", 10);
    const fs::path second = m_root / "second";
    File("second/Debug/y.obj", 10);
    launch.args = {"--delete", (m_root / "first").string(), second.string()};
    launch.beforeAnswer = [&] {
        fs::rename(second, m_root / "elsewhere");
        fs::create_directory(second);
    };
    const Result after = RunCli(launch);
    EXPECT_EQ(after.exitCode, 1);
    EXPECT_NE(after.err.find("refusing to delete anything more: " + second.string() + ": "),
              std::string::npos)
        << after.err;
    EXPECT_NE(after.err.find(" (1 file already deleted)"), std::string::npos) << after.err;
    EXPECT_FALSE(fs::exists(first));
}

// Runs the paused program with args and interrupts it once its first file
// has gone (it holds there until then), as a user's Ctrl+C would.
void RunInterrupted(std::vector<std::string> args, Result& r) {
    int gate[2];
    ASSERT_EQ(::pipe(gate), 0);
    int out[2], err[2];
    ASSERT_EQ(::pipe2(out, O_CLOEXEC), 0);
    ASSERT_EQ(::pipe2(err, O_CLOEXEC), 0);
    const int in = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    Launch launch{std::move(args)};
    launch.holdFd = gate[1];
    launch.program = KESMORA_CLI_PAUSED;
    const pid_t pid = Spawn(launch, out[1], err[1], in);
    ::close(out[1]);
    ::close(err[1]);
    ::close(in);
    ::close(gate[1]);
    char c = 0;
    // The program holds after its first file until it is interrupted.
    ASSERT_EQ(::read(gate[0], &c, 1), 1);
    ::kill(pid, SIGINT);
    Drain(out[0], err[0], r, [](const std::string&) {});
    r.exitCode = WaitExit(pid);
    ::close(gate[0]);
    ::close(out[0]);
    ::close(err[0]);
}

TEST_F(CliTest, CtrlCDuringADeletionStopsAfterTheCurrentFileAndSaysSo) {
    for (int i = 0; i < 20; ++i) File("Debug/f" + std::to_string(i) + ".obj", 1024);
    Result r;
    RunInterrupted({"--delete", "--yes", m_root.string()}, r);
    EXPECT_EQ(r.exitCode, 130);
    EXPECT_EQ(LastLine(r.err),
              "kesmora-cli: interrupted: deleted 1 file, 0 MB (1 KB); kept 19 files, 0 MB (19 KB)");
    EXPECT_EQ(FilesOnDisk().size(), 19u);
    // One that lands after the last file, while the walk goes on, prunes
    // nothing either.
    fs::remove_all(m_root / "Debug");
    File("Debug/f.obj", 1024);
    Result pruned;
    RunInterrupted({"--delete", "--yes", "--prune-empty", m_root.string()}, pruned);
    EXPECT_EQ(pruned.exitCode, 130);
    EXPECT_EQ(LastLine(pruned.err), "kesmora-cli: interrupted: deleted 1 file, 0 MB (1 KB)");
    EXPECT_TRUE(fs::is_directory(m_root / "Debug"));
}

}  // namespace
