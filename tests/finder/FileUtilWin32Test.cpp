// The Win32 file helpers: separators, the default folder, 64-bit sizes,
// the read-only and sharing rules of a deletion, and what the Recycle Bin
// may keep.
#include <gtest/gtest.h>
#include <windows.h>

#include "removal/Removal.h"
#include "removal/Trash_win32.h"
#include "tests/support/FailureOut.h"
#include "tests/support/WinTestTree.h"
#include "walk/FileUtil.h"

namespace {

TEST(Win32AddBackslash, AppendsABackslashUnlessEitherSeparatorEndsTheText) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {{"C:\\a", "C:\\a\\"}, {"C:\\a\\", "C:\\a\\"}, {"C:/a/", "C:/a/"}, {"C:", "C:\\"},
                 {"", "\\"},           {"C:\\表", "C:\\表\\"}};
    for (const auto& c : cases) {
        std::string s = c.in;
        AddBackslash(s);
        EXPECT_EQ(s, c.out) << c.in;
    }
    EXPECT_EQ(DefaultFolder(), "C:\\");
}

TEST(Win32FileUtil, SizesAreSixtyFourBitAndFoldersAreNoFiles) {
    WinTestTree t;
    const std::string huge = t.File("huge.pdb", 5ull << 30);
    EXPECT_EQ(FileSize(t.Root(), huge), 5368709120);
    EXPECT_TRUE(FileExists(huge));
    EXPECT_FALSE(FolderExists(huge));
    const std::string folder = t.Dir("x.obj");
    EXPECT_TRUE(FolderExists(folder));
    EXPECT_FALSE(FileExists(folder));
    EXPECT_EQ(FileSize(t.Root(), folder), 0);
    EXPECT_FALSE(RemoveFile(t.Root(), folder, true));
    EXPECT_TRUE(FolderExists(folder));
    EXPECT_FALSE(FileExists(t.Path("missing")));
    EXPECT_FALSE(RemoveFile(t.Root(), t.Path("missing"), true));
    // Only what lies below the search's folder, named without "..".
    EXPECT_FALSE(RemoveFile(t.Path("x.obj"), huge, true));
    EXPECT_FALSE(RemoveFile(t.Path("x.obj"), t.Path("x.obj\\..\\huge.pdb"), true));
    EXPECT_TRUE(FileExists(huge));
}

TEST(Win32FileUtil, ReadOnlyFileIsKeptWithoutTheOverrideAndDeletedWithIt) {
    WinTestTree t;
    const std::string file = t.File("ro.obj", 10, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    EXPECT_FALSE(RemoveFile(t.Root(), file, false));
    ASSERT_TRUE(FileExists(file));
    EXPECT_EQ(GetFileAttributesW(WideOf(file).c_str()) & FILE_ATTRIBUTE_READONLY,
              static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    EXPECT_TRUE(RemoveFile(t.Root(), file, true));
    EXPECT_FALSE(FileExists(file));
}

// A new file moved over a listed one stays, whether removed or recycled:
// the handle checked is the handle the file would be taken through.
TEST(Win32FileUtil, AFileWrittenAnewSinceTheListingStays) {
    WinTestTree t;
    const std::string file = t.File("a.obj", 10);
    const auto listedNow = [&] {
        CDirReader folder;
        EntryFacts facts;
        EXPECT_EQ(folder.OpenPath(t.Root()), OpenResult::kOpened);
        EXPECT_TRUE(folder.Facts("a.obj", facts));
        return ListedFile{facts.id, facts.size, facts.created, facts.modified};
    };
    const ListedFile listed = listedNow();
    ASSERT_NE(listed.id, 0u);
    ASSERT_TRUE(MoveFileExW(WideOf(t.File("new.tmp", 20)).c_str(), WideOf(file).c_str(),
                            MOVEFILE_REPLACE_EXISTING));
    CPinnedRoot root;
    RemovalFailure why;
    ASSERT_TRUE(root.Open(t.Root(), nullptr, why));
    EXPECT_FALSE(root.RemoveFile(file, true, why, &listed));
    EXPECT_EQ(why.kind, RemovalFailure::kChangedSinceSearch);
    EXPECT_FALSE(root.TrashFile(file, why, &listed));
    EXPECT_EQ(why.kind, RemovalFailure::kChangedSinceSearch);
    EXPECT_EQ(FileSize(t.Root(), file), 20);
    const ListedFile now = listedNow();
    EXPECT_TRUE(root.RemoveFile(file, true, why, &now)) << why;
}

TEST(Win32FileUtil, AFileHeldOpenWithoutDeleteSharingStays) {
    WinTestTree t;
    const std::string file = t.File("held.obj", 3);
    const HANDLE h = CreateFileW(WideOf(file).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(RemoveFile(t.Root(), file, true));
    CloseHandle(h);
    EXPECT_TRUE(FileExists(file));
    EXPECT_TRUE(RemoveFile(t.Root(), file, true));
    EXPECT_FALSE(FileExists(file));
}

// In a listing a file whose deletion waits for another handle still shows;
// its attributes can no longer be read.
bool Listed(const std::string& path) {
    WIN32_FIND_DATAW data;
    const HANDLE hFind = FindFirstFileW(WideOf(path).c_str(), &data);
    if (hFind == INVALID_HANDLE_VALUE) return false;
    FindClose(hFind);
    return true;
}

// Whether this system and file system take a name away as soon as the
// handle that asked for a POSIX-semantics deletion closes, while another
// handle with delete sharing still holds the file.
bool PosixDeletionTakesTheNameAtClose(const WinTestTree& t) {
    const std::wstring path = WideOf(t.File("probe.tmp", 1));
    constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    const HANDLE held =
        CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
    const HANDLE h =
        CreateFileW(path.c_str(), DELETE, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD flags = 0x1 | 0x2;  // delete, POSIX semantics
    const bool bTaken = SetFileInformationByHandle(h, static_cast<FILE_INFO_BY_HANDLE_CLASS>(21),
                                                   &flags, sizeof flags) != 0;
    CloseHandle(h);
    const bool bGone = bTaken && GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES;
    CloseHandle(held);
    return bGone;
}

// Another program holds the file with delete sharing. Where the system
// takes a POSIX-semantics name at once, so does the deletion; elsewhere it
// reports the file kept, and a kept file is still there, read-only as
// before, once that program lets go.
TEST(Win32FileUtil, AFileHeldWithDeleteSharingIsReportedDeletedOnlyWithItsNameGone) {
    WinTestTree t;
    const bool bPosix = PosixDeletionTakesTheNameAtClose(t);
    const std::string file = t.File("shared.obj", 3, FILE_ATTRIBUTE_READONLY);
    const HANDLE h = CreateFileW(WideOf(file).c_str(), GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CPinnedRoot root;
    RemovalFailure why;
    ASSERT_TRUE(root.Open(t.Root(), nullptr, why));
    const bool bDeleted = root.RemoveFile(file, true, why);
    EXPECT_EQ(bDeleted, bPosix) << why;
    EXPECT_EQ(Listed(file), !bDeleted) << why;
    CloseHandle(h);
    EXPECT_EQ(Listed(file), !bDeleted) << why;
    if (!bDeleted) {
        EXPECT_NE(why.kind, RemovalFailure::kNone);
        EXPECT_NE(GetFileAttributesW(WideOf(file).c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    }
}

TEST(Win32FileUtil, ARootReplacedAfterTheSearchIsRefused) {
    WinTestTree t;
    const std::string folder = t.Dir("root");
    FolderId searched;
    ASSERT_TRUE(ReadFolderId(folder, searched));
    ASSERT_TRUE(MoveFileW(WideOf(folder).c_str(), WideOf(t.Path("moved")).c_str()));
    t.Dir("root");
    CPinnedRoot root;
    RemovalFailure why;
    EXPECT_FALSE(root.Open(folder, &searched, why));
    EXPECT_EQ(why.kind, RemovalFailure::kRootReplaced);
    EXPECT_TRUE(root.Open(t.Path("moved"), &searched, why)) << why;
}

// What the shell moved into the Recycle Bin stays there only if it is the
// file checked: a folder or another file put in its place meanwhile goes
// back, with the bin's index of it, unless its place was taken again.
TEST(Win32Recycle, OnlyTheFileCheckedStaysInTheBin) {
    const struct {
        const char* what;
        bool bKept;     // else another entry took the file's place before the move
        bool bFolder;   // that entry is a folder
        bool bRetaken;  // and its place was taken again after the move
    } cases[] = {
        {"the file checked", true, false, false},
        {"a folder in its place", false, true, false},
        {"another file in its place", false, false, false},
        {"a folder, its place taken again", false, true, true},
    };
    for (const auto& c : cases) {
        WinTestTree t;
        const std::string entry = t.File("d\\x.obj");
        FolderId checked;
        ASSERT_TRUE(ReadFolderId(entry, checked));
        if (!c.bKept) {
            ASSERT_TRUE(MoveFileW(WideOf(entry).c_str(), WideOf(t.Path("aside.obj")).c_str()));
            t.File(c.bFolder ? "d\\x.obj\\inner.obj" : "d\\x.obj");
        }
        const std::string bin = t.Path("bin\\$Rabc.obj"), index = t.File("bin\\$Iabc.obj");
        ASSERT_TRUE(MoveFileW(WideOf(entry).c_str(), WideOf(bin).c_str()));
        if (c.bRetaken) t.File("d\\x.obj");
        RemovalFailure why;
        EXPECT_EQ(KeepRecycledIfChecked(LongForm(entry), WideOf(bin), checked, why), c.bKept)
            << c.what;
        const bool bBack = !c.bKept && !c.bRetaken;
        EXPECT_EQ(FileExists(bin) || FolderExists(bin), !bBack) << c.what;
        EXPECT_EQ(FileExists(index), !bBack) << c.what;
        EXPECT_EQ(FolderExists(entry), bBack && c.bFolder) << c.what;
        EXPECT_EQ(FileExists(entry), (bBack && !c.bFolder) || c.bRetaken) << c.what;
        EXPECT_EQ(why.kind, c.bKept      ? RemovalFailure::kNone
                            : c.bRetaken ? RemovalFailure::kSwappedInRecycleBin
                                         : RemovalFailure::kSwappedPutBack)
            << c.what;
    }
}

}  // namespace
