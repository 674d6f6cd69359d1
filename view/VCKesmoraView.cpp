// The form view: its controls, pages, layout, enabling and data exchange.
#include "view/VCKesmoraView.h"

#include <wx/msgdlg.h>
#include <wx/statline.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string_view>

#include "res/UiText.h"
#include "search/SettingsKeys.h"
#include "view/CompactStyle.h"
#include "view/ControlIds.h"
#include "view/EditUndo.h"
#include "view/UiString.h"

namespace {

using ui::ToWx;

// The controls each page shows and hides, in the order they are switched.
constexpr int kPage0[] = {
    ctl::kFolderLabel,    ctl::kComboFolder,        ctl::kFindSubFolder,     ctl::kBrowse,
    ctl::kSubFolderGroup, ctl::kRadioAllSubFolders, ctl::kRadioDebugRelease, ctl::kRadioDebug,
    ctl::kRadioRelease};
constexpr int kPage1[] = {ctl::kFileGroup, ctl::kBsc,  ctl::kIdb, ctl::kIlk, ctl::kObj,
                          ctl::kPch,       ctl::kPdb,  ctl::kRes, ctl::kSbr, ctl::kNewerFileGroup,
                          ctl::kIpch,      ctl::kVcDb, ctl::kSdf, ctl::kNcb, ctl::kIobj,
                          ctl::kIpdb,      ctl::kTlog};
constexpr int kPage2[] = {ctl::kRadioAllFiles, ctl::kRadioPeriod, ctl::kComboDayMonth,
                          ctl::kComboFile,     ctl::kCount,       ctl::kSpinCount};
constexpr int kPage3[] = {ctl::kConfirmRemove, ctl::kUseTrash, ctl::kRemoveEmptyFolders,
                          ctl::kExcludeLabel, ctl::kExcludeFolders};

// The option controls a search disables, in the order they are switched.
constexpr int kOptionControls[] = {ctl::kFolderLabel,
                                   ctl::kComboFolder,
                                   ctl::kFindSubFolder,
                                   ctl::kBrowse,
                                   ctl::kSubFolderGroup,
                                   ctl::kFileGroup,
                                   ctl::kBsc,
                                   ctl::kIdb,
                                   ctl::kIlk,
                                   ctl::kObj,
                                   ctl::kPch,
                                   ctl::kPdb,
                                   ctl::kRes,
                                   ctl::kSbr,
                                   ctl::kNewerFileGroup,
                                   ctl::kIpch,
                                   ctl::kVcDb,
                                   ctl::kSdf,
                                   ctl::kNcb,
                                   ctl::kIobj,
                                   ctl::kIpdb,
                                   ctl::kTlog,
                                   ctl::kRadioAllFiles,
                                   ctl::kRadioPeriod,
                                   ctl::kCount,
                                   ctl::kSpinCount,
                                   ctl::kConfirmRemove,
                                   ctl::kUseTrash,
                                   ctl::kRemoveEmptyFolders,
                                   ctl::kExcludeLabel,
                                   ctl::kExcludeFolders};

constexpr int kFolderRadios[] = {ctl::kRadioAllSubFolders, ctl::kRadioDebugRelease,
                                 ctl::kRadioDebug, ctl::kRadioRelease};
constexpr int kPeriodControls[] = {ctl::kComboDayMonth, ctl::kComboFile, ctl::kCount,
                                   ctl::kSpinCount};

constexpr int kMinTabWidth = 200;
constexpr int kButtonColumnReserve = 130;
constexpr int kListTop = 220;
// The file page: two groups of check boxes, three to a row, 21 pixels apart.
constexpr int kCheckPitch = 21;

constexpr int kFileGroupHeight = 79;
constexpr int kNewerGroupTop = 43 + kFileGroupHeight + 4;
constexpr int kClassicChecks[] = {ctl::kBsc, ctl::kIdb, ctl::kIlk, ctl::kObj,
                                  ctl::kPch, ctl::kPdb, ctl::kRes, ctl::kSbr};

static_assert(std::size(UiText::kCheckKinds) == kFileKindCount, "a label for every kind");
static_assert(std::size(UiText::kDayMonthItems) == kUnitPositions &&
                  std::size(UiText::kFileTimeItems) == kFileTimePositions,
              "an item for every position a search knows");

wxString KindLabel(FileKind kind) {
    return ToWx(UiText::kCheckKinds[static_cast<std::size_t>(kind)]);
}

}  // namespace

// clang-format off
wxBEGIN_EVENT_TABLE(CVCKesmoraView, wxPanel)
    EVT_SIZE(CVCKesmoraView::OnSize)
    EVT_NOTEBOOK_PAGE_CHANGED(ctl::kTab, CVCKesmoraView::OnSelchangeTab)
    EVT_BUTTON(ctl::kStart, CVCKesmoraView::OnStartSearch)
    EVT_BUTTON(ctl::kStop, CVCKesmoraView::OnStopSearch)
    EVT_BUTTON(ctl::kDelete, CVCKesmoraView::OnDeleteSelected)
    EVT_BUTTON(ctl::kDeleteAll, CVCKesmoraView::OnDeleteAll)
    EVT_RADIOBUTTON(ctl::kRadioAllFiles, CVCKesmoraView::OnRadioAllFiles)
    EVT_RADIOBUTTON(ctl::kRadioPeriod, CVCKesmoraView::OnRadioPeriod)
    EVT_BUTTON(ctl::kBrowse, CVCKesmoraView::OnBrowse)
    EVT_CHECKBOX(ctl::kFindSubFolder, CVCKesmoraView::OnClickSubFolder)
    EVT_RADIOBUTTON(ctl::kRadioFileView, CVCKesmoraView::OnRadioResultView)
    EVT_RADIOBUTTON(ctl::kRadioProjectView, CVCKesmoraView::OnRadioResultView)
    EVT_UPDATE_UI(ctl::kDelete, CVCKesmoraView::OnUpdateDeleteButton)
    EVT_UPDATE_UI(ctl::kDeleteAll, CVCKesmoraView::OnUpdateDeleteButton)
wxEND_EVENT_TABLE();
// clang-format on

CVCKesmoraView::CVCKesmoraView(wxWindow* pParent, CViewHost* pHost, CRegistry* pRegistry)
    : wxPanel(pParent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL | wxBORDER_NONE),
      m_pRegistry(pRegistry),
      m_pHost(pHost) {
    ApplyCompactStyle(this);
    CreateControls();
}

CVCKesmoraView::~CVCKesmoraView() {
    // The worker ends before the rows and the list go.
    m_searchTimer.Stop();
    m_search.Abandon();
}

void CVCKesmoraView::CreateControls() {
    // Creation order is the tab order, the tab strip first; once laid out
    // it is stacked beneath every page control.
    m_tab = new wxNotebook(this, ctl::kTab);
    m_list = new CResultListCtrl(this, ctl::kList);
    new wxStaticLine(this, ctl::kRule, wxDefaultPosition, wxSize(-1, 2), wxLI_HORIZONTAL);
    new wxButton(this, ctl::kStart, ToWx(UiText::kButtonStart));
    new wxButton(this, ctl::kStop, ToWx(UiText::kButtonStop));
    new wxButton(this, ctl::kDelete, ToWx(UiText::kButtonDelete));
    new wxButton(this, ctl::kDeleteAll, ToWx(UiText::kButtonDeleteAll));

    new wxButton(this, ctl::kBrowse, ToWx(UiText::kButtonBrowse));
    new wxStaticText(this, ctl::kFolderLabel, ToWx(UiText::kLabelFolder));
    new wxCheckBox(this, ctl::kFindSubFolder, ToWx(UiText::kCheckSubFolder));
    new wxStaticBox(this, ctl::kSubFolderGroup, ToWx(UiText::kGroupSubFolder));
    m_radioFolder[0] =
        new wxRadioButton(this, ctl::kRadioAllSubFolders, ToWx(UiText::kRadioAllSubFolders),
                          wxDefaultPosition, wxDefaultSize, wxRB_GROUP);
    m_radioFolder[1] =
        new wxRadioButton(this, ctl::kRadioDebugRelease, ToWx(UiText::kRadioDebugRelease));
    m_radioFolder[2] = new wxRadioButton(this, ctl::kRadioDebug, ToWx(UiText::kRadioDebug));
    m_radioFolder[3] = new wxRadioButton(this, ctl::kRadioRelease, ToWx(UiText::kRadioRelease));

    new wxStaticBox(this, ctl::kFileGroup, ToWx(UiText::kGroupFiles));
    new wxCheckBox(this, ctl::kIdb, KindLabel(FileKind::Idb));
    new wxCheckBox(this, ctl::kObj, KindLabel(FileKind::Obj));
    new wxCheckBox(this, ctl::kPdb, KindLabel(FileKind::Pdb));
    new wxCheckBox(this, ctl::kSbr, KindLabel(FileKind::Sbr));
    new wxCheckBox(this, ctl::kIlk, KindLabel(FileKind::Ilk));
    new wxCheckBox(this, ctl::kPch, KindLabel(FileKind::Pch));
    new wxCheckBox(this, ctl::kRes, KindLabel(FileKind::Res));
    // Never shown: it only keeps its number and the tab strip's rectangle.
    auto* pTimeGroup = new wxStaticBox(this, ctl::kTimeGroup, ToWx(UiText::kGroupTime));
    pTimeGroup->Hide();

    m_radioTime[0] = new wxRadioButton(this, ctl::kRadioAllFiles, ToWx(UiText::kRadioAllFiles),
                                       wxDefaultPosition, wxDefaultSize, wxRB_GROUP);
    m_radioTime[1] = new wxRadioButton(this, ctl::kRadioPeriod, ToWx(UiText::kRadioPeriod));
    m_editCount =
        new wxTextCtrl(this, ctl::kCount, wxString(), wxDefaultPosition, wxDefaultSize, wxTE_RIGHT);
    m_spinCount = new CUpDownCtrl(this, ctl::kSpinCount, m_editCount);
    // Not wxCB_SORT: GTK would sort by locale, and positions carry meaning.
    m_comboFile = new wxComboBox(this, ctl::kComboFile);
    m_comboDayMonth = new wxComboBox(this, ctl::kComboDayMonth);
    new wxCheckBox(this, ctl::kConfirmRemove, ToWx(UiText::kCheckConfirmRemove));
    new wxCheckBox(this, ctl::kUseTrash, ToWx(UiText::kCheckUseTrash));
    new wxCheckBox(this, ctl::kRemoveEmptyFolders, ToWx(UiText::kCheckRemoveEmptyFolders));
    new wxCheckBox(this, ctl::kBsc, KindLabel(FileKind::Bsc));
    new wxStaticBox(this, ctl::kNewerFileGroup, ToWx(UiText::kGroupNewerFiles));
    for (int i = 0; i < kNewerKindCount; ++i) {
        new wxCheckBox(this, ctl::kIpch + i, KindLabel(NewerKind(i)));
    }
    m_comboFolder = new wxComboBox(this, ctl::kComboFolder);
    // The project view and its switch come last: everything before keeps
    // its place in the tab order.
    m_groupList = new CGroupListCtrl(this, ctl::kGroupList);
    m_groupList->Hide();
    new wxStaticBox(this, ctl::kViewGroup, ToWx(UiText::kGroupListView));
    m_radioView[0] = new wxRadioButton(this, ctl::kRadioFileView, ToWx(UiText::kRadioFileView),
                                       wxDefaultPosition, wxDefaultSize, wxRB_GROUP);
    m_radioView[1] =
        new wxRadioButton(this, ctl::kRadioProjectView, ToWx(UiText::kRadioProjectView));
    // The folders left out by name, last for the same reason.
    new wxStaticText(this, ctl::kExcludeLabel, ToWx(UiText::kLabelExclude));
    m_editExclude = new wxTextCtrl(this, ctl::kExcludeFolders);
    m_editExclude->SetHint(ToWx(UiText::kExcludeHint));
    m_editExclude->SetToolTip(ToWx(UiText::kExcludeTip));

    for (wxComboBox* pCombo : {m_comboFolder, m_comboFile, m_comboDayMonth}) {
        CEditUndo::Attach(pCombo, pCombo);
    }
    CEditUndo::Attach(m_editCount, m_editCount);
    CEditUndo::Attach(m_editExclude, m_editExclude);

    BindListActions();
}

void CVCKesmoraView::OnInitialUpdate() {
    UpdateData(false);
    CreateFinder();
    InitTabsAndCombos();
    InitListColumns();
    m_list->SetRows(&m_rows);
    m_groupList->SetGroups(&m_groups, &m_rows.m_rows);
    EnableSearchButtons(false);
    UpdateDeleteButtons(false);
    LoadSettings();
    LayoutControls(ToDIP(GetClientSize()).x, ToDIP(GetClientSize()).y);
    StackTabStripBelow(m_tab);
}

void CVCKesmoraView::OnDestroy() {
    if (m_bSettingsSaved) {
        return;
    }
    m_bSettingsSaved = true;
    SaveSettings();
    // A search still running is stopped and its worker joined before the
    // finder and the rows go.
    EndSearchQuietly();
}

void CVCKesmoraView::InitTabsAndCombos() {
    // The pages are empty: the tab strip only switches which controls of
    // the one form are shown.
    const std::string_view tabs[] = {UiText::kTabFolder, UiText::kTabFile, UiText::kTabDate,
                                     UiText::kTabOther};
    for (int nPage = 0; nPage < 4; ++nPage) {
        m_tab->AddPage(new wxWindow(m_tab, wxID_ANY, wxDefaultPosition, wxSize(1, 1)),
                       ToWx(tabs[nPage]), nPage == 0);
        if (nPage > 0) {
            ShowTabPage(nPage, false);
        }
    }
    m_nCurTab = 0;

    for (std::string_view item : UiText::kDayMonthItems) {
        m_comboDayMonth->Append(ToWx(item));
    }
    for (std::string_view item : UiText::kFileTimeItems) {
        m_comboFile->Append(ToWx(item));
    }
    m_spinCount->SetRange(1, 99);
}

void CVCKesmoraView::InitListColumns() {
    settings::PointAt(*m_pRegistry, settings::kControls);
    const int nWidth = settings::ReadInt(*m_pRegistry, settings::kColumnWidth, 360);
    m_groupList->InitColumns(settings::ReadInt(*m_pRegistry, settings::kProjectColumnWidth, 240));

    m_list->AppendColumn(ToWx(UiText::kColumnName), wxLIST_FORMAT_LEFT, nWidth);
    const auto append = [this](std::string_view header, wxListColumnFormat format, int nUsual,
                               const char* pszSample) {
        m_list->AppendColumn(ToWx(header), format,
                             FitColumnWidth(m_list, nUsual, pszSample, ToWx(header)));
    };
    append(UiText::kColumnSize, wxLIST_FORMAT_RIGHT, 70, "9,999,999KB");
    append(UiText::kColumnCreated, wxLIST_FORMAT_CENTRE, 110, "8888/88/88 88:88");
    append(UiText::kColumnModified, wxLIST_FORMAT_CENTRE, 110, "8888/88/88 88:88");
}

wxWindow* CVCKesmoraView::Control(int nId) const { return FindWindow(nId); }

void CVCKesmoraView::EnableControl(int nId, bool bEnable) {
    if (wxWindow* pControl = Control(nId)) {
        pControl->Enable(bEnable);
    }
}

void CVCKesmoraView::OnSize(wxSizeEvent& event) {
    event.Skip();
    // The layout is in the form's pixels at 96 DPI; a window on a denser
    // monitor scales it (no change on GTK, which scales by itself).
    const wxSize client = ToDIP(GetClientSize());
    LayoutControls(client.x, client.y);
}

void CVCKesmoraView::LayoutControls(int cw, int ch) {
    if (Control(ctl::kRule) == nullptr) {
        return;
    }
    const int w =
        cw - kButtonColumnReserve < kMinTabWidth ? kMinTabWidth : cw - kButtonColumnReserve;
    // The unit combo may be widened for its items on this toolkit; the
    // file-time combo keeps its 5-pixel gap after it.
    const int unitWidth = FitComboWidth(m_comboDayMonth, 80);
    const int fileX = 89 + unitWidth + 5;
    const struct {
        int nId;
        int x, y, cx, cy;
    } places[] = {
        {ctl::kRule, 0, 0, cw, 2},
        {ctl::kTab, 10, 10, w, 200},
        {ctl::kFolderLabel, 20, 43, 60, 20},
        {ctl::kComboFolder, 85, 40, w - 85, 20},
        {ctl::kFindSubFolder, 20, 70, 140, 20},
        {ctl::kBrowse, w - 60, 70, 60, 20},
        {ctl::kSubFolderGroup, 20, 100, w - 20, 100},
        {ctl::kRadioAllSubFolders, 30, 113, 200, 20},
        {ctl::kRadioDebugRelease, 30, 134, 200, 20},
        {ctl::kRadioDebug, 30, 155, 200, 20},
        {ctl::kRadioRelease, 30, 176, 200, 20},
        {ctl::kFileGroup, 20, 43, w - 20, kFileGroupHeight},
        {ctl::kNewerFileGroup, 20, kNewerGroupTop, w - 20, kFileGroupHeight},
        {ctl::kTimeGroup, 10, 10, w, 200},
        {ctl::kRadioAllFiles, 20, 43, 200, 20},
        {ctl::kRadioPeriod, 20, 64, 200, 20},
        {ctl::kCount, 40, 85, 30, 20},
        {ctl::kSpinCount, 69, 85, 15, 20},
        {ctl::kComboDayMonth, 89, 85, unitWidth, 20},
        {ctl::kComboFile, fileX, 85, 160, 20},
        {ctl::kConfirmRemove, 20, 43, 200, 20},
        {ctl::kUseTrash, 20, 64, 200, 20},
        {ctl::kRemoveEmptyFolders, 20, 85, 240, 20},
        {ctl::kExcludeLabel, 20, 112, w - 30, 20},
        {ctl::kExcludeFolders, 20, 133, w - 30, 20},
        {ctl::kList, 0, kListTop, cw, ch - kListTop},
        {ctl::kGroupList, 0, kListTop, cw, ch - kListTop},
        {ctl::kStart, w + 20, 25, 100, 20},
        {ctl::kStop, w + 20, 50, 100, 20},
        {ctl::kDelete, w + 20, 75, 100, 20},
        {ctl::kDeleteAll, w + 20, 100, 100, 20},
        {ctl::kViewGroup, w + 20, 125, 100, 60},
        {ctl::kRadioFileView, w + 28, 140, 88, 20},
        {ctl::kRadioProjectView, w + 28, 161, 88, 20},
    };
    for (const auto& place : places) {
        Place(place.nId, place.x, place.y, place.cx, place.cy);
    }
    // Fifteen check boxes fit the tab strip's height only three to a row:
    // the eight in report order, then the seven in their group below.
    const int third = (w - 20) / 3;
    for (std::size_t i = 0; i < std::size(kClassicChecks); ++i) {
        Place(kClassicChecks[i], 30 + static_cast<int>(i % 3) * third,
              56 + static_cast<int>(i / 3) * kCheckPitch, third - 10, 20);
    }
    for (int i = 0; i < kNewerKindCount; ++i) {
        Place(ctl::kIpch + i, 30 + (i % 3) * third, kNewerGroupTop + 13 + (i / 3) * kCheckPitch,
              third - 10, 20);
    }
}

void CVCKesmoraView::Place(int nId, int x, int y, int cx, int cy) {
    wxWindow* pControl = Control(nId);
    if (pControl == nullptr) {
        return;
    }
    // A negative size (a window smaller than the form) would upset GTK.
    const wxPoint pos = FromDIP(wxPoint(x, y));
    const wxSize size = FromDIP(wxSize(std::max(cx, 0), std::max(cy, 0)));
    const wxRect before = pControl->GetRect();
    pControl->SetSize(pos.x, pos.y, FitControlWidth(pControl, size.x), size.y,
                      wxSIZE_ALLOW_MINUS_ONE | wxSIZE_FORCE);
    if (pControl->IsShown() && pControl->GetRect() != before) {
        // Windows carries a moved control's old picture along and repaints
        // only what is new; a control redrawn whole leaves nothing stale.
        pControl->Refresh();
    }
}

void CVCKesmoraView::ShowTabPage(int nPage, bool bShow) {
    auto show = [this, bShow](const auto& ids) {
        for (int nId : ids) {
            if (wxWindow* pControl = Control(nId)) {
                pControl->Show(bShow);
            }
        }
    };
    switch (nPage) {
        case 0:
            show(kPage0);
            break;
        case 1:
            show(kPage1);
            break;
        case 2:
            show(kPage2);
            break;
        case 3:
            show(kPage3);
            break;
        default:
            break;
    }
}

void CVCKesmoraView::SelectTabPage(int nPage) {
    if (nPage == m_nCurTab || nPage < 0 || nPage > 3) {
        return;
    }
    ShowTabPage(m_nCurTab, false);
    ShowTabPage(nPage, true);
    m_nCurTab = nPage;
}

void CVCKesmoraView::OnSelchangeTab(wxBookCtrlEvent& event) {
    SelectTabPage(event.GetSelection());
    // The strip redraws the two tabs alone; on Windows the old tab's edge
    // stayed on the body's top line (the controls above it stay as drawn).
    m_tab->Refresh();
    event.Skip();
}

void CVCKesmoraView::EnableSearchButtons(bool bSearching) {
    EnableControl(ctl::kStart, !bSearching);
    EnableControl(ctl::kStop, bSearching);
}

bool CVCKesmoraView::CanDelete(int nId, bool bSearching) const {
    if (bSearching || m_list->GetItemCount() == 0) {
        return false;
    }
    return nId == ctl::kDeleteAll || ShownList()->GetSelectedItemCount() > 0;
}

void CVCKesmoraView::UpdateDeleteButtons(bool bSearching) {
    EnableControl(ctl::kDelete, CanDelete(ctl::kDelete, bSearching));
    EnableControl(ctl::kDeleteAll, CanDelete(ctl::kDeleteAll, bSearching));
}

void CVCKesmoraView::EnablePeriodControls(int nRadioTime) {
    if (nRadioTime != 0 && nRadioTime != 1) {
        return;
    }
    for (int nId : kPeriodControls) {
        EnableControl(nId, nRadioTime == 1);
    }
}

void CVCKesmoraView::EnableSubFolderRadios() {
    UpdateData(true);
    for (int nId : kFolderRadios) {
        EnableControl(nId, m_bFindSubFolder != 0);
    }
}

void CVCKesmoraView::EnableOptionControls(bool bEnable) {
    for (int nId : kOptionControls) {
        EnableControl(nId, bEnable);
    }
    if (bEnable) {
        EnablePeriodControls(m_nRadioTime);
        EnableSubFolderRadios();
    } else {
        for (int nId : kFolderRadios) {
            EnableControl(nId, false);
        }
        EnableControl(ctl::kComboDayMonth, false);
        EnableControl(ctl::kComboFile, false);
    }
}

void CVCKesmoraView::OnRadioAllFiles(wxCommandEvent&) { EnablePeriodControls(0); }

void CVCKesmoraView::OnRadioPeriod(wxCommandEvent&) { EnablePeriodControls(1); }

void CVCKesmoraView::OnClickSubFolder(wxCommandEvent&) { EnableSubFolderRadios(); }

void CVCKesmoraView::OnUpdateDeleteButton(wxUpdateUIEvent& event) {
    // The list reports keyboard and range selections unevenly across
    // platforms; both counts are cheap, so the buttons follow them at idle.
    if (m_list != nullptr) {
        event.Enable(CanDelete(event.GetId(), m_bSearching));
    }
}

bool CVCKesmoraView::UpdateData(bool bSaveAndValidate) {
    auto check = [this, bSaveAndValidate](int nId, int& bValue) {
        auto* pBox = static_cast<wxCheckBox*>(Control(nId));
        if (bSaveAndValidate) {
            bValue = pBox->GetValue() ? 1 : 0;
        } else {
            pBox->SetValue(bValue != 0);
        }
    };
    auto radio = [bSaveAndValidate](const auto& buttons, int& nValue) {
        if (bSaveAndValidate) {
            nValue = -1;
            for (std::size_t i = 0; i < buttons.size(); ++i) {
                if (buttons[i]->GetValue()) {
                    nValue = static_cast<int>(i);
                    break;
                }
            }
        } else if (nValue >= 0 && nValue < static_cast<int>(buttons.size())) {
            buttons[static_cast<std::size_t>(nValue)]->SetValue(true);
        }
    };
    check(ctl::kConfirmRemove, m_bConfirmRemove);
    check(ctl::kUseTrash, m_bUseTrash);
    check(ctl::kRemoveEmptyFolders, m_bRemoveEmptyFolders);
    check(ctl::kIdb, m_bIdb);
    check(ctl::kIlk, m_bIlk);
    check(ctl::kObj, m_bObj);
    check(ctl::kPch, m_bPch);
    check(ctl::kPdb, m_bPdb);
    check(ctl::kRes, m_bRes);
    check(ctl::kSbr, m_bSbr);
    check(ctl::kFindSubFolder, m_bFindSubFolder);
    radio(m_radioFolder, m_nRadioFolder);
    radio(m_radioTime, m_nRadioTime);
    // The period is validated before the last type flag: a failure leaves
    // m_bBsc as it was.
    if (!ExchangeCount(bSaveAndValidate)) {
        return false;
    }
    check(ctl::kBsc, m_bBsc);
    for (int i = 0; i < kNewerKindCount; ++i) check(ctl::kIpch + i, m_bNewer[i]);
    if (bSaveAndValidate) {
        m_strExcludedFolders = m_editExclude->GetValue();
    } else if (m_editExclude->GetValue() != m_strExcludedFolders) {
        // Where the system draws no hint (Windows without visual styles), the
        // toolkit writes it into the empty field, and any value set wipes it.
        m_editExclude->ChangeValue(m_strExcludedFolders);
    }
    return true;
}

bool CVCKesmoraView::ExchangeCount(bool bSaveAndValidate) {
    if (!bSaveAndValidate) {
        m_editCount->ChangeValue(wxString::Format("%d", m_nCount));
        return true;
    }
    wxString text = m_editCount->GetValue();
    text.Trim(true).Trim(false);
    long value = 0;
    if (text.empty() || !text.ToLong(&value) || value < INT32_MIN || value > INT32_MAX) {
        FailCountValidation(UiText::kNotAnInteger);
        return false;
    }
    m_nCount = static_cast<int>(value);
    if (m_nCount < 1 || m_nCount > 99) {
        FailCountValidation(UiText::kCountOutOfRange);
        return false;
    }
    return true;
}

void CVCKesmoraView::FailCountValidation(std::string_view message) {
    AskUser(ToWx(message), ToWx(UiText::kAppName), wxOK | wxICON_EXCLAMATION);
    m_editCount->SetFocus();
    m_editCount->SelectAll();
}

void CVCKesmoraView::OnRowsChanged() {
    m_list->SyncRowCount();
    UpdateDeleteButtons(m_bSearching);
}

void CVCKesmoraView::ShowStatusMessage(const wxString& strText) {
    m_pHost->ShowStatusMessage(strText);
}

void CVCKesmoraView::ShowStatusPanes(const wxString& strLeft, const wxString& strRight) {
    m_pHost->ShowStatusPanes(strLeft, strRight);
}
