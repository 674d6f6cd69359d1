// The report list of found files: a virtual wxListCtrl over a row source.
#pragma once

#include <wx/listctrl.h>

#include "view/core/ResultRow.h"

class CResultListCtrl : public wxListCtrl {
public:
    CResultListCtrl(wxWindow* pParent, wxWindowID id);

    // The source is borrowed; call SyncRowCount after it changed.
    void SetRowSource(const CResultRowSource* pSource);
    void SyncRowCount();

protected:
    wxString OnGetItemText(long nItem, long nColumn) const override;

private:
    const CResultRowSource* m_pSource = nullptr;
};
