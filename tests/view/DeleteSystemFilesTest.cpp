// Deletion runs through the program's own file utilities on real files:
// read-only files, paths that became links or folders, files the system
// refuses to remove.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "view/DeleteRun.h"

namespace {

namespace fs = std::filesystem;

class DeleteSystemFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = MakeTempDir();
        m_outside = MakeTempDir();
    }

    void TearDown() override {
        for (const std::string& path : m_immutable) SetImmutable(path, false);
        fs::remove_all(m_dir);
        fs::remove_all(m_outside);
    }

    static fs::path MakeTempDir() {
        std::string tmpl = (fs::temp_directory_path() / "kesmora-sysdel-XXXXXX").string();
        EXPECT_NE(::mkdtemp(tmpl.data()), nullptr);
        return tmpl;
    }

    static std::string WriteFile(const fs::path& path, const std::string& content) {
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << content;
        return path.string();
    }

    static bool SetImmutable(const std::string& path, bool bOn) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW);
        if (fd < 0) return false;
        int flags = 0;
        bool bOk = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        if (bOk) {
            flags = bOn ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            bOk = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        ::close(fd);
        return bOk;
    }

    static bool Exists(const std::string& path) {
        struct stat st;
        return ::lstat(path.c_str(), &st) == 0;
    }

    fs::path m_dir;
    fs::path m_outside;
    std::vector<std::string> m_immutable;
};

TEST_F(DeleteSystemFilesTest, TheFiveRowExampleHoldsOnRealFiles) {
    std::vector<ResultRow> rows;
    const std::uint64_t sizes[] = {3000000, 1536, 3000000, 2048, 3996416};
    for (std::size_t i = 0; i < 5; ++i) {
        const std::string path = WriteFile(m_dir / ("f" + std::to_string(i) + ".obj"), "");
        fs::resize_file(path, sizes[i]);
        rows.emplace_back(path, sizes[i], "", "");
    }
    const DeleteOutcome out =
        RunDelete(rows, *PlanDeleteSelected(rows.size(), {1, 3}), 10000000, SystemFileOps());
    EXPECT_EQ(out.status.strLeft, "2 個のファイルを削除しました ： 0 MB ( 4 KB ) をクリア");
    EXPECT_EQ(out.status.strRight, "残り 3 ファイル ： 合計 10 MB ( 9,762 KB )");
    EXPECT_EQ(out.newTotal, 9996416u);
}

TEST_F(DeleteSystemFilesTest, AReadOnlyFileIsDeletedLikeAnyOther) {
    const std::string path = WriteFile(m_dir / "Debug" / "vc60.idb", std::string(700, 'x'));
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    std::vector<ResultRow> rows;
    rows.emplace_back(path, 700, "", "");

    const DeleteOutcome out = RunDelete(rows, *PlanDeleteAll(1, {}), 700, SystemFileOps());

    EXPECT_EQ(out.nDeleted, 1u);
    EXPECT_EQ(out.freedBytes, 700u);
    EXPECT_FALSE(Exists(path));
    EXPECT_EQ(out.status.strRight, "0 MB ( 1 KB ) をクリア");
}

TEST_F(DeleteSystemFilesTest, APathThatBecameALinkLosesOnlyTheLink) {
    const std::string outside = WriteFile(m_outside / "precious.pdb", "keep me");
    fs::permissions(outside, fs::perms::owner_read);
    const std::string path = (m_dir / "a.pdb").string();
    fs::create_symlink(outside, path);
    std::vector<ResultRow> rows;
    rows.emplace_back(path, 7, "", "");
    rows.emplace_back(WriteFile(m_dir / "b.obj", "b"), 1, "", "");

    RunDelete(rows, *PlanDeleteSelected(rows.size(), {0}), 8, SystemFileOps());

    EXPECT_FALSE(Exists(path));
    ASSERT_TRUE(Exists(outside));
    EXPECT_EQ(fs::status(outside).permissions() & fs::perms::all, fs::perms::owner_read);
    std::ifstream in(outside);
    std::string content;
    std::getline(in, content);
    EXPECT_EQ(content, "keep me");
}

TEST_F(DeleteSystemFilesTest, APathThatBecameAFolderIsRefusedEvenWhenEmpty) {
    std::vector<ResultRow> rows;
    const std::string folder = (m_dir / "x.obj").string();
    fs::create_directory(folder);
    rows.emplace_back(folder, 0, "", "");
    rows.emplace_back(WriteFile(m_dir / "y.obj", "y"), 1, "", "");

    const DeleteOutcome out = RunDelete(rows, *PlanDeleteAll(rows.size(), {}), 1, SystemFileOps());

    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(out.nDeleted, 1u);
    EXPECT_EQ(out.failureBox, DeleteFailureBox::Several);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].strPath, folder);
}

TEST_F(DeleteSystemFilesTest, AnImmutableFileIsReportedNeverCountedAsDeleted) {
    const std::string path = WriteFile(m_dir / "locked.pch", std::string(700, 'p'));
    if (!SetImmutable(path, true)) {
        GTEST_SKIP() << "the immutable flag cannot be set here (needs CAP_LINUX_IMMUTABLE and a "
                        "file system that keeps it)";
    }
    m_immutable.push_back(path);
    std::vector<ResultRow> rows;
    rows.emplace_back(path, 700, "", "");
    rows.emplace_back(WriteFile(m_dir / "free.pch", "f"), 1, "", "");

    const DeleteOutcome out =
        RunDelete(rows, *PlanDeleteSelected(rows.size(), {0}), 701, SystemFileOps());

    EXPECT_TRUE(Exists(path));
    EXPECT_EQ(out.nDeleted, 0u);
    EXPECT_EQ(out.failureBox, DeleteFailureBox::OneRow);
    EXPECT_EQ(out.newTotal, 701u);
    EXPECT_EQ(out.status.strLeft, "0 個のファイルを削除しました ： 0 MB ( 0 KB ) をクリア");
}

}  // namespace
