// Sorting a large result list by each column, as a header click does on the
// window's thread: 472,000 rows shaped like the benchmark tree of
// make_tree.py (2,000 projects, five output folders each), in walk order.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "search/ResultOrder.h"

namespace {

constexpr int kProjects = 2000;

// The walk's order: each output folder's subfolder first, then its matches
// grouped by type; sizes and times drawn as the tree generator does.
std::vector<ResultRow> WalkRows() {
    std::mt19937_64 rng(1);
    const unsigned sizes[] = {0, 511, 512, 1536, 4096, 65536, 1 << 20};
    auto row = [&](const std::string& path) {
        // Any moment of 2024 to 2026, to the second.
        const auto moment = [&] {
            return FileStamp{1704067200 + static_cast<std::int64_t>(rng() % (3 * 365 * 86400)),
                             static_cast<std::uint32_t>(rng() % 1000000000)};
        };
        const FileStamp created = moment();
        ResultRow r(path, sizes[rng() % 7] + rng() % 3000, created, moment());
        return r;
    };
    std::vector<ResultRow> rows;
    const char* outs[] = {"Debug", "Release", "debug", "x64/Debug", "x64/Release"};
    const char* types[] = {"bsc", "idb", "ilk", "obj", "pch", "pdb", "res", "sbr"};
    for (int p = 0; p < kProjects; ++p) {
        char project[64];
        std::snprintf(project, sizeof project, "/tmp/finder_bench/tree/Project%03d/", p);
        for (const char* out : outs) {
            const std::string folder = project + std::string(out) + "/";
            rows.push_back(row(folder + "sub/deep.obj"));
            for (const char* type : types) {
                if (std::string(type) == "obj" || std::string(type) == "sbr") {
                    for (int u = 0; u < 20; ++u) {
                        rows.push_back(row(folder + "unit" + std::to_string(u) + "." + type));
                    }
                } else {
                    char name[32];
                    std::snprintf(name, sizeof name, "Project%03d.%s", p, type);
                    rows.push_back(row(folder + name));
                }
            }
        }
        // The folder named like a match, listed with size 0.
        rows.push_back(row(project + std::string("odd.obj")));
    }
    for (std::size_t i = 0; i < rows.size(); ++i) rows[i].nWalk = static_cast<std::uint32_t>(i);
    return rows;
}

const std::vector<ResultRow>& Rows() {
    static const std::vector<ResultRow> rows = WalkRows();
    return rows;
}

void BM_SortRows(benchmark::State& state) {
    const auto column = static_cast<SortColumn>(state.range(0));
    const bool bAscending = state.range(1) != 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<ResultRow> rows = Rows();
        state.ResumeTiming();
        benchmark::DoNotOptimize(SortRows(rows, column, bAscending));
        state.PauseTiming();
        rows.clear();
        state.ResumeTiming();
    }
    state.counters["rows"] = static_cast<double>(Rows().size());
}

}  // namespace

// Arguments: column (0 name, 1 size, 2 created, 3 modified), ascending.
BENCHMARK(BM_SortRows)
    ->ArgsProduct({{0, 1, 2, 3}, {1, 0}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
