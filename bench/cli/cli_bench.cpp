// Times kesmora-cli's listing and deletion beside the in-process engine,
// GNU find and xargs rm on the same trees, and beside the tools a user
// might pick instead of it (find, bfs, fd, gdu, du).
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "walk/IntermediateFileFinder.h"

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Counts the end of a search and nothing else: the engine's own time.
class EndSink : public CFindNotify {
public:
    void OnFindFolder(const std::string&) override {}
    void OnFindFileStamps(const std::string&, std::uint64_t, const FileStamp&, const FileStamp&,
                          std::uint64_t) override {}
    void OnFindEnd() override {
        std::lock_guard lock(m_mutex);
        m_bEnded = true;
        m_cv.notify_all();
    }
    void Wait() {
        std::unique_lock lock(m_mutex);
        m_cv.wait(lock, [&] { return m_bEnded; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_bEnded = false;
};

double TimeEngine(const std::string& root) {
    EndSink sink;
    CIntermediateFileFinder finder(&sink);
    const auto start = Clock::now();
    if (!finder.StartFind(root, true, 1, 255, 1, 0, false)) std::exit(1);
    sink.Wait();
    return Seconds(Clock::now() - start);
}

// Runs a shell command line; the time from start to exit.
double TimeShell(const std::string& command) {
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    const double seconds = Seconds(Clock::now() - start);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::exit(1);
    }
    return seconds;
}

// The same with the processor time (user + system) the command and the
// processes it waited for took: steadier than the wall time on a busy
// machine.
std::pair<double, double> TimeShellCpu(const std::string& command) {
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const double seconds = Seconds(Clock::now() - start);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::exit(1);
    }
    const auto cpu = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return {seconds, cpu(usage.ru_utime) + cpu(usage.ru_stime)};
}

std::string FindFacts(const std::string& root) {
    return "find '" + root +
           "' \\( -iname '*.bsc' -o -iname '*.idb' -o -iname '*.ilk' -o -iname '*.obj' -o "
           "-iname '*.pch' -o -iname '*.pdb' -o -iname '*.res' -o -iname '*.sbr' \\) "
           "-printf '%p %s %B@ %T@\\n'";
}

struct Stats {
    double best;
    double median;
};

Stats Summarise(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return {v.front(), v[v.size() / 2]};
}

// count files of 1 to 5 KB (sparse) in folders of 100 below root.
void MakeTree(const fs::path& root, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const fs::path folder = root / ("proj" + std::to_string(i / 100)) / "Debug";
        if (i % 100 == 0) fs::create_directories(folder);
        const std::string path = (folder / ("module" + std::to_string(i % 100) + ".obj")).string();
        const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
        if (fd < 0 || ::ftruncate(fd, static_cast<off_t>(1024 + i % 4096)) != 0) std::exit(1);
        ::close(fd);
    }
}

void PrintRow(const char* pszName, const Stats& s, const Stats& engine) {
    std::printf("%-34s best %.3f s  median %.3f s  vs engine %.2fx (median %.2fx)\n", pszName,
                s.best, s.median, s.best / engine.best, s.median / engine.median);
}

void BenchListing(const std::string& root, int nReps) {
    const std::string cli = KESMORA_CLI;
    TimeEngine(root);  // warms the cache
    std::vector<double> engine, human, nul, find, findPipe;
    for (int i = 0; i < nReps; ++i) {
        engine.push_back(TimeEngine(root));
        human.push_back(TimeShell(cli + " --folders all '" + root + "' > /dev/null 2>&1"));
        nul.push_back(TimeShell(cli + " -0 --folders all '" + root + "' | wc -c > /dev/null"));
        find.push_back(TimeShell(FindFacts(root) + " > /dev/null"));
        findPipe.push_back(TimeShell(FindFacts(root) + " | wc -c > /dev/null"));
    }
    const Stats e = Summarise(engine);
    std::printf("%-34s best %.3f s  median %.3f s  (%d runs)\n", "engine (in-process)", e.best,
                e.median, nReps);
    PrintRow("kesmora-cli > /dev/null", Summarise(human), e);
    PrintRow("kesmora-cli -0 | wc -c", Summarise(nul), e);
    PrintRow("find -printf > /dev/null", Summarise(find), e);
    PrintRow("find -printf | wc -c", Summarise(findPipe), e);
}

// --by-project (or --tree) against the plain summary, in turn (the order
// swapped every repetition), both with every folder's files looked for.
void BenchProjects(const std::string& root, int nReps, const std::string& option) {
    const std::string cli = KESMORA_CLI;
    const std::string plain = "exec " + cli + " -s --folders all '" + root + "' > /dev/null 2>&1";
    const std::string grouped =
        "exec " + cli + " " + option + " --folders all '" + root + "' > /dev/null 2>&1";
    TimeShell(plain);  // warms the cache
    std::vector<double> plainWall, groupedWall, plainCpu, groupedCpu;
    for (int i = 0; i < nReps; ++i) {
        for (int k = 0; k < 2; ++k) {
            const bool bPlain = (i + k) % 2 == 0;
            const auto [wall, cpu] = TimeShellCpu(bPlain ? plain : grouped);
            (bPlain ? plainWall : groupedWall).push_back(wall);
            (bPlain ? plainCpu : groupedCpu).push_back(cpu);
        }
    }
    const Stats pw = Summarise(plainWall), gw = Summarise(groupedWall);
    const Stats pc = Summarise(plainCpu), gc = Summarise(groupedCpu);
    std::printf("%-26s wall best %.3f s median %.3f s; CPU best %.3f s median %.3f s (%d runs)\n",
                "kesmora-cli -s", pw.best, pw.median, pc.best, pc.median, nReps);
    std::printf("%-26s wall best %.3f s median %.3f s; CPU best %.3f s median %.3f s\n",
                ("kesmora-cli " + option).c_str(), gw.best, gw.median, gc.best, gc.median);
    std::printf(
        "%s / -s: wall %.3fx of bests, %.3fx of medians; CPU %.3fx of bests, "
        "%.3fx of medians\n",
        option.c_str(), gw.best / pw.best, gw.median / pw.median, gc.best / pc.best,
        gc.median / pc.median);
}

void BenchDelete(const std::string& scratch, std::size_t count, int nRounds) {
    const std::string cli = KESMORA_CLI;
    std::vector<double> ours, theirs;
    for (int round = 0; round < nRounds; ++round) {
        const fs::path a = fs::path(scratch) / "cli";
        const fs::path b = fs::path(scratch) / "rm";
        fs::remove_all(a);
        fs::remove_all(b);
        MakeTree(a, count);
        MakeTree(b, count);
        const std::string list = scratch + "/rm.list";
        // The list for xargs is made beforehand: only the removal is timed.
        TimeShell("find '" + b.string() + "' -type f -print0 > '" + list + "'");
        const std::string cliCommand =
            cli + " --delete --yes --folders all '" + a.string() + "' > /dev/null 2>&1";
        const std::string rmCommand = "xargs -0 rm -f < '" + list + "'";
        if (round % 2 == 0) {
            ours.push_back(TimeShell(cliCommand));
            theirs.push_back(TimeShell(rmCommand));
        } else {
            theirs.push_back(TimeShell(rmCommand));
            ours.push_back(TimeShell(cliCommand));
        }
        std::printf("  round %d: kesmora-cli %.3f s, xargs rm %.3f s (%.2fx)\n", round + 1,
                    ours.back(), theirs.back(), ours.back() / theirs.back());
    }
    const Stats o = Summarise(ours);
    const Stats t = Summarise(theirs);
    std::printf(
        "delete %zu files: kesmora-cli best %.3f s median %.3f s; xargs -0 rm -f best "
        "%.3f s median %.3f s; %.2fx of bests, %.2fx of medians\n",
        count, o.best, o.median, t.best, t.median, o.best / t.best, o.median / t.median);
    fs::remove_all(scratch);
}

// Drops the page cache (root only); false when it cannot.
bool DropCaches() {
    sync();
    const int fd = ::open("/proc/sys/vm/drop_caches", O_WRONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool bDone = ::write(fd, "3", 1) == 1;
    ::close(fd);
    return bDone;
}

bool OnPath(const std::string& program) {
    return std::system(("command -v " + program + " > /dev/null 2>&1").c_str()) == 0;
}

// kesmora-cli as a user runs it, beside the tools one might pick instead,
// on one tree: each round runs every tool once, the order turned by one
// each round, warm (and with cold, the page cache dropped before every
// run). A tool that is not installed is left out with a note.
void BenchPeers(const std::string& root, int nReps, bool bCold) {
    const std::string cli = KESMORA_CLI;
    const std::string q = "'" + root + "'";
    std::string exts;
    for (const char* ext : {"bsc", "idb", "ilk", "obj", "pch", "pdb", "res", "sbr"}) {
        exts += std::string(" -e ") + ext;
    }
    const std::string expr =
        " \\( -iname '*.bsc' -o -iname '*.idb' -o -iname '*.ilk' -o -iname '*.obj' -o "
        "-iname '*.pch' -o -iname '*.pdb' -o -iname '*.res' -o -iname '*.sbr' \\) "
        "-printf '%p %s %B@ %T@\\n'";
    struct Peer {
        std::string name;
        std::string program;  // what must be installed
        std::string command;
        std::vector<double> wall{};
        std::vector<double> cpu{};
    };
    std::vector<Peer> all = {
        {"kesmora-cli --folders all --bytes", cli, cli + " --folders all --bytes " + q},
        {"limit_walk (bare walk)", KESMORA_LIMIT_WALK, std::string(KESMORA_LIMIT_WALK) + " " + q},
        {"GNU find -iname ... -printf", "find", "find " + q + expr},
        {"bfs -iname ... -printf", "bfs", "bfs " + q + expr},
        {"fd -u -j8 -S +0b -e ...", "fdfind", "fdfind -u -j 8 -S +0b" + exts + " . " + q},
        {"gdu -n -p", "gdu", "gdu -n -p -c " + q},
        {"du -sb", "du", "du -sb " + q},
    };
    std::vector<Peer> peers;
    for (Peer& peer : all) {
        if (OnPath(peer.program)) {
            peers.push_back(std::move(peer));
        } else {
            std::printf("%s: %s not found, left out\n", peer.name.c_str(), peer.program.c_str());
        }
    }
    if (bCold && !DropCaches()) {
        std::printf("cold runs skipped: dropping the page cache needs root\n");
        bCold = false;
    }
    for (const bool bDrop : {false, true}) {
        if (bDrop && !bCold) break;
        for (Peer& peer : peers) {
            peer.wall.clear();
            peer.cpu.clear();
        }
        if (!bDrop) {
            for (Peer& peer : peers) TimeShell(peer.command + " > /dev/null 2>&1");  // warms
        }
        for (int i = 0; i < nReps; ++i) {
            for (std::size_t k = 0; k < peers.size(); ++k) {
                Peer& peer = peers[(i + k) % peers.size()];
                if (bDrop) DropCaches();
                const auto [wall, cpu] = TimeShellCpu(peer.command + " > /dev/null 2>&1");
                peer.wall.push_back(wall);
                peer.cpu.push_back(cpu);
            }
        }
        std::printf("%s, %d rounds (kesmora-cli / tool: of medians, of bests):\n",
                    bDrop ? "cold, page cache dropped before each run" : "warm", nReps);
        const Stats ours = Summarise(peers.front().wall);
        for (const Peer& peer : peers) {
            const Stats w = Summarise(peer.wall);
            const Stats c = Summarise(peer.cpu);
            std::printf("  %-36s wall median %.3f s best %.3f s, CPU median %.3f s  %.2fx, %.2fx\n",
                        peer.name.c_str(), w.median, w.best, c.median, ours.median / w.median,
                        ours.best / w.best);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: %s list ROOT [REPETITIONS]\n"
                     "       %s projects|tree ROOT [REPETITIONS]\n"
                     "       %s delete SCRATCH_FOLDER [FILES] [ROUNDS]\n"
                     "       %s peers ROOT [ROUNDS] [--cold]\n",
                     argv[0], argv[0], argv[0], argv[0]);
        return 2;
    }
    const std::string mode = argv[1];
    if (mode == "list") {
        BenchListing(argv[2], argc > 3 ? std::max(1, std::atoi(argv[3])) : 5);
    } else if (mode == "projects" || mode == "tree") {
        BenchProjects(argv[2], argc > 3 ? std::max(1, std::atoi(argv[3])) : 7,
                      mode == "tree" ? "--tree" : "--by-project");
    } else if (mode == "delete") {
        BenchDelete(argv[2], argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 100000,
                    argc > 4 ? std::max(1, std::atoi(argv[4])) : 4);
    } else if (mode == "peers") {
        const bool bCold = std::string(argv[argc - 1]) == "--cold";
        const int nArgs = argc - (bCold ? 1 : 0);
        BenchPeers(argv[2], nArgs > 3 ? std::max(1, std::atoi(argv[3])) : 5, bCold);
    } else {
        std::fprintf(stderr, "unknown mode %s\n", mode.c_str());
        return 2;
    }
    return 0;
}
