// Windows body: the form's native controls fit its 20-pixel rows as they
// are; only the mouse needs the tab strip's help.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>
#include <windowsx.h>
#include <wx/bookctrl.h>
#include <wx/combobox.h>
#include <wx/font.h>
#include <wx/fontenum.h>
#include <wx/listctrl.h>
#include <wx/settings.h>
#include <wx/window.h>

#include "view/CompactStyle.h"

void ApplyCompactStyle(wxWindow* pForm) {
    // The form was drawn for 9-point MS P Gothic; IPA's free counterpart
    // has the same metrics. A system with neither keeps its own UI face
    // (its font links supply the Japanese glyphs).
    wxFont font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
    font.SetPointSize(9);
    for (const char* pszFace : {"MS PGothic", "IPAPGothic"}) {
        if (wxFontEnumerator::IsValidFacename(pszFace)) {
            font = wxFont(wxFontInfo(9).FaceName(pszFace));
            break;
        }
    }
    pForm->SetFont(font);
}

namespace {

constexpr UINT_PTR kPassClicksId = 1;
// Where the list view draws a cell's text from its left edge.
constexpr int kCellTextMargin = 6;

// The mouse finds the topmost window under it, and the strip and its pages
// lie above the page controls: over the body they answer as a group box
// does, so the click goes on to the control beneath. The tabs keep theirs.
LRESULT CALLBACK PassBodyClicks(HWND hwnd, UINT nMsg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR bWholeWindow) {
    if (nMsg == WM_NCHITTEST) {
        if (bWholeWindow != 0) {
            return HTTRANSPARENT;
        }
        POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ::ScreenToClient(hwnd, &pt);
        RECT body{};
        ::GetClientRect(hwnd, &body);
        TabCtrl_AdjustRect(hwnd, FALSE, &body);
        if (::PtInRect(&body, pt)) {
            return HTTRANSPARENT;
        }
    } else if (nMsg == WM_NCDESTROY) {
        ::RemoveWindowSubclass(hwnd, PassBodyClicks, kPassClicksId);
    }
    return ::DefSubclassProc(hwnd, nMsg, wParam, lParam);
}

}  // namespace

// As in a dialog template, the tab strip is created first and so lies on
// top; Windows paints the top sibling first and the ones below over it. A
// sibling that clips itself against the siblings above it would never show
// on the strip's body, so the form's controls draw unclipped, like a
// dialog's. The stacking stays (it is also the order the controls are
// painted in); only the mouse is let through.
void StackTabStripBelow(wxBookCtrlBase* pTab) {
    for (wxWindow* pSibling : pTab->GetParent()->GetChildren()) {
        if (pSibling == pTab) {
            continue;
        }
        const HWND hwnd = static_cast<HWND>(pSibling->GetHandle());
        const LONG_PTR style = ::GetWindowLongPtrW(hwnd, GWL_STYLE);
        ::SetWindowLongPtrW(hwnd, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_CLIPSIBLINGS));
    }
    ::SetWindowSubclass(static_cast<HWND>(pTab->GetHandle()), PassBodyClicks, kPassClicksId, 0);
    for (size_t nPage = 0; nPage < pTab->GetPageCount(); ++nPage) {
        ::SetWindowSubclass(static_cast<HWND>(pTab->GetPage(nPage)->GetHandle()), PassBodyClicks,
                            kPassClicksId, 1);
    }
}

// The edit's margins and borders, and the drop-down button.
int ComboChromeWidth(const wxComboBox* pCombo) {
    return pCombo->ToDIP(wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, pCombo)) + 12;
}

// The form's controls draw unclipped over the tab strip's body (above),
// and Windows repaints only what each move uncovered, in an order that
// leaves the strip's pages over some controls and old edges of others on
// screen. After a layout, all of it is painted again in one pass, as a
// restore from the taskbar does.
void RepaintForm(wxWindow* pForm) {
    ::RedrawWindow(static_cast<HWND>(pForm->GetHandle()), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

int ListTextLeft(const wxListCtrl* pList, long nRow, long nColumn) {
    wxRect rect;
    if (!pList->GetSubItemRect(nRow, nColumn, rect, wxLIST_RECT_LABEL)) return -1;
    // The list view gives a cell's bounds, in the coordinates of its mouse
    // messages, and draws the text a margin in.
    return rect.x + pList->FromDIP(kCellTextMargin);
}
