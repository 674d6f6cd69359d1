// The form that fills the main window: the four option pages, the four
// buttons, the result list, their layout, enabling and data exchange.
#pragma once

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/notebook.h>
#include <wx/panel.h>
#include <wx/radiobut.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/timer.h>

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "search/DeleteRun.h"
#include "search/ProjectGroups.h"
#include "search/ResultCollector.h"
#include "search/SearchParams.h"
#include "search/SearchSession.h"
#include "tavoBasis/Registry.h"
#include "view/GroupListCtrl.h"
#include "view/ResultListCtrl.h"
#include "view/UpDownCtrl.h"
#include "view/ViewHost.h"

class CVCKesmoraView : public wxPanel {
public:
    // The store is borrowed from the application; the host (the frame) gets
    // the status texts and gives the placement. Controls are created here,
    // filled by OnInitialUpdate.
    CVCKesmoraView(wxWindow* pParent, CViewHost* pHost, CRegistry* pRegistry);
    ~CVCKesmoraView() override;

    void OnInitialUpdate();
    // Saves the settings and ends any search; the frame calls it while it
    // closes, when every control still exists.
    void OnDestroy();

    // Moves every control to its place for a client area of cw x ch pixels.
    void LayoutControls(int cw, int ch);
    void ShowTabPage(int nPage, bool bShow);
    void SelectTabPage(int nPage);

    void EnableOptionControls(bool bEnable);
    void EnableSearchButtons(bool bSearching);
    void UpdateDeleteButtons(bool bSearching);
    void EnablePeriodControls(int nRadioTime);
    void EnableSubFolderRadios();

    // Moves the values between the controls and the members; reading (true)
    // validates the period and stops at it when it is not 1..99.
    bool UpdateData(bool bSaveAndValidate);

    void LoadSettings();
    void SaveSettings();
    // Position of a period combo's text in its list: 0 the unit and
    // direction combo, 1 the file-time combo; 0 when no item matches.
    int FindComboTextIndex(int nCombo) const;

    // Puts a searched folder at the top of the history and into the field.
    void AddFolderHistory(const wxString& strFolder);

    // The list follows m_rows after a search or a deletion changed them.
    void OnRowsChanged();
    // Shows the result list one row per file, or one row per project (the
    // project view), and sets the switch to match.
    void ShowResultView(bool bProjects);

    // Status texts, forwarded to the host.
    void ShowStatusMessage(const wxString& strText);
    void ShowStatusPanes(const wxString& strLeft, const wxString& strRight);

    // The summary of the rows listed; returns the window to idle.
    void ShowSearchResult();
    // What the search timer does every m_searchTick: lists the rows the
    // worker found since, shows the folder it is in, or the summary once
    // the walk has ended.
    void OnSearchTick();

    // Every message box of the form: returns wxID_OK, wxID_CANCEL, ...
    // Always a real modal dialog, so a wxModalDialogHook (the tests') sees
    // and may answer each one.
    int AskUser(const wxString& strText, const wxString& strCaption, long nStyle);
    // The folder chooser of the browse button: true and chosen set when a
    // folder was picked.
    bool ChooseFolder(const wxString& strTitle, const wxString& strInitial, wxString& strChosen);
    // Told after each file of a deletion, before the progress dialog; lets
    // a test act on the dialog while the run is under way.
    std::function<void(std::size_t nDone, std::size_t nCount)> m_onDeleteProgress;
    // A deletion running longer than this shows its progress dialog, which
    // is then updated at most once per interval.
    std::chrono::milliseconds m_progressDelay{500};
    std::chrono::milliseconds m_progressInterval{50};
    // Opens the folder of a row's file, or a group's folder (double-click,
    // context menu). m_openFolder, when set, is called with the file's path
    // or the group's folder instead of the desktop's file manager.
    std::function<bool(const std::string& strFilePath)> m_openFolder;
    // The dialog of the deletion under way, while it is shown.
    wxWindow* GetDeleteProgressDialog() const { return m_pProgressDialog; }

    // How often a running search's rows and folder text are taken from the
    // worker: fast enough to look live, rare enough that a walk of 40,000
    // folders does not keep the window's thread busy with the status bar.
    std::chrono::milliseconds m_searchTick{40};
    // The last search started.
    std::optional<SearchQuery> m_lastSearch;
    // Its folder's identity when it started: deletion refuses any other.
    FolderId m_lastRootId;

    wxComboBox* m_comboFolder = nullptr;
    CUpDownCtrl* m_spinCount = nullptr;
    wxComboBox* m_comboFile = nullptr;
    wxComboBox* m_comboDayMonth = nullptr;
    wxNotebook* m_tab = nullptr;
    CResultListCtrl* m_list = nullptr;
    CGroupListCtrl* m_groupList = nullptr;
    bool m_bProjectView = false;
    int m_bConfirmRemove = 0;
    int m_bUseTrash = 0;
    int m_bRemoveEmptyFolders = 0;
    int m_bIdb = 0;
    int m_bIlk = 0;
    int m_bObj = 0;
    int m_bPch = 0;
    int m_bPdb = 0;
    int m_bRes = 0;
    int m_bSbr = 0;
    int m_bFindSubFolder = 0;
    int m_nRadioFolder = 0;
    int m_nRadioTime = 0;
    int m_nCount = 1;
    int m_bBsc = 0;
    // The newer kinds' check boxes, in FileKind order (NewerKind).
    int m_bNewer[kNewerKindCount] = {};
    // The field of folder names never entered, as typed.
    wxString m_strExcludedFolders;
    bool m_bSearching = false;
    CRegistry* m_pRegistry = nullptr;
    int m_nCurTab = 0;
    // The finder, its worker and the rows it hands over; never touches a
    // control.
    CSearchSession m_search;
    std::uint64_t m_dwTotalSize = 0;
    CResultRows m_rows;
    // The rows' groups, fed from the same batches as m_rows. Off only where
    // a benchmark weighs what they cost.
    CProjectGroups m_groups;
    bool m_bFeedGroups = true;

private:
    void CreateControls();
    // Readies the timer that takes the search's rows.
    void CreateFinder();
    void InitTabsAndCombos();
    void InitListColumns();
    wxWindow* Control(int nId) const;
    void EnableControl(int nId, bool bEnable);
    // Places a control at the form's pixels (x, y, cx, cy).
    void Place(int nId, int x, int y, int cx, int cy);

    void OnSize(wxSizeEvent& event);
    void OnSelchangeTab(wxBookCtrlEvent& event);
    void OnStartSearch(wxCommandEvent& event);
    void OnStopSearch(wxCommandEvent& event);
    void OnDeleteSelected(wxCommandEvent& event);
    void OnDeleteAll(wxCommandEvent& event);
    void OnRadioAllFiles(wxCommandEvent& event);
    void OnRadioPeriod(wxCommandEvent& event);
    void OnBrowse(wxCommandEvent& event);
    void OnClickSubFolder(wxCommandEvent& event);
    void OnUpdateDeleteButton(wxUpdateUIEvent& event);
    // Whether the delete button nId (selected or all) may be pressed.
    bool CanDelete(int nId, bool bSearching) const;

    bool ExchangeCount(bool bSaveAndValidate);
    // The names of the folders left out, or nothing after telling the user
    // of one that is no name.
    std::optional<std::vector<std::string>> ExcludedFolderNames();
    void FailCountValidation(std::string_view message);

    // Search side (ViewSearch.cpp).
    void OnSearchTimer(wxTimerEvent& event);
    // Appends what the worker handed over; true when the walk ended.
    bool TakeResults(bool bRowsOnly);
    // Stops a search and waits for its worker; nothing is shown.
    void EndSearchQuietly();

    // Deletion side (ViewDelete.cpp).
    std::vector<std::size_t> SelectedRows() const;
    // The rows chosen in the list shown: its selected files, or every file
    // of its selected groups.
    std::vector<std::size_t> ChosenRows() const;
    void RunDeletion(DeleteRequest request);
    void SelectRows(const std::vector<std::size_t>& rows);

    // The list's own actions (ViewList.cpp).
    void BindListActions();
    void OnListColumnClick(wxListEvent& event);
    void SortList(int nColumn, bool bAscending);
    void ResetListOrder();
    void OnListKeyDown(wxKeyEvent& event);
    void DeleteSelectedFromList();
    void CopySelectedPaths();
    void OnListRightClick(wxListEvent& event);
    void OnListContextMenu(wxContextMenuEvent& event);
    void ShowListMenu(long nRow);
    void OnListMenu(wxCommandEvent& event);
    void OnListActivated(wxListEvent& event);
    void OpenRowFolder(long nRow);
    // The list the user sees: the file list or the project view's.
    wxListCtrl* ShownList() const;

    // The project view (ViewGroups.cpp).
    void OnRadioResultView(wxCommandEvent& event);
    // The project view follows m_groups; the selected groups stay selected,
    // or become those of the selected files (after a deletion).
    void SyncGroupList(bool bFromSelectedRows = false);

    CViewHost* m_pHost;
    std::array<wxRadioButton*, 4> m_radioFolder{};
    std::array<wxRadioButton*, 2> m_radioTime{};
    std::array<wxRadioButton*, 2> m_radioView{};
    wxTextCtrl* m_editCount = nullptr;
    wxTextCtrl* m_editExclude = nullptr;
    bool m_bSettingsSaved = false;
    wxTimer m_searchTimer;
    ResultBatch m_batch;
    wxWindow* m_pProgressDialog = nullptr;
    long m_nMenuRow = -1;  // the row the context menu was opened on

    wxDECLARE_EVENT_TABLE();
};
