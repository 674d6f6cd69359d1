// Start-up time of the main window (process launch to the first idle event)
// and its resident memory when idle; launches itself as a child N times,
// each time with no settings or with the same large folder history.
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/timer.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/MainFrame.h"
#include "app/VCKesmoraApp.h"
#include "tavoBasis/Registry.h"

extern char** environ;

namespace {

long long MonotonicNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

long ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::strtol(line.c_str() + 6, nullptr, 10);
        }
    }
    return -1;
}

// The child: the program's own start-up, timed to its first idle event.
class CBenchApp : public wxApp {
public:
    bool OnInit() override {
        m_pRegistry = std::make_unique<CRegistry>();
        m_pFrame = CreateMainWindow(m_pRegistry.get());
        m_pFrame->Bind(wxEVT_IDLE, &CBenchApp::OnFirstIdle, this);
        return true;
    }
    int OnExit() override {
        m_pRegistry.reset();
        return wxApp::OnExit();
    }

private:
    void OnFirstIdle(wxIdleEvent& event) {
        event.Skip();
        if (m_bTimed) {
            return;
        }
        m_bTimed = true;
        const char* pszLaunch = std::getenv("KESMORA_LAUNCH_NS");
        const long long launch = pszLaunch != nullptr ? std::atoll(pszLaunch) : 0;
        m_startupMs = static_cast<double>(MonotonicNs() - launch) / 1e6;
        // On a loaded machine the wall time is mostly waiting for a core.
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        m_cpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
                  (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
        m_firstIdleKb = ResidentKb();
        // Idle memory once the window has settled for a second.
        m_settle.SetOwner(this);
        Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
            std::printf("%.1f %ld %ld %.1f\n", m_startupMs, m_firstIdleKb, ResidentKb(), m_cpuMs);
            std::fflush(stdout);
            m_pFrame->Close(true);
        });
        m_settle.StartOnce(1000);
    }

    std::unique_ptr<CRegistry> m_pRegistry;
    wxFrame* m_pFrame = nullptr;
    wxTimer m_settle;
    bool m_bTimed = false;
    double m_startupMs = 0;
    double m_cpuMs = 0;
    long m_firstIdleKb = 0;
};

// A settings file whose History section claims nCount entries and holds
// nEntries of them, written once into its own folder; each run starts from
// a copy, as the run's close rewrites it.
std::filesystem::path MakeHistoryFile(const std::filesystem::path& folder, std::uint32_t dwCount,
                                      int nEntries) {
    setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    CRegistry registry;
    const CRegistryBatch batch(registry);
    registry.m_strCompany = "tavoApp";
    registry.m_strApplication = "VcppKesmora";
    registry.m_strSection = "History";
    registry.WriteDWORD("Count", dwCount, RegRoot::CurrentUser, false);
    for (int i = 0; i < nEntries; ++i) {
        registry.WriteString("History" + std::to_string(i),
                             "/home/me/src/プロジェクト/module" + std::to_string(i),
                             RegRoot::CurrentUser, false);
    }
    return folder / "tavoApp" / "VcppKesmora.reg";
}

int RunParent(const char* pszSelf, int nRuns, std::uint32_t dwHistoryCount, int nHistoryEntries) {
    char configHome[] = "/tmp/kesmora-startup-XXXXXX";
    if (mkdtemp(configHome) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::filesystem::path home = configHome;
    std::filesystem::path history;
    if (dwHistoryCount > 0 || nHistoryEntries > 0) {
        history = MakeHistoryFile(home / "template", dwHistoryCount, nHistoryEntries);
        std::printf("History: Count %u, %d entries, %ju bytes\n", dwHistoryCount, nHistoryEntries,
                    static_cast<std::uintmax_t>(std::filesystem::file_size(history)));
    }
    setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    std::vector<double> times;
    std::vector<double> cpuTimes;
    std::vector<long> idleKb;
    for (int i = 0; i < nRuns; ++i) {
        if (!history.empty()) {
            std::filesystem::create_directories(home / "config" / "tavoApp");
            std::filesystem::copy_file(history, home / "config" / "tavoApp" / "VcppKesmora.reg",
                                       std::filesystem::copy_options::overwrite_existing);
        }
        int fds[2];
        if (pipe(fds) != 0) {
            return 1;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        const std::string launch = std::to_string(MonotonicNs());
        setenv("KESMORA_LAUNCH_NS", launch.c_str(), 1);
        char child[] = "--child";
        char* argv[] = {const_cast<char*>(pszSelf), child, nullptr};
        pid_t pid = -1;
        if (posix_spawn(&pid, pszSelf, &actions, nullptr, argv, environ) != 0) {
            std::perror("posix_spawn");
            return 1;
        }
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        char buffer[256] = {};
        std::string output;
        ssize_t n = 0;
        while ((n = read(fds[0], buffer, sizeof buffer - 1)) > 0) {
            output.append(buffer, static_cast<std::size_t>(n));
        }
        close(fds[0]);
        waitpid(pid, nullptr, 0);
        double ms = 0;
        long firstKb = 0;
        long settledKb = 0;
        double cpuMs = 0;
        if (std::sscanf(output.c_str(), "%lf %ld %ld %lf", &ms, &firstKb, &settledKb, &cpuMs) !=
            4) {
            std::fprintf(stderr, "child gave no figures: %s\n", output.c_str());
            return 1;
        }
        // The first run fills the caches (fonts, libraries); it is not counted.
        if (i > 0) {
            times.push_back(ms);
            cpuTimes.push_back(cpuMs);
            idleKb.push_back(settledKb);
        }
        std::printf(
            "run %d: %.1f ms to first idle (%.1f ms CPU), RSS %ld KB at first idle, %ld KB idle\n",
            i, ms, cpuMs, firstKb, settledKb);
    }
    std::sort(times.begin(), times.end());
    std::sort(cpuTimes.begin(), cpuTimes.end());
    std::sort(idleKb.begin(), idleKb.end());
    if (!times.empty()) {
        std::printf(
            "start-up: best %.1f ms, median %.1f ms (CPU median %.1f ms); idle RSS median %ld KB\n",
            times.front(), times[times.size() / 2], cpuTimes[cpuTimes.size() / 2],
            idleKb[idleKb.size() / 2]);
    }
    std::error_code ec;
    std::filesystem::remove_all(home, ec);
    return ec ? 1 : 0;
}

}  // namespace

wxIMPLEMENT_APP_NO_MAIN(CBenchApp);

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--child") == 0) {
        return wxEntry(argc, argv);
    }
    const int nRuns = argc > 1 ? std::max(2, std::atoi(argv[1])) : 11;
    const auto dwHistoryCount =
        argc > 2 ? static_cast<std::uint32_t>(std::strtoul(argv[2], nullptr, 0)) : 0;
    const int nHistoryEntries = argc > 3 ? std::atoi(argv[3]) : 0;
    // /proc/self/exe: the same binary, wherever it was started from.
    return RunParent("/proc/self/exe", nRuns, dwHistoryCount, nHistoryEntries);
}
