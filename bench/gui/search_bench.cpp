// Searching and deleting through the real main window: start click to
// summary against limit_walk on the same tree, the longest stall of the
// window's event loop meanwhile, memory per listed row, stop latency, and
// delete-all of listed files against xargs rm -f on an identical tree,
// delete-all to the trash against xargs gio trash likewise, how soon and
// how often the list draws new rows while busy threads load the machine,
// and what the project view's groups add to a search.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/modalhook.h>
#include <wx/radiobut.h>
#include <wx/statusbr.h>
#include <wx/timer.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/MainFrame.h"
#include "app/VCKesmoraApp.h"
#include "view/ControlIds.h"
#include "view/VCKesmoraView.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// User plus system time in ms of this process (RUSAGE_SELF) or of its
// waited-for children (RUSAGE_CHILDREN): on a loaded machine the work done,
// where the wall time mostly says how long the turn in the queue was.
double CpuMs(int who) {
    struct rusage usage {};
    ::getrusage(who, &usage);
    const auto ms = [](const timeval& tv) { return tv.tv_sec * 1000.0 + tv.tv_usec / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

long ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

// Runs a program, its output to /dev/null and its input from pszInput when
// given; the wall time in ms, or -1 when it failed.
double RunProgram(const std::vector<std::string>& args, const char* pszInput = nullptr) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    if (pszInput != nullptr) {
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, pszInput, O_RDONLY, 0);
    }
    const auto start = Clock::now();
    pid_t pid = -1;
    int status = 0;
    const bool bSpawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    if (!bSpawned || waitpid(pid, &status, 0) != pid) return -1;
    const double ms = Ms(Clock::now() - start);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? ms : -1;
}

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
double Best(const std::vector<double>& v) {
    return v.empty() ? 0 : *std::min_element(v.begin(), v.end());
}

// N files in folders of 100, 1 to 5 KB each (sparse), paths like a
// build tree's.
std::vector<std::string> MakeDeleteTree(const fs::path& root, int nFiles) {
    std::vector<std::string> paths;
    for (int i = 0; i < nFiles; ++i) {
        const fs::path dir = root / ("Project" + std::to_string(i / 100)) / "Debug";
        if (i % 100 == 0) fs::create_directories(dir);
        const fs::path path = dir / ("module" + std::to_string(i % 100) + ".obj");
        const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
        if (fd < 0 || ::ftruncate(fd, 1024 * (1 + i % 5)) != 0) {
            std::perror(path.c_str());
            std::exit(1);
        }
        ::close(fd);
        paths.push_back(path.string());
    }
    return paths;
}

// Answers every box with OK without showing it: the runs must not wait for
// a person.
class CAnswerOk : public wxModalDialogHook {
public:
    CAnswerOk() { Register(); }
    ~CAnswerOk() override { Unregister(); }
    int Enter(wxDialog*) override { return wxID_OK; }
    void Exit(wxDialog*) override {}
};

class CBenchApp : public wxApp {
public:
    bool OnInit() override {
        m_pRegistry = std::make_unique<CRegistry>();
        m_pFrame = CreateMainWindow(m_pRegistry.get());
        m_pView = m_pFrame->GetView();
        // Every subfolder, every type, no time filter, no confirmation.
        Set<wxRadioButton>(ctl::kRadioAllSubFolders, true);
        Set<wxRadioButton>(ctl::kRadioAllFiles, true);
        Set<wxCheckBox>(ctl::kFindSubFolder, true);
        Set<wxCheckBox>(ctl::kConfirmRemove, false);
        Set<wxCheckBox>(ctl::kUseTrash, m_bTrash);
        for (int nId : {ctl::kBsc, ctl::kIdb, ctl::kIlk, ctl::kObj, ctl::kPch, ctl::kPdb, ctl::kRes,
                        ctl::kSbr}) {
            Set<wxCheckBox>(nId, true);
        }
        m_tick.SetOwner(this);
        Bind(wxEVT_TIMER, &CBenchApp::OnTick, this);
        // The generic list asks for this hint each time it really draws its
        // rows, not when a paint finds its layout stale and draws nothing.
        m_pView->m_list->Bind(wxEVT_LIST_CACHE_HINT, &CBenchApp::OnListDrawn, this);
        CallAfter([this] {
            m_step = m_bLive     ? &CBenchApp::StepLive
                     : m_bDelete ? &CBenchApp::StepDelete
                     : m_bGroups ? &CBenchApp::StepGroups
                                 : &CBenchApp::StepSearch;
            // The groups' rounds start with a warm-up search.
            if (m_bGroups) m_nRun = -1;
            m_tick.Start(10);
        });
        return true;
    }
    int OnExit() override {
        m_pRegistry.reset();
        return wxApp::OnExit();
    }

    std::string m_root;
    std::string m_limitWalk;
    int m_nRuns = 3;
    bool m_bDelete = false;
    bool m_bLive = false;
    bool m_bGroups = false;
    int m_nSpinners = 2;
    // The delete rounds go to the trash, the one HOME holds (set in main).
    bool m_bTrash = false;
    int m_nDeleteFiles = 100000;

private:
    template <class T>
    void Set(int nId, bool bOn) {
        static_cast<T*>(m_pView->FindWindow(nId))->SetValue(bOn);
    }
    void Press(int nId) {
        wxCommandEvent event(wxEVT_BUTTON, nId);
        event.SetEventObject(m_pView->FindWindow(nId));
        m_pView->FindWindow(nId)->GetEventHandler()->ProcessEvent(event);
    }
    void Finish() {
        m_tick.Stop();
        m_pFrame->Close(true);
    }

    void OnTick(wxTimerEvent&) {
        const auto now = Clock::now();
        if (m_bWatchGaps && m_lastTick != Clock::time_point{}) {
            m_maxGapMs = std::max(m_maxGapMs, Ms(now - m_lastTick));
        }
        m_lastTick = now;
        if (m_bLiveWatch && m_firstTakenMs < 0 && !m_pView->m_rows.m_rows.empty()) {
            m_firstTakenMs = Ms(now - m_start);
        }
        if (m_bLiveWatch && m_firstSeenMs < 0 && FirstRowOnScreen()) {
            m_firstSeenMs = Ms(now - m_start);
        }
        (this->*m_step)();
    }

    // One phase per tick: limit_walk, then a search through the window;
    // repeated; then stops at several moments of a search.
    void StepSearch() {
        if (m_phase == 0) {
            if (m_nRun == m_nRuns) {
                m_phase = 2;
                return;
            }
            if (!m_limitWalk.empty()) m_limitMs.push_back(RunProgram({m_limitWalk, m_root}));
            m_pView->m_comboFolder->ChangeValue(wxString::FromUTF8(m_root));
            m_rssBefore = ResidentKb();
            m_maxGapMs = 0;
            m_lastTick = Clock::now();
            m_bWatchGaps = true;
            m_start = Clock::now();
            Press(ctl::kStart);
            m_phase = 1;
        } else if (m_phase == 1) {
            if (m_pView->m_bSearching) return;
            const double ms = Ms(Clock::now() - m_start);
            m_bWatchGaps = false;
            const long rows = m_pView->m_list->GetItemCount();
            const long rssAfter = ResidentKb();
            m_searchMs.push_back(ms);
            std::printf(
                "run %d: limit_walk %.0f ms, window %.0f ms (%ld rows, \"%s\"), "
                "largest tick gap %.1f ms, RSS +%ld KB = %.0f bytes/row\n",
                m_nRun, m_limitMs.empty() ? -1.0 : m_limitMs.back(), ms, rows,
                m_pFrame->GetStatusBar()->GetStatusText(0).utf8_string().c_str(), m_maxGapMs,
                rssAfter - m_rssBefore, rows > 0 ? (rssAfter - m_rssBefore) * 1024.0 / rows : 0.0);
            std::fflush(stdout);
            m_gapMs.push_back(m_maxGapMs);
            if (m_nRun == 0) m_bytesPerRow = (rssAfter - m_rssBefore) * 1024.0 / std::max(rows, 1L);
            ++m_nRun;
            m_phase = 0;
        } else if (m_phase == 2) {
            // A stop at 100, 200, ... ms into a search.
            if (m_nStop == 8) {
                std::printf(
                    "\nsearch (%d runs): window best %.0f ms median %.0f ms; limit_walk "
                    "best %.0f ms median %.0f ms; ratio of bests %.2fx, of medians %.2fx\n",
                    m_nRuns, Best(m_searchMs), Median(m_searchMs), Best(m_limitMs),
                    Median(m_limitMs), Best(m_searchMs) / Best(m_limitMs),
                    Median(m_searchMs) / Median(m_limitMs));
                std::printf(
                    "largest tick gap of a 10 ms timer while searching: max %.1f ms over "
                    "runs (per run median %.1f ms)\n",
                    *std::max_element(m_gapMs.begin(), m_gapMs.end()), Median(m_gapMs));
                std::printf("memory growth per listed row (first run): %.0f bytes\n",
                            m_bytesPerRow);
                std::printf("stop click to summary: median %.2f ms, max %.2f ms\n",
                            Median(m_stopMs), *std::max_element(m_stopMs.begin(), m_stopMs.end()));
                Finish();
                return;
            }
            m_start = Clock::now();
            Press(ctl::kStart);
            m_phase = 3;
        } else if (m_phase == 3) {
            if (Clock::now() - m_start < std::chrono::milliseconds(100 * (m_nStop + 1))) return;
            const bool bWasSearching = m_pView->m_bSearching;
            const auto click = Clock::now();
            Press(ctl::kStop);
            const double ms = Ms(Clock::now() - click);
            std::printf("stop %d at %d ms: %.2f ms to the summary \"%s\" (%s)\n", m_nStop,
                        100 * (m_nStop + 1), ms,
                        m_pFrame->GetStatusBar()->GetStatusText(0).utf8_string().c_str(),
                        bWasSearching ? "mid-walk" : "walk had ended");
            m_stopMs.push_back(ms);
            ++m_nStop;
            m_phase = 2;
        }
    }

    // Searches of one tree in three ways, their order turning each round:
    // without the groups, with the groups fed while the file list shows,
    // and with the project view shown (its list re-sorted every tick). A
    // first search, not counted, brings the tree into the cache.
    void StepGroups() {
        static constexpr const char* kModes[] = {"no groups", "groups, file list shown",
                                                 "groups, project view shown"};
        if (m_phase == 0) {
            if (m_nRun == m_nRuns * 3) {
                std::printf("\n");
                for (int n = 0; n < 3; ++n) {
                    std::printf(
                        "%-27s wall best %.0f ms median %.0f ms (%.3fx, %.3fx); cpu median %.0f "
                        "ms (%.3fx)\n",
                        kModes[n], Best(m_modeMs[n]), Median(m_modeMs[n]),
                        Best(m_modeMs[n]) / Best(m_modeMs[0]),
                        Median(m_modeMs[n]) / Median(m_modeMs[0]), Median(m_modeCpuMs[n]),
                        Median(m_modeCpuMs[n]) / Median(m_modeCpuMs[0]));
                }
                Finish();
                return;
            }
            m_nMode = m_nRun < 0 ? 2 : (m_nRun % 3 + m_nRun / 3) % 3;
            m_pView->m_bFeedGroups = m_nMode != 0;
            m_pView->ShowResultView(m_nMode == 2);
            m_pView->m_comboFolder->ChangeValue(wxString::FromUTF8(m_root));
            m_cpuStartMs = CpuMs(RUSAGE_SELF);
            m_start = Clock::now();
            Press(ctl::kStart);
            m_phase = 1;
        } else {
            if (m_pView->m_bSearching) return;
            const double ms = Ms(Clock::now() - m_start);
            const double cpuMs = CpuMs(RUSAGE_SELF) - m_cpuStartMs;
            std::printf("run %d, %s: %.0f ms, cpu %.0f ms, %d rows, %zu groups\n", m_nRun,
                        kModes[m_nMode], ms, cpuMs, m_pView->m_list->GetItemCount(),
                        m_nMode == 0 ? std::size_t{0} : m_pView->m_groups.LargestFirst().size());
            std::fflush(stdout);
            if (m_nRun >= 0) {
                m_modeMs[m_nMode].push_back(ms);
                m_modeCpuMs[m_nMode].push_back(cpuMs);
            }
            ++m_nRun;
            m_phase = 0;
        }
    }

    // Whether the list's first row shows any text on the screen itself: the
    // pixels read back from the X server, whatever the toolkit believes.
    bool FirstRowOnScreen() {
        wxRect rect;
        if (m_pView->m_list->GetItemCount() == 0 || !m_pView->m_list->GetItemRect(0, rect)) {
            return false;
        }
        rect.width = std::min(rect.width, 200);
        const wxPoint at = m_pView->m_list->ClientToScreen(rect.GetPosition());
        wxBitmap bitmap(rect.width, rect.height);
        {
            wxMemoryDC memory(bitmap);
            wxScreenDC screen;
            memory.Blit(0, 0, rect.width, rect.height, &screen, at.x, at.y);
        }
        const wxImage image = bitmap.ConvertToImage();
        const unsigned char* p = image.GetData();
        for (int i = 0; i < rect.width * rect.height; ++i, p += 3) {
            if (p[0] < 128 && p[1] < 128 && p[2] < 128) return true;
        }
        return false;
    }

    void OnListDrawn(wxListEvent& event) {
        event.Skip();
        if (m_bLiveWatch) {
            m_drawn.push_back({Ms(Clock::now() - m_start), m_pView->m_list->GetItemCount()});
        }
    }

    // Per run: busy threads start, the start button is pressed, and every
    // time the list draws its rows the moment and the row count are noted
    // until the summary. Reported: the first drawing with rows, and the
    // longest time the drawn row count stood still while rows kept coming.
    void StepLive() {
        if (m_phase == 0) {
            if (m_nRun == m_nRuns) {
                std::printf(
                    "\nlive list with %d busy threads (%d runs): first rows drawn best %.0f ms "
                    "median %.0f ms worst %.0f ms; longest wait for new rows best %.0f ms "
                    "median %.0f ms worst %.0f ms\n",
                    m_nSpinners, m_nRuns, Best(m_firstMs), Median(m_firstMs),
                    *std::max_element(m_firstMs.begin(), m_firstMs.end()), Best(m_stallMs),
                    Median(m_stallMs), *std::max_element(m_stallMs.begin(), m_stallMs.end()));
                Finish();
                return;
            }
            m_bSpin = true;
            for (int i = 0; i < m_nSpinners; ++i) {
                m_spinners.emplace_back([this] {
                    volatile unsigned long n = 0;
                    while (m_bSpin.load(std::memory_order_relaxed)) n = n + 1;
                });
            }
            m_pView->m_comboFolder->ChangeValue(wxString::FromUTF8(m_root));
            m_drawn.clear();
            m_firstSeenMs = -1;
            m_firstTakenMs = -1;
            m_bLiveWatch = true;
            m_start = Clock::now();
            Press(ctl::kStart);
            m_phase = 1;
        } else if (m_phase == 1) {
            if (m_pView->m_bSearching) return;
            const double endMs = Ms(Clock::now() - m_start);
            m_bLiveWatch = false;
            m_bSpin = false;
            for (std::thread& t : m_spinners) t.join();
            m_spinners.clear();
            const long rows = m_pView->m_list->GetItemCount();
            // From the click, each drawing that showed more rows ends a wait;
            // rows still undrawn at the summary end the last one there.
            double firstMs = -1, lastMs = 0, stallMs = 0;
            long drawnRows = 0;
            int nDrawings = 0;
            for (const auto& [ms, count] : m_drawn) {
                if (count <= drawnRows) continue;
                if (firstMs < 0) firstMs = ms;
                stallMs = std::max(stallMs, ms - lastMs);
                lastMs = ms;
                drawnRows = count;
                ++nDrawings;
            }
            if (drawnRows < rows) stallMs = std::max(stallMs, endMs - lastMs);
            if (firstMs < 0) firstMs = endMs;
            std::printf(
                "run %d: search %.0f ms, %ld rows; first rows in the window's hands at %.0f ms, "
                "drawn at %.0f ms, on the screen at %.0f ms; %d drawings with more rows (%ld rows "
                "drawn before the summary), longest wait %.0f ms\n",
                m_nRun, endMs, rows, m_firstTakenMs, firstMs, m_firstSeenMs, nDrawings, drawnRows,
                stallMs);
            m_seenMs.push_back(m_firstSeenMs < 0 ? endMs : m_firstSeenMs);
            std::fflush(stdout);
            m_firstMs.push_back(firstMs);
            m_stallMs.push_back(stallMs);
            ++m_nRun;
            m_phase = 0;
        }
    }

    // Per round: two identical trees; one deleted through the window
    // (search, then delete-all), the other by xargs rm -f (to the trash:
    // xargs gio trash); order alternates.
    void StepDelete() {
        const char* pszReference = m_bTrash ? "xargs gio trash" : "xargs rm -f";
        if (m_nRun == m_nRuns) {
            std::printf(
                "\n%s of %d files: window best %.0f ms median %.0f ms; %s "
                "best %.0f ms median %.0f ms; ratio of bests %.2fx, of medians %.2fx\n",
                m_bTrash ? "delete-all to the trash" : "delete-all", m_nDeleteFiles,
                Best(m_deleteMs), Median(m_deleteMs), pszReference, Best(m_xargsMs),
                Median(m_xargsMs), Best(m_deleteMs) / Best(m_xargsMs),
                Median(m_deleteMs) / Median(m_xargsMs));
            std::printf("cpu time: window median %.0f ms, %s median %.0f ms: %.2fx\n",
                        Median(m_deleteCpuMs), pszReference, Median(m_xargsCpuMs),
                        Median(m_deleteCpuMs) / Median(m_xargsCpuMs));
            Finish();
            return;
        }
        m_tick.Stop();
        const fs::path base = fs::path(m_root) / ("round" + std::to_string(m_nRun));
        MakeDeleteTree(base / "window", m_nDeleteFiles);
        const std::vector<std::string> paths = MakeDeleteTree(base / "xargs", m_nDeleteFiles);
        const std::string list = (base / "list").string();
        {
            std::ofstream out(list, std::ios::binary);
            for (const std::string& p : paths) out << p << '\0';
        }
        std::function<void()> runWindow = [&] {
            m_pView->m_comboFolder->ChangeValue(wxString::FromUTF8((base / "window").string()));
            Press(ctl::kStart);
            while (m_pView->m_bSearching) {
                wxMilliSleep(5);
                m_pView->OnSearchTick();
            }
            if (m_pView->m_list->GetItemCount() != m_nDeleteFiles) {
                std::fprintf(stderr, "listed %d rows, expected %d\n",
                             m_pView->m_list->GetItemCount(), m_nDeleteFiles);
                std::exit(1);
            }
            const double cpuBefore = CpuMs(RUSAGE_SELF);
            const auto start = Clock::now();
            Press(ctl::kDeleteAll);
            m_deleteMs.push_back(Ms(Clock::now() - start));
            m_deleteCpuMs.push_back(CpuMs(RUSAGE_SELF) - cpuBefore);
        };
        std::function<void()> runXargs = [&] {
            const std::vector<std::string> command =
                m_bTrash ? std::vector<std::string>{"xargs", "-0", "gio", "trash"}
                         : std::vector<std::string>{"xargs", "-0", "rm", "-f"};
            const double cpuBefore = CpuMs(RUSAGE_CHILDREN);
            m_xargsMs.push_back(RunProgram(command, list.c_str()));
            m_xargsCpuMs.push_back(CpuMs(RUSAGE_CHILDREN) - cpuBefore);
        };
        // Each side starts from an empty trash: the trash numbers names it
        // already holds, and that search grows with them.
        const fs::path trash = fs::path(m_root) / "home" / "data" / "Trash";
        std::error_code ec;
        const auto emptyTrash = [&] {
            if (m_bTrash) fs::remove_all(trash, ec);
        };
        if (m_nRun % 2 == 0) {
            runWindow();
            emptyTrash();
            runXargs();
        } else {
            runXargs();
            emptyTrash();
            runWindow();
        }
        std::printf(
            "round %d: window %.0f ms, cpu %.0f ms (\"%s\" / \"%s\"); %s %.0f ms, cpu %.0f ms\n",
            m_nRun, m_deleteMs.back(), m_deleteCpuMs.back(),
            m_pFrame->GetStatusBar()->GetStatusText(0).utf8_string().c_str(),
            m_pFrame->GetStatusBar()->GetStatusText(1).utf8_string().c_str(), pszReference,
            m_xargsMs.back(), m_xargsCpuMs.back());
        std::fflush(stdout);
        fs::remove_all(base, ec);
        emptyTrash();
        ++m_nRun;
        m_tick.Start(10);
    }

    CAnswerOk m_answerOk;
    std::unique_ptr<CRegistry> m_pRegistry;
    CMainFrame* m_pFrame = nullptr;
    CVCKesmoraView* m_pView = nullptr;
    wxTimer m_tick;
    void (CBenchApp::*m_step)() = nullptr;
    int m_phase = 0;
    int m_nRun = 0;
    int m_nStop = 0;
    Clock::time_point m_start;
    Clock::time_point m_lastTick;
    bool m_bWatchGaps = false;
    bool m_bLiveWatch = false;
    std::atomic<bool> m_bSpin{false};
    std::vector<std::thread> m_spinners;
    std::vector<std::pair<double, long>> m_drawn;
    std::vector<double> m_firstMs, m_stallMs, m_seenMs;
    double m_firstSeenMs = -1;
    double m_firstTakenMs = -1;
    double m_maxGapMs = 0;
    long m_rssBefore = 0;
    double m_bytesPerRow = 0;
    std::vector<double> m_limitMs, m_searchMs, m_gapMs, m_stopMs, m_deleteMs, m_xargsMs;
    std::vector<double> m_deleteCpuMs, m_xargsCpuMs;
    int m_nMode = 0;
    double m_cpuStartMs = 0;
    std::vector<double> m_modeMs[3], m_modeCpuMs[3];
};

}  // namespace

wxIMPLEMENT_APP_NO_MAIN(CBenchApp);

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(
            stderr,
            "usage: %s TREE [RUNS]            search TREE through the window\n"
            "       %s --delete DIR [FILES] [ROUNDS]  delete-all vs xargs rm -f\n"
            "       %s --trash DIR [FILES] [ROUNDS]   to the trash vs xargs gio trash\n"
            "       %s --live TREE [RUNS] [BUSY]      rows drawn while BUSY threads spin\n"
            "       %s --groups TREE [RUNS]           search without and with the groups\n",
            argv[0], argv[0], argv[0], argv[0], argv[0]);
        return 2;
    }
    char configHome[] = "/tmp/kesmora-searchbench-XXXXXX";
    if (mkdtemp(configHome) == nullptr) return 1;
    setenv("XDG_CONFIG_HOME", configHome, 1);

    auto* pApp = new CBenchApp;
    wxApp::SetInstance(pApp);
    if (std::strcmp(argv[1], "--delete") == 0 || std::strcmp(argv[1], "--trash") == 0) {
        if (argc < 3) return 2;
        pApp->m_bDelete = true;
        pApp->m_bTrash = std::strcmp(argv[1], "--trash") == 0;
        if (pApp->m_bTrash) {
            // A trash of the run's own on DIR's file system, for the window
            // and gio alike; GLib reads these before the window starts.
            const fs::path home = fs::path(argv[2]) / "home";
            fs::create_directories(home / "data");
            setenv("HOME", home.c_str(), 1);
            setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
        }
        pApp->m_root = argv[2];
        if (argc > 3) pApp->m_nDeleteFiles = std::max(1, std::atoi(argv[3]));
        if (argc > 4) pApp->m_nRuns = std::max(1, std::atoi(argv[4]));
    } else if (std::strcmp(argv[1], "--groups") == 0) {
        if (argc < 3) return 2;
        pApp->m_bGroups = true;
        pApp->m_root = argv[2];
        if (argc > 3) pApp->m_nRuns = std::max(1, std::atoi(argv[3]));
    } else if (std::strcmp(argv[1], "--live") == 0) {
        if (argc < 3) return 2;
        pApp->m_bLive = true;
        pApp->m_root = argv[2];
        if (argc > 3) pApp->m_nRuns = std::max(1, std::atoi(argv[3]));
        if (argc > 4) pApp->m_nSpinners = std::max(0, std::atoi(argv[4]));
    } else {
        pApp->m_root = argv[1];
        if (argc > 2) pApp->m_nRuns = std::max(1, std::atoi(argv[2]));
#ifdef KESMORA_LIMIT_WALK
        pApp->m_limitWalk = KESMORA_LIMIT_WALK;
#endif
    }
    int nArgs = 1;
    const int rc = wxEntry(nArgs, argv);
    fs::remove_all(configHome);
    return rc;
}
