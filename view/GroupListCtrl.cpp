// The project view's list: its columns, texts and share bars on demand.
#include "view/GroupListCtrl.h"

#include <wx/bitmap.h>
#include <wx/image.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "finder/TimeText.h"
#include "res/UiText.h"
#include "search/DisplayText.h"
#include "search/SizeFormat.h"
#include "view/CompactStyle.h"
#include "view/UiString.h"

namespace {

using ui::ToWx;

// The share first: a report list keeps room for an image at the start of
// its first column on Windows, so the bar's image goes there, and the bars
// are what the eye runs down. Then what the view is for, the size.
enum Column : long { kShare, kFolder, kSize, kFiles, kNewest, kKind };

// A bar of kBarSteps + 1 lengths in a frame: one image per length, so that
// a row costs an index, not a drawing.
constexpr int kBarSteps = 40;
constexpr int kBarWidth = kBarSteps + 2;
constexpr int kBarHeight = 10;

GroupOrder OrderOf(long nColumn) {
    switch (nColumn) {
        case kFolder:
            return GroupOrder::Path;
        case kFiles:
            return GroupOrder::Files;
        case kNewest:
            return GroupOrder::Newest;
        case kKind:
            return GroupOrder::Kind;
        default:
            return GroupOrder::Size;
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
}

void CGroupListCtrl::InitColumns(int nFolderWidth) {
    const auto fit = [this](int nUsual, const char* pszSample) {
        return FitColumnWidth(this, nUsual, pszSample);
    };
    // In Column order.
    AppendColumn(ToWx(UiText::kColumnShare), wxLIST_FORMAT_LEFT, kBarWidth + fit(50, "100.0%") + 8);
    AppendColumn(ToWx(UiText::kColumnGroupFolder), wxLIST_FORMAT_LEFT, nFolderWidth);
    AppendColumn(ToWx(UiText::kColumnSize), wxLIST_FORMAT_RIGHT, fit(80, "99,999,999KB"));
    AppendColumn(ToWx(UiText::kColumnFileCount), wxLIST_FORMAT_RIGHT, fit(60, "888,888"));
    AppendColumn(ToWx(UiText::kColumnNewest), wxLIST_FORMAT_CENTRE, fit(110, "8888/88/88 88:88"));
    AppendColumn(ToWx(UiText::kColumnGroupKind), wxLIST_FORMAT_LEFT, 80);
    ShowSortArrow(this, kSize, m_bAscending);
}

int CGroupListCtrl::FolderColumnWidth() const { return GetColumnWidth(kFolder); }

void CGroupListCtrl::SortByColumn(long nColumn) {
    if (nColumn < 0 || nColumn >= GetColumnCount()) return;
    const GroupOrder key = OrderOf(nColumn);
    m_bAscending = key == m_key ? !m_bAscending : true;
    m_key = key;
    ShowSortArrow(this, static_cast<int>(nColumn), m_bAscending);
    SyncGroups();
}

void CGroupListCtrl::SetGroups(const CProjectGroups* pGroups) {
    m_pGroups = pGroups;
    SyncGroups();
}

void CGroupListCtrl::SyncGroups() {
    const std::vector<std::size_t> selected = SelectedGroups();
    const long nFocusRow = GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED);
    const bool bFocus = nFocusRow >= 0 && static_cast<std::size_t>(nFocusRow) < m_order.size();
    const std::size_t nFocused = bFocus ? m_order[static_cast<std::size_t>(nFocusRow)] : 0;

    m_order =
        m_pGroups != nullptr ? m_pGroups->Ordered(m_key, m_bAscending) : std::vector<std::size_t>();
    m_total = 0;
    for (std::size_t n : m_order) m_total += m_pGroups->Groups()[n].size;
    const long count = static_cast<long>(m_order.size());
    if (count == 0) {
        // As with the file list: only this forgets a select-all.
        if (GetItemCount() != 0) DeleteAllItems();
    } else {
        if (count != GetItemCount()) SetItemCount(count);
        // Rows are positions: the selection goes back to its groups, and a
        // group new since is never selected unseen.
        if (!selected.empty()) SelectGroups(selected);
        if (bFocus) {
            for (long n = 0; n < count; ++n) {
                if (m_order[static_cast<std::size_t>(n)] == nFocused) {
                    SetItemState(n, wxLIST_STATE_FOCUSED, wxLIST_STATE_FOCUSED);
                    break;
                }
            }
        }
    }
    Refresh();
    // Drawn now, not at idle time, which a search's timer keeps away.
    Update();
}

std::vector<std::size_t> CGroupListCtrl::SelectedGroups() const {
    std::vector<std::size_t> groups;
    for (long n = GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
         n >= 0 && static_cast<std::size_t>(n) < m_order.size();
         n = GetNextItem(n, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED)) {
        groups.push_back(m_order[static_cast<std::size_t>(n)]);
    }
    return groups;
}

void CGroupListCtrl::SelectGroups(const std::vector<std::size_t>& groups) {
    if (GetSelectedItemCount() > 0) SetItemState(-1, 0, wxLIST_STATE_SELECTED);
    if (groups.empty()) return;
    std::vector<long> row(m_pGroups->Groups().size(), -1);
    for (std::size_t n = 0; n < m_order.size(); ++n) row[m_order[n]] = static_cast<long>(n);
    for (std::size_t group : groups) {
        if (group < row.size() && row[group] >= 0) {
            SetItemState(row[group], wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
        }
    }
}

const ProjectGroup* CGroupListCtrl::GroupAt(long nRow) const {
    if (m_pGroups == nullptr || nRow < 0 || static_cast<std::size_t>(nRow) >= m_order.size()) {
        return nullptr;
    }
    return &m_pGroups->Groups()[m_order[static_cast<std::size_t>(nRow)]];
}

wxString CGroupListCtrl::OnGetItemText(long nItem, long nColumn) const {
    const ProjectGroup* pGroup = GroupAt(nItem);
    if (pGroup == nullptr) return wxString();
    switch (nColumn) {
        case kFolder:
            return wxString::FromUTF8(DisplayPath(pGroup->strPath));
        case kKind:
            return ToWx(pGroup->bProject ? UiText::kGroupKindProject : UiText::kGroupKindFolder);
        case kFiles:
            return wxString::FromUTF8(FormatThousands(pGroup->nFiles));
        case kSize:
            return wxString::FromUTF8(SizeText(pGroup->size));
        case kShare: {
            // Tenths by hand: a printf would follow the desktop's decimal mark.
            const std::uint64_t permille = Permille(pGroup->size, m_total);
            return wxString::FromUTF8(std::to_string(permille / 10) + "." +
                                      std::to_string(permille % 10) + "%");
        }
        case kNewest:
            return wxString::FromUTF8(FileTimeText(pGroup->newest.seconds));
        default:
            return wxString();
    }
}

int CGroupListCtrl::OnGetItemColumnImage(long nItem, long nColumn) const {
    const ProjectGroup* pGroup = GroupAt(nItem);
    if (nColumn != kShare || pGroup == nullptr) return -1;
    // A group with any bytes shows some bar, however small its share.
    const auto nSteps =
        static_cast<int>((Permille(pGroup->size, m_total) * kBarSteps + 500) / 1000);
    return pGroup->size > 0 ? std::max(nSteps, 1) : 0;
}

int CGroupListCtrl::OnGetItemImage(long nItem) const { return OnGetItemColumnImage(nItem, kShare); }
