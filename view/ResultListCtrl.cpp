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
    if (count == 0 && GetItemCount() != 0) {
        // The generic list remembers a select-all as "every row, also those
        // still to come"; only emptying it this way forgets that, so a new
        // list starts with nothing selected.
        DeleteAllItems();
    } else if (count != GetItemCount()) {
        const long nOld = GetItemCount();
        const long nSelected = GetSelectedItemCount();
        SetItemCount(count);
        // The generic list keeps a selection of most rows as "all but
        // these", so rows appended after a select-all (or a long range)
        // would come selected, unseen, and be deleted with the others.
        if (count > nOld && GetSelectedItemCount() > nSelected) {
            for (long n = nOld; n < count; ++n) {
                SetItemState(n, 0, wxLIST_STATE_SELECTED);
            }
        }
    }
    Refresh();
    // The generic list lays out a new row count only at idle time, and a
    // paint before that draws nothing. A search's timer, always due on a
    // busy machine, keeps idle time away: the list stayed empty while the
    // status bar moved on. Lay it out and draw it now.
    Update();
}

wxString CResultListCtrl::OnGetItemText(long nItem, long nColumn) const {
    if (m_pRows == nullptr || nItem < 0) {
        return wxString();
    }
    return wxString::FromUTF8(
        m_pRows->GetCellText(static_cast<std::size_t>(nItem), static_cast<int>(nColumn)));
}
