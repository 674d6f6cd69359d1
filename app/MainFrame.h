// The main window: menu, status bar with its two layouts, minimum size and
// the placement it remembers; the form view fills its client area.
#pragma once

#include <wx/frame.h>

#include "tavoBasis/Registry.h"
#include "view/ViewHost.h"

class CVCKesmoraView;

class CMainFrame : public wxFrame, public CViewHost {
public:
    // Reads the saved rectangle, then builds menu, status bar and view.
    explicit CMainFrame(CRegistry* pRegistry);

    CVCKesmoraView* GetView() const { return m_pView; }

    void ShowStatusMessage(const wxString& strText) override;
    // The left pane is as wide as its text needs and 350 pixels where the
    // window leaves the right text room beside that; the right one 2000.
    // Where the window is too narrow for both texts side by side, the
    // right pane goes below the left one, so that each stays whole.
    void ShowStatusPanes(const wxString& strLeft, const wxString& strRight) override;

    WindowPlacement GetPlacement() const override;

    enum class StartState { Normal, Maximized, Minimized };
    // The first show, in the state the last run ended in.
    void ShowAtStart(StartState state);

protected:
    // A size or place set by the program is final: no later re-placement.
    void DoSetSize(int x, int y, int width, int height, int sizeFlags) override;
    wxStatusBar* OnCreateStatusBar(int number, long style, wxWindowID id,
                                   const wxString& name) override;

private:
    void CreateMenu();
    void CreateStatusPanes();
    void StopIdleTexts();
    void SetPaneLayout(int nWidth0, int nWidth1, int nStyle0, int nStyle1);
    void FitPanes();
    int LeftPaneWidth() const;
    int RightPaneNeeds() const;
    void KeepMinimumSize();
    bool TakeNormalRect(const wxEvent& event);

    void OnClose(wxCloseEvent& event);
    void OnAppExit(wxCommandEvent& event);
    void OnAppAbout(wxCommandEvent& event);
    void OnSizeOrMove(wxEvent& event);

    CVCKesmoraView* m_pView = nullptr;
    // The restored rectangle: the one the window opened with until the
    // window is seen restored. GTK knows no restored rectangle of a window
    // that is maximised or minimised, so it is tracked here.
    wxRect m_rcNormal;
    wxRect m_rcCreated;
    // Window managers may place a new window by their own policy, and give
    // a window that opened maximised or minimised a restored rectangle of
    // their own choosing: the rectangle it was created with is applied again
    // once the manager has placed the window, or when it is first restored.
    // Until then its sizes mean nothing (GTK passes through a few pixels'
    // size on the way), so none is taken as the restored rectangle.
    enum class Placing { AwaitFirstMove, AwaitStartState, AwaitRestore, Done };
    Placing m_placing = Placing::AwaitFirstMove;
    int m_paneWidths[2] = {-1, 0};
    int m_paneStyles[2];
    // The two-pane texts while that layout shows, to fit it to a new width.
    bool m_bTwoPanes = false;
    bool m_bStacked = false;
    wxString m_strLeft;
    wxString m_strRight;

    wxDECLARE_EVENT_TABLE();
};
