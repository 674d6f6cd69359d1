// Base of the search: runs a body of work on a worker thread of its own and
// carries the running flag that starts the work and, cleared, stops it.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

// One directory entry handed to OnEnumEntry (our stand-in for the
// platform's find data).
struct FindEntry {
    std::string name;           // exact bytes of the entry's name
    bool isDirectory = false;
    bool isSystem = false;      // on a pseudo file system
    std::uint64_t size = 0;
};

class CFinderThread {
public:
    CFinderThread();
    virtual ~CFinderThread();

    CFinderThread(const CFinderThread&) = delete;
    CFinderThread& operator=(const CFinderThread&) = delete;

    virtual void OnEnumEnd() {}
    virtual void OnEnumEntry(int /*nKind*/, const std::string& /*strFolder*/,
                             const FindEntry* /*pData*/) {}
    virtual bool Start(int nKind, const std::string& strFolder, const std::string& strPattern);
    virtual bool BeginThread();
    virtual unsigned Run();
    virtual int EnumAll(const std::string& strFolder, const std::string& strPattern);
    virtual int EnumFiles(int nKind, const std::string& strFolder, const std::string& strPattern);
    virtual int EnumFolders(int nKind, const std::string& strFolder, const std::string& strPattern);

    bool Stop();
    static unsigned ThreadProc(void* pParam);

protected:
    // Waits until the last worker has ended (never called from the worker).
    void JoinWorker();

    int m_nKind = 1;
    std::string m_strFolder;
    std::string m_strPattern;
    std::thread m_hThread;
    std::uint32_t m_dwThreadId = 0;
    std::atomic<bool> m_bRunning{false};
};
