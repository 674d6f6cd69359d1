// Times the search engine on one tree beside the bare reference walk and GNU
// find, and measures its peak memory and how fast a stop takes effect.
#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "finder/IntermediateFileFinder.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kAllTypes = 255;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Counts what a search reports and wakes the waiting thread at the end, or
// once a given number of files has been seen.
class CountingSink : public CFindNotify {
public:
    explicit CountingSink(std::uint64_t nSignalAt = 0) : m_nSignalAt(nSignalAt) {}

    void OnFindFolder(const std::string&) override { ++nFolders; }
    void OnFindFile(const std::string&, std::uint64_t size, const std::string&,
                    const std::string&) override {
        ++nFiles;
        nBytes += size;
        if (nFiles == m_nSignalAt) Signal(m_bReached);
    }
    void OnFindEnd() override { Signal(m_bEnded); }

    void WaitForEnd() { Wait(m_bEnded); }
    void WaitUntilReached() { Wait(m_bReached); }

    std::uint64_t nFolders = 0;
    std::uint64_t nFiles = 0;
    std::uint64_t nBytes = 0;

private:
    void Signal(bool& bFlag) {
        std::lock_guard<std::mutex> lock(m_mutex);
        bFlag = true;
        m_cv.notify_all();
    }
    void Wait(bool& bFlag) {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_cv.wait(lock, [&] { return bFlag; });
    }

    std::uint64_t m_nSignalAt;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_bEnded = false;
    bool m_bReached = false;
};

// Notes the moment its worker's body returns, however the walk ended.
class TimedFinder : public CIntermediateFileFinder {
public:
    using CIntermediateFileFinder::CIntermediateFileFinder;
    ~TimedFinder() override { EndWorker(); }

    unsigned Run() override {
        const unsigned nResult = CIntermediateFileFinder::Run();
        std::lock_guard<std::mutex> lock(m_mutex);
        m_ended = Clock::now();
        m_bEnded = true;
        m_cv.notify_all();
        return nResult;
    }
    Clock::time_point WaitForWorkerEnd() {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_cv.wait(lock, [&] { return m_bEnded; });
        return m_ended;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_bEnded = false;
    Clock::time_point m_ended;
};

struct EngineRun {
    double seconds = 0;
    std::uint64_t nFiles = 0;
    std::uint64_t nFolders = 0;
    std::uint64_t nBytes = 0;
};

EngineRun RunEngine(const std::string& root, int nFolderMode) {
    CountingSink sink;
    CIntermediateFileFinder finder(&sink);
    const auto start = Clock::now();
    if (!finder.StartFind(root, true, nFolderMode, kAllTypes, 1, 0, false)) {
        std::fprintf(stderr, "cannot search %s\n", root.c_str());
        std::exit(1);
    }
    sink.WaitForEnd();
    return {Seconds(Clock::now() - start), sink.nFiles, sink.nFolders, sink.nBytes};
}

// Runs a program with its output sent to outputPath; false when it failed.
bool RunProgram(const std::vector<std::string>& args, const char* pszOutput, double& seconds) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, pszOutput,
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const auto start = Clock::now();
    pid_t pid;
    int status = 0;
    const bool bSpawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    if (!bSpawned || waitpid(pid, &status, 0) != pid) return false;
    seconds = Seconds(Clock::now() - start);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::vector<std::string> FindCommand(const std::string& root) {
    std::vector<std::string> args = {"find", root, "("};
    const char* patterns[] = {"*.bsc", "*.idb", "*.ilk", "*.obj",
                              "*.pch", "*.pdb", "*.res", "*.sbr"};
    for (const char* pattern : patterns) {
        if (args.size() > 3) args.push_back("-o");
        args.insert(args.end(), {"-iname", pattern});
    }
    args.insert(args.end(), {")", "-printf", "%p %s %B@ %T@\n"});
    return args;
}

// Peak resident memory, in KiB, of a child process that runs one search.
long PeakKiBOfOneSearch(const std::string& root, int nFolderMode) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (!root.empty()) RunEngine(root, nFolderMode);
        std::_Exit(0);
    }
    int status = 0;
    struct rusage usage {};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid) return -1;
    return usage.ru_maxrss;
}

struct Stats {
    double best;
    double median;
};

Stats Summarise(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return {v.front(), v[v.size() / 2]};
}

// The first subfolder in listing order: a small part of the same tree.
std::string FirstSubfolder(const std::string& root) {
    std::string found;
    if (DIR* pDir = opendir(root.c_str())) {
        while (const dirent* pEntry = readdir(pDir)) {
            if (pEntry->d_type == DT_DIR && pEntry->d_name[0] != '.') {
                found = root + "/" + pEntry->d_name;
                break;
            }
        }
        closedir(pDir);
    }
    return found;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s ROOT [REPETITIONS] [FOLDER_MODE]\n", argv[0]);
        return 2;
    }
    const std::string root = argv[1];
    const int nReps = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const int nFolderMode = argc > 3 ? std::atoi(argv[3]) : 1;

    // Warm the cache and take the reference counts.
    const EngineRun warm = RunEngine(root, nFolderMode);
    std::printf("tree %s: %llu folders, %llu matches, %llu bytes (folder mode %d)\n", root.c_str(),
                static_cast<unsigned long long>(warm.nFolders),
                static_cast<unsigned long long>(warm.nFiles),
                static_cast<unsigned long long>(warm.nBytes), nFolderMode);

    std::vector<double> engine, limit, find;
    bool bLimit = false, bFind = true;
#ifdef KESMORA_LIMIT_WALK
    bLimit = true;
    const std::vector<std::string> limitArgs = {KESMORA_LIMIT_WALK, root};
#endif
    const std::vector<std::string> findArgs = FindCommand(root);
    for (int i = 0; i < nReps; ++i) {
        engine.push_back(RunEngine(root, nFolderMode).seconds);
        double seconds = 0;
#ifdef KESMORA_LIMIT_WALK
        if (bLimit && RunProgram(limitArgs, "/dev/null", seconds)) {
            limit.push_back(seconds);
        } else {
            bLimit = false;
        }
#endif
        if (bFind && RunProgram(findArgs, "/dev/null", seconds)) {
            find.push_back(seconds);
        } else {
            bFind = false;
        }
    }
    const Stats e = Summarise(engine);
    std::printf("engine      best %.3f s  median %.3f s  (%d runs)\n", e.best, e.median, nReps);
    if (bLimit) {
        const Stats l = Summarise(limit);
        std::printf(
            "limit_walk  best %.3f s  median %.3f s  engine/limit_walk %.2fx (median %.2fx)\n",
            l.best, l.median, e.best / l.best, e.median / l.median);
    } else {
        std::printf("limit_walk  not built or failed\n");
    }
    if (bFind) {
        const Stats f = Summarise(find);
        std::printf("find        best %.3f s  median %.3f s  engine/find %.2fx (median %.2fx)\n",
                    f.best, f.median, e.best / f.best, e.median / f.median);
    } else {
        std::printf("find        not available or failed\n");
    }

    // Peak memory: a process that searches nothing, one that searches a
    // single project, and one that searches the whole tree.
    const long idleKiB = PeakKiBOfOneSearch({}, nFolderMode);
    const std::string small = FirstSubfolder(root);
    const long smallKiB = small.empty() ? -1 : PeakKiBOfOneSearch(small, nFolderMode);
    const long fullKiB = PeakKiBOfOneSearch(root, nFolderMode);
    std::printf("peak RSS    no search %ld KiB, one project %ld KiB, whole tree %ld KiB\n", idleKiB,
                smallKiB, fullKiB);

    // Stop latency: StopFind at points spread over the walk, to the moment
    // the worker's body returns.
    std::vector<double> latencies;
    const int nStops = 20;
    for (int i = 0; i < nStops; ++i) {
        const std::uint64_t nAt =
            1 + warm.nFiles * static_cast<std::uint64_t>(i + 1) / (nStops + 2);
        CountingSink sink(nAt);
        TimedFinder finder(&sink);
        finder.StartFind(root, true, nFolderMode, kAllTypes, 1, 0, false);
        sink.WaitUntilReached();
        const auto stopAt = Clock::now();
        finder.StopFind();
        latencies.push_back(Seconds(finder.WaitForWorkerEnd() - stopAt) * 1000.0);
    }
    if (std::getenv("FINDER_BENCH_VERBOSE")) {
        for (double ms : latencies) std::printf("  stop %.3f ms\n", ms);
    }
    std::sort(latencies.begin(), latencies.end());
    std::printf("stop        median %.3f ms  max %.3f ms  (%d stops)\n", latencies[nStops / 2],
                latencies.back(), nStops);
    return 0;
}
