// The window's side of a deletion: which rows, the confirmation, the run
// with its progress dialog, and what the list, the total and the status bar
// say afterwards.
#include <wx/msgdlg.h>
#include <wx/progdlg.h>

#include <memory>
#include <string_view>

#include "res/UiText.h"
#include "search/DeleteRun.h"
#include "view/ProgramIcons.h"
#include "view/UiString.h"
#include "view/VCKesmoraView.h"
#include "view/core/DeleteText.h"

namespace {

using ui::ToWx;

// Shown only once a run has taken long enough for the user to wonder; a
// quick run never flashes a dialog.
class CDeleteProgressUi {
public:
    CDeleteProgressUi(wxWindow* pOwner, DeleteMethod method, std::chrono::milliseconds delay,
                      std::chrono::milliseconds interval, wxWindow*& pShown)
        : m_pOwner(pOwner),
          m_method(method),
          m_delay(delay),
          m_interval(interval),
          m_start(std::chrono::steady_clock::now()),
          m_pShown(pShown) {}

    ~CDeleteProgressUi() {
        m_pShown = nullptr;
        if (m_pDialog) {
            m_pDialog->Hide();
        }
    }

    // False when the user pressed Cancel: the run stops after this file.
    bool Step(std::size_t nDone, std::size_t nCount) {
        const auto now = std::chrono::steady_clock::now();
        if (!m_pDialog) {
            if (now - m_start < m_delay || nDone >= nCount) {
                return true;
            }
            // The toolkit's own dialog, not Windows' task dialog: that one
            // words its controls in the system's language and keeps the
            // width of its first text. Sized for the widest text of the run.
            m_pDialog = std::make_unique<wxGenericProgressDialog>(
                ToWx(DeleteProgressCaption(m_method)),
                ToWx(DeleteProgressText(nCount, nCount, m_method)), static_cast<int>(nCount),
                m_pOwner, wxPD_APP_MODAL | wxPD_AUTO_HIDE | wxPD_CAN_ABORT | wxPD_ELAPSED_TIME);
            m_pDialog->SetIcons(ProgramIcons());
            m_pShown = m_pDialog.get();
        } else if (now - m_lastUpdate < m_interval && nDone < nCount) {
            return true;
        }
        m_lastUpdate = now;
        return m_pDialog->Update(static_cast<int>(nDone),
                                 ToWx(DeleteProgressText(nDone, nCount, m_method)));
    }

private:
    wxWindow* m_pOwner;
    DeleteMethod m_method;
    std::chrono::milliseconds m_delay;
    std::chrono::milliseconds m_interval;
    std::chrono::steady_clock::time_point m_start;
    std::chrono::steady_clock::time_point m_lastUpdate;
    std::unique_ptr<wxGenericProgressDialog> m_pDialog;
    wxWindow*& m_pShown;
};

}  // namespace

void CVCKesmoraView::OnDeleteSelected(wxCommandEvent&) {
    // Only the confirmation and trash options are needed; a bad period does
    // not stop them.
    UpdateData(true);
    if (const auto request = PlanDeleteSelected(m_rows.m_rows.size(), ChosenRows())) {
        RunDeletion(*request);
    }
}

void CVCKesmoraView::OnDeleteAll(wxCommandEvent&) {
    UpdateData(true);
    if (const auto request = PlanDeleteAll(m_rows.m_rows.size(), SelectedRows())) {
        RunDeletion(*request);
    }
}

std::vector<std::size_t> CVCKesmoraView::SelectedRows() const {
    std::vector<std::size_t> rows;
    rows.reserve(static_cast<std::size_t>(m_list->GetSelectedItemCount()));
    for (long n = m_list->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); n >= 0;
         n = m_list->GetNextItem(n, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED)) {
        rows.push_back(static_cast<std::size_t>(n));
    }
    return rows;
}

void CVCKesmoraView::SelectRows(const std::vector<std::size_t>& rows) {
    // The rows moved: the old selection means nothing any more.
    if (m_list->GetSelectedItemCount() > 0) {
        m_list->SetItemState(-1, 0, wxLIST_STATE_SELECTED);
    }
    for (std::size_t n : rows) {
        m_list->SetItemState(static_cast<long>(n), wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    }
}

void CVCKesmoraView::RunDeletion(DeleteRequest request) {
    request.method = m_bUseTrash ? DeleteMethod::Trash : DeleteMethod::Remove;
    if (m_bConfirmRemove && AskUser(wxString::FromUTF8(ConfirmDeleteText(request, m_rows.m_rows)),
                                    ToWx(ConfirmDeleteCaption(request.method)),
                                    wxOK | wxCANCEL | wxICON_QUESTION) != wxID_OK) {
        return;
    }

    DeleteOutcome outcome;
    CEmptiedFolders emptied(m_lastSearch ? m_lastSearch->strRoot : std::string());
    std::size_t nEmptiedRemoved = 0;
    {
        CDeleteProgressUi progressUi(this, request.method, m_progressDelay, m_progressInterval,
                                     m_pProgressDialog);
        const DeleteProgress progress = [this, &progressUi](std::size_t nDone, std::size_t nCount) {
            if (m_onDeleteProgress) {
                m_onDeleteProgress(nDone, nCount);
            }
            return progressUi.Step(nDone, nCount);
        };
        // The rows come from the last search; without one nothing can be
        // deleted, since no folder bounds it.
        const std::string strRoot = m_lastSearch ? m_lastSearch->strRoot : std::string();
        DeleteFileOps ops = SystemFileOps(strRoot, m_lastRootId, request.method);
        ops.removeFile = [&emptied, remove = ops.removeFile](const ResultRow& row,
                                                             RemovalFailure& why) {
            if (!remove(row, why)) return false;
            emptied.FileRemoved(row.strPath);
            return true;
        };
        outcome = RunDelete(m_rows.m_rows, request, ops, progress);
        // A folder that cannot go stays; that is no failure of the deletion.
        if (m_bRemoveEmptyFolders && !outcome.bCancelled) nEmptiedRemoved = emptied.Prune(ops, {});
    }
    StatusTexts status = DeleteStatusTexts(request, outcome, m_rows.m_rows.size(), m_dwTotalSize);
    if (nEmptiedRemoved > 0) {
        std::string& strLeft = status.strLeft;
        const std::string_view kFullStop = "。";
        if (!strLeft.ends_with(kFullStop)) strLeft += " ： ";
        strLeft +=
            FillText(UiText::kEmptiedFoldersRemoved, {{'d', std::to_string(nEmptiedRemoved)}});
    }

    m_dwTotalSize = outcome.newTotal;
    m_list->SyncRowCount();
    SelectRows(outcome.selection);
    // Both views show what is left; a group keeps what failed selected.
    m_groups.Recount(m_rows.m_rows);
    m_groupList->RowsChanged();
    SyncGroupList(true);
    if (outcome.bRefused) {
        AskUser(ToWx(RootRefusedText(request.method)), ToWx(DeleteFailureCaption(request.method)),
                wxOK | wxICON_EXCLAMATION);
    }
    if (outcome.failureBox != DeleteFailureBox::None) {
        AskUser(wxString::FromUTF8(DeleteFailureMessage(outcome, request.method)),
                ToWx(DeleteFailureCaption(request.method)), wxOK | wxICON_EXCLAMATION);
    }
    ShowStatusPanes(wxString::FromUTF8(status.strLeft), wxString::FromUTF8(status.strRight));
    UpdateDeleteButtons(false);
}
