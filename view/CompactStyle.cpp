// What every toolkit fits alike: labels and list columns to their texts.
#include "view/CompactStyle.h"

#include <wx/checkbox.h>
#include <wx/combobox.h>
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

int FitComboWidth(const wxComboBox* pCombo, int nWidth) {
    int widest = 0;
    for (unsigned i = 0; i < pCombo->GetCount(); ++i) {
        widest = std::max(widest, pCombo->GetTextExtent(pCombo->GetString(i)).x);
    }
    return std::max(nWidth, pCombo->ToDIP(widest) + ComboChromeWidth(pCombo));
}

// A column never gets narrower than its usual text needs, so a time or a
// multi-gigabyte size is not cut off, nor than its header with the sort
// arrow beside it (a Japanese face and a larger scale widen both).
int FitColumnWidth(const wxListCtrl* pList, int nWidth, const char* pszSample,
                   const wxString& strHeader) {
    const int nArrowRoom = pList->FromDIP(28);
    return std::max({nWidth, pList->GetTextExtent(pszSample).x + pList->FromDIP(16),
                     pList->GetTextExtent(strHeader).x + nArrowRoom});
}

void ShowSortArrow(wxListCtrl* pList, int nColumn, bool bAscending) {
    // The generic header draws a right-aligned label where the arrow goes:
    // such a label ends in a full-width space while the arrow is on it.
    const wxString strRoom(wxUniChar(0x3000));
    for (int i = 0; i < pList->GetColumnCount(); ++i) {
        wxListItem column;
        column.SetMask(wxLIST_MASK_TEXT | wxLIST_MASK_FORMAT);
        pList->GetColumn(i, column);
        wxString strLabel = column.GetText();
        const bool bHadRoom = strLabel.EndsWith(strRoom, &strLabel);
        const bool bNeedsRoom = i == nColumn && column.GetAlign() == wxLIST_FORMAT_RIGHT;
        if (bHadRoom != bNeedsRoom) {
            column.SetText(bNeedsRoom ? strLabel + strRoom : strLabel);
            pList->SetColumn(i, column);
        }
    }
    if (nColumn >= 0) {
        pList->ShowSortIndicator(nColumn, bAscending);
    } else {
        pList->RemoveSortIndicator();
    }
}
