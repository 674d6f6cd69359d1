// X11 body of the other client: a connection of its own, closed after
// each request so the request has reached the server.
#include "OtherClient.h"

#include <X11/Xlib.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#include <wx/window.h>

namespace otherclient {
namespace {

Window XWindowOf(wxWindow* pWindow) {
    GtkWidget* pWidget = static_cast<GtkWidget*>(pWindow->GetHandle());
    return GDK_WINDOW_XID(gtk_widget_get_window(pWidget));
}

}  // namespace

void Activate(wxWindow* pWindow) {
    Display* pDisplay = XOpenDisplay(nullptr);
    if (pDisplay == nullptr) return;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = XWindowOf(pWindow);
    event.xclient.message_type = XInternAtom(pDisplay, "_NET_ACTIVE_WINDOW", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = 2;  // from a pager
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(pDisplay, DefaultRootWindow(pDisplay), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XCloseDisplay(pDisplay);
}

void Resize(wxWindow* pWindow, int nWidth, int nHeight) {
    Display* pDisplay = XOpenDisplay(nullptr);
    if (pDisplay == nullptr) return;
    XResizeWindow(pDisplay, XWindowOf(pWindow), static_cast<unsigned>(nWidth),
                  static_cast<unsigned>(nHeight));
    XCloseDisplay(pDisplay);
}

void Destroy(wxWindow* pWindow) {
    Display* pDisplay = XOpenDisplay(nullptr);
    if (pDisplay == nullptr) return;
    XDestroyWindow(pDisplay, XWindowOf(pWindow));
    XCloseDisplay(pDisplay);
}

bool IsOnScreen(wxWindow* pWindow) {
    GtkWidget* pWidget = static_cast<GtkWidget*>(pWindow->GetHandle());
    if (!gtk_widget_get_realized(pWidget)) return false;
    Display* pDisplay = XOpenDisplay(nullptr);
    if (pDisplay == nullptr) return false;
    XWindowAttributes attributes{};
    const bool bViewable = XGetWindowAttributes(pDisplay, XWindowOf(pWindow), &attributes) != 0 &&
                           attributes.map_state == IsViewable;
    XCloseDisplay(pDisplay);
    return bViewable;
}

}  // namespace otherclient
