// What every toolkit fits alike: labels and list columns to their texts.
#include "view/CompactStyle.h"

#include <wx/checkbox.h>
#include <wx/listctrl.h>
#include <wx/radiobut.h>
#include <wx/stattext.h>

#include <algorithm>

// Labels, check boxes and radios grow to their text: the face the form
// gets (IPA's on GTK and under Wine, a system's own UI face where MS P
// Gothic is missing) may draw wider glyphs than the form's pixels allow for.
int FitControlWidth(const wxWindow* pControl, int nWidth) {
    if (dynamic_cast<const wxCheckBox*>(pControl) != nullptr ||
        dynamic_cast<const wxRadioButton*>(pControl) != nullptr ||
        dynamic_cast<const wxStaticText*>(pControl) != nullptr) {
        return std::max(nWidth, pControl->GetBestSize().x);
    }
    return nWidth;
}

// A column never gets narrower than its usual text needs, so a time or a
// multi-gigabyte size is not cut off.
int FitColumnWidth(const wxListCtrl* pList, int nWidth, const char* pszSample) {
    return std::max(nWidth, pList->GetTextExtent(pszSample).x + 16);
}
