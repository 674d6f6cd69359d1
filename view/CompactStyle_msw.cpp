// Windows body: the form's native controls fit its 20-pixel rows as they
// are; only the tab strip beneath them needs its place in the stacking.
#include <windows.h>
#include <wx/bookctrl.h>
#include <wx/combobox.h>
#include <wx/dcclient.h>
#include <wx/font.h>
#include <wx/fontenum.h>
#include <wx/listctrl.h>
#include <wx/settings.h>
#include <wx/statbox.h>
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

// Where the list view draws a cell's text from its left edge.
constexpr int kCellTextMargin = 6;

void Stack(wxWindow* pWindow, LONG_PTR style) {
    const HWND hwnd = static_cast<HWND>(pWindow->GetHandle());
    ::SetWindowLongPtrW(hwnd, GWL_STYLE, ::GetWindowLongPtrW(hwnd, GWL_STYLE) | style);
    ::SetWindowPos(hwnd, HWND_BOTTOM, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

// The whole box, its inside too, less the controls above it. (The
// toolkit's own painting leaves out every sibling it overlaps, so on the
// strip the inside went unpainted, and takes its siblings' clipping away.)
void PaintBox(wxPaintEvent& event) {
    auto* pBox = static_cast<wxWindow*>(event.GetEventObject());
    wxPaintDC dc(pBox);
    dc.SetBackground(pBox->GetParent()->GetBackgroundColour());
    dc.Clear();
    pBox->MSWDefWindowProc(WM_PAINT, reinterpret_cast<WXWPARAM>(dc.GetHDC()), 0);
}

}  // namespace

// Windows paints overlapping siblings one at a time, in an order of its
// own, and gives the mouse to the topmost. As in a dialog template the tab
// strip was created first, so it lay on top, painted over the page controls
// whenever it alone was repainted, and took their clicks. Here each pixel
// of the form has one owner: the controls on top, then the group boxes
// around them, then the strip, each clipped against those above it.
// The toolkit keeps the keyboard's order in its own list of children.
void StackTabStripBelow(wxBookCtrlBase* pTab) {
    for (wxWindow* pSibling : pTab->GetParent()->GetChildren()) {
        if (dynamic_cast<wxStaticBox*>(pSibling) != nullptr) {
            pSibling->Bind(wxEVT_PAINT, PaintBox);
            Stack(pSibling, WS_CLIPSIBLINGS);
        }
    }
    Stack(pTab, WS_CLIPSIBLINGS);
}

// The edit's margins and borders, and the drop-down button.
int ComboChromeWidth(const wxComboBox* pCombo) {
    return pCombo->ToDIP(wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, pCombo)) + 12;
}

int ListTextLeft(const wxListCtrl* pList, long nRow, long nColumn) {
    wxRect rect;
    if (!pList->GetSubItemRect(nRow, nColumn, rect, wxLIST_RECT_LABEL)) return -1;
    // The list view gives a cell's bounds, in the coordinates of its mouse
    // messages, and draws the text a margin in.
    return rect.x + pList->FromDIP(kCellTextMargin);
}
