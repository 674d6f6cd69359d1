// Windows body: the form's native controls fit its 20-pixel rows as they
// are, so the layout's pixels stand unchanged.
#include <windows.h>
#include <wx/bookctrl.h>
#include <wx/font.h>
#include <wx/fontenum.h>
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

// As in a dialog template, the tab strip is created first and so lies on
// top; Windows paints the top sibling first and the ones below over it. A
// sibling that clips itself against the siblings above it would never show
// on the strip's body, so the form's controls draw unclipped, like a
// dialog's.
void StackTabStripBelow(wxBookCtrlBase* pTab) {
    for (wxWindow* pSibling : pTab->GetParent()->GetChildren()) {
        if (pSibling == pTab) {
            continue;
        }
        const HWND hwnd = static_cast<HWND>(pSibling->GetHandle());
        const LONG_PTR style = ::GetWindowLongPtrW(hwnd, GWL_STYLE);
        ::SetWindowLongPtrW(hwnd, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_CLIPSIBLINGS));
    }
}

int FitControlWidth(const wxWindow*, int nWidth) { return nWidth; }

int FitComboWidth(const wxComboBox*, int nWidth) { return nWidth; }

int FitColumnWidth(const wxListCtrl*, int nWidth, const char*) { return nWidth; }
