// The result list as people use lists: sorting by a column, its keys, its
// context menu, and opening the folder of a row's file.
#include <wx/clipbrd.h>
#include <wx/menu.h>

#include <algorithm>

#include "res/UiText.h"
#include "search/DisplayText.h"
#include "search/ResultOrder.h"
#include "view/CompactStyle.h"
#include "view/ControlIds.h"
#include "view/OpenFolder.h"
#include "view/UiString.h"
#include "view/VCKesmoraView.h"

namespace {

using ui::ToWx;

enum : int {
    kMenuDelete = wxID_HIGHEST + 170,
    kMenuCopyPaths,
    kMenuOpenFolder,
};

}  // namespace

void CVCKesmoraView::BindListActions() {
    m_list->Bind(wxEVT_LIST_COL_CLICK, &CVCKesmoraView::OnListColumnClick, this);
    m_groupList->Bind(wxEVT_LIST_COL_CLICK,
                      [this](wxListEvent& event) { m_groupList->SortByColumn(event.GetColumn()); });
    // The project view's list acts alike on its groups.
    for (wxListCtrl* pList :
         {static_cast<wxListCtrl*>(m_list), static_cast<wxListCtrl*>(m_groupList)}) {
        // The generic list hands its key presses to the control first, the
        // native one gets them itself: either way they arrive here.
        pList->Bind(wxEVT_KEY_DOWN, &CVCKesmoraView::OnListKeyDown, this);
        pList->Bind(wxEVT_LIST_ITEM_RIGHT_CLICK, &CVCKesmoraView::OnListRightClick, this);
        pList->Bind(wxEVT_CONTEXT_MENU, &CVCKesmoraView::OnListContextMenu, this);
        pList->Bind(wxEVT_LIST_ITEM_ACTIVATED, &CVCKesmoraView::OnListActivated, this);
    }
    Bind(wxEVT_MENU, &CVCKesmoraView::OnListMenu, this, kMenuDelete, kMenuOpenFolder);
}

void CVCKesmoraView::OnListColumnClick(wxListEvent& event) {
    const auto column = ColumnToSortBy(event.GetColumn(), m_bSearching);
    if (!column) {
        return;
    }
    const int nColumn = static_cast<int>(*column);
    SortList(nColumn, m_list->GetUpdatedAscendingSortIndicator(nColumn));
}

void CVCKesmoraView::SortList(int nColumn, bool bAscending) {
    std::vector<std::size_t> selected = SelectedRows();
    const long nFocus = m_list->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED);
    const std::vector<std::uint32_t> newIndex =
        SortRows(m_rows.m_rows, static_cast<SortColumn>(nColumn), bAscending);
    ShowSortArrow(m_list, nColumn, bAscending);
    m_groupList->RowsChanged();
    // Every row selected stays every row selected; otherwise the selection
    // moves with its rows.
    if (selected.size() != m_rows.m_rows.size()) {
        for (std::size_t& n : selected) n = newIndex[n];
        std::sort(selected.begin(), selected.end());
        SelectRows(selected);
    }
    if (nFocus >= 0 && static_cast<std::size_t>(nFocus) < newIndex.size()) {
        const long nNewFocus = static_cast<long>(newIndex[static_cast<std::size_t>(nFocus)]);
        m_list->SetItemState(nNewFocus, wxLIST_STATE_FOCUSED, wxLIST_STATE_FOCUSED);
        m_list->EnsureVisible(nNewFocus);
    }
    m_list->Refresh();
}

void CVCKesmoraView::ResetListOrder() {
    // A new list starts in the walk's order: no column is sorted.
    if (m_list->GetSortIndicator() >= 0) {
        ShowSortArrow(m_list, -1, true);
    }
}

void CVCKesmoraView::OnListKeyDown(wxKeyEvent& event) {
    const int nKey = event.GetKeyCode();
    const int nModifiers = event.GetModifiers();
    if (nModifiers == wxMOD_NONE && (nKey == WXK_DELETE || nKey == WXK_NUMPAD_DELETE)) {
        DeleteSelectedFromList();
    } else if (nModifiers == wxMOD_CONTROL && nKey == 'A') {
        ShownList()->SetItemState(-1, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    } else if (nModifiers == wxMOD_CONTROL && nKey == 'C') {
        CopySelectedPaths();
    } else if (m_bProjectView && nModifiers == wxMOD_NONE &&
               (nKey == WXK_RIGHT || nKey == WXK_LEFT || nKey == WXK_NUMPAD_RIGHT ||
                nKey == WXK_NUMPAD_LEFT)) {
        // As in a tree: right opens the focused row, left closes it.
        const long nRow = m_groupList->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED);
        m_groupList->OpenRow(nRow, nKey == WXK_RIGHT || nKey == WXK_NUMPAD_RIGHT);
    } else {
        event.Skip();
    }
}

void CVCKesmoraView::DeleteSelectedFromList() {
    // Exactly what the delete button does, and nothing while the button
    // is disabled (a search runs, nothing is selected).
    if (!CanDelete(ctl::kDelete, m_bSearching)) {
        return;
    }
    wxCommandEvent click(wxEVT_BUTTON, ctl::kDelete);
    OnDeleteSelected(click);
}

void CVCKesmoraView::CopySelectedPaths() {
    // The paths as the list shows them, one per line, for a terminal.
    std::string text;
    const auto add = [&text](const std::string& strPath) {
        if (!text.empty()) text += '\n';
        text += DisplayPath(strPath);
    };
    if (m_bProjectView) {
        for (const TreeNode& node : m_groupList->SelectedNodes()) {
            add(m_groupList->Tree()->PathOf(node));
        }
    } else {
        for (std::size_t n : SelectedRows()) add(m_rows.m_rows[n].strPath);
    }
    if (text.empty()) {
        return;
    }
    if (wxTheClipboard->Open()) {
        wxTheClipboard->SetData(new wxTextDataObject(wxString::FromUTF8(text)));
        wxTheClipboard->Close();
    }
}

void CVCKesmoraView::OnListRightClick(wxListEvent& event) {
    event.Skip();
    if (event.GetIndex() >= 0) {
        ShowListMenu(event.GetIndex());
    }
}

void CVCKesmoraView::OnListContextMenu(wxContextMenuEvent& event) {
    // The mouse's menu comes with its row from the right click; this one is
    // the keyboard's (menu key, Shift+F10), for the focused row.
    if (event.GetPosition() != wxDefaultPosition) {
        return;
    }
    const long nRow = ShownList()->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED);
    if (nRow >= 0) {
        ShowListMenu(nRow);
    }
}

void CVCKesmoraView::ShowListMenu(long nRow) {
    wxMenu menu;
    menu.Append(kMenuDelete, ToWx(UiText::kMenuDeleteRows));
    menu.Append(kMenuCopyPaths, ToWx(UiText::kMenuCopyPaths));
    menu.AppendSeparator();
    menu.Append(kMenuOpenFolder, ToWx(UiText::kMenuOpenFolder));
    menu.Enable(kMenuDelete, CanDelete(ctl::kDelete, m_bSearching));
    menu.Enable(kMenuCopyPaths, ShownList()->GetSelectedItemCount() > 0);
    m_nMenuRow = nRow;
    PopupMenu(&menu);
}

void CVCKesmoraView::OnListMenu(wxCommandEvent& event) {
    switch (event.GetId()) {
        case kMenuDelete:
            DeleteSelectedFromList();
            break;
        case kMenuCopyPaths:
            CopySelectedPaths();
            break;
        case kMenuOpenFolder:
            OpenRowFolder(m_nMenuRow);
            break;
        default:
            event.Skip();
            break;
    }
}

void CVCKesmoraView::OnListActivated(wxListEvent& event) {
    // In the project view a group or a folder opens in place; a file's
    // folder opens in the file manager.
    if (m_bProjectView && m_groupList->ToggleRow(event.GetIndex())) {
        return;
    }
    OpenRowFolder(event.GetIndex());
}

void CVCKesmoraView::OpenRowFolder(long nRow) {
    bool bOpened = false;
    if (m_bProjectView) {
        const TreeNode* pNode = m_groupList->NodeAt(nRow);
        if (pNode == nullptr) {
            return;
        }
        const std::string strPath = m_groupList->Tree()->PathOf(*pNode);
        if (pNode->kind == TreeNodeKind::File) {
            bOpened = m_openFolder ? m_openFolder(strPath) : OpenContainingFolder(strPath);
        } else {
            bOpened = m_openFolder ? m_openFolder(strPath) : OpenFolder(strPath);
        }
    } else {
        if (nRow < 0 || static_cast<std::size_t>(nRow) >= m_rows.m_rows.size()) {
            return;
        }
        const std::string& strPath = m_rows.m_rows[static_cast<std::size_t>(nRow)].strPath;
        bOpened = m_openFolder ? m_openFolder(strPath) : OpenContainingFolder(strPath);
    }
    if (!bOpened) {
        AskUser(ToWx(UiText::kNoFolderHandler), ToWx(UiText::kWindowTitle),
                wxOK | wxICON_INFORMATION);
    }
}

wxListCtrl* CVCKesmoraView::ShownList() const {
    return m_bProjectView ? static_cast<wxListCtrl*>(m_groupList) : m_list;
}
