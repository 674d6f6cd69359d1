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
    // The left pane is 350 pixels wide, the right one 2000.
    void ShowStatusPanes(const wxString& strLeft, const wxString& strRight) override;

    WindowPlacement GetPlacement() const override;

protected:
    // A size or place set by the program is final: no later re-placement.
    void DoSetSize(int x, int y, int width, int height, int sizeFlags) override;

private:
    void CreateMenu();
    void CreateStatusPanes();
    void StopIdleTexts();
    void SetPaneLayout(int nWidth0, int nWidth1, int nStyle0, int nStyle1);
    void RememberNormalRect();

    void OnClose(wxCloseEvent& event);
    void OnAppExit(wxCommandEvent& event);
    void OnAppAbout(wxCommandEvent& event);
    void OnSizeOrMove(wxEvent& event);

    CVCKesmoraView* m_pView = nullptr;
    wxRect m_rcNormal;
    // Window managers may place a new window by their own policy; the saved
    // rectangle is applied again once the manager has placed it.
    wxRect m_rcCreated;
    bool m_bPlacePending = true;
    int m_paneWidths[2] = {-1, 0};
    int m_paneStyles[2];

    wxDECLARE_EVENT_TABLE();
};

// Reads a rectangle of the Window section: Left, Top, Right, Bottom.
wxRect ReadSavedWindowRect(CRegistry& registry);
