// Placeholder until the engine lands.
#include "finder/FinderThread.h"
CFinderThread::CFinderThread() = default;
CFinderThread::~CFinderThread() { Stop(); JoinWorker(); }
bool CFinderThread::Start(int, const std::string&, const std::string&) { return false; }
bool CFinderThread::BeginThread() { return false; }
unsigned CFinderThread::Run() { return 0; }
int CFinderThread::EnumAll(const std::string&, const std::string&) { return 0; }
int CFinderThread::EnumFiles(int, const std::string&, const std::string&) { return 0; }
int CFinderThread::EnumFolders(int, const std::string&, const std::string&) { return 0; }
bool CFinderThread::Stop() { return m_bRunning.exchange(false); }
unsigned CFinderThread::ThreadProc(void* p) { return static_cast<CFinderThread*>(p)->Run(); }
void CFinderThread::JoinWorker() { if (m_hThread.joinable()) m_hThread.join(); }
