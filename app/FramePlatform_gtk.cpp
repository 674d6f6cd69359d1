// GTK body of the frame's toolkit needs.
#include <gtk/gtk.h>
#include <wx/frame.h>
#include <wx/statusbr.h>
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

// GTK's status bar is wx's own drawing: each pane is drawn in the rectangle
// GetFieldRect gives, so two rows are two rectangles.
class CStackingStatusBar : public wxStatusBar {
public:
    CStackingStatusBar(wxWindow* pParent, wxWindowID id, long nStyle, const wxString& strName)
        : wxStatusBar(pParent, id, nStyle, strName), m_nRowHeight(GetSize().y) {}

    bool GetFieldRect(int i, wxRect& rect) const override {
        if (!m_bStacked || GetFieldsCount() != 2 || i < 0 || i > 1) {
            return wxStatusBar::GetFieldRect(i, rect);
        }
        const wxSize client = GetClientSize();
        const int nRow = client.y / 2;
        rect = wxRect(GetBorderX(), i * nRow + GetBorderY(), client.x - 2 * GetBorderX(),
                      nRow - 2 * GetBorderY());
        return true;
    }

    void Stack(wxFrame& frame, bool bStacked) {
        if (bStacked == m_bStacked) return;
        m_bStacked = bStacked;
        SetSize(wxDefaultCoord, wxDefaultCoord, wxDefaultCoord,
                bStacked ? 2 * m_nRowHeight : m_nRowHeight);
        // The frame packs its bar at the height it has when set: set it
        // again, and the client area follows.
        frame.SetStatusBar(this);
        frame.SendSizeEvent();
        Refresh();
    }

private:
    bool m_bStacked = false;
    const int m_nRowHeight;
};

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

wxStatusBar* CreatePanesBar(wxFrame& frame, long nStyle, wxWindowID id, const wxString& strName) {
    return new CStackingStatusBar(&frame, id, nStyle, strName);
}

bool StackPanes(wxFrame& frame, bool bStacked) {
    auto* pBar = dynamic_cast<CStackingStatusBar*>(frame.GetStatusBar());
    if (pBar == nullptr) return !bStacked;
    pBar->Stack(frame, bStacked);
    return true;
}

void RefuseSizeBelowMinimum(wxTopLevelWindow&) {}
