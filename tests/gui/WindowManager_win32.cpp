// Windows body: a Windows program cannot start the X window manager under
// Wine; the Wine runner (scripts/test-windows-gui.sh) keeps one openbox up
// for the whole run and says so in KESMORA_WINDOW_MANAGER.
#include <cstdlib>
#include <cstring>

#include "WindowManager.h"

bool CWindowManagerRun::Start() {
    const char* pszManager = std::getenv("KESMORA_WINDOW_MANAGER");
    return pszManager != nullptr && std::strcmp(pszManager, "openbox") == 0;
}

void CWindowManagerRun::Stop() {}
