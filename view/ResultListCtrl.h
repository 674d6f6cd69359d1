// The report list of found files: a virtual wxListCtrl over the view's rows.
#pragma once

#include <wx/listctrl.h>

#include "search/ResultRow.h"

class CResultListCtrl : public wxListCtrl {
public:
    CResultListCtrl(wxWindow* pParent, wxWindowID id);

    // The rows are borrowed; call SyncRowCount after they changed: the list
    // shows their count at once, and an emptied list has no selection.
    void SetRows(const CResultRows* pRows);
    void SyncRowCount();

protected:
    wxString OnGetItemText(long nItem, long nColumn) const override;

private:
    const CResultRows* m_pRows = nullptr;
};
