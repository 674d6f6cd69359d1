// Toolkits without these faults: nothing to do. (Windows does not let
// another process destroy a window.)
#include "app/FramePlatform.h"

void PrepareFirstShow(wxTopLevelWindow&) {}

void OnDestroyedFromOutside(wxTopLevelWindow&, std::function<void()>) {}
