// Makes chosen files impossible to delete, for the tests of the paths where
// removal fails, and undoes it afterwards so the temporary folders go.
#pragma once

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

class UndeletableFiles {
public:
    UndeletableFiles() = default;
    UndeletableFiles(const UndeletableFiles&) = delete;
    UndeletableFiles& operator=(const UndeletableFiles&) = delete;
    ~UndeletableFiles() { ReleaseAll(); }

    // The immutable flag where the file system and our rights allow it,
    // else (not as root) a parent folder without write permission. Returns
    // why neither works, or an empty text.
    std::string Make(const std::string& path) {
        if (SetImmutable(path, true)) {
            m_immutable.push_back(path);
            return {};
        }
        if (::geteuid() != 0) {
            const std::filesystem::path parent = std::filesystem::path(path).parent_path();
            std::filesystem::permissions(
                parent, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
            m_locked.push_back(parent);
            return {};
        }
        return "running as root on a file system without the immutable flag (or without the "
               "right to set it): no file can be made undeletable";
    }

    // Makes one file made undeletable by Make deletable again.
    bool Release(const std::string& path) {
        for (const std::string& immutable : m_immutable) {
            if (immutable == path) return SetImmutable(path, false);
        }
        std::error_code ec;
        std::filesystem::permissions(std::filesystem::path(path).parent_path(),
                                     std::filesystem::perms::owner_all, ec);
        return !ec;
    }

    void ReleaseAll() {
        for (const std::string& path : m_immutable) SetImmutable(path, false);
        std::error_code ec;
        for (const auto& dir : m_locked) {
            std::filesystem::permissions(dir, std::filesystem::perms::owner_all, ec);
        }
        m_immutable.clear();
        m_locked.clear();
    }

private:
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

    std::vector<std::string> m_immutable;
    std::vector<std::filesystem::path> m_locked;
};
