// Opening the project view's rows on a search of 472,000 files, as a click
// on a marker does on the window's thread: a project of 100,000 files in
// 1,000 folders, a folder of 100,000 files, and a tick that lays the tree
// out again with both open.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "view/core/ProjectTree.h"

namespace {

constexpr std::uint32_t kBigFolders = 1000;  // of 100 files each
constexpr std::uint32_t kFlatFiles = 100000;
constexpr std::uint32_t kSmallProjects = 2000;  // of 136 files each
constexpr std::uint32_t kSmallFiles = 136;

// The batch of a whole search: W/Big (a project, kBigFolders subfolders),
// W/Flat (a project whose one Debug folder holds kFlatFiles files) and
// kSmallProjects projects with a Debug folder each.
struct Search {
    CProjectGroups groups;
    std::vector<ResultRow> rows;
    std::size_t nBig = 0;
    std::size_t nFlat = 0;
    std::uint32_t nFlatFolder = 0;

    Search() {
        ResultBatch batch;
        batch.folders.push_back({ResultRow::kNoFolder, "W/"});
        const auto add = [&](std::uint32_t nFolder, const std::string& strPath, std::uint64_t n) {
            ResultRow row(strPath, 1000 + n * 7919 % 65536, {}, FileStamp{1714979280, 0});
            row.nFolder = nFolder;
            batch.rows.push_back(std::move(row));
        };
        char name[64];
        const std::uint32_t nBigFolder = 1;
        batch.folders.push_back({0, "W/Big/"});
        for (std::uint32_t f = 0; f < kBigFolders; ++f) {
            const auto nFolder = static_cast<std::uint32_t>(batch.folders.size());
            std::snprintf(name, sizeof name, "W/Big/module%03u/Debug/", f);
            batch.folders.push_back({nBigFolder, name});
            for (std::uint32_t i = 0; i < 100; ++i) {
                add(nFolder, name + ("unit" + std::to_string(i) + ".obj"), f * 100 + i);
            }
        }
        batch.projects.push_back(
            {nBigFolder, static_cast<std::uint32_t>(batch.folders.size()), "W/Big/"});
        const auto nFlatTop = static_cast<std::uint32_t>(batch.folders.size());
        nFlatFolder = nFlatTop + 1;
        batch.folders.push_back({0, "W/Flat/"});
        batch.folders.push_back({nFlatTop, "W/Flat/Debug/"});
        for (std::uint32_t i = 0; i < kFlatFiles; ++i) {
            add(nFlatFolder, "W/Flat/Debug/unit" + std::to_string(i) + ".obj", i);
        }
        batch.projects.push_back({nFlatTop, nFlatTop + 2, "W/Flat/"});
        for (std::uint32_t p = 0; p < kSmallProjects; ++p) {
            const auto nProject = static_cast<std::uint32_t>(batch.folders.size());
            std::snprintf(name, sizeof name, "W/Project%04u/", p);
            batch.folders.push_back({0, name});
            const std::string strDebug = name + std::string("Debug/");
            batch.folders.push_back({nProject, strDebug});
            for (std::uint32_t i = 0; i < kSmallFiles; ++i) {
                add(nProject + 1, strDebug + "unit" + std::to_string(i) + ".obj", i);
            }
            batch.projects.push_back({nProject, nProject + 2, name});
        }
        groups.Take(batch);
        rows = std::move(batch.rows);
        for (std::size_t n = 0; n < groups.Groups().size(); ++n) {
            if (groups.Groups()[n].strPath == "W/Big") nBig = n;
            if (groups.Groups()[n].strPath == "W/Flat") nFlat = n;
        }
    }
};

Search& TheSearch() {
    static Search search;
    return search;
}

// Opens what the benchmark's argument says on a tree laid out once, then
// closes it again, untimed.
void BM_Open(benchmark::State& state) {
    Search& search = TheSearch();
    CProjectTree tree(search.groups, search.rows);
    tree.Sync(GroupOrder::Size, false);
    const TreeNode big{TreeNodeKind::Group, 0, search.nBig};
    const TreeNode flat{TreeNodeKind::Group, 0, search.nFlat};
    const TreeNode folder{TreeNodeKind::Folder, 1, search.nFlatFolder};
    const bool bFolder = state.range(0) != 0;
    if (bFolder) tree.SetOpen(flat, true);
    tree.Sync(GroupOrder::Size, false);
    for (auto _ : state) {
        tree.SetOpen(bFolder ? folder : big, true);
        tree.Sync(GroupOrder::Size, false);
        state.PauseTiming();
        tree.SetOpen(bFolder ? folder : big, false);
        tree.Sync(GroupOrder::Size, false);
        state.ResumeTiming();
    }
    tree.SetOpen(bFolder ? folder : big, true);
    tree.Sync(GroupOrder::Size, false);
    state.counters["rows shown"] = static_cast<double>(tree.Nodes().size());
    state.counters["files"] = static_cast<double>(search.rows.size());
}

// A tick with no new rows while both are open: what the tree costs the
// window's timer when they stay open.
void BM_SyncWithBothOpen(benchmark::State& state) {
    Search& search = TheSearch();
    CProjectTree tree(search.groups, search.rows);
    tree.Sync(GroupOrder::Size, false);
    tree.SetOpen({TreeNodeKind::Group, 0, search.nBig}, true);
    tree.SetOpen({TreeNodeKind::Group, 0, search.nFlat}, true);
    tree.SetOpen({TreeNodeKind::Folder, 1, search.nFlatFolder}, true);
    for (auto _ : state) tree.Sync(GroupOrder::Size, false);
    state.counters["rows shown"] = static_cast<double>(tree.Nodes().size());
}

}  // namespace

// Argument: 0 the project of 100,000 files, 1 the folder of 100,000 files.
BENCHMARK(BM_Open)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SyncWithBothOpen)->Unit(benchmark::kMillisecond)->UseRealTime();
