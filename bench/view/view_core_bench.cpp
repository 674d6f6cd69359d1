// Measures the memory a listed row costs and times a delete-all of many
// real files against `xargs rm -f` on an identical tree.
//
//   view_core_bench [--rows N] [--files N] [--dir PATH] [--rounds N] [--posix]
//
// --posix deletes with plain lstat/unlink instead of the file utilities
// (to tell the run's own cost from theirs).
#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "search/DeleteRun.h"
#include "search/ResultCollector.h"
#include "walk/DirReader.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

long ResidentBytes() {
    long pages = 0, resident = 0;
    std::FILE* f = std::fopen("/proc/self/statm", "r");
    if (f) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * sysconf(_SC_PAGESIZE);
}

// Bytes handed out by malloc in every arena, mmapped blocks included.
std::size_t HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// A path like those of a real workspace, about 70 bytes.
std::string RealisticPath(const std::string& root, std::size_t i) {
    char name[96];
    std::snprintf(name, sizeof name, "/Project%04zu/Module%02zu/Debug/module%02zu_file%02zu.obj",
                  i / 1000, i / 100 % 10, i / 100 % 10, i % 100);
    return root + name;
}

void MeasureRows(std::size_t count) {
    const std::string root = "/home/developer/workspace";
    malloc_trim(0);
    const std::size_t heapBefore = HeapInUse();
    const long rssBefore = ResidentBytes();

    std::vector<ResultRow> rows;
    std::uint64_t total = 0;
    {
        CResultCollector collector;
        std::thread worker([&] {
            for (std::size_t i = 0; i < count; ++i) {
                if (i % 100 == 0) collector.OnFindFolder(RealisticPath(root, i));
                collector.OnFindFileStamps(RealisticPath(root, i), 40000 + i, {1704164640, 0},
                                           {1714979280, 0}, 0);
            }
            collector.OnFindEnd();
        });
        ResultBatch batch;
        bool bEnded = false;
        while (!bEnded) {
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            collector.Take(batch);
            total += AppendRows(rows, batch.rows);
            bEnded = batch.bEnded;
        }
        worker.join();
    }
    const std::size_t heapAfter = HeapInUse();
    const long rssAfter = ResidentBytes();
    std::size_t pathBytes = 0;
    for (const ResultRow& row : rows) pathBytes += row.strPath.size();

    std::printf("rows: %zu (average path %.1f bytes, sizeof(ResultRow) %zu, capacity %zu)\n",
                rows.size(), double(pathBytes) / rows.size(), sizeof(ResultRow), rows.capacity());
    std::printf("  heap in use: %.1f bytes per row\n", double(heapAfter - heapBefore) / count);
    std::printf("  resident growth: %.1f bytes per row\n", double(rssAfter - rssBefore) / count);
    std::printf("  (total %llu bytes listed)\n", static_cast<unsigned long long>(total));
}

// Makes count empty files in folders of 100 and returns their paths.
std::vector<std::string> MakeTree(const fs::path& root, std::size_t count) {
    std::vector<std::string> paths;
    paths.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::string path = RealisticPath(root.string(), i);
        if (i % 100 == 0) fs::create_directories(fs::path(path).parent_path());
        const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
        if (fd < 0 || ::ftruncate(fd, static_cast<off_t>(1024 + i % 4096)) != 0) {
            std::perror(path.c_str());
            std::exit(1);
        }
        ::close(fd);
        paths.push_back(path);
    }
    return paths;
}

DeleteFileOps PosixOps() {
    return DeleteFileOps{
        {},
        [](const std::string& path) -> std::uint64_t {
            struct stat st;
            return ::lstat(path.c_str(), &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
        },
        [](const ResultRow& row, RemovalFailure&) { return ::unlink(row.strPath.c_str()) == 0; },
        {},
    };
}

double TimeRunDelete(const fs::path& root, const std::vector<std::string>& paths, bool bPosix) {
    std::vector<ResultRow> rows;
    rows.reserve(paths.size());
    for (const std::string& path : paths) {
        // Listed as a search lists it: the run takes only a file it knows.
        const std::size_t nSep = path.rfind('/');
        CDirReader folder;
        EntryFacts facts;
        if (folder.OpenPath(path.substr(0, nSep)) == OpenResult::kOpened) {
            folder.Facts(path.c_str() + nSep + 1, facts);
        }
        rows.emplace_back(path, facts.size, facts.created, facts.modified, facts.id);
    }
    const auto request = PlanDeleteAll(rows.size(), {});
    const DeleteFileOps ops = bPosix ? PosixOps() : SystemFileOps(root.string());
    std::size_t ticks = 0;
    const auto start = Clock::now();
    const DeleteOutcome out = RunDelete(rows, *request, ops, [&](std::size_t, std::size_t) {
        ++ticks;  // what a progress dialog's check costs at least
        return true;
    });
    const double seconds = Seconds(Clock::now() - start);
    if (out.nDeleted != paths.size()) {
        std::printf("  RunDelete removed only %zu of %zu files\n", out.nDeleted, paths.size());
    }
    return seconds;
}

double TimeXargsRm(const std::vector<std::string>& paths, const fs::path& listFile) {
    {
        std::ofstream list(listFile, std::ios::binary);
        for (const std::string& path : paths) list << path << '\0';
    }
    const std::string command = "xargs -0 rm -f < '" + listFile.string() + "'";
    const auto start = Clock::now();
    const int rc = std::system(command.c_str());
    const double seconds = Seconds(Clock::now() - start);
    if (rc != 0) std::printf("  xargs rm -f exited with %d\n", rc);
    return seconds;
}

void MeasureDeletion(const fs::path& base, std::size_t count, int rounds, bool bPosix) {
    std::printf("delete-all of %zu files (%s), %d rounds:\n", count,
                bPosix ? "lstat/unlink" : "FileSize/RemoveFile below the root", rounds);
    double bestOurs = 1e9, bestRm = 1e9;
    for (int round = 0; round < rounds; ++round) {
        const fs::path ours = base / "ours", theirs = base / "rm";
        fs::remove_all(ours);
        fs::remove_all(theirs);
        const auto oursPaths = MakeTree(ours, count);
        const auto rmPaths = MakeTree(theirs, count);
        ::sync();
        // Alternate which goes first, so neither always meets a warmer cache.
        double tOurs, tRm;
        if (round % 2 == 0) {
            tRm = TimeXargsRm(rmPaths, base / "list");
            tOurs = TimeRunDelete(ours, oursPaths, bPosix);
        } else {
            tOurs = TimeRunDelete(ours, oursPaths, bPosix);
            tRm = TimeXargsRm(rmPaths, base / "list");
        }
        std::printf("  round %d: RunDelete %.3f s, xargs rm -f %.3f s, ratio %.2f\n", round + 1,
                    tOurs, tRm, tOurs / tRm);
        bestOurs = std::min(bestOurs, tOurs);
        bestRm = std::min(bestRm, tRm);
    }
    std::printf("  best: RunDelete %.3f s, xargs rm -f %.3f s, ratio %.2f\n", bestOurs, bestRm,
                bestOurs / bestRm);
}

}  // namespace

int main(int argc, char** argv) {
    std::size_t rows = 100000, files = 100000;
    int rounds = 3;
    bool bPosix = false;
    fs::path dir = fs::temp_directory_path();
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool bHasValue = i + 1 < argc;
        if (arg == "--rows" && bHasValue) {
            rows = std::strtoull(argv[++i], nullptr, 10);
        } else if (arg == "--files" && bHasValue) {
            files = std::strtoull(argv[++i], nullptr, 10);
        } else if (arg == "--rounds" && bHasValue) {
            rounds = std::atoi(argv[++i]);
        } else if (arg == "--dir" && bHasValue) {
            dir = argv[++i];
        } else if (arg == "--posix") {
            bPosix = true;
        } else {
            std::fprintf(stderr,
                         "usage: %s [--rows N] [--files N] [--dir PATH] [--rounds N] [--posix]\n",
                         argv[0]);
            return 2;
        }
    }
    if (rows > 0) MeasureRows(rows);
    if (files > 0) {
        std::string tmpl = (dir / "kesmora-bench-XXXXXX").string();
        if (!::mkdtemp(tmpl.data())) {
            std::perror("mkdtemp");
            return 1;
        }
        MeasureDeletion(tmpl, files, rounds, bPosix);
        fs::remove_all(tmpl);
    }
    return 0;
}
