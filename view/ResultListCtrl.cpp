// The virtual result list: row count from the source, texts on demand.
#include "view/ResultListCtrl.h"

std::string CResultRows::GetCellText(std::size_t nRow, int nColumn) const {
    if (nRow >= m_rows.size()) {
        return {};
    }
    const ResultRow& row = m_rows[nRow];
    switch (nColumn) {
        case 0:
            return row.strPath;
        case 1:
            return row.strSize;
        case 2:
            return row.strCreated;
        case 3:
            return row.strModified;
        default:
            return {};
    }
}

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
