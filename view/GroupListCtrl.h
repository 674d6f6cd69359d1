// The project view's list: a virtual wxListCtrl over the search's groups,
// largest first until a header says otherwise, each with a bar of its share
// of the total.
#pragma once

#include <wx/imaglist.h>
#include <wx/listctrl.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "search/ProjectGroups.h"

class CGroupListCtrl : public wxListCtrl {
public:
    CGroupListCtrl(wxWindow* pParent, wxWindowID id);

    // Once the form's font is set: the columns, fitted to their texts but
    // for the folder's, which the user sizes (and the settings keep).
    void InitColumns(int nFolderWidth);
    int FolderColumnWidth() const;
    // The groups are borrowed; call SyncGroups after they changed.
    void SetGroups(const CProjectGroups* pGroups);
    // Puts the non-empty groups in their order again and shows their count
    // at once; a selected or focused group stays so wherever it moved.
    void SyncGroups();
    // A click on a column's header: its order, the other way round when it
    // already is (the share and the size are one order). The groups keep
    // that order as they grow, and through later searches: unlike the file
    // list's, it costs little to keep.
    void SortByColumn(long nColumn);
    // The groups of the selected rows; selecting exactly these groups.
    std::vector<std::size_t> SelectedGroups() const;
    void SelectGroups(const std::vector<std::size_t>& groups);
    // The group shown at a row, or none past the list's end.
    const ProjectGroup* GroupAt(long nRow) const;

protected:
    wxString OnGetItemText(long nItem, long nColumn) const override;
    int OnGetItemColumnImage(long nItem, long nColumn) const override;
    int OnGetItemImage(long nItem) const override;

private:
    const CProjectGroups* m_pGroups = nullptr;
    // Group indices in the order shown.
    std::vector<std::size_t> m_order;
    GroupOrder m_key = GroupOrder::Size;
    bool m_bAscending = false;
    std::uint64_t m_total = 0;
    wxImageList m_bars;
};
