// The window's side of a search: start and stop, the rows and folder texts
// taken from the worker on a timer, the summary, and the folder chooser.
#include <wx/dirdlg.h>
#include <wx/msgdlg.h>

#include <string_view>

#include "res/UiText.h"
#include "view/DialogLook.h"
#include "view/UiString.h"
#include "view/VCKesmoraView.h"
#include "view/core/StatusText.h"

namespace {

using ui::ToWx;

constexpr std::size_t kRowsReserved = 1'000'000;

}  // namespace

void CVCKesmoraView::CreateFinder() {
    m_searchTimer.SetOwner(this);
    Bind(wxEVT_TIMER, &CVCKesmoraView::OnSearchTimer, this, m_searchTimer.GetId());
}

void CVCKesmoraView::OnStartSearch(wxCommandEvent&) {
    if (!UpdateData(true)) {
        return;
    }
    SearchOptions options;
    options.bIdb = m_bIdb != 0;
    options.bIlk = m_bIlk != 0;
    options.bObj = m_bObj != 0;
    options.bPch = m_bPch != 0;
    options.bPdb = m_bPdb != 0;
    options.bRes = m_bRes != 0;
    options.bSbr = m_bSbr != 0;
    options.bBsc = m_bBsc != 0;
    for (int i = 0; i < kNewerKindCount; ++i) options.newer.Set(NewerKind(i), m_bNewer[i] != 0);
    options.bFindSubFolder = m_bFindSubFolder != 0;
    options.nRadioFolder = m_nRadioFolder;
    options.nRadioTime = m_nRadioTime;
    options.nCount = m_nCount;
    options.nUnitIndex = FindComboTextIndex(0);
    options.nFileTimeIndex = FindComboTextIndex(1);
    const auto excluded = ExcludedFolderNames();
    if (!excluded) {
        return;
    }
    options.excludedFolders = *excluded;
    // The folder exactly as typed: no trimming, no normalising.
    const wxString strFolder = m_comboFolder->GetValue();
    const auto query = MakeSearchQuery(strFolder.utf8_string(), options);
    if (!query) {
        return;
    }

    // Nothing of an earlier search may reach this one.
    m_searchTimer.Stop();
    m_search.Abandon();
    // Room for a large tree's rows from the start: growing the vector later
    // would move every row listed so far on the window's thread (tens of
    // milliseconds for 300,000 rows). The block is mapped, not touched, so
    // only the rows really listed take memory.
    std::vector<ResultRow> rows;
    rows.reserve(kRowsReserved);
    m_rows.m_rows.swap(rows);
    m_dwTotalSize = 0;
    ResetListOrder();
    m_list->SyncRowCount();
    m_groups.Reset();
    m_groupList->ResetTree();
    m_groupList->SyncGroups();

    m_lastSearch = query;
    if (!m_search.Start(*query)) {
        UpdateDeleteButtons(false);
        return;
    }
    m_lastRootId = m_search.Finder().RootId();
    EnableOptionControls(false);
    EnableSearchButtons(true);
    UpdateDeleteButtons(true);
    m_bSearching = true;
    AddFolderHistory(strFolder);
    m_searchTimer.Start(static_cast<int>(m_searchTick.count()));
}

std::optional<std::vector<std::string>> CVCKesmoraView::ExcludedFolderNames() {
    std::vector<std::string> names = SplitFolderNames(m_strExcludedFolders.utf8_string());
    for (const std::string& name : names) {
        if (IsFolderName(name)) continue;
        AskUser(wxString::FromUTF8(FillText(UiText::kExcludeNotAName, {{'s', name}})),
                ToWx(UiText::kAppName), wxOK | wxICON_EXCLAMATION);
        m_tab->SetSelection(3);
        m_editExclude->SetFocus();
        m_editExclude->SelectAll();
        return std::nullopt;
    }
    return names;
}

void CVCKesmoraView::OnStopSearch(wxCommandEvent&) {
    // The worker stops within one entry; every row it found before is then
    // listed, so the summary counts exactly the rows shown.
    const bool bWasRunning = m_search.Stop();
    m_searchTimer.Stop();
    TakeResults(true);
    if (!bWasRunning) {
        AskUser(ToWx(UiText::kThreadStopError), ToWx(UiText::kWindowTitle),
                wxOK | wxICON_EXCLAMATION);
    }
    ShowSearchResult();
}

void CVCKesmoraView::OnSearchTimer(wxTimerEvent&) { OnSearchTick(); }

void CVCKesmoraView::OnSearchTick() {
    if (!m_bSearching || !TakeResults(false)) {
        return;
    }
    m_searchTimer.Stop();
    ShowSearchResult();
}

bool CVCKesmoraView::TakeResults(bool bRowsOnly) {
    if (!m_search.Take(m_batch)) {
        return false;
    }
    // Before the rows move on: the groups take them from the batch.
    if (m_bFeedGroups) m_groups.Take(m_batch);
    if (!m_batch.rows.empty()) {
        m_dwTotalSize += AppendRows(m_rows.m_rows, m_batch.rows);
        m_list->SyncRowCount();
    }
    if (m_bProjectView) SyncGroupList();
    if (bRowsOnly) {
        return false;
    }
    if (m_batch.bEnded) {
        return true;
    }
    if (m_batch.folder) {
        ShowStatusMessage(wxString::FromUTF8(SearchingText(*m_batch.folder)));
    }
    return false;
}

void CVCKesmoraView::ShowSearchResult() {
    const StatusTexts texts =
        SearchSummaryTexts(m_rows.m_rows.size(), m_dwTotalSize, m_search.UnreadableFolders());
    if (texts.bTwoPanes) {
        ShowStatusPanes(wxString::FromUTF8(texts.strLeft), wxString::FromUTF8(texts.strRight));
    } else {
        ShowStatusMessage(wxString::FromUTF8(texts.strLeft));
    }
    EnableOptionControls(true);
    EnableSearchButtons(false);
    UpdateDeleteButtons(false);
    m_bSearching = false;
}

void CVCKesmoraView::EndSearchQuietly() {
    m_searchTimer.Stop();
    m_search.Abandon();
    m_bSearching = false;
}

void CVCKesmoraView::OnBrowse(wxCommandEvent&) {
    const wxString strInitial = m_comboFolder->GetValue();
    UpdateData(true);
    wxString strChosen;
    if (!ChooseFolder(ToWx(UiText::kBrowseFolderTitle), strInitial, strChosen)) {
        return;
    }
    m_comboFolder->ChangeValue(strChosen);
    UpdateData(false);
}

bool CVCKesmoraView::ChooseFolder(const wxString& strTitle, const wxString& strInitial,
                                  wxString& strChosen) {
    PrepareToolkitDialogs();
    wxDirDialog dialog(this, strTitle, strInitial, wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
    if (ShowFolderChooser(dialog) != wxID_OK) {
        return false;
    }
    // Something that is no folder path (nothing chosen) is a cancel.
    const wxString strPath = dialog.GetPath();
    if (strPath.empty()) {
        return false;
    }
    strChosen = strPath;
    return true;
}

int CVCKesmoraView::AskUser(const wxString& strText, const wxString& strCaption, long nStyle) {
    PrepareToolkitDialogs();
    wxMessageDialog box(this, strText, strCaption, nStyle);
    // GTK's own labels follow the system's language; the program speaks
    // Japanese whatever that is.
    box.SetOKCancelLabels(ToWx(UiText::kButtonOk), ToWx(UiText::kButtonCancel));
    return ShowMessageBox(box);
}
