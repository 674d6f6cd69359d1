// Loading and saving of the form's persisted values, the folder history and
// the window placement through the settings store.
#include <wx/utils.h>

#include <algorithm>
#include <string>
#include <vector>

#include "search/FolderHistory.h"
#include "search/SavedSettings.h"
#include "search/SettingsKeys.h"
#include "view/ControlIds.h"
#include "view/VCKesmoraView.h"
#include "walk/FileUtil.h"

namespace {

constexpr int kMaxHistory = 20;

using settings::PointAt;
using settings::WriteInt;

// The text of a list position, or an empty text past the list's end (a
// hand-edited position must not pick some other item or fail).
wxString ItemTextOrEmpty(const wxComboBox* pCombo, int nPos) {
    if (nPos < 0 || static_cast<unsigned>(nPos) >= pCombo->GetCount()) {
        return wxString();
    }
    return pCombo->GetString(static_cast<unsigned>(nPos));
}

}  // namespace

void CVCKesmoraView::LoadSettings() {
    const SavedSettings saved = LoadSavedSettings(*m_pRegistry);
    wxArrayString items;
    for (const std::string& strFolder : saved.history)
        items.push_back(wxString::FromUTF8(strFolder));
    // In one call: wx counts a GTK combo's items afresh for every append.
    m_comboFolder->Append(items);
    wxString strFolder = wxString::FromUTF8(DefaultFolder());
    if (m_comboFolder->GetCount() > 0) {
        strFolder = m_comboFolder->GetString(0);
    }
    m_comboFolder->ChangeValue(strFolder);

    const SearchOptions& o = saved.options;
    m_bFindSubFolder = o.bFindSubFolder;
    if (!o.bFindSubFolder) {
        for (int nId : {ctl::kRadioAllSubFolders, ctl::kRadioDebugRelease, ctl::kRadioDebug,
                        ctl::kRadioRelease}) {
            FindWindow(nId)->Disable();
        }
    }
    m_nRadioFolder = o.nRadioFolder;
    m_bBsc = o.bBsc;
    m_bIdb = o.bIdb;
    m_bIlk = o.bIlk;
    m_bObj = o.bObj;
    m_bPch = o.bPch;
    m_bPdb = o.bPdb;
    m_bRes = o.bRes;
    m_bSbr = o.bSbr;
    for (int i = 0; i < kNewerKindCount; ++i) m_bNewer[i] = o.newer.Has(NewerKind(i));
    m_nRadioTime = o.nRadioTime;
    EnablePeriodControls(m_nRadioTime);
    m_nCount = o.nCount;
    m_spinCount->SetPos(o.nCount);
    m_comboDayMonth->ChangeValue(ItemTextOrEmpty(m_comboDayMonth, saved.nDayMonthPosition));
    m_comboFile->ChangeValue(ItemTextOrEmpty(m_comboFile, saved.nFileTimePosition));
    m_bConfirmRemove = saved.bConfirmRemove;
    m_bUseTrash = saved.bUseTrash;
    m_bRemoveEmptyFolders = saved.bRemoveEmptyFolders;
    m_strExcludedFolders = wxString::FromUTF8(saved.strExcludedFolders);
    UpdateData(false);
    ShowResultView(saved.bProjectView);
}

void CVCKesmoraView::SaveSettings() {
    // A period that fails validation has shown its message; the members are
    // saved as they stand.
    UpdateData(true);

    CRegistry& registry = *m_pRegistry;
    // One rewrite of the store for the whole save.
    const CRegistryBatch batch(registry);
    const WindowPlacement placement = m_pHost->GetPlacement();
    PointAt(registry, settings::kWindow);
    WriteInt(registry, settings::kShowCmd, placement.nShowCmd);
    WriteInt(registry, settings::kLeft, placement.rcNormal.GetLeft());
    WriteInt(registry, settings::kTop, placement.rcNormal.GetTop());
    WriteInt(registry, settings::kRight,
             placement.rcNormal.GetLeft() + placement.rcNormal.GetWidth());
    WriteInt(registry, settings::kBottom,
             placement.rcNormal.GetTop() + placement.rcNormal.GetHeight());

    const int nHistory = std::min(static_cast<int>(m_comboFolder->GetCount()), kMaxHistory);
    PointAt(registry, settings::kHistory);
    WriteInt(registry, settings::kHistoryCount, nHistory);
    for (int i = 0; i < nHistory; ++i) {
        registry.WriteString(settings::HistoryEntryName(i),
                             m_comboFolder->GetString(static_cast<unsigned>(i)).utf8_string(),
                             RegRoot::CurrentUser, false);
    }

    PointAt(registry, settings::kControls);
    WriteInt(registry, settings::kColumnWidth, m_list->GetColumnWidth(0));
    WriteInt(registry, settings::kProjectColumnWidth, m_groupList->FolderColumnWidth());
    WriteInt(registry, settings::kFindSubFolder, m_bFindSubFolder);
    WriteInt(registry, settings::kRadioFolder, m_nRadioFolder);
    WriteInt(registry, SettingsKeyOf(FileKind::Bsc), m_bBsc);
    WriteInt(registry, SettingsKeyOf(FileKind::Idb), m_bIdb);
    WriteInt(registry, SettingsKeyOf(FileKind::Ilk), m_bIlk);
    WriteInt(registry, SettingsKeyOf(FileKind::Obj), m_bObj);
    WriteInt(registry, SettingsKeyOf(FileKind::Pch), m_bPch);
    WriteInt(registry, SettingsKeyOf(FileKind::Pdb), m_bPdb);
    WriteInt(registry, SettingsKeyOf(FileKind::Res), m_bRes);
    WriteInt(registry, SettingsKeyOf(FileKind::Sbr), m_bSbr);
    for (int i = 0; i < kNewerKindCount; ++i) {
        WriteInt(registry, SettingsKeyOf(NewerKind(i)), m_bNewer[i]);
    }
    WriteInt(registry, settings::kRadioTime, m_nRadioTime);
    WriteInt(registry, settings::kPeriodCount, m_nCount);
    WriteInt(registry, settings::kComboDayMonth, FindComboTextIndex(0));
    WriteInt(registry, settings::kComboFile, FindComboTextIndex(1));
    WriteInt(registry, settings::kConfirmRemove, m_bConfirmRemove);
    WriteInt(registry, settings::kUseTrash, m_bUseTrash);
    WriteInt(registry, settings::kRemoveEmptyFolders, m_bRemoveEmptyFolders);
    WriteInt(registry, settings::kProjectView, m_bProjectView ? 1 : 0);
    registry.WriteString(settings::kExcludedFolders, m_strExcludedFolders.utf8_string(),
                         RegRoot::CurrentUser, false);
}

int CVCKesmoraView::FindComboTextIndex(int nCombo) const {
    if (nCombo != 0 && nCombo != 1) {
        return 0;
    }
    const wxComboBox* pCombo = nCombo == 0 ? m_comboDayMonth : m_comboFile;
    const wxString strText = pCombo->GetValue();
    for (unsigned i = 0; i < pCombo->GetCount(); ++i) {
        if (pCombo->GetString(i) == strText) {
            return static_cast<int>(i);
        }
    }
    return 0;
}

void CVCKesmoraView::AddFolderHistory(const wxString& strFolder) {
    std::vector<std::string> items;
    items.reserve(m_comboFolder->GetCount());
    for (unsigned i = 0; i < m_comboFolder->GetCount(); ++i) {
        items.push_back(m_comboFolder->GetString(i).utf8_string());
    }
    ::AddFolderHistory(items, strFolder.utf8_string());
    wxArrayString list;
    list.reserve(items.size());
    for (const std::string& strItem : items) {
        list.push_back(wxString::FromUTF8(strItem));
    }
    m_comboFolder->Set(list);
    m_comboFolder->ChangeValue(strFolder);
}
