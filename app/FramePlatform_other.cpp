// Toolkits without these faults: nothing to do. (Windows does not let
// another process destroy a window.)
#include <wx/frame.h>
#include <wx/statusbr.h>

#include "app/FramePlatform.h"

void PrepareFirstShow(wxTopLevelWindow&) {}

void OnDestroyedFromOutside(wxTopLevelWindow&, std::function<void()>) {}

wxStatusBar* CreatePanesBar(wxFrame& frame, long nStyle, wxWindowID id, const wxString& strName) {
    return new wxStatusBar(&frame, id, nStyle, strName);
}

bool StackPanes(wxFrame&, bool bStacked) { return !bStacked; }
