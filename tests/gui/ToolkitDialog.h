// The toolkit's own modal dialog as the user meets it: shown for real (no
// wxModalDialogHook may answer it), described once it is on screen, then
// cancelled.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct ShownDialog {
    bool bShown = false;
    std::string strIcon;                    // a message box's icon name
    bool bIconInTheme = false;              // the icon theme can draw it
    std::vector<std::string> buttonLabels;  // in the order shown
    int nWidth = 0;
    int nHeight = 0;
};

// Runs show, which must open one modal toolkit dialog, and returns what
// that dialog showed once it is on screen and, when given, settled says
// so (a window manager may still be sizing it), or after about ten seconds.
ShownDialog WatchNextDialog(const std::function<void()>& show,
                            const std::function<bool(const ShownDialog&)>& settled = {});
