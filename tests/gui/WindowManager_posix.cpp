// POSIX body: an openbox of its own for each case.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "GuiFixture.h"
#include "WindowManager.h"

extern char** environ;

namespace {

// openbox announces itself on the root window once it manages windows.
bool AnnouncedOnTheRootWindow() {
    FILE* pPipe = popen("xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null", "r");
    char line[256] = {};
    const bool bRead = pPipe != nullptr && fgets(line, sizeof line, pPipe) != nullptr;
    if (pPipe != nullptr) {
        pclose(pPipe);
    }
    return bRead && std::string(line).find("window id") != std::string::npos;
}

}  // namespace

bool CWindowManagerRun::Start() {
    char arg0[] = "openbox";
    char* argv[] = {arg0, nullptr};
    pid_t pid = -1;
    if (posix_spawnp(&pid, "openbox", nullptr, nullptr, argv, environ) != 0) {
        return false;
    }
    m_nPid = pid;
    for (int i = 0; i < 100; ++i) {
        if (AnnouncedOnTheRootWindow()) {
            return true;
        }
        wxMilliSleep(50);
    }
    return false;
}

void CWindowManagerRun::Stop() {
    if (m_nPid > 0) {
        kill(static_cast<pid_t>(m_nPid), SIGTERM);
        waitpid(static_cast<pid_t>(m_nPid), nullptr, 0);
        m_nPid = -1;
    }
}
