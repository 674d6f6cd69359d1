// Files gathered by project folder: the rule on trees laid out by hand, with
// the reports handed over in one batch and in one batch per report (a
// project found after its subfolders' files went), and the totals of a
// whole search.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "finder/DirReader.h"
#include "finder/MatchRules.h"
#include "search/ProjectGroups.h"
#include "search/SearchSession.h"
#include "tests/support/TempTree.h"

namespace {

// What a walk reported, to hand to a collector in batches of any size.
class Recorder final : public CFindNotify {
public:
    struct Report {
        char kind;  // 'D' folder, 'P' project folder, 'F' file
        std::string strPath;
        std::uint64_t size = 0;
    };
    void OnFindFolder(const std::string& strFolder) override {
        reports.push_back({'D', strFolder});
    }
    void OnFindProjectFolder(const std::string& strFolder) override {
        reports.push_back({'P', strFolder});
    }
    void OnFindFileStamps(const std::string& strPath, std::uint64_t size, const FileStamp&,
                          const FileStamp&) override {
        reports.push_back({'F', strPath, size});
    }
    void OnFindEnd() override {}

    std::vector<Report> reports;
};

struct Group {
    std::string strPath;  // below the root, "/" between names; "" the root
    bool bProject;
    std::uint64_t nFiles;
    std::uint64_t size;
    bool operator==(const Group&) const = default;
};

// The groups with files, largest first, after the reports were handed over
// in one batch or in one batch each.
std::vector<Group> GroupsOf(const std::string& strRoot, const Recorder& recorder, bool bEach) {
    CResultCollector collector;
    CProjectGroups groups;
    ResultBatch batch;
    for (const Recorder::Report& report : recorder.reports) {
        if (report.kind == 'D') collector.OnFindFolder(report.strPath);
        if (report.kind == 'P') collector.OnFindProjectFolder(report.strPath);
        if (report.kind == 'F') collector.OnFindFileStamps(report.strPath, report.size, {}, {});
        if (bEach && collector.Take(batch)) groups.Take(batch);
    }
    if (collector.Take(batch)) groups.Take(batch);
    std::vector<Group> found;
    for (std::size_t i : groups.LargestFirst()) {
        const ProjectGroup& g = groups.Groups()[i];
        std::string strPath = g.strPath == strRoot ? "" : g.strPath.substr(strRoot.size() + 1);
        std::replace(strPath.begin(), strPath.end(), kPathSeparator, '/');
        found.push_back({strPath, g.bProject, g.nFiles, g.size});
    }
    return found;
}

TEST(CProjectGroups, EachFileCountsInItsNearestProjectOrItsFirstFolder) {
    // Files as "path:size" (a trailing "/": a folder), groups below the root.
    const struct {
        const char* pszCase;
        const char* pszFiles;
        std::vector<Group> groups;
    } cases[] = {
        {"nested projects",
         "App/App.vcxproj App/x64/Debug/App.pdb:30 App/Lib/Lib.vcxproj "
         "App/Lib/Debug/lib.obj:20",
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
    };
    for (const auto& c : cases) {
        TempTree t;
        std::istringstream files(c.pszFiles);
        for (std::string strName; files >> strName;) {
            const std::size_t colon = strName.find(':');
            if (strName.back() == '/') {
                t.Dir(strName);
            } else if (colon == std::string::npos) {
                t.File(strName);
            } else {
                t.File(strName.substr(0, colon), std::stoull(strName.substr(colon + 1)));
            }
        }
        // With and without readers ahead: these keep only the names the
        // walk looks at, project files among them.
        for (int nReaders : {0, 2}) {
            Recorder recorder;
            {
                CIntermediateFileFinder finder(&recorder);
                finder.SetReadAheadThreads(nReaders);
                ASSERT_TRUE(finder.StartFind(t.Root(), true, 1, kClassicKinds, 1, 0, false));
                finder.JoinWorker();
            }
            for (bool bEach : {false, true}) {
                EXPECT_EQ(GroupsOf(t.Root(), recorder, bEach), c.groups)
                    << c.pszCase << ", readers " << nReaders << (bEach ? ", a batch each" : "");
            }
        }
    }
}

// Each group's totals, counted again from the rows it is said to hold, and
// all the groups' totals together, equal the rows'.
void ExpectTotalsOfRows(const CProjectGroups& groups, const std::vector<ResultRow>& rows) {
    std::vector<ProjectGroup> counted(groups.Groups().size());
    for (const ResultRow& row : rows) {
        ASSERT_LT(groups.GroupOf(row), counted.size()) << row.strPath;
        ProjectGroup& g = counted[groups.GroupOf(row)];
        ++g.nFiles;
        g.size += row.size;
        g.newest = std::max(g.newest, row.modified);
    }
    for (std::size_t i = 0; i < counted.size(); ++i) {
        const ProjectGroup& g = groups.Groups()[i];
        EXPECT_EQ(g.nFiles, counted[i].nFiles) << g.strPath;
        EXPECT_EQ(g.size, counted[i].size) << g.strPath;
        if (g.nFiles != 0) {
            EXPECT_EQ(g.newest, counted[i].newest) << g.strPath;
        }
    }
}

TEST(CProjectGroups, TotalsOfASearchAndOfWhatADeletionLeftAreTheFilesTotals) {
    TempTree t;
    constexpr int kSets = 10;
    for (int i = 0; i < kSets; ++i) {
        const std::string n = std::to_string(i);
        t.File("Sol" + n + "/Sol.sln");
        t.File("Sol" + n + "/x64/Release/Sol.pdb", 100 + i);
        t.File("Sol" + n + "/App/App.vcxproj");
        t.File("Sol" + n + "/App/Debug/a.obj", 10);
        t.File("Sol" + n + "/App/Debug/b.obj", 11);
        t.File("Loose" + n + "/Debug/l.obj", 7);
        t.File("Proj" + n + "/Proj.vcxproj");
        t.File("Proj" + n + "/Release/p.pch", 1000 + i);
        t.File("Deep" + n + "/a/Debug/d.obj", 5);
        t.File("Deep" + n + "/a/b/P.vcproj");
        t.File("Deep" + n + "/a/b/Debug/e.obj", 6);
    }
    t.File("Debug/top.obj", 1);
    SearchQuery query;
    query.strRoot = t.Root();
    CSearchSession session;
    ASSERT_TRUE(session.Start(query));
    CProjectGroups groups;
    std::vector<ResultRow> rows;
    std::uint64_t total = 0;
    ResultBatch batch;
    for (bool bEnded = false; !bEnded;) {
        if (!session.Take(batch)) {
            std::this_thread::yield();
            continue;
        }
        groups.Take(batch);
        total += AppendRows(rows, batch.rows);
        bEnded = batch.bEnded;
    }
    ASSERT_EQ(rows.size(), std::size_t{kSets * 7 + 1});
    ExpectTotalsOfRows(groups, rows);
    std::uint64_t nFiles = 0;
    std::uint64_t size = 0;
    int nProjects = 0;
    for (std::size_t i : groups.LargestFirst()) {
        nFiles += groups.Groups()[i].nFiles;
        size += groups.Groups()[i].size;
        nProjects += groups.Groups()[i].bProject ? 1 : 0;
    }
    EXPECT_EQ(nFiles, rows.size());
    EXPECT_EQ(size, total);
    EXPECT_EQ(groups.LargestFirst().size(), std::size_t{kSets * 6 + 1});
    EXPECT_EQ(nProjects, kSets * 4);

    // A deletion erases rows, and learns a kept file's size anew.
    std::vector<ResultRow> kept;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i % 3 != 0) kept.push_back(rows[i]);
    }
    kept.front().size = 12345;
    groups.Recount(kept);
    ExpectTotalsOfRows(groups, kept);
}

}  // namespace
