// The main window: menu, status bar with its two layouts, minimum size and
// the placement it remembers; the form view fills its client area.
#pragma once

#include <wx/frame.h>

#include "tavoBasis/Registry.h"

class CVCKesmoraView;

// What is saved of the window: its restored rectangle and its show state
// (1 normal, 2 minimised, 3 maximised).
struct WindowPlacement {
    int nShowCmd = 1;
    wxRect rcNormal;
};

class CMainFrame : public wxFrame {
public:
    // Reads the saved rectangle, then builds menu, status bar and view.
    explicit CMainFrame(CRegistry* pRegistry);

    CVCKesmoraView* GetView() const { return m_pView; }

    // One wide borderless pane.
    void ShowStatusMessage(const wxString& strText);
    // A left pane of 350 pixels and a right one of 2000, both with borders.
    void ShowStatusPanes(const wxString& strLeft, const wxString& strRight);

    WindowPlacement GetPlacement() const;

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
