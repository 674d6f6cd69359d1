// Times the search engine on one tree beside the bare Win32 walk: one
// FindFirstFileExW pass per folder, the eight extensions matched by hand,
// size and times taken from the listing, reparse points not entered.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "utf16/WideText_win32.h"
#include "walk/IntermediateFileFinder.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kAllTypes = 255;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

struct Tally {
    std::uint64_t nFiles = 0;
    std::uint64_t nBytes = 0;
    std::uint64_t nStamp = 0;  // keeps the times read from being optimised away
};

bool MatchesExtension(const wchar_t* pszName) {
    static const wchar_t* const kExtensions[] = {L"bsc", L"idb", L"ilk", L"obj",
                                                 L"pch", L"pdb", L"res", L"sbr"};
    const std::size_t len = wcslen(pszName);
    if (len < 4 || pszName[len - 4] != L'.') return false;
    for (const wchar_t* pszExt : kExtensions) {
        if (_wcsicmp(pszName + len - 3, pszExt) == 0) return true;
    }
    return false;
}

void BareWalk(const std::wstring& folder, Tally& tally) {
    WIN32_FIND_DATAW data;
    const HANDLE hFind =
        FindFirstFileExW((folder + L"*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                         nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (hFind == INVALID_HANDLE_VALUE) return;
    do {
        const wchar_t* pszName = data.cFileName;
        if (pszName[0] == L'.' && (!pszName[1] || (pszName[1] == L'.' && !pszName[2]))) continue;
        if (MatchesExtension(pszName)) {
            ++tally.nFiles;
            tally.nBytes +=
                (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
            tally.nStamp += data.ftCreationTime.dwLowDateTime ^ data.ftLastWriteTime.dwLowDateTime;
        }
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
            (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
            BareWalk(folder + pszName + L"\\", tally);
        }
    } while (FindNextFileW(hFind, &data));
    FindClose(hFind);
}

class CountingSink : public CFindNotify {
public:
    void OnFindFolder(const std::string&) override { ++nFolders; }
    void OnFindFileStamps(const std::string&, std::uint64_t size, const FileStamp& created,
                          const FileStamp&, std::uint64_t) override {
        ++tally.nFiles;
        tally.nBytes += size;
        tally.nStamp += static_cast<std::uint64_t>(created.seconds);
    }
    void OnFindEnd() override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bEnded = true;
        m_cv.notify_all();
    }
    void WaitForEnd() {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_cv.wait(lock, [this] { return m_bEnded; });
    }

    Tally tally;
    std::uint64_t nFolders = 0;

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_bEnded = false;
};

double TimeBare(const std::wstring& root, Tally& tally) {
    tally = Tally{};
    const auto start = Clock::now();
    BareWalk(root, tally);
    return Seconds(Clock::now() - start);
}

double TimeEngine(const std::string& root, Tally& tally, std::uint64_t& nFolders) {
    CountingSink sink;
    CIntermediateFileFinder finder(&sink);
    const auto start = Clock::now();
    if (!finder.StartFind(root, true, 1, kAllTypes, 1, 0, false)) return -1;
    sink.WaitForEnd();
    const double seconds = Seconds(Clock::now() - start);
    tally = sink.tally;
    nFolders = sink.nFolders;
    return seconds;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: walk_bench ROOT [ROUNDS]\n");
        return 2;
    }
    const std::string root = argv[1];
    const int nRounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    std::wstring wroot;
    if (!Widen(root, wroot)) return 2;
    if (wroot.back() != L'\\') wroot += L'\\';

    // One untimed pass of each warms the caches (the host's and Wine's).
    Tally bare;
    Tally engine;
    std::uint64_t nFolders = 0;
    TimeBare(wroot, bare);
    if (TimeEngine(root, engine, nFolders) < 0) {
        std::fprintf(stderr, "walk_bench: cannot search %s\n", root.c_str());
        return 1;
    }
    std::vector<double> bareTimes;
    std::vector<double> engineTimes;
    for (int i = 0; i < nRounds; ++i) {
        bareTimes.push_back(TimeBare(wroot, bare));
        engineTimes.push_back(TimeEngine(root, engine, nFolders));
    }
    std::printf(
        "tree: %llu folders, %llu files (%llu bytes) by the engine, %llu files by the "
        "bare walk\n",
        static_cast<unsigned long long>(nFolders), static_cast<unsigned long long>(engine.nFiles),
        static_cast<unsigned long long>(engine.nBytes),
        static_cast<unsigned long long>(bare.nFiles));
    const double bareMedian = Median(bareTimes);
    const double engineMedian = Median(engineTimes);
    std::printf("bare FindFirstFileExW walk: median %.3f s, best %.3f s (%d rounds)\n", bareMedian,
                *std::min_element(bareTimes.begin(), bareTimes.end()), nRounds);
    std::printf("engine:                     median %.3f s, best %.3f s\n", engineMedian,
                *std::min_element(engineTimes.begin(), engineTimes.end()));
    std::printf("engine / bare (medians): %.2fx\n", engineMedian / bareMedian);
    return 0;
}
