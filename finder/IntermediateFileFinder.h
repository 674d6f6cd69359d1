// The search for intermediate files: walks a folder tree on a worker
// thread and reports folders, matches and the end through CFindNotify.
#pragma once

#include <string>

#include "finder/FindNotify.h"
#include "finder/FinderThread.h"

class CIntermediateFileFinder : public CFinderThread {
public:
    explicit CIntermediateFileFinder(CFindNotify* pNotify);
    ~CIntermediateFileFinder() override;

    // True when a worker is now searching; false when nothing was started.
    bool StartFind(const std::string& strFolder, bool bSubFolder, int nFolderMode, int nTypeMask,
                   int nTimeMode, int nDays, bool bOlder);
    // True when the running flag was set and is now clear. Does not wait.
    bool StopFind();
};
