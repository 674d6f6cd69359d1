// The project view's list: a virtual wxListCtrl over the search's groups as
// a tree (groups nested, a group opened to its folders, a folder to its
// files), largest first at each level until a header says otherwise, each
// row with a bar of its share of the total.
#pragma once

#include <wx/imaglist.h>
#include <wx/listctrl.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "search/ProjectGroups.h"
#include "search/ResultRow.h"
#include "view/core/ProjectTree.h"

class CGroupListCtrl : public wxListCtrl {
public:
    CGroupListCtrl(wxWindow* pParent, wxWindowID id);

    // Once the form's font is set: the columns, fitted to their texts but
    // for the folder's, which the user sizes (and the settings keep).
    void InitColumns(int nFolderWidth);
    int FolderColumnWidth() const;
    // The groups and the rows they count are borrowed; call SyncGroups
    // after they changed.
    void SetGroups(const CProjectGroups* pGroups, const std::vector<ResultRow>* pRows);
    // A new search: every group back to its first state.
    void ResetTree();
    // The rows were erased or put in another order.
    void RowsChanged();
    // Lays the tree out again and shows its rows at once; a selected or
    // focused row stays so wherever it moved.
    void SyncGroups();
    // A click on a column's header: its order, the other way round when it
    // already is (the share and the size are one order). The groups keep
    // that order as they grow, and through later searches: unlike the file
    // list's, it costs little to keep.
    void SortByColumn(long nColumn);
    // Opens or closes the row (a group or a folder); true when it could.
    bool OpenRow(long nRow, bool bOpen);
    bool ToggleRow(long nRow);
    // The rows selected, as tree nodes; selecting exactly these groups.
    std::vector<TreeNode> SelectedNodes() const;
    void SelectGroups(const std::vector<std::size_t>& groups);
    // The files the selected rows hold, as rows of the file list.
    std::vector<std::size_t> SelectedFileRows() const;
    // The row at a position, or none past the list's end.
    const TreeNode* NodeAt(long nRow) const;
    const CProjectTree* Tree() const { return m_pTree.get(); }

protected:
    wxString OnGetItemText(long nItem, long nColumn) const override;
    int OnGetItemColumnImage(long nItem, long nColumn) const override;
    int OnGetItemImage(long nItem) const override;

private:
    // Whether x, in the coordinates of the list's mouse events, falls on
    // the row's ▶/▼.
    bool OnMarker(long nRow, int x) const;
    void OnMarkerClick(wxMouseEvent& event);

    std::unique_ptr<CProjectTree> m_pTree;
    GroupOrder m_key = GroupOrder::Size;
    bool m_bAscending = false;
    bool m_bOwn = false;  // by the groups' own files, not their totals
    wxImageList m_bars;
};
