// What the main frame asks of the toolkit beneath wx: one body per
// toolkit (FramePlatform_gtk.cpp, FramePlatform_other.cpp).
#pragma once

#include <wx/string.h>
#include <wx/windowid.h>

#include <functional>

class wxFrame;
class wxStatusBar;
class wxTopLevelWindow;

// Before the first show: gives the toolkit window the size it was created
// with. wx's first show under a window manager otherwise lays the window
// out at a stand-in size of two pixels, too narrow for the menu bar, and
// GTK reports that as a critical error on every start.
void PrepareFirstShow(wxTopLevelWindow& window);

// Calls onLost when the window system destroys the window from outside
// (another X client), in place of the toolkit tearing the window down
// behind wx's back; the window must then be closed as the user closes it.
void OnDestroyedFromOutside(wxTopLevelWindow& window, std::function<void()> onLost);

// The frame's status bar (wxFrame::OnCreateStatusBar).
wxStatusBar* CreatePanesBar(wxFrame& frame, long nStyle, wxWindowID id, const wxString& strName);

// Shows the bar's two panes one above the other (true), at twice the bar's
// height, or side by side (false). False where the toolkit draws the bar
// itself and cannot stack them.
bool StackPanes(wxFrame& frame, bool bStacked);

// On every size change: where the window system can make the window
// smaller than its minimum without asking it (a window manager's drag under
// Wine), the window takes its minimum back. Nothing where the toolkit's
// size hints already refuse it (GTK).
void RefuseSizeBelowMinimum(wxTopLevelWindow& window);
