// Helpers for the search tests: POSIX extras for the shared temporary tree
// (times, listing order), and a sink that records what a search reports.
#pragma once

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/TempTree.h"
#include "walk/DirReader.h"
#include "walk/FindNotify.h"

// Sets a file's modification time (seconds since 1970), leaving its access time.
inline void SetModified(const std::string& path, std::time_t t) {
    struct timespec times[2] = {{0, UTIME_OMIT}, {t, 0}};
    if (utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0) {
        throw std::runtime_error("utimensat failed");
    }
}

// The names of a folder in the order the system lists them.
inline std::vector<std::string> ListingOrder(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* pDir = opendir(folder.c_str())) {
        while (const dirent* pEntry = readdir(pDir)) {
            const std::string name = pEntry->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        closedir(pDir);
    }
    return names;
}

inline bool RunningAsRoot() { return geteuid() == 0; }

// Waits until the folder's last change is old enough for a later change to
// be told apart by its stamp: before that the engine trusts nothing it read
// ahead, and the read-ahead path would go untested.
inline void WaitUntilSettled(const std::string& folder) {
    for (;;) {
        CDirReader reader;
        if (reader.OpenPath(folder) == OpenResult::kOpened && reader.Unchanged()) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

// Records every notification, in order, under a lock: the worker writes,
// the test thread reads.
class RecordingSink : public CFindNotify {
public:
    struct Event {
        char type;  // 'D' folder, 'F' file, 'E' end
        std::string path;
        std::uint64_t size = 0;
        std::string created;
        std::string modified;
    };

    // Runs on the worker inside OnFindFolder, after the folder is recorded.
    std::function<void(const std::string&)> onFolder;

    void OnFindFolder(const std::string& strFolder) override {
        Add({'D', strFolder, 0, {}, {}});
        if (onFolder) onFolder(strFolder);
    }
    void OnFindFile(const std::string& strPath, std::uint64_t size, const std::string& strCreated,
                    const std::string& strModified) override {
        Add({'F', strPath, size, strCreated, strModified});
    }
    void OnFindEnd() override { Add({'E', {}, 0, {}, {}}); }

    bool WaitForEnd(std::chrono::seconds timeout = std::chrono::seconds(20)) {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_cv.wait_for(lock, timeout, [this] { return m_nEnds > 0; });
    }
    std::vector<Event> Events() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_events;
    }
    // Paths of one kind of event, in order.
    std::vector<std::string> Paths(char type) const {
        std::vector<std::string> paths;
        for (const Event& e : Events()) {
            if (e.type == type) paths.push_back(e.path);
        }
        return paths;
    }
    int Ends() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_nEnds;
    }
    void Clear() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_events.clear();
        m_nEnds = 0;
    }

private:
    void Add(Event e) {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (e.type == 'E') ++m_nEnds;
        m_events.push_back(std::move(e));
        m_cv.notify_all();
    }

    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    std::vector<Event> m_events;
    int m_nEnds = 0;
};
