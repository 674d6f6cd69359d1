// The file helpers on real files: separators, existence, sizes, removal.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "TestTree.h"
#include "finder/FileUtil.h"

namespace {

mode_t ModeOf(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

bool Exists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

TEST(AddBackslash, AppendsOneSeparatorUnlessEitherKindEndsTheText) {
    std::string s = "/a";
    AddBackslash(s);
    EXPECT_EQ(s, "/a/");
    AddBackslash(s);
    EXPECT_EQ(s, "/a/");
    s = "C:\\a\\";
    AddBackslash(s);
    EXPECT_EQ(s, "C:\\a\\");
    s.clear();
    AddBackslash(s);
    EXPECT_EQ(s, "/");
    s = "/\xe8\xa1\xa8";  // a folder named 表
    AddBackslash(s);
    EXPECT_EQ(s, "/\xe8\xa1\xa8/");
}

TEST(Existence, FilesAndFoldersAreToldApart) {
    TempTree t;
    const std::string file = t.File("f.obj");
    const std::string dir = t.Dir("d");
    EXPECT_TRUE(FileExists(file));
    EXPECT_FALSE(FolderExists(file));
    EXPECT_TRUE(FolderExists(dir));
    EXPECT_FALSE(FileExists(dir));
    EXPECT_FALSE(FileExists(t.Path("missing")));
    EXPECT_FALSE(FolderExists(t.Path("missing")));
}

TEST(Existence, LinksCountAsWhatTheyLeadToAndADanglingLinkAsAFile) {
    TempTree t;
    t.File("f.obj");
    t.Dir("d");
    EXPECT_TRUE(FileExists(t.Link("to-file", "f.obj")));
    EXPECT_TRUE(FolderExists(t.Link("to-dir", "d")));
    EXPECT_FALSE(FileExists(t.Path("to-dir")));
    const std::string dangling = t.Link("dangling", "nowhere");
    EXPECT_TRUE(FileExists(dangling));
    EXPECT_FALSE(FolderExists(dangling));
}

TEST(FileSize, GivesSixtyFourBitSizesAndZeroWhenUnreadable) {
    TempTree t;
    EXPECT_EQ(FileSize(t.File("huge.pdb", 5ull << 30)), 5368709120);
    EXPECT_EQ(FileSize(t.File("small.obj", 1234)), 1234);
    EXPECT_EQ(FileSize(t.Path("missing")), 0);
    EXPECT_EQ(FileSize(t.Dir("folder.pdb")), 0);
    // A link's own size: deleting it frees nothing of its target.
    EXPECT_EQ(FileSize(t.Link("link.pdb", "huge.pdb")), 8);
}

TEST(RemoveFile, DeletesAPlainFileAndRefusesWhatIsNotThere) {
    TempTree t;
    const std::string file = t.File("a.obj");
    EXPECT_TRUE(RemoveFile(file, false));
    EXPECT_FALSE(Exists(file));
    EXPECT_FALSE(RemoveFile(file, true));
}

TEST(RemoveFile, RefusesAFolderAndLeavesIt) {
    TempTree t;
    const std::string dir = t.Dir("x.obj");
    EXPECT_FALSE(RemoveFile(dir, true));
    EXPECT_TRUE(FolderExists(dir));
}

TEST(RemoveFile, LeavesAReadOnlyFileAloneWithoutTheOverride) {
    TempTree t;
    const std::string file = t.File("ro.obj");
    chmod(file.c_str(), 0444);
    EXPECT_FALSE(RemoveFile(file, false));
    EXPECT_TRUE(Exists(file));
    EXPECT_EQ(ModeOf(file), 0444u);
}

TEST(RemoveFile, MakesAReadOnlyFileWritableWithoutTouchingItsTimesThenDeletesIt) {
    TempTree t;
    const std::string file = t.File("ro.obj");
    SetModified(file, 1000000000);
    chmod(file.c_str(), 0440);
    // A second name of the same file shows what happened to it.
    const std::string witness = t.Path("witness");
    ASSERT_EQ(link(file.c_str(), witness.c_str()), 0);
    EXPECT_TRUE(RemoveFile(file, true));
    EXPECT_FALSE(Exists(file));
    EXPECT_EQ(ModeOf(witness), 0640u);
    struct stat st;
    ASSERT_EQ(stat(witness.c_str(), &st), 0);
    EXPECT_EQ(st.st_mtime, 1000000000);
}

TEST(RemoveFile, RemovesALinkItselfAndLeavesItsTargetAndTheTargetsMode) {
    TempTree t;
    const std::string target = t.File("target.obj");
    chmod(target.c_str(), 0444);
    const std::string link = t.Link("link.obj", "target.obj");
    EXPECT_TRUE(RemoveFile(link, false));
    EXPECT_FALSE(Exists(link));
    EXPECT_TRUE(Exists(target));
    EXPECT_EQ(ModeOf(target), 0444u);
    const std::string dangling = t.Link("dangling.obj", "nowhere");
    EXPECT_TRUE(RemoveFile(dangling, false));
    EXPECT_FALSE(Exists(dangling));
}

TEST(RemoveFile, RefusesALinkToAFolder) {
    TempTree t;
    t.File("d/keep.obj");
    const std::string link = t.Link("d.obj", "d");
    EXPECT_FALSE(RemoveFile(link, true));
    EXPECT_TRUE(Exists(link));
}

TEST(RemoveFile, FailsWhenTheFolderForbidsDeletion) {
    if (RunningAsRoot()) GTEST_SKIP() << "root may delete in any folder";
    TempTree t;
    const std::string file = t.File("locked/a.obj");
    chmod(t.Path("locked").c_str(), 0555);
    EXPECT_FALSE(RemoveFile(file, true));
    EXPECT_TRUE(Exists(file));
}

}  // namespace
