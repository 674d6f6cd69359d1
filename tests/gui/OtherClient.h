// Another X client acting on the program's window, as a pager, a window
// manager's menu or a tool like xdotool would: through its own connection.
#pragma once

class wxWindow;

namespace otherclient {

// Asks the window manager to activate the window (_NET_ACTIVE_WINDOW), as
// a task bar does when the user clicks a minimised window.
void Activate(wxWindow* pWindow);
// Asks for a new size of the window's X window, as a user's drag on its
// border does: the window manager carries it out.
void Resize(wxWindow* pWindow, int nWidth, int nHeight);
// Destroys the window's X window.
void Destroy(wxWindow* pWindow);
// Whether the window is mapped and viewable on the screen.
bool IsOnScreen(wxWindow* pWindow);

}  // namespace otherclient
