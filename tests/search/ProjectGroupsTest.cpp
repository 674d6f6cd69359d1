// Files gathered by project folder: the rule on trees laid out by hand, the
// reports handed over in one batch and in a batch each (a project is found
// after its subfolders' files went), and the totals of a whole search.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "search/ProjectGroups.h"
#include "search/SearchSession.h"
#include "tests/support/TempTree.h"
#include "walk/MatchRules.h"

namespace {

struct Group {
    std::string strPath;  // below the root, "/" between names; "" the root
    bool bProject;
    std::uint64_t nFiles;
    std::uint64_t size;
    bool operator==(const Group&) const = default;
};

// Files as "path:size" (a trailing "/": a folder; "path>target": a link), and
// the groups they make.
const struct {
    const char* pszCase;
    const char* pszFiles;
    std::vector<Group> groups;
} kCases[] = {
    {"nested projects",
     "App/App.vcxproj App/x64/Debug/App.pdb:30 App/Lib/Lib.vcxproj App/Lib/Debug/lib.obj:20",
     {{"App", true, 1, 30}, {"App/Lib", true, 1, 20}}},
    {"a solution above projects",
     "Sln/S.sln Sln/x64/Release/s.pdb:40 Sln/.vs/S/v17/ipch/p.obj:8 Sln/P/P.vcxproj "
     "Sln/P/Debug/p.obj:5 Sln/Q/Q.vcproj Sln/Q/Debug/q.obj:1",
     {{"Sln", true, 2, 48}, {"Sln/P", true, 1, 5}, {"Sln/Q", true, 1, 1}}},
    {"files above any project",
     "root.obj:3 Loose/Debug/a.obj:10 Loose/Deep/More/b.obj:10 Loose/Deep/P/P.dsp "
     "Loose/Deep/P/c.obj:1",
     {{"Loose", false, 2, 20}, {"", false, 1, 3}, {"Loose/Deep/P", true, 1, 1}}},
    {"the chosen folder a project",
     "R.slnx r.obj:1 Sub/Debug/s.obj:2 Sub/In/I.vcxproj Sub/In/i.obj:4",
     {{"Sub/In", true, 1, 4}, {"", true, 2, 3}}},
    {"letter case",
     "Up/UP.VCXPROJ Up/Debug/u.obj:1 Ws/old.DsW Ws/Debug/w.obj:2 No/No.vcxproj.user "
     "No/Debug/n.obj:4",
     {{"No", false, 1, 4}, {"Ws", true, 1, 2}, {"Up", true, 1, 1}}},
    {"a project file that is a folder",
     "Fake/Fake.vcxproj/ Fake/Debug/f.obj:6 Fake/Fake.vcxproj/x.obj:1",
     {{"Fake", false, 2, 7}}},
#ifndef _WIN32
    // A Windows listing names a link to a folder as a folder; and mingw's
    // std::filesystem makes no links ("Function not implemented" under Wine).
    {"links named as project files: to a folder, to a file",
     "Real/R.txt Ln/Debug/l.obj:3 Ln/L.vcxproj>../Real Lf/Debug/f.obj:2 Lf/F.sln>../Real/R.txt",
     {{"Ln", false, 1, 3}, {"Lf", true, 1, 2}}},
#endif
};

void Lay(const TempTree& t, const std::string& strBelow, const char* pszFiles) {
    std::istringstream files(pszFiles);
    for (std::string strName; files >> strName;) {
        const std::size_t colon = strName.find(':');
        const std::size_t arrow = strName.find('>');
        if (arrow != std::string::npos) {
            t.Link(strBelow + strName.substr(0, arrow), strName.substr(arrow + 1));
        } else if (strName.back() == '/') {
            t.Dir(strBelow + strName);
        } else {
            t.File(strBelow + strName.substr(0, colon),
                   colon == std::string::npos ? 0 : std::stoull(strName.substr(colon + 1)));
        }
    }
}

// The walk's reports through a collector, each handed over at once when
// bEach, else all at the end.
struct Sink final : CFindNotify {
    void OnFindFolder(const std::string& s) override {
        collector.OnFindFolder(s);
        if (s == strStopIn) pFinder->StopFind();
        Pass();
    }
    void OnFindProjectFolder(const std::string& s) override {
        collector.OnFindProjectFolder(s);
        Pass();
    }
    void OnFindFileStamps(const std::string& s, std::uint64_t n, const FileStamp& c,
                          const FileStamp& m, std::uint64_t id) override {
        collector.OnFindFileStamps(s, n, c, m, id);
        Pass();
    }
    void OnFindEnd() override {}
    void Pass(bool bNow = false) {
        if ((bEach || bNow) && collector.Take(batch)) groups.Take(batch);
    }
    bool bEach = false;
    std::string strStopIn;  // a folder the search is stopped in as it enters
    CIntermediateFileFinder* pFinder = nullptr;
    CResultCollector collector;
    ResultBatch batch;
    CProjectGroups groups;
};

TEST(CProjectGroups, EachFileCountsInItsNearestProjectOrItsFirstFolder) {
    for (const auto& c : kCases) {
        TempTree t;
        Lay(t, "", c.pszFiles);
        // With and without readers ahead: these keep only the names the
        // walk looks at, project files among them.
        for (int nReaders : {0, 2}) {
            for (bool bEach : {false, true}) {
                Sink sink;
                sink.bEach = bEach;
                CIntermediateFileFinder finder(&sink);
                finder.SetReadAheadThreads(nReaders);
                ASSERT_TRUE(finder.StartFind(t.Root(), true, 1, kClassicKinds, 1, 0, false));
                finder.JoinWorker();
                sink.Pass(true);
                std::vector<Group> found;
                for (std::size_t i : sink.groups.LargestFirst()) {
                    const ProjectGroup& g = sink.groups.Groups()[i];
                    std::string strPath =
                        g.strPath.substr(std::min(g.strPath.size(), t.Root().size() + 1));
                    std::replace(strPath.begin(), strPath.end(), kPathSeparator, '/');
                    found.push_back({strPath, g.bProject, g.nFiles, g.size});
                }
                EXPECT_EQ(found, c.groups)
                    << c.pszCase << ", readers " << nReaders << (bEach ? ", a batch each" : "");
            }
        }
    }
}

// Groups nest as their folders do, each with its own files and its totals;
// the projects are found after the files of their subfolders arrived, in
// one batch or a batch each. A line a group: indented by its depth, its
// path below the root ("." the root), kind, own files/bytes, total.
const struct {
    const char* pszCase;
    const char* pszFiles;
    const char* pszTree;
} kTrees[] = {
    {"a solution with projects, a project in a project's subfolder, loose files",
     "loose.obj:1 Misc/Debug/m.obj:2 S/S.sln S/A/A.vcxproj S/A/Debug/a.obj:10 "
     "S/A/tools/T/T.vcxproj S/A/tools/T/Debug/t.obj:5 S/B/B.vcxproj S/B/x64/Debug/b.obj:20 "
     "Deep/Lib/L.vcxproj Deep/Lib/Debug/l.obj:4 Deep/Lib/Debug/m.obj:3",
     ". folder 1/1 7/45\n"
     "  S project 0/0 3/35\n"
     "    S/B project 1/20 1/20\n"
     "    S/A project 1/10 2/15\n"
     "      S/A/tools/T project 1/5 1/5\n"
     "  Deep/Lib project 2/7 2/7\n"
     "  Misc folder 1/2 1/2\n"},
    {"the chosen folder a solution with no files of its own",
     "R.sln A/A.vcxproj A/Debug/a.obj:2 B/B.dsp B/Debug/b.obj:3",
     ". project 0/0 2/5\n  B project 1/3 1/3\n  A project 1/2 1/2\n"},
    {"the chosen folder with no group of its own", "Q/Debug/q.obj:1 P/P.vcxproj P/Debug/p.obj:3",
     "P project 1/3 1/3\nQ folder 1/1 1/1\n"},
};

TEST(CProjectGroups, GroupsNestUnderTheNearestGroupAboveWithTheirTotals) {
    for (const auto& c : kTrees) {
        TempTree t;
        Lay(t, "", c.pszFiles);
        for (bool bEach : {false, true}) {
            Sink sink;
            sink.bEach = bEach;
            CIntermediateFileFinder finder(&sink);
            ASSERT_TRUE(finder.StartFind(t.Root(), true, 1, kClassicKinds, 1, 0, false));
            finder.JoinWorker();
            sink.Pass(true);
            std::ostringstream tree;
            for (std::size_t i : sink.groups.Tree(GroupOrder::Size, false)) {
                const ProjectGroup& g = sink.groups.Groups()[i];
                std::string strPath = g.strPath.size() > t.Root().size()
                                          ? g.strPath.substr(t.Root().size() + 1)
                                          : std::string(".");
                std::replace(strPath.begin(), strPath.end(), kPathSeparator, '/');
                tree << std::string(2 * g.nDepth, ' ') << strPath
                     << (g.bProject ? " project " : " folder ") << g.nFiles << "/" << g.size << " "
                     << g.nTotalFiles << "/" << g.totalSize << "\n";
            }
            EXPECT_EQ(tree.str(), c.pszTree) << c.pszCase << (bEach ? ", a batch each" : "");
        }
    }
}

// Stopped on entering P's last subfolder listed, the search found the files
// of the others, P's; P is a project if its project file came before.
TEST(CProjectGroups, AStoppedSearchKeepsTheProjectFileItListed) {
    TempTree t;
    Lay(t, "", "P/P.vcxproj P/a/x.obj:1 P/b/x.obj:1 P/c/x.obj:1 P/d/x.obj:1 P/e/x.obj:1");
    std::vector<std::string> names;  // as the walk lists them
    for (const auto& entry : std::filesystem::directory_iterator(t.Path("P")))
        names.push_back(entry.path().filename().string());
    const auto last = std::find_if(names.rbegin(), names.rend(),
                                   [](const std::string& n) { return n.size() == 1; });
    const bool bProjectBefore = std::find(names.begin(), last.base(), "P.vcxproj") != last.base();
    Sink sink;
    CIntermediateFileFinder finder(&sink);
    sink.strStopIn = t.Root() + kPathSeparator + "P" + kPathSeparator + *last + kPathSeparator;
    sink.pFinder = &finder;
    ASSERT_TRUE(finder.StartFind(t.Root(), true, 1, kClassicKinds, 1, 0, false));
    finder.JoinWorker();
    sink.Pass(true);
    ASSERT_EQ(sink.groups.LargestFirst().size(), 1u);
    const ProjectGroup& g = sink.groups.Groups()[sink.groups.LargestFirst()[0]];
    EXPECT_EQ(std::tie(g.bProject, g.nFiles), std::make_tuple(bProjectBefore, std::uint64_t{4}));
}

// Each group's totals equal those of the rows GroupOf puts in it, and
// together those of every row; a listed group's totals with everything
// below it those of the rows of the groups under it, at every level.
void ExpectTotalsOfRows(const CProjectGroups& groups, const std::vector<ResultRow>& rows) {
    const std::vector<ProjectGroup>& all = groups.Groups();
    std::vector<ProjectGroup> counted(all.size());
    std::uint64_t nTopFiles = 0;
    for (const ResultRow& row : rows) {
        ASSERT_LT(groups.GroupOf(row), counted.size()) << row.strPath;
        ProjectGroup& g = counted[groups.GroupOf(row)];
        ++g.nFiles;
        g.size += row.size;
        g.newest = std::max(g.newest, row.modified);
        for (std::size_t n = groups.GroupOf(row); n != ProjectGroup::kNoParent;
             n = all[n].nParent) {
            ++counted[n].nTotalFiles;
            counted[n].totalSize += row.size;
        }
    }
    for (std::size_t i = 0; i < counted.size(); ++i) {
        const ProjectGroup& g = all[i];
        EXPECT_EQ(std::tie(g.nFiles, g.size, g.newest),
                  std::tie(counted[i].nFiles, counted[i].size, counted[i].newest))
            << g.strPath;
        if (!g.Listed()) continue;
        EXPECT_EQ(std::tie(g.nTotalFiles, g.totalSize),
                  std::tie(counted[i].nTotalFiles, counted[i].totalSize))
            << g.strPath;
        if (g.nParent == ProjectGroup::kNoParent) nTopFiles += g.nTotalFiles;
    }
    EXPECT_EQ(nTopFiles, rows.size());
}

// A whole search through the session, taken as the front ends take it.
void SearchAll(const std::string& strRoot, CProjectGroups& groups, std::vector<ResultRow>& rows) {
    SearchQuery query;
    query.strRoot = strRoot;
    query.folders = FolderRule::All;
    query.kinds = FileKinds::All();
    CSearchSession session;
    ASSERT_TRUE(session.Start(query));
    ResultBatch batch;
    for (bool bEnded = false; !bEnded; std::this_thread::yield()) {
        if (!session.Take(batch)) continue;
        groups.Take(batch);
        AppendRows(rows, batch.rows);
        bEnded = batch.bEnded;
    }
}

TEST(CProjectGroups, TotalsOfASearchAndOfWhatADeletionLeftAreTheFilesTotals) {
    TempTree t;
    for (std::size_t i = 0; i < std::size(kCases); ++i)
        Lay(t, std::to_string(i) + "/", kCases[i].pszFiles);
    CProjectGroups groups;
    std::vector<ResultRow> rows;
    SearchAll(t.Root(), groups, rows);
    std::uint64_t nFiles = 0;
    std::ptrdiff_t nProjects = 0;
    for (const auto& c : kCases) {
        for (const Group& g : c.groups) {
            nFiles += g.nFiles;
            nProjects += g.bProject;
        }
    }
    ASSERT_EQ(rows.size(), nFiles);
    ExpectTotalsOfRows(groups, rows);
    const auto& all = groups.Groups();
    EXPECT_EQ(std::count_if(all.begin(), all.end(), [](auto& g) { return g.bProject; }), nProjects)
        << "the session passes the projects found on";
    // A deletion erases rows, and learns a kept file's size anew.
    rows.erase(rows.begin(), rows.begin() + 5);
    rows.front().size = 12345;
    groups.Recount(rows);
    ExpectTotalsOfRows(groups, rows);
}

// Solutions as builds leave them, with what newer IDEs put beside them and
// a project inside another's subfolder, and the nested trees above: every
// level adds up to its files.
TEST(CProjectGroups, EveryLevelOfASolutionTreeAddsUpToItsFiles) {
    TempTree t;
    for (int nSln = 0; nSln < 8; ++nSln) {
        const std::string strSln = "w/Sln" + std::to_string(nSln) + "/";
        Lay(t, strSln,
            "S.sln S.sdf:6 S.VC.db:8 x64/Release/s.pdb:40 .vs/S/v17/ipch/AutoPCH/a.ipch:9 "
            "Tools/Debug/t.obj:3");
        for (int nProject = 0; nProject < 3; ++nProject) {
            Lay(t, strSln + "P" + std::to_string(nProject) + "/",
                "P.vcxproj x64/Debug/a.obj:7 x64/Debug/vc143.pdb:11 x64/Debug/P.tlog/CL.tlog:1 "
                "x64/Release/a.iobj:4 Sub/In/In.vcxproj Sub/In/x64/Debug/i.obj:2");
        }
    }
    for (std::size_t i = 0; i < std::size(kTrees); ++i)
        Lay(t, "w/T" + std::to_string(i) + "/", kTrees[i].pszFiles);
    CProjectGroups groups;
    std::vector<ResultRow> rows;
    SearchAll(t.Path("w"), groups, rows);
    ASSERT_EQ(rows.size(), 8u * (5 + 3 * 5) + 7 + 2 + 2);
    ExpectTotalsOfRows(groups, rows);
}

// The project view's orders. Groups (size, files, newest, kind): R 5 1 400
// folder, R/a 10 2 300 folder, R/B 30 1 100 project, R/c 10 3 200 project;
// equal keys go by path ascending, with letters folded (B between a and c).
TEST(CProjectGroups, OrdersByEachKeyBothWaysWithTiesByPath) {
    ResultBatch batch;
    batch.folders = {{ResultRow::kNoFolder, "R/"}, {0, "R/a/"}, {0, "R/B/"}, {0, "R/c/"}};
    batch.projects = {{2, 3, "R/B/"}, {3, 4, "R/c/"}};
    const auto row = [](std::uint32_t nFolder, std::uint64_t size, std::int64_t modified) {
        ResultRow r("f", size, {}, FileStamp{modified, 0});
        r.nFolder = nFolder;
        return r;
    };
    batch.rows = {row(0, 5, 400), row(1, 4, 300), row(1, 6, 1), row(2, 30, 100),
                  row(3, 2, 200), row(3, 3, 50),  row(3, 5, 60)};
    CProjectGroups groups;
    groups.Take(batch);
    const struct {
        GroupOrder key;
        bool bAscending;
        const char* pszOrder;
    } kOrders[] = {
        {GroupOrder::Size, false, "R/B R/a R/c R"},  {GroupOrder::Size, true, "R R/a R/c R/B"},
        {GroupOrder::Path, true, "R R/a R/B R/c"},   {GroupOrder::Path, false, "R/c R/B R/a R"},
        {GroupOrder::Files, true, "R R/B R/a R/c"},  {GroupOrder::Files, false, "R/c R/a R R/B"},
        {GroupOrder::Newest, true, "R/B R/c R/a R"}, {GroupOrder::Newest, false, "R R/a R/c R/B"},
        {GroupOrder::Kind, true, "R R/a R/B R/c"},   {GroupOrder::Kind, false, "R/B R/c R R/a"},
    };
    for (const auto& o : kOrders) {
        std::string order;
        for (std::size_t n : groups.Ordered(o.key, o.bAscending))
            order += (order.empty() ? "" : " ") + groups.Groups()[n].strPath;
        EXPECT_EQ(order, o.pszOrder) << static_cast<int>(o.key) << " " << o.bAscending;
    }
}

}  // namespace
