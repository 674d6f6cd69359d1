// The project view's list: its columns, texts and share bars on demand, its
// rows opened and closed.
#include "view/GroupListCtrl.h"

#include <wx/bitmap.h>
#include <wx/image.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "res/UiText.h"
#include "search/DisplayText.h"
#include "search/SizeFormat.h"
#include "view/CompactStyle.h"
#include "view/UiString.h"
#include "walk/TimeText.h"

namespace {

using ui::ToWx;

// The share first: a report list keeps room for an image at the start of
// its first column on Windows, so the bar's image goes there, and the bars
// are what the eye runs down. Then what the view is for, the size.
// What is a group's own comes last, after the totals the tree adds up.
enum Column : long { kShare, kFolder, kSize, kFiles, kNewest, kKind, kOwnSize, kOwnFiles };

// A bar of kBarSteps + 1 lengths in a frame: one image per length, so that
// a row costs an index, not a drawing.
constexpr int kBarSteps = 40;
constexpr int kBarWidth = kBarSteps + 2;
constexpr int kBarHeight = 10;

// What a column sorts by; the own columns by the groups' own files.
struct ColumnOrder {
    GroupOrder key = GroupOrder::Size;
    bool bOwn = false;
    bool operator==(const ColumnOrder&) const = default;
};

ColumnOrder OrderOf(long nColumn) {
    switch (nColumn) {
        case kFolder:
            return {GroupOrder::Path};
        case kFiles:
            return {GroupOrder::Files};
        case kNewest:
            return {GroupOrder::Newest};
        case kKind:
            return {GroupOrder::Kind};
        case kOwnSize:
            return {GroupOrder::Size, true};
        case kOwnFiles:
            return {GroupOrder::Files, true};
        default:
            return {GroupOrder::Size};
    }
}

wxBitmap BarImage(int nFilled) {
    wxImage image(kBarWidth, kBarHeight);
    image.InitAlpha();
    for (int y = 0; y < kBarHeight; ++y) {
        for (int x = 0; x < kBarWidth; ++x) {
            const bool bFrame = x == 0 || y == 0 || x == kBarWidth - 1 || y == kBarHeight - 1;
            const bool bFill = !bFrame && x <= nFilled;
            if (bFrame) {
                image.SetRGB(x, y, 128, 128, 128);
            } else if (bFill) {
                image.SetRGB(x, y, 60, 120, 200);
            }
            // Empty room lets the row's own colour, selected or not, through.
            image.SetAlpha(x, y, bFrame || bFill ? 255 : 0);
        }
    }
    return wxBitmap(image);
}

// Tenths of a percent of the total, rounded.
std::uint64_t Permille(std::uint64_t size, std::uint64_t total) {
    if (total == 0) return 0;
    return static_cast<std::uint64_t>(
        std::llround(1000.0L * static_cast<long double>(size) / static_cast<long double>(total)));
}

}  // namespace

CGroupListCtrl::CGroupListCtrl(wxWindow* pParent, wxWindowID id)
    : wxListCtrl(pParent, id, wxDefaultPosition, wxDefaultSize,
                 wxLC_REPORT | wxLC_VIRTUAL | wxBORDER_SUNKEN),
      m_bars(kBarWidth, kBarHeight, false, kBarSteps + 1) {
    for (int n = 0; n <= kBarSteps; ++n) m_bars.Add(BarImage(n));
    SetImageList(&m_bars, wxIMAGE_LIST_SMALL);
    // Both clicks of a double-click on a marker toggle, as a tree's do;
    // elsewhere a double-click opens or closes the row through activation.
    Bind(wxEVT_LEFT_DOWN, &CGroupListCtrl::OnMarkerClick, this);
    Bind(wxEVT_LEFT_DCLICK, &CGroupListCtrl::OnMarkerClick, this);
}

void CGroupListCtrl::InitColumns(int nFolderWidth) {
    const auto append = [this](std::string_view header, wxListColumnFormat format, int nUsual,
                               const char* pszSample, int nExtra = 0) {
        const wxString strHeader = ToWx(header);
        AppendColumn(strHeader, format,
                     nExtra + FitColumnWidth(this, nUsual, pszSample, strHeader));
    };
    // In Column order.
    append(UiText::kColumnShare, wxLIST_FORMAT_LEFT, 50, "100.0%", kBarWidth + 8);
    AppendColumn(ToWx(UiText::kColumnGroupFolder), wxLIST_FORMAT_LEFT, nFolderWidth);
    append(UiText::kColumnSize, wxLIST_FORMAT_RIGHT, 80, "99,999,999KB");
    append(UiText::kColumnFileCount, wxLIST_FORMAT_RIGHT, 60, "888,888");
    append(UiText::kColumnNewest, wxLIST_FORMAT_CENTRE, 110, "8888/88/88 88:88");
    append(UiText::kColumnGroupKind, wxLIST_FORMAT_LEFT, 80, "");
    append(UiText::kColumnOwnSize, wxLIST_FORMAT_RIGHT, 80, "99,999,999KB");
    append(UiText::kColumnOwnFiles, wxLIST_FORMAT_RIGHT, 60, "888,888");
    ShowSortArrow(this, kSize, m_bAscending);
}

int CGroupListCtrl::FolderColumnWidth() const { return GetColumnWidth(kFolder); }

void CGroupListCtrl::SortByColumn(long nColumn) {
    if (nColumn < 0 || nColumn >= GetColumnCount()) return;
    const ColumnOrder order = OrderOf(nColumn);
    m_bAscending = order == ColumnOrder{m_key, m_bOwn} ? !m_bAscending : true;
    m_key = order.key;
    m_bOwn = order.bOwn;
    ShowSortArrow(this, static_cast<int>(nColumn), m_bAscending);
    SyncGroups();
}

void CGroupListCtrl::SetGroups(const CProjectGroups* pGroups, const std::vector<ResultRow>* pRows) {
    m_pTree = std::make_unique<CProjectTree>(*pGroups, *pRows);
    SyncGroups();
}

void CGroupListCtrl::ResetTree() {
    if (m_pTree) m_pTree->Reset();
}

void CGroupListCtrl::RowsChanged() {
    if (m_pTree) m_pTree->RowsChanged();
}

namespace {

// A row's identity through a new layout.
std::pair<TreeNodeKind, std::size_t> KeyOf(const TreeNode& node) {
    return {node.kind, node.nIndex};
}

}  // namespace

void CGroupListCtrl::SyncGroups() {
    if (!m_pTree) return;
    std::vector<std::pair<TreeNodeKind, std::size_t>> selected;
    for (const TreeNode& node : SelectedNodes()) selected.push_back(KeyOf(node));
    std::sort(selected.begin(), selected.end());
    const TreeNode* pFocus = NodeAt(GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED));
    const bool bFocus = pFocus != nullptr;
    const auto focused = bFocus ? KeyOf(*pFocus) : std::pair<TreeNodeKind, std::size_t>();

    m_pTree->Sync(m_key, m_bAscending, m_bOwn);
    const std::vector<TreeNode>& nodes = m_pTree->Nodes();
    const long count = static_cast<long>(nodes.size());
    if (count == 0) {
        // As with the file list: only this forgets a select-all.
        if (GetItemCount() != 0) DeleteAllItems();
    } else {
        if (count != GetItemCount()) SetItemCount(count);
        // Rows are positions: the selection goes back to its rows, and a
        // row new since is never selected unseen.
        if (!selected.empty()) {
            SetItemState(-1, 0, wxLIST_STATE_SELECTED);
            for (long n = 0; n < count; ++n) {
                if (std::binary_search(selected.begin(), selected.end(),
                                       KeyOf(nodes[static_cast<std::size_t>(n)]))) {
                    SetItemState(n, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
                }
            }
        }
        for (long n = 0; bFocus && n < count; ++n) {
            if (KeyOf(nodes[static_cast<std::size_t>(n)]) == focused) {
                SetItemState(n, wxLIST_STATE_FOCUSED, wxLIST_STATE_FOCUSED);
                break;
            }
        }
    }
    Refresh();
    // Drawn now, not at idle time, which a search's timer keeps away.
    Update();
}

bool CGroupListCtrl::OpenRow(long nRow, bool bOpen) {
    const TreeNode* pNode = NodeAt(nRow);
    if (pNode == nullptr || !m_pTree->CanOpen(*pNode) || m_pTree->IsOpen(*pNode) == bOpen) {
        return false;
    }
    m_pTree->SetOpen(*pNode, bOpen);
    SyncGroups();
    return true;
}

bool CGroupListCtrl::ToggleRow(long nRow) {
    const TreeNode* pNode = NodeAt(nRow);
    return pNode != nullptr && OpenRow(nRow, !m_pTree->IsOpen(*pNode));
}

bool CGroupListCtrl::OnMarker(long nRow, int x) const {
    const TreeNode* pNode = NodeAt(nRow);
    if (pNode == nullptr || !m_pTree->CanOpen(*pNode)) return false;
    const int nText = ListTextLeft(this, nRow, kFolder);
    if (nText < 0) return false;
    std::string indent;
    for (std::uint32_t n = 0; n < pNode->nDepth; ++n) indent += UiText::kTreeIndent;
    const int nMarker = nText + GetTextExtent(wxString::FromUTF8(indent)).x;
    const int nEnd =
        nText + GetTextExtent(wxString::FromUTF8(indent + std::string(UiText::kTreeClosed))).x;
    // A little room either side: the glyph is small, and a toolkit's margin
    // may be a pixel or two off the one assumed.
    const int nSlack = FromDIP(3);
    return x >= nMarker - nSlack && x < nEnd + nSlack;
}

void CGroupListCtrl::OnMarkerClick(wxMouseEvent& event) {
    int nFlags = 0;
    const long nRow = HitTest(event.GetPosition(), nFlags);
    if (nRow == wxNOT_FOUND || !OnMarker(nRow, event.GetX())) {
        event.Skip();
        return;
    }
    // The marker toggles its row and leaves the selection as it was.
    SetFocus();
    ToggleRow(nRow);
}

std::vector<TreeNode> CGroupListCtrl::SelectedNodes() const {
    std::vector<TreeNode> nodes;
    for (long n = GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); NodeAt(n) != nullptr;
         n = GetNextItem(n, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED)) {
        nodes.push_back(*NodeAt(n));
    }
    return nodes;
}

void CGroupListCtrl::SelectGroups(const std::vector<std::size_t>& groups) {
    if (GetSelectedItemCount() > 0) SetItemState(-1, 0, wxLIST_STATE_SELECTED);
    if (groups.empty() || !m_pTree) return;
    const std::vector<TreeNode>& nodes = m_pTree->Nodes();
    for (std::size_t n = 0; n < nodes.size(); ++n) {
        if (nodes[n].kind == TreeNodeKind::Group &&
            std::binary_search(groups.begin(), groups.end(), nodes[n].nIndex)) {
            SetItemState(static_cast<long>(n), wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
        }
    }
}

std::vector<std::size_t> CGroupListCtrl::SelectedFileRows() const {
    return m_pTree ? m_pTree->RowsOf(SelectedNodes()) : std::vector<std::size_t>();
}

const TreeNode* CGroupListCtrl::NodeAt(long nRow) const {
    if (!m_pTree || nRow < 0 || static_cast<std::size_t>(nRow) >= m_pTree->Nodes().size()) {
        return nullptr;
    }
    return &m_pTree->Nodes()[static_cast<std::size_t>(nRow)];
}

wxString CGroupListCtrl::OnGetItemText(long nItem, long nColumn) const {
    const TreeNode* pNode = NodeAt(nItem);
    if (pNode == nullptr) return wxString();
    const TreeTotals totals = m_pTree->TotalsOf(*pNode);
    switch (nColumn) {
        case kFolder: {
            std::string text;
            for (std::uint32_t n = 0; n < pNode->nDepth; ++n) text += UiText::kTreeIndent;
            text += !m_pTree->CanOpen(*pNode) ? UiText::kTreeLeaf
                    : m_pTree->IsOpen(*pNode) ? UiText::kTreeOpened
                                              : UiText::kTreeClosed;
            return wxString::FromUTF8(text + DisplayPath(m_pTree->NameOf(*pNode)));
        }
        case kKind:
            switch (pNode->kind) {
                case TreeNodeKind::Group:
                    return ToWx(m_pTree->IsProject(*pNode) ? UiText::kGroupKindProject
                                                           : UiText::kGroupKindFolder);
                case TreeNodeKind::Folder:
                    return ToWx(UiText::kNodeKindFolder);
                case TreeNodeKind::File:
                    return ToWx(UiText::kNodeKindFile);
            }
            return wxString();
        case kFiles:
            return wxString::FromUTF8(FormatThousands(totals.nFiles));
        case kSize:
            return wxString::FromUTF8(SizeText(totals.size));
        case kOwnFiles:
            return wxString::FromUTF8(FormatThousands(totals.nOwnFiles));
        case kOwnSize:
            return wxString::FromUTF8(SizeText(totals.ownSize));
        case kShare: {
            // Tenths by hand: a printf would follow the desktop's decimal mark.
            const std::uint64_t permille = Permille(totals.size, m_pTree->GrandTotal());
            return wxString::FromUTF8(std::to_string(permille / 10) + "." +
                                      std::to_string(permille % 10) + "%");
        }
        case kNewest:
            return wxString::FromUTF8(FileTimeText(totals.newest.seconds));
        default:
            return wxString();
    }
}

int CGroupListCtrl::OnGetItemColumnImage(long nItem, long nColumn) const {
    const TreeNode* pNode = NodeAt(nItem);
    if (nColumn != kShare || pNode == nullptr) return -1;
    const std::uint64_t size = m_pTree->TotalsOf(*pNode).size;
    // A row with any bytes shows some bar, however small its share.
    const auto nSteps =
        static_cast<int>((Permille(size, m_pTree->GrandTotal()) * kBarSteps + 500) / 1000);
    return size > 0 ? std::max(nSteps, 1) : 0;
}

int CGroupListCtrl::OnGetItemImage(long nItem) const { return OnGetItemColumnImage(nItem, kShare); }
