// The virtual result list: row count from the rows, texts on demand.
#include "view/ResultListCtrl.h"

CResultListCtrl::CResultListCtrl(wxWindow* pParent, wxWindowID id)
    : wxListCtrl(pParent, id, wxDefaultPosition, wxDefaultSize,
                 wxLC_REPORT | wxLC_VIRTUAL | wxBORDER_SUNKEN) {}

void CResultListCtrl::SetRows(const CResultRows* pRows) {
    m_pRows = pRows;
    SyncRowCount();
}

void CResultListCtrl::SyncRowCount() {
    const long count = m_pRows != nullptr ? static_cast<long>(m_pRows->GetRowCount()) : 0;
    if (count != GetItemCount()) {
        SetItemCount(count);
    }
    Refresh();
}

wxString CResultListCtrl::OnGetItemText(long nItem, long nColumn) const {
    if (m_pRows == nullptr || nItem < 0) {
        return wxString();
    }
    return wxString::FromUTF8(
        m_pRows->GetCellText(static_cast<std::size_t>(nItem), static_cast<int>(nColumn)));
}
