// The worker thread base and its default enumeration of one folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>

#include "TestTree.h"
#include "walk/FinderThread.h"

namespace {

// Records the entries of a default enumeration; can hold the worker in its
// first entry until released.
class RecordingThread : public CFinderThread {
public:
    ~RecordingThread() override { EndWorker(); }

    void OnEnumEntry(int nKind, const std::string& strFolder, const FindEntry* pData) override {
        std::unique_lock<std::mutex> lock(m_mutex);
        entries.push_back(std::to_string(nKind) + " " + pData->name +
                          (pData->isDirectory ? "/" : ""));
        folder = strFolder;
        m_bHeld = true;
        m_cv.notify_all();
        m_cv.wait(lock, [this] { return !bHold; });
    }
    void OnEnumEnd() override {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++nEnds;
    }
    // Waits until the worker has ended, whichever way.
    void Finish() { JoinWorker(); }
    void WaitUntilHeld() {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_cv.wait(lock, [this] { return m_bHeld; });
    }
    void Release() {
        std::lock_guard<std::mutex> lock(m_mutex);
        bHold = false;
        m_cv.notify_all();
    }
    std::vector<std::string> Sorted() {
        std::sort(entries.begin(), entries.end());
        return entries;
    }
    const std::string& Folder() const { return m_strFolder; }

    bool bHold = false;
    std::vector<std::string> entries;
    std::string folder;
    int nEnds = 0;

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_bHeld = false;
};

class DefaultEnumeration : public ::testing::Test {
protected:
    void SetUp() override {
        t.File("a.txt", 3);
        t.File("B.TXT");
        t.File("c.obj");
        t.Dir("sub");
        t.Dir("x.txt");
        t.Link("proc", "/proc");
    }
    TempTree t;
    RecordingThread thread;
};

TEST_F(DefaultEnumeration, AllListsFilesAndFoldersButNotDotsOrSystemFolders) {
    ASSERT_TRUE(thread.Start(1, t.Root(), "*"));
    thread.Finish();
    EXPECT_EQ(thread.Sorted(),
              (std::vector<std::string>{"1 B.TXT", "1 a.txt", "1 c.obj", "1 sub/", "1 x.txt/"}));
    EXPECT_EQ(thread.nEnds, 1);
    EXPECT_EQ(thread.Folder(), t.Root() + "/");
    EXPECT_EQ(thread.folder, t.Root() + "/");
    // The default body clears the flag when it ends by itself.
    EXPECT_FALSE(thread.Stop());
}

TEST_F(DefaultEnumeration, FilesMatchThePatternInEitherCaseAndCarryTheirKind) {
    ASSERT_TRUE(thread.Start(3, t.Root() + "/", "*.TXT"));
    thread.Finish();
    EXPECT_EQ(thread.Sorted(), (std::vector<std::string>{"3 B.TXT", "3 a.txt"}));
    EXPECT_EQ(thread.Folder(), t.Root() + "/");
}

TEST_F(DefaultEnumeration, FoldersLeaveOutFilesAndSystemFolders) {
    ASSERT_TRUE(thread.Start(5, t.Root(), "*"));
    thread.Finish();
    EXPECT_EQ(thread.Sorted(), (std::vector<std::string>{"5 sub/", "5 x.txt/"}));
}

TEST_F(DefaultEnumeration, AnUnknownKindEnumeratesNothingButEnds) {
    ASSERT_TRUE(thread.Start(9, t.Root(), "*"));
    thread.Finish();
    EXPECT_TRUE(thread.entries.empty());
    EXPECT_EQ(thread.nEnds, 1);
}

TEST_F(DefaultEnumeration, StartWhileRunningIsRefusedAndAStopEndsWithoutTheEndHook) {
    thread.bHold = true;
    ASSERT_TRUE(thread.Start(1, t.Root(), "*"));
    thread.WaitUntilHeld();
    EXPECT_FALSE(thread.Start(2, "/elsewhere", "*.obj"));
    EXPECT_EQ(thread.Folder(), t.Root() + "/");
    EXPECT_TRUE(thread.Stop());
    EXPECT_FALSE(thread.Stop());
    thread.Release();
    thread.Finish();
    EXPECT_EQ(thread.entries.size(), 1u);
    EXPECT_EQ(thread.nEnds, 0);
}

TEST(FinderThreadBase, StopBeforeAnyStartReturnsFalse) {
    RecordingThread thread;
    EXPECT_FALSE(thread.Stop());
}

}  // namespace
