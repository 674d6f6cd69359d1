// Base of the search: runs a body of work on a worker thread of its own and
// carries the running flag that starts the work and, cleared, stops it.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

// One directory entry handed to OnEnumEntry (our stand-in for the
// platform's find data). A symbolic link is described by what it leads to;
// a dangling one as a file of its own.
struct FindEntry {
    std::string name;  // exact bytes of the entry's name
    bool isDirectory = false;
    bool isSystem = false;  // a folder of a pseudo file system
    std::uint64_t size = 0;
    std::int64_t created = 0;  // seconds since 1970, UTC
    std::int64_t modified = 0;
};

// One worker at a time: BeginThread (and the searches built on it) first
// waits for the previous worker to end. The destructor stops and joins it,
// so a worker never outlives its object.
class CFinderThread {
public:
    CFinderThread();
    virtual ~CFinderThread();

    CFinderThread(const CFinderThread&) = delete;
    CFinderThread& operator=(const CFinderThread&) = delete;

    virtual void OnEnumEnd() {}
    virtual void OnEnumEntry(int /*nKind*/, const std::string& /*strFolder*/,
                             const FindEntry* /*pData*/) {}
    // Starts the default enumeration; false while running or when no worker
    // could be created.
    virtual bool Start(int nKind, const std::string& strFolder, const std::string& strPattern);
    // Sets the running flag and creates the worker; false, with the flag
    // clear again, when the platform refuses the thread.
    virtual bool BeginThread();
    virtual unsigned Run();
    virtual int EnumAll(const std::string& strFolder, const std::string& strPattern);
    virtual int EnumFiles(int nKind, const std::string& strFolder, const std::string& strPattern);
    virtual int EnumFolders(int nKind, const std::string& strFolder, const std::string& strPattern);

    // True when the flag was set and is now clear. Never waits.
    bool Stop();
    static unsigned ThreadProc(void* pParam);

    // Waits until the last worker has ended; the worker never blocks, so
    // after Stop this returns within one directory or file entry. Lets the
    // caller drain what the worker reported before showing a summary.
    // Never called on the worker.
    void JoinWorker();

protected:
    // Asks the last worker to stop and waits for it: what a destructor of a
    // derived class must do before its own members go away.
    void EndWorker();

    int m_nKind = 1;
    std::string m_strFolder;
    std::string m_strPattern;
    std::thread m_hThread;
    std::uint32_t m_dwThreadId = 0;
    std::atomic<bool> m_bRunning{false};

private:
    enum class Accept { kAll, kFiles, kFolders };
    int Enumerate(int nKind, const std::string& strFolder, const std::string& strPattern,
                  Accept accept);
};
