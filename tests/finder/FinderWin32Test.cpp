// The Win32 walk on real folders: names matched by our own rule, system
// folders and folder links left alone, paths past MAX_PATH, Japanese names
// and the times of the listing.
#include <gtest/gtest.h>
#include <windows.h>
#include <winioctl.h>

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <cstring>
#include <mutex>
#include <vector>

#include "removal/Removal.h"
#include "tests/support/WinTestTree.h"
#include "walk/FileUtil.h"
#include "walk/IntermediateFileFinder.h"
#include "walk/MatchRules.h"

namespace {

constexpr int kAllTypes = 255;

struct Found {
    std::vector<std::string> folders, files, times;
    std::vector<std::uint64_t> sizes;
};

class Recorder : public CFindNotify {
public:
    void OnFindFolder(const std::string& strFolder) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        found.folders.push_back(strFolder);
    }
    void OnFindFile(const std::string& strPath, std::uint64_t size, const std::string& strCreated,
                    const std::string& strModified) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        found.files.push_back(strPath);
        found.sizes.push_back(size);
        found.times.push_back(strCreated + "|" + strModified);
    }
    void OnFindEnd() override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bEnded = true;
        m_cv.notify_all();
    }
    bool WaitForEnd() {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_cv.wait_for(lock, std::chrono::seconds(30), [this] { return m_bEnded; });
    }

    Found found;

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_bEnded = false;
};

// Every folder, every type (unless told), no time filter.
Found Search(const std::string& root, int nTypeMask = kAllTypes) {
    Recorder sink;
    {
        CIntermediateFileFinder finder(&sink);
        EXPECT_TRUE(finder.StartFind(root, true, 1, nTypeMask, 1, 0, false));
        EXPECT_TRUE(sink.WaitForEnd());
    }
    return sink.found;
}

std::vector<std::string> Sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

// A junction made the way mklink /J makes one: a mount-point reparse point.
bool MakeJunction(const std::string& link, const std::string& target) {
    if (!CreateDirectoryW(WideOf(link).c_str(), nullptr)) return false;
    const std::wstring substitute = L"\\??\\" + WideOf(target);
    const std::wstring print = WideOf(target);
    const std::size_t nPathBytes = (substitute.size() + 1 + print.size() + 1) * sizeof(wchar_t);
    std::vector<unsigned char> buffer(8 + 8 + nPathBytes);
    auto put16 = [&](std::size_t at, std::size_t v) {
        buffer[at] = static_cast<unsigned char>(v);
        buffer[at + 1] = static_cast<unsigned char>(v >> 8);
    };
    const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
    std::memcpy(buffer.data(), &tag, 4);
    put16(4, 8 + nPathBytes);                              // data length
    put16(8, 0);                                           // substitute offset
    put16(10, substitute.size() * sizeof(wchar_t));        // substitute length
    put16(12, (substitute.size() + 1) * sizeof(wchar_t));  // print offset
    put16(14, print.size() * sizeof(wchar_t));             // print length
    std::memcpy(buffer.data() + 16, substitute.c_str(), (substitute.size() + 1) * 2);
    std::memcpy(buffer.data() + 16 + (substitute.size() + 1) * 2, print.c_str(),
                (print.size() + 1) * 2);
    const HANDLE h =
        CreateFileW(WideOf(link).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    DWORD nReturned = 0;
    const bool bDone =
        h != INVALID_HANDLE_VALUE &&
        DeviceIoControl(h, FSCTL_SET_REPARSE_POINT, buffer.data(),
                        static_cast<DWORD>(buffer.size()), nullptr, 0, &nReturned, nullptr) != 0;
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    if (bDone && (GetFileAttributesW(WideOf(link).c_str()) & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return true;
    }
    RemoveDirectoryW(WideOf(link).c_str());
    return false;
}

// Wine has no junctions, but shows a Unix link to a folder as a folder
// reparse point: made with the system's ln, which Wine can start.
bool MakeWineUnixLink(const std::string& folder, const std::string& name,
                      const std::string& target) {
    using ToUnixName = char*(CDECL*)(LPCWSTR);
    const auto toUnix = reinterpret_cast<ToUnixName>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (toUnix == nullptr) return false;
    // Wine names only what exists: the link's folder, then its own name.
    char* pszFolder = toUnix(WideOf(folder).c_str());
    char* pszTarget = toUnix(WideOf(target).c_str());
    std::wstring command;
    // Wine hands the words over unquoted: names with spaces are not tried.
    if (pszFolder != nullptr && pszTarget != nullptr) {
        command =
            L"/bin/ln -s " + WideOf(pszTarget) + L" " + WideOf(pszFolder) + L"/" + WideOf(name);
    }
    if (command.find(L' ', 11) != command.rfind(L' ')) command.clear();
    HeapFree(GetProcessHeap(), 0, pszFolder);
    HeapFree(GetProcessHeap(), 0, pszTarget);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (command.empty() || !CreateProcessW(L"Z:\\bin\\ln", command.data(), nullptr, nullptr, FALSE,
                                           0, nullptr, nullptr, &si, &pi)) {
        return false;
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    // Wine does not tie the handle to the Unix process's end: wait for the
    // link itself.
    const std::wstring wlink = WideOf(folder + "\\" + name);
    const ULONGLONG start = GetTickCount64();
    DWORD dwAttributes = INVALID_FILE_ATTRIBUTES;
    while ((dwAttributes = GetFileAttributesW(wlink.c_str())) == INVALID_FILE_ATTRIBUTES &&
           GetTickCount64() - start < 10000) {
        Sleep(10);
    }
    return dwAttributes != INVALID_FILE_ATTRIBUTES &&
           (dwAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

TEST(Win32Walk, NamesMatchByOurRuleNotBySystemPatterns) {
    WinTestTree t;
    // Under Wine (and with 8.3 names on Windows) "*.obj" also finds x.objx.
    t.File("x.objx");
    t.File("y.obj.txt");
    const std::string upper = t.File("A.OBJ");
    const std::string lower = t.File("b.obj");
    EXPECT_EQ(Sorted(Search(t.Root()).files), Sorted({upper, lower}));
}

// Excluded names compare as the file system compares names: any letter in
// either case, not ASCII alone, with "*" and "?" as everywhere.
TEST(Win32Walk, ExcludedNamesFoldCaseAsTheSystemDoes) {
    const struct {
        const char* glob;
        const char* name;
        bool bExcluded;
    } cases[] = {{"äö", "ÄÖ", true},
                 {"ｗide", "Ｗide", true},
                 {"?IDE*", "ｗide2", true},
                 {"äö", "ao", false}};
    for (const auto& c : cases) {
        EXPECT_EQ(CFolderExclusion({c.glob}, true).Excludes(c.name, std::strlen(c.name)),
                  c.bExcluded)
            << c.glob << " " << c.name;
    }
}

TEST(Win32Walk, NewerKindsAreFilesOnlyAndASolutionCacheNeedsItsSolution) {
    WinTestTree t;
    const std::string sdf = t.File("Game.sdf");
    t.File("game.SLN");
    t.File("data\\catalog.sdf");
    t.Dir("cache.ipch");
    const std::string ipch = t.File("cache.ipch\\a.IPCH");
    const std::string tlog = t.File("Debug\\App.tlog\\CL.read.1.tlog");
    EXPECT_EQ(Sorted(Search(t.Root(), kNewerKinds).files), Sorted({sdf, ipch, tlog}));
}

TEST(Win32Walk, SystemFoldersAreNotWalkedHiddenOnesAre) {
    WinTestTree t;
    t.File("sys\\s.obj");
    // The Recycle Bin is made so by Windows: never walked, never emptied here.
    t.File("$Recycle.Bin\\S-1-5-21\\$R1.obj");
    const std::string hidden = t.File("hid\\h.obj");
    const std::string system = t.File("sysfile.obj", 0, FILE_ATTRIBUTE_SYSTEM);
    ASSERT_TRUE(SetFileAttributesW(WideOf(t.Path("sys")).c_str(), FILE_ATTRIBUTE_SYSTEM));
    ASSERT_TRUE(SetFileAttributesW(WideOf(t.Path("$Recycle.Bin")).c_str(),
                                   FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SetFileAttributesW(WideOf(t.Path("hid")).c_str(), FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(Sorted(Search(t.Root()).files), Sorted({hidden, system}));
}

TEST(Win32Walk, AFolderLinkBelowTheRootIsNotEntered) {
    WinTestTree t;
    const std::string inside = t.File("target\\in.obj");
    if (!MakeJunction(t.Path("link"), t.Path("target")) &&
        !MakeWineUnixLink(t.Root(), "link", t.Path("target"))) {
        GTEST_SKIP() << "this system can make neither a junction nor (under Wine) a Unix link";
    }
    const Found sink = Search(t.Root());
    EXPECT_EQ(sink.files, std::vector<std::string>{inside});
    EXPECT_EQ(std::count(sink.folders.begin(), sink.folders.end(), t.Path("link") + "\\"), 0);
    // A deletion never goes through it either, even named below the root.
    EXPECT_FALSE(RemoveFile(t.Root(), t.Path("link\\in.obj"), true));
    EXPECT_EQ(FileSize(t.Root(), t.Path("link\\in.obj")), 0);
    EXPECT_TRUE(FileExists(inside));
    // Reached as the root itself, a link is followed.
    EXPECT_EQ(Search(t.Path("link")).files, std::vector<std::string>{t.Path("link\\in.obj")});
}

TEST(Win32Walk, PathsPastMaxPathAreWalkedSizedAndDeleted) {
    WinTestTree t;
    std::string rel;
    while (t.Path(rel).size() < 300) rel += std::string(40, 'd') + "\\";
    const std::string file = t.File(rel + "deep.pdb", 1234);
    ASSERT_GT(file.size(), 300u);
    const Found sink = Search(t.Root());
    ASSERT_EQ(sink.files, std::vector<std::string>{file});
    EXPECT_EQ(sink.sizes[0], 1234u);
    EXPECT_TRUE(FileExists(file));
    EXPECT_EQ(FileSize(t.Root(), file), 1234);
    EXPECT_TRUE(RemoveFile(t.Root(), file, false));
    EXPECT_FALSE(FileExists(file));
}

TEST(Win32Walk, JapaneseNamesRoundTripFromListingToDeletion) {
    WinTestTree t;
    const std::string folder = t.Dir("開発\\ｿｰｽ\\Debug");
    const std::string file = t.File("開発\\ｿｰｽ\\Debug\\ﾃｽﾄ表.obj", 7);
    const Found sink = Search(t.Root());
    ASSERT_EQ(sink.files, std::vector<std::string>{file});
    EXPECT_NE(std::find(sink.folders.begin(), sink.folders.end(), folder + "\\"),
              sink.folders.end());
    EXPECT_TRUE(FolderExists(folder));
    EXPECT_EQ(FileSize(t.Root(), file), 7);
    EXPECT_TRUE(RemoveFile(t.Root(), file, false));
    EXPECT_FALSE(FileExists(file));
}

TEST(Win32Walk, CreationAndLastWriteTimesComeFromTheListingInThatOrder) {
    WinTestTree t;
    const std::string file = t.File("t.obj");
    // Noon UTC: the local date is the same in every time zone.
    auto at = [](WORD wYear, WORD wMonth, WORD wDay) {
        SYSTEMTIME st{};
        st.wYear = wYear;
        st.wMonth = wMonth;
        st.wDay = wDay;
        st.wHour = 12;
        FILETIME ft;
        SystemTimeToFileTime(&st, &ft);
        return ft;
    };
    const FILETIME created = at(2004, 1, 11);
    const FILETIME written = at(2005, 6, 20);
    const HANDLE h = CreateFileW(WideOf(file).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(SetFileTime(h, &created, nullptr, &written));
    CloseHandle(h);
    const Found sink = Search(t.Root());
    ASSERT_EQ(sink.times.size(), 1u);
    const std::string& text = sink.times[0];
    // Wine keeps no creation time: it shows the last write there too.
    EXPECT_TRUE(text.rfind("2004/01/11 ", 0) == 0 || text.rfind("2005/06/20 ", 0) == 0) << text;
    EXPECT_EQ(text.substr(16, 11), "|2005/06/20") << text;
    EXPECT_EQ(text.size(), 33u) << text;
}

}  // namespace
