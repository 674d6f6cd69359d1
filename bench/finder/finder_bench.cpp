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
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "walk/IntermediateFileFinder.h"
#include "walk/MatchRules.h"
#include "walk/ReadAheadPool.h"

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
    void OnFindFileStamps(const std::string&, std::uint64_t size, const FileStamp&,
                          const FileStamp&, std::uint64_t) override {
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

// Notes the processor time of the walk's own thread: the one thread that
// must do its share in order, so what bounds a warm search on two cores.
class WalkCpuFinder : public CIntermediateFileFinder {
public:
    using CIntermediateFileFinder::CIntermediateFileFinder;
    ~WalkCpuFinder() override { EndWorker(); }
    unsigned Run() override {
        const unsigned nResult = CIntermediateFileFinder::Run();
        struct rusage usage {};
        getrusage(RUSAGE_THREAD, &usage);
        walkSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                      (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
        return nResult;
    }
    double walkSeconds = 0;
};

struct EngineRun {
    double seconds = 0;
    std::uint64_t nFiles = 0;
    std::uint64_t nFolders = 0;
    std::uint64_t nBytes = 0;
};

EngineRun RunEngine(const std::string& root, int nFolderMode, int nThreads,
                    int nTypeMask = kAllTypes) {
    CountingSink sink;
    CIntermediateFileFinder finder(&sink);
    finder.SetReadAheadThreads(nThreads);
    const auto start = Clock::now();
    if (!finder.StartFind(root, true, nFolderMode, nTypeMask, 1, 0, false)) {
        std::fprintf(stderr, "cannot search %s\n", root.c_str());
        std::exit(1);
    }
    sink.WaitForEnd();
    return {Seconds(Clock::now() - start), sink.nFiles, sink.nFolders, sink.nBytes};
}

// User and system time of the whole process so far, every thread included.
double ProcessCpuSeconds() {
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Empties the page cache (and the dentry and inode caches) so that the next
// run reads the disk. Needs root; false when it cannot.
bool DropCaches() {
    sync();
    const int fd = open("/proc/sys/vm/drop_caches", O_WRONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool bDone = write(fd, "3", 1) == 1;
    close(fd);
    return bDone;
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

// fd-find reading each match's size (-S +0b), as the engine does.
std::vector<std::string> FdCommand(const std::string& root) {
    std::vector<std::string> args = {"fdfind", "-u", "-j", "8", "-S", "+0b"};
    for (const char* ext : {"bsc", "idb", "ilk", "obj", "pch", "pdb", "res", "sbr"}) {
        args.insert(args.end(), {"-e", ext});
    }
    args.insert(args.end(), {".", root});
    return args;
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
long PeakKiBOfOneSearch(const std::string& root, int nFolderMode, int nThreads) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (!root.empty()) RunEngine(root, nFolderMode, nThreads);
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

// One command of the side-by-side comparison: a name and how to run it once.
struct Contender {
    Contender(std::string n, std::function<bool(double&)> r)
        : name(std::move(n)), run(std::move(r)) {}
    std::string name;
    std::function<bool(double&)> run;
    std::vector<double> times;
    bool bOk = true;
};

// Runs every contender in turn, nReps rounds, each run after the page cache
// was dropped when bCold; prints best and median and the ratios to the first.
void Compare(std::vector<Contender>& contenders, int nReps, bool bCold) {
    for (int i = 0; i < nReps; ++i) {
        for (Contender& c : contenders) {
            if (!c.bOk) continue;
            if (bCold) DropCaches();
            double seconds = 0;
            if (c.run(seconds)) {
                c.times.push_back(seconds);
            } else {
                c.bOk = false;
            }
        }
    }
    const Stats first = contenders[0].times.empty() ? Stats{0, 0} : Summarise(contenders[0].times);
    for (Contender& c : contenders) {
        if (!c.bOk || c.times.empty()) {
            std::printf("  %-22s not available or failed\n", c.name.c_str());
            continue;
        }
        const Stats s = Summarise(c.times);
        std::printf("  %-22s best %.3f s  median %.3f s", c.name.c_str(), s.best, s.median);
        if (&c != &contenders[0]) {
            std::printf("  engine/this %.2fx (median %.2fx)", first.best / s.best,
                        first.median / s.median);
        }
        std::printf("\n");
    }
}

std::vector<int> ParseList(const char* psz) {
    std::vector<int> v;
    for (const char* p = psz; *p != '\0';) {
        v.push_back(std::atoi(p));
        p = std::strchr(p, ',');
        if (p == nullptr) break;
        ++p;
    }
    return v;
}

std::string ReadersText(int nThreads) {
    if (nThreads != CIntermediateFileFinder::kDefaultReadAheadThreads) {
        return std::to_string(nThreads) + " readers";
    }
    const unsigned nCores = UsableCores();
    return "readers fit to " + std::to_string(nCores) + " cores (" +
           std::to_string(CReadAheadPool::ThreadsWhenCached(nCores)) + ", " +
           std::to_string(CReadAheadPool::ThreadsWhenWaiting(nCores)) + " waiting on the disk)";
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> positional;
    int nThreads = CIntermediateFileFinder::kDefaultReadAheadThreads;
    bool bCold = false;
    bool bOnce = false;
    bool bStopsOnly = false;
    bool bNewer = false;
    std::vector<int> curve;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--threads" && i + 1 < argc) {
            nThreads = std::atoi(argv[++i]);
        } else if (arg == "--cold") {
            bCold = true;
        } else if (arg == "--once") {
            bOnce = true;
        } else if (arg == "--stops") {
            bStopsOnly = true;
        } else if (arg == "--newer") {
            bNewer = true;
        } else if (arg == "--curve" && i + 1 < argc) {
            curve = ParseList(argv[++i]);
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.empty()) {
        std::fprintf(stderr,
                     "usage: %s ROOT [REPETITIONS] [FOLDER_MODE] [--threads N] [--cold] "
                     "[--curve N,N,...] [--once] [--stops] [--newer]\n",
                     argv[0]);
        return 2;
    }
    const std::string root = positional[0];
    const int nReps = positional.size() > 1 ? std::max(1, std::atoi(positional[1].c_str())) : 5;
    const int nFolderMode = positional.size() > 2 ? std::atoi(positional[2].c_str()) : 1;

    if (bOnce) {
        // One search, with its processor time: what the readers cost.
        if (bCold && !DropCaches()) std::printf("cannot drop the page cache (needs root)\n");
        struct rusage before {};
        struct rusage after {};
        getrusage(RUSAGE_SELF, &before);
        CountingSink sink;
        WalkCpuFinder finder(&sink);
        finder.SetReadAheadThreads(nThreads);
        const auto start = Clock::now();
        finder.StartFind(root, true, nFolderMode, kAllTypes, 1, 0, false);
        sink.WaitForEnd();
        const double seconds = Seconds(Clock::now() - start);
        finder.JoinWorker();
        getrusage(RUSAGE_SELF, &after);
        auto cpu = [](const timeval& a, const timeval& b) {
            return static_cast<double>(b.tv_sec - a.tv_sec) + (b.tv_usec - a.tv_usec) / 1e6;
        };
        std::printf(
            "%s%s: %.3f s, user %.3f s, system %.3f s (walk thread %.3f s), %llu matches, "
            "peak %ld KiB\n",
            ReadersText(nThreads).c_str(), bCold ? " cold" : "", seconds,
            cpu(before.ru_utime, after.ru_utime), cpu(before.ru_stime, after.ru_stime),
            finder.walkSeconds, static_cast<unsigned long long>(sink.nFiles), after.ru_maxrss);
        return 0;
    }

    if (bNewer) {
        // What the seven newer kinds add to a search: all fifteen against
        // the eight, in turn, in one run. Processor time too: on a loaded
        // machine it says more than the wall time.
        std::vector<double> cpu[2];
        auto kinds = [&](int nTypeMask, std::vector<double>& cpuTimes) {
            return [&root, nFolderMode, nThreads, nTypeMask, &cpuTimes](double& seconds) {
                const double before = ProcessCpuSeconds();
                seconds = RunEngine(root, nFolderMode, nThreads, nTypeMask).seconds;
                cpuTimes.push_back(ProcessCpuSeconds() - before);
                return true;
            };
        };
        std::vector<Contender> contenders;
        contenders.push_back({"fifteen kinds", kinds(kAllTypes | kNewerKinds, cpu[0])});
        contenders.push_back({"eight kinds", kinds(kAllTypes, cpu[1])});
        RunEngine(root, nFolderMode, nThreads);
        std::printf("warm (%d rounds; engine/this is fifteen/eight):\n", nReps);
        Compare(contenders, nReps, false);
        const Stats fifteen = Summarise(cpu[0]);
        const Stats eight = Summarise(cpu[1]);
        std::printf(
            "  processor time, readers included: fifteen best %.3f s median %.3f s, eight best "
            "%.3f s median %.3f s, fifteen/eight %.2fx (median %.2fx)\n",
            fifteen.best, fifteen.median, eight.best, eight.median, fifteen.best / eight.best,
            fifteen.median / eight.median);
        return 0;
    }

    // Warm the cache and take the reference counts.
    const EngineRun warm = RunEngine(root, nFolderMode, nThreads);
    const EngineRun sequential = RunEngine(root, nFolderMode, 0);
    std::printf("tree %s: %llu folders, %llu matches, %llu bytes (folder mode %d)\n", root.c_str(),
                static_cast<unsigned long long>(warm.nFolders),
                static_cast<unsigned long long>(warm.nFiles),
                static_cast<unsigned long long>(warm.nBytes), nFolderMode);
    if (sequential.nFiles != warm.nFiles || sequential.nFolders != warm.nFolders ||
        sequential.nBytes != warm.nBytes) {
        std::printf("MISMATCH: without read-ahead %llu folders, %llu matches\n",
                    static_cast<unsigned long long>(sequential.nFolders),
                    static_cast<unsigned long long>(sequential.nFiles));
    }

    if (!bStopsOnly) {
        auto engine = [&](int n) {
            return [&root, nFolderMode, n](double& seconds) {
                seconds = RunEngine(root, nFolderMode, n).seconds;
                return true;
            };
        };
        auto program = [](std::vector<std::string> args) {
            return [args](double& seconds) { return RunProgram(args, "/dev/null", seconds); };
        };
        std::vector<Contender> contenders;
        contenders.push_back({"engine, " + ReadersText(nThreads), engine(nThreads)});
        contenders.push_back({"engine, no read-ahead", engine(0)});
#ifdef KESMORA_LIMIT_WALK
        contenders.push_back({"limit_walk", program({KESMORA_LIMIT_WALK, root})});
#else
        std::printf(
            "limit_walk not built (../shared/tools/limit_walk.c not beside the checkout)\n");
#endif
        contenders.push_back({"fdfind -j 8 -S +0b", program(FdCommand(root))});
        contenders.push_back({"GNU find", program(FindCommand(root))});

        std::printf("warm (%d rounds):\n", nReps);
        Compare(contenders, nReps, false);
        if (bCold) {
            if (DropCaches()) {
                for (Contender& c : contenders) c.times.clear();
                std::printf("cold, page cache dropped before each run (%d rounds):\n", nReps);
                Compare(contenders, nReps, true);
            } else {
                std::printf("cold figures skipped: dropping the page cache needs root\n");
                bCold = false;
            }
        }

        // The width curve: the engine alone at each reader count.
        for (int n : curve) {
            std::vector<Contender> one;
            one.push_back({"engine, " + std::to_string(n) + " readers", engine(n)});
            std::printf("width %d warm:", n);
            Compare(one, nReps, false);
            if (bCold) {
                one[0].times.clear();
                std::printf("width %d cold:", n);
                Compare(one, nReps, true);
            }
        }

        // Peak memory: a process that searches nothing, one that searches a
        // single project, and one that searches the whole tree.
        const long idleKiB = PeakKiBOfOneSearch({}, nFolderMode, nThreads);
        const std::string small = FirstSubfolder(root);
        const long smallKiB = small.empty() ? -1 : PeakKiBOfOneSearch(small, nFolderMode, nThreads);
        const long fullKiB = PeakKiBOfOneSearch(root, nFolderMode, nThreads);
        std::printf("peak RSS    no search %ld KiB, one project %ld KiB, whole tree %ld KiB\n",
                    idleKiB, smallKiB, fullKiB);
        if (bCold && DropCaches()) {
            std::printf("peak RSS    whole tree, cold %ld KiB\n",
                        PeakKiBOfOneSearch(root, nFolderMode, nThreads));
        }

    } else if (bCold && !DropCaches()) {
        bCold = false;
    }

    // Stop latency: StopFind at points spread over the walk, to the moment
    // the worker's body returns, by which every reader has been joined.
    std::vector<double> latencies;
    const int nStops = 20;
    for (int i = 0; i < nStops; ++i) {
        const std::uint64_t nAt =
            1 + warm.nFiles * static_cast<std::uint64_t>(i + 1) / (nStops + 2);
        CountingSink sink(nAt);
        TimedFinder finder(&sink);
        finder.SetReadAheadThreads(nThreads);
        const bool bColdStop = bCold && i % 2 == 1;
        if (bColdStop) DropCaches();
        finder.StartFind(root, true, nFolderMode, kAllTypes, 1, 0, false);
        sink.WaitUntilReached();
        const auto stopAt = Clock::now();
        finder.StopFind();
        latencies.push_back(Seconds(finder.WaitForWorkerEnd() - stopAt) * 1000.0);
        if (std::getenv("FINDER_BENCH_VERBOSE")) {
            std::printf("  stop %.3f ms%s\n", latencies.back(), bColdStop ? " (cold)" : "");
        }
    }
    std::sort(latencies.begin(), latencies.end());
    std::printf("stop        median %.3f ms  max %.3f ms  (%d stops%s)\n", latencies[nStops / 2],
                latencies.back(), nStops, bCold ? ", every second one on a cold cache" : "");
    return 0;
}
