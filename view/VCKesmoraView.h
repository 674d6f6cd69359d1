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

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "finder/FindNotify.h"
#include "finder/IntermediateFileFinder.h"
#include "tavoBasis/Registry.h"
#include "view/ResultListCtrl.h"
#include "view/UpDownCtrl.h"

class CMainFrame;

class CVCKesmoraView : public wxPanel, public CFindNotify {
public:
    // The store is borrowed from the application; the frame gets the status
    // texts. Controls are created here, filled by OnInitialUpdate.
    CVCKesmoraView(CMainFrame* pFrame, CRegistry* pRegistry);
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

    // The rows the list shows; the view's own store unless replaced.
    void SetRowSource(const CResultRowSource* pSource);
    void OnRowsChanged();

    // Status texts, forwarded to the frame.
    void ShowStatusMessage(const wxString& strText);
    void ShowStatusPanes(const wxString& strLeft, const wxString& strRight);

    // Search notifications (worker thread).
    void OnFindFolder(const std::string& strFolder) override;
    void OnFindFile(const std::string& strPath, std::uint64_t size, const std::string& strCreated,
                    const std::string& strModified) override;
    void OnFindEnd() override;

    wxComboBox* m_comboFolder = nullptr;
    CUpDownCtrl* m_spinCount = nullptr;
    wxComboBox* m_comboFile = nullptr;
    wxComboBox* m_comboDayMonth = nullptr;
    wxNotebook* m_tab = nullptr;
    CResultListCtrl* m_list = nullptr;
    int m_bConfirmRemove = 0;
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
    bool m_bSearching = false;
    CRegistry* m_pRegistry = nullptr;
    int m_nCurTab = 0;
    std::unique_ptr<CIntermediateFileFinder> m_pFinder;
    std::uint64_t m_dwTotalSize = 0;
    CResultRows m_rows;

private:
    void CreateControls();
    // Creates m_pFinder with the sink the search reports to.
    void CreateFinder();
    void InitTabsAndCombos();
    void InitListColumns();
    wxWindow* Control(int nId) const;
    void EnableControl(int nId, bool bEnable);

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
    void OnListSelectionMayHaveChanged(wxEvent& event);
    void OnIdle(wxIdleEvent& event);

    bool ExchangeCount(bool bSaveAndValidate);
    void FailCountValidation(std::string_view message);

    CMainFrame* m_pFrame;
    std::array<wxRadioButton*, 4> m_radioFolder{};
    std::array<wxRadioButton*, 2> m_radioTime{};
    wxTextCtrl* m_editCount = nullptr;
    bool m_bSettingsSaved = false;

    wxDECLARE_EVENT_TABLE();
};
