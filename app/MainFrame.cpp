// The main window's frame: placement, menu, status-bar layouts, close.
#include "app/MainFrame.h"

#include <wx/display.h>
#include <wx/menu.h>
#include <wx/statusbr.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

#include "app/AboutDlg.h"
#include "app/FramePlatform.h"
#include "res/UiText.h"
#include "search/SettingsKeys.h"
#include "view/ProgramIcons.h"
#include "view/UiString.h"
#include "view/VCKesmoraView.h"
#include "view/core/WindowPlace.h"

namespace {

using ui::ToWx;

// Own ids, so GTK attaches no stock accelerator (Ctrl+Q) to the items.
enum : int { kIdAppExit = wxID_HIGHEST + 1, kIdAppAbout };

constexpr int kMinWidth = 480;
constexpr int kMinHeight = 380;
constexpr int kDefaultLeft = 100;
constexpr int kDefaultTop = 100;
constexpr int kDefaultRight = 580;
constexpr int kDefaultBottom = 480;
constexpr int kMessagePaneWidth = 2300;
constexpr int kLeftPaneWidth = 350;
constexpr int kRightPaneWidth = 2000;
// A pane's borders and the space around its text.
constexpr int kPaneTextMargin = 12;

wxRect ReachableRect(const wxRect& rcSaved) {
    std::vector<ScreenRect> screens;
    for (unsigned i = 0; i < wxDisplay::GetCount(); ++i) {
        const wxRect rc = wxDisplay(i).GetGeometry();
        screens.push_back({rc.x, rc.y, rc.width, rc.height});
    }
    const ScreenRect rect = ReachableWindowRect(
        {rcSaved.x, rcSaved.y, rcSaved.width, rcSaved.height},
        {kDefaultLeft, kDefaultTop, kDefaultRight - kDefaultLeft, kDefaultBottom - kDefaultTop},
        kMinWidth, kMinHeight, screens);
    return wxRect(rect.x, rect.y, rect.width, rect.height);
}

wxRect ReadSavedWindowRect(CRegistry& registry) {
    using settings::ReadInt;
    settings::PointAt(registry, settings::kWindow);
    const int nLeft = ReadInt(registry, settings::kLeft, kDefaultLeft);
    const int nTop = ReadInt(registry, settings::kTop, kDefaultTop);
    const int nRight = ReadInt(registry, settings::kRight, kDefaultRight);
    const int nBottom = ReadInt(registry, settings::kBottom, kDefaultBottom);
    // In 64 bits: hand-edited values may lie far apart.
    const auto Span = [](int nFrom, int nTo) {
        const std::int64_t span = std::int64_t{nTo} - nFrom;
        return static_cast<int>(std::clamp<std::int64_t>(span, INT_MIN, INT_MAX));
    };
    return wxRect(nLeft, nTop, Span(nLeft, nRight), Span(nTop, nBottom));
}

}  // namespace

// clang-format off
wxBEGIN_EVENT_TABLE(CMainFrame, wxFrame)
    EVT_CLOSE(CMainFrame::OnClose)
    EVT_MENU(kIdAppExit, CMainFrame::OnAppExit)
    EVT_MENU(kIdAppAbout, CMainFrame::OnAppAbout)
wxEND_EVENT_TABLE();
// clang-format on

CMainFrame::CMainFrame(CRegistry* pRegistry) {
    const wxRect rcOpen = ReachableRect(ReadSavedWindowRect(*pRegistry));
    Create(nullptr, wxID_ANY, ToWx(UiText::kAppName), rcOpen.GetPosition(), rcOpen.GetSize());
    m_rcNormal = GetRect();
    m_rcCreated = GetRect();
    KeepMinimumSize();

    SetIcons(ProgramIcons());

    CreateMenu();
    CreateStatusPanes();
    m_pView = new CVCKesmoraView(this, this, pRegistry);
    m_pView->OnInitialUpdate();

    Bind(wxEVT_SIZE, &CMainFrame::OnSizeOrMove, this);
    Bind(wxEVT_MOVE, &CMainFrame::OnSizeOrMove, this);
    // Destroyed by another program: end as a close does, saving first.
    OnDestroyedFromOutside(*this, [this] { Close(true); });
}

void CMainFrame::ShowAtStart(StartState state) {
    if (state == StartState::Maximized) {
        Maximize(true);
    } else if (state == StartState::Minimized) {
        Iconize(true);
    }
    m_placing = state == StartState::Normal ? Placing::AwaitFirstMove : Placing::AwaitStartState;
    PrepareFirstShow(*this);
    Show(true);
}

void CMainFrame::DoSetSize(int x, int y, int width, int height, int sizeFlags) {
    if (m_placing == Placing::AwaitFirstMove) {
        m_placing = Placing::Done;
    }
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

wxStatusBar* CMainFrame::OnCreateStatusBar(int number, long style, wxWindowID id,
                                           const wxString& name) {
    wxStatusBar* pBar = CreatePanesBar(*this, style, id, name);
    pBar->SetFieldsCount(number);
    return pBar;
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
    m_bTwoPanes = false;
    if (m_bStacked) {
        m_bStacked = !StackPanes(*this, false);
    }
    wxStatusBar* pBar = GetStatusBar();
    SetPaneLayout(kMessagePaneWidth, m_paneWidths[1], wxSB_FLAT, m_paneStyles[1]);
    pBar->SetStatusText(strText, 0);
    pBar->Update();
}

void CMainFrame::ShowStatusPanes(const wxString& strLeft, const wxString& strRight) {
    StopIdleTexts();
    wxStatusBar* pBar = GetStatusBar();
    m_bTwoPanes = true;
    m_strLeft = strLeft;
    m_strRight = strRight;
    FitPanes();
    pBar->SetStatusText(strLeft, 0);
    pBar->SetStatusText(strRight, 1);
    pBar->Update();
}

// The design's 350 pixels were measured for a 9-point font; GTK's default
// is wider, and a text cut short loses its end ("をクリア", the last digits
// of a total). So the left pane takes what its text needs, and gives up the
// rest of its 350 pixels where the window is too narrow for the right text
// beside that. Narrower still, the panes are stacked.
void CMainFrame::FitPanes() {
    const int nLeft = GetStatusBar()->GetTextExtent(m_strLeft).x + kPaneTextMargin;
    const bool bStack = nLeft + RightPaneNeeds() > GetClientSize().x;
    if (bStack != m_bStacked && StackPanes(*this, bStack)) {
        m_bStacked = bStack;
    }
    SetPaneLayout(LeftPaneWidth(), kRightPaneWidth, wxSB_SUNKEN, wxSB_SUNKEN);
}

int CMainFrame::LeftPaneWidth() const {
    const int nLeft = GetStatusBar()->GetTextExtent(m_strLeft).x + kPaneTextMargin;
    const int nRoom = GetClientSize().x - RightPaneNeeds();
    return std::max(nLeft, std::min(kLeftPaneWidth, nRoom));
}

// The right text, its margins and the size grip in the bar's corner, which
// is as wide as a row of the bar is high.
int CMainFrame::RightPaneNeeds() const {
    const wxStatusBar* pBar = GetStatusBar();
    const int nRowHeight = pBar->GetSize().y / (m_bStacked ? 2 : 1);
    return pBar->GetTextExtent(m_strRight).x + kPaneTextMargin + nRowHeight;
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

// False while the window's rectangle is not its restored one.
bool CMainFrame::TakeNormalRect(const wxEvent& event) {
    if (!IsShown()) {
        return false;
    }
    if (IsMaximized() || IsIconized() || IsFullScreen()) {
        if (m_placing == Placing::AwaitStartState) {
            m_placing = Placing::AwaitRestore;
        }
        return false;
    }
    switch (m_placing) {
        case Placing::AwaitStartState:
            return false;
        case Placing::AwaitFirstMove:
            if (event.GetEventType() != wxEVT_MOVE) {
                return false;
            }
            break;
        case Placing::AwaitRestore:
            break;
        case Placing::Done:
            return true;
    }
    m_placing = Placing::Done;
    if (GetRect() != m_rcCreated) {
        // The whole rectangle: under load GTK may report a transient size
        // here, which a plain move would keep.
        CallAfter([this] { SetSize(m_rcCreated); });
        return false;
    }
    return true;
}

// When the manager's frame around the window changes (a maximised window
// loses its borders), wx shrinks a minimum that equals the window's size by
// the change, and GTK's hints with it: a restored window could then be made
// smaller than the minimum, and that size saved.
void CMainFrame::KeepMinimumSize() {
    const wxSize minimum = FromDIP(wxSize(kMinWidth, kMinHeight));
    if (GetMinSize() != minimum) {
        SetSizeHints(minimum);
    }
}

void CMainFrame::OnSizeOrMove(wxEvent& event) {
    event.Skip();
    KeepMinimumSize();
    if (event.GetEventType() == wxEVT_SIZE) RefuseSizeBelowMinimum(*this);
    if (m_bTwoPanes && event.GetEventType() == wxEVT_SIZE) {
        // Not now: while the window manager sizes the window, GTK 3 keeps
        // the bar at the height it had, so panes stacked now would be drawn
        // over each other in one row.
        CallAfter([this] {
            if (m_bTwoPanes) FitPanes();
        });
    }
    if (TakeNormalRect(event)) {
        m_rcNormal = GetRect();
    }
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
