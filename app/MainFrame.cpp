// The main window's frame: placement, menu, status-bar layouts, close.
#include "app/MainFrame.h"

#include <wx/menu.h>
#include <wx/statusbr.h>

#include <algorithm>

#include "app/AboutDlg.h"
#include "res/KesmoraIcon.h"
#include "res/UiText.h"
#include "view/UiString.h"
#include "view/VCKesmoraView.h"
#include "view/core/SettingsKeys.h"

namespace {

using ui::ToWx;

// Own ids, so GTK attaches no stock accelerator (Ctrl+Q) to the items.
enum : int { kIdAppExit = wxID_HIGHEST + 1, kIdAppAbout };

constexpr int kMinWidth = 480;
constexpr int kMinHeight = 380;
constexpr int kMessagePaneWidth = 2300;
constexpr int kLeftPaneWidth = 350;
constexpr int kRightPaneWidth = 2000;

}  // namespace

wxRect ReadSavedWindowRect(CRegistry& registry) {
    using settings::ReadInt;
    settings::PointAt(registry, settings::kWindow);
    const int nLeft = ReadInt(registry, "Left", 100);
    const int nTop = ReadInt(registry, "Top", 100);
    const int nRight = ReadInt(registry, "Right", 580);
    const int nBottom = ReadInt(registry, "Bottom", 480);
    return wxRect(nLeft, nTop, nRight - nLeft, nBottom - nTop);
}

// clang-format off
wxBEGIN_EVENT_TABLE(CMainFrame, wxFrame)
    EVT_CLOSE(CMainFrame::OnClose)
    EVT_MENU(kIdAppExit, CMainFrame::OnAppExit)
    EVT_MENU(kIdAppAbout, CMainFrame::OnAppAbout)
wxEND_EVENT_TABLE();
// clang-format on

CMainFrame::CMainFrame(CRegistry* pRegistry) {
    // A saved rectangle too small or even negative still makes a window:
    // the minimum size applies, never a failed start.
    const wxRect rcSaved = ReadSavedWindowRect(*pRegistry);
    Create(nullptr, wxID_ANY, ToWx(UiText::kAppName), rcSaved.GetPosition(),
           wxSize(std::max(rcSaved.width, 1), std::max(rcSaved.height, 1)));
    m_rcNormal = GetRect();
    m_rcCreated = GetRect();
    SetSizeHints(kMinWidth, kMinHeight);

    wxIconBundle icons;
    icons.AddIcon(wxIcon(kKesmoraIcon32));
    icons.AddIcon(wxIcon(kKesmoraIcon16));
    SetIcons(icons);

    CreateMenu();
    CreateStatusPanes();
    m_pView = new CVCKesmoraView(this, this, pRegistry);
    m_pView->OnInitialUpdate();

    Bind(wxEVT_SIZE, &CMainFrame::OnSizeOrMove, this);
    Bind(wxEVT_MOVE, &CMainFrame::OnSizeOrMove, this);
    m_bPlacePending = true;
}

void CMainFrame::DoSetSize(int x, int y, int width, int height, int sizeFlags) {
    m_bPlacePending = false;
    wxFrame::DoSetSize(x, y, width, height, sizeFlags);
}

void CMainFrame::CreateMenu() {
    auto* pFile = new wxMenu;
    pFile->Append(kIdAppExit, ToWx(UiText::kMenuExit), ToWx(UiText::kPromptExit));
    auto* pHelp = new wxMenu;
    pHelp->Append(kIdAppAbout, ToWx(UiText::kMenuAbout), ToWx(UiText::kPromptAbout));
    auto* pBar = new wxMenuBar;
    pBar->Append(pFile, ToWx(UiText::kMenuFile));
    pBar->Append(pHelp, ToWx(UiText::kMenuHelp));
    SetMenuBar(pBar);
}

void CMainFrame::CreateStatusPanes() {
    wxStatusBar* pBar = CreateStatusBar(2);
    m_paneStyles[0] = wxSB_FLAT;
    m_paneStyles[1] = wxSB_FLAT;
    pBar->SetStatusStyles(2, m_paneStyles);
    pBar->SetStatusWidths(2, m_paneWidths);
    // Until the view writes its first layout, pane 0 shows the idle text
    // and the menu prompts.
    SetStatusBarPane(0);
    pBar->SetStatusText(ToWx(UiText::kIdleMessage), 0);
}

void CMainFrame::StopIdleTexts() { SetStatusBarPane(-1); }

void CMainFrame::ShowStatusMessage(const wxString& strText) {
    StopIdleTexts();
    wxStatusBar* pBar = GetStatusBar();
    SetPaneLayout(kMessagePaneWidth, m_paneWidths[1], wxSB_FLAT, m_paneStyles[1]);
    pBar->SetStatusText(strText, 0);
    pBar->Update();
}

void CMainFrame::ShowStatusPanes(const wxString& strLeft, const wxString& strRight) {
    StopIdleTexts();
    wxStatusBar* pBar = GetStatusBar();
    SetPaneLayout(kLeftPaneWidth, kRightPaneWidth, wxSB_SUNKEN, wxSB_SUNKEN);
    pBar->SetStatusText(strLeft, 0);
    pBar->SetStatusText(strRight, 1);
    pBar->Update();
}

// A search writes the folder many times a second; re-laying out the bar
// each time would cost a full relayout and repaint per call.
void CMainFrame::SetPaneLayout(int nWidth0, int nWidth1, int nStyle0, int nStyle1) {
    if (m_paneWidths[0] == nWidth0 && m_paneWidths[1] == nWidth1 && m_paneStyles[0] == nStyle0 &&
        m_paneStyles[1] == nStyle1) {
        return;
    }
    m_paneWidths[0] = nWidth0;
    m_paneWidths[1] = nWidth1;
    m_paneStyles[0] = nStyle0;
    m_paneStyles[1] = nStyle1;
    wxStatusBar* pBar = GetStatusBar();
    pBar->SetStatusStyles(2, m_paneStyles);
    pBar->SetStatusWidths(2, m_paneWidths);
}

void CMainFrame::RememberNormalRect() {
    if (IsShown() && !IsMaximized() && !IsIconized() && !IsFullScreen()) {
        m_rcNormal = GetRect();
    }
}

void CMainFrame::OnSizeOrMove(wxEvent& event) {
    event.Skip();
    if (m_bPlacePending && event.GetEventType() == wxEVT_MOVE && IsShown()) {
        m_bPlacePending = false;
        // The whole rectangle: under load GTK may report a transient size
        // here, which a plain move would keep.
        if (!IsMaximized() && !IsIconized() && GetRect() != m_rcCreated) {
            CallAfter([this] { SetSize(m_rcCreated); });
        }
    }
    RememberNormalRect();
}

WindowPlacement CMainFrame::GetPlacement() const {
    WindowPlacement placement;
    placement.nShowCmd = IsIconized() ? 2 : IsMaximized() ? 3 : 1;
    placement.rcNormal = m_rcNormal;
    return placement;
}

void CMainFrame::OnClose(wxCloseEvent&) {
    // The view saves while every control and this frame still exist.
    if (m_pView != nullptr) {
        m_pView->OnDestroy();
    }
    Destroy();
}

void CMainFrame::OnAppExit(wxCommandEvent&) { Close(); }

void CMainFrame::OnAppAbout(wxCommandEvent&) {
    CAboutDlg dlg(this);
    dlg.ShowModal();
}
