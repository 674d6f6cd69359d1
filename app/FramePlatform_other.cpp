// Toolkits without these faults: nothing to do (Windows does not let
// another process destroy a window), but for the minimum size.
#include <wx/frame.h>
#include <wx/statusbr.h>

#include "app/FramePlatform.h"

void PrepareFirstShow(wxTopLevelWindow&) {}

void OnDestroyedFromOutside(wxTopLevelWindow&, std::function<void()>) {}

wxStatusBar* CreatePanesBar(wxFrame& frame, long nStyle, wxWindowID id, const wxString& strName) {
    return new wxStatusBar(&frame, id, nStyle, strName);
}

bool StackPanes(wxFrame&, bool bStacked) { return !bStacked; }

// Windows' own drag asks the window for its minimum; a window manager
// resizing the X window beneath Wine does not.
void RefuseSizeBelowMinimum(wxTopLevelWindow& window) {
    if (!window.IsShown() || window.IsIconized() || window.IsMaximized()) return;
    const wxSize size = window.GetSize();
    const wxSize minimum = window.GetMinSize();
    if (size.x >= minimum.x && size.y >= minimum.y) return;
    window.CallAfter([&window] {
        if (!window.IsIconized() && !window.IsMaximized()) {
            wxSize size = window.GetSize();
            size.IncTo(window.GetMinSize());
            window.SetSize(size);
        }
    });
}
