// The desktop's trash on POSIX desktops, moved into from a held folder
// descriptor; shared by the file helpers' POSIX bodies only.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cstdint>
#include <deque>
#include <random>
#include <string>

#include "removal/RemovalFailure.h"

// An open descriptor, closed when it goes.
class CFd {
public:
    explicit CFd(int fd = -1) : m_fd(fd) {}
    ~CFd() {
        if (m_fd >= 0) ::close(m_fd);
    }
    CFd(CFd&& other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }
    CFd(const CFd&) = delete;
    CFd& operator=(const CFd&) = delete;
    CFd& operator=(CFd&&) = delete;
    void Reset(int fd) {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = fd;
    }
    int Get() const { return m_fd; }

private:
    int m_fd;
};

// A rename that never replaces an entry: RENAME_NOREPLACE, or where the
// file system lacks it, a look first. 0, or -1 with errno.
int MoveNoReplace(int fromFd, const char* pszFrom, int toFd, const char* pszTo);

// Percent-encodes a path for a trash record's Path= line: every byte but
// letters, digits, "-._~" and "/".
std::string EncodeTrashPath(const std::string& strPath);

// The trash folders of one deletion run, found once per file system and
// kept open, so that thousands of files cost one look-up.
class CTrashFolders {
public:
    // Moves the entry pszName of the folder parentFd, found as checked (its
    // status), into the trash of its own file system, as the file whose
    // absolute path is strOriginal (the entry may stand under another name
    // for the moment). False, with why, when no trash there takes it or
    // another entry stood there by the time of the move; the entry then
    // stays where it was.
    bool Trash(int parentFd, const char* pszName, const struct stat& checked,
               const std::string& strOriginal, RemovalFailure& why);

private:
    struct Folders {
        dev_t dev = 0;
        std::uint64_t mount = 0;  // the mount's id, 0 where the system does not tell
        bool bTopAsked = false;   // found for a request of the top folder's trash
        bool bTop = false;        // a trash at the top folder of the entry's mount
        CFd files;
        CFd info;
        RemovalFailure refusal;  // why there is none, when files is closed
    };

    Folders& Find(int parentFd, dev_t dev, std::uint64_t mount, bool bTop);
    // Records and moves under one free name; errno-style result, 0 when moved.
    int MoveUnderFreeName(const Folders& folders, int parentFd, const char* pszName,
                          const std::string& strOwn, const struct stat& checked,
                          const std::string& strRecord, RemovalFailure& why);
    std::string UniqueName(const std::string& strName);

    std::deque<Folders> m_folders;  // a deque: Find hands out references
    std::mt19937_64 m_random{std::random_device{}()};
};
