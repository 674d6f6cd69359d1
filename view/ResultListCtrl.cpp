// The virtual result list: row count from the source, texts on demand.
#include "view/ResultListCtrl.h"

CResultListCtrl::CResultListCtrl(wxWindow* pParent, wxWindowID id)
    : wxListCtrl(pParent, id, wxDefaultPosition, wxDefaultSize,
                 wxLC_REPORT | wxLC_VIRTUAL | wxBORDER_SUNKEN) {}

void CResultListCtrl::SetRowSource(const CResultRowSource* pSource) {
    m_pSource = pSource;
    SyncRowCount();
}

void CResultListCtrl::SyncRowCount() {
    const long count = m_pSource != nullptr ? static_cast<long>(m_pSource->GetRowCount()) : 0;
    if (count != GetItemCount()) {
        SetItemCount(count);
    }
    Refresh();
}

wxString CResultListCtrl::OnGetItemText(long nItem, long nColumn) const {
    if (m_pSource == nullptr || nItem < 0) {
        return wxString();
    }
    return wxString::FromUTF8(
        m_pSource->GetCellText(static_cast<std::size_t>(nItem), static_cast<int>(nColumn)));
}
