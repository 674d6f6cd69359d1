// GTK body of the frame's toolkit needs.
#include <gtk/gtk.h>
#include <wx/toplevel.h>

#include <utility>

#include "app/FramePlatform.h"

namespace {

gboolean OnDestroyEvent(GtkWidget*, GdkEvent*, gpointer pData) {
    (*static_cast<std::function<void()>*>(pData))();
    // Handled: GTK would destroy the widget itself, leaving wx a frame
    // without a window and the program running with nothing on screen.
    return TRUE;
}

void FreeCallback(gpointer pData, GClosure*) { delete static_cast<std::function<void()>*>(pData); }

}  // namespace

void PrepareFirstShow(wxTopLevelWindow& window) {
    GtkWidget* pWidget = static_cast<GtkWidget*>(window.GetHandle());
    if (gtk_widget_get_realized(pWidget)) {
        return;
    }
    // An unrealized window still has GTK's initial 1x1 allocation, which wx
    // widens to 2 for its deferred first show and GTK then lays the menu
    // bar out in. The window's own size leaves every child what it needs;
    // the manager's placement sizes it properly afterwards.
    const wxSize size = window.GetSize();
    GtkAllocation allocation{0, 0, size.x, size.y};
    gtk_widget_set_allocation(pWidget, &allocation);
}

void OnDestroyedFromOutside(wxTopLevelWindow& window, std::function<void()> onLost) {
    g_signal_connect_data(window.GetHandle(), "destroy-event", G_CALLBACK(OnDestroyEvent),
                          new std::function<void()>(std::move(onLost)), FreeCallback,
                          GConnectFlags(0));
}
