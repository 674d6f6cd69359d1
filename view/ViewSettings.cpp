// Loading and saving of the form's persisted values, the folder history and
// the window placement through the settings store.
#include <wx/utils.h>

#include <algorithm>
#include <string>
#include <vector>

#include "finder/FileUtil.h"
#include "search/FolderHistory.h"
#include "search/SettingsKeys.h"
#include "view/ControlIds.h"
#include "view/VCKesmoraView.h"

namespace {

constexpr int kMaxHistory = 20;

using settings::PointAt;
using settings::ReadInt;
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
    CRegistry& registry = *m_pRegistry;
    const CRegistryBatch batch(registry);
    PointAt(registry, settings::kHistory);
    const int nHistory = ReadInt(registry, "Count", 0);
    // Only the entries present are read: a hand-edited Count of two
    // billion must cost no more than the file holds.
    std::vector<std::string> names;
    registry.EnumValueNames(names, RegRoot::CurrentUser);
    wxArrayString items;
    for (const std::string& strName : HistoryValueNames(names, nHistory)) {
        std::string strFolder;
        registry.ReadString(strName, strFolder, std::string(), RegRoot::CurrentUser);
        // Text that is not UTF-8 (hand-edited) converts to nothing: skipped
        // like an empty entry rather than shown as a blank line.
        const wxString strItem = wxString::FromUTF8(strFolder);
        if (!strItem.empty()) {
            items.push_back(strItem);
        }
    }
    // In one call: wx counts a GTK combo's items afresh for every append.
    m_comboFolder->Append(items);
    wxString strFolder = wxString::FromUTF8(DefaultFolder());
    if (m_comboFolder->GetCount() > 0) {
        strFolder = m_comboFolder->GetString(0);
    }
    m_comboFolder->ChangeValue(strFolder);

    PointAt(registry, settings::kControls);
    m_bFindSubFolder = ReadInt(registry, "FindSubFolder", 1);
    if (m_bFindSubFolder == 0) {
        for (int nId : {ctl::kRadioAllSubFolders, ctl::kRadioDebugRelease, ctl::kRadioDebug,
                        ctl::kRadioRelease}) {
            FindWindow(nId)->Disable();
        }
    }
    // Hand-edited scopes beyond the four buttons would widen a later
    // delete-all to every subfolder: the default scope instead.
    m_nRadioFolder = ReadInt(registry, "RadioFolder", 1);
    if (m_nRadioFolder < 0 || m_nRadioFolder > 3) {
        m_nRadioFolder = 1;
    }
    m_bBsc = ReadInt(registry, "Bsc", 1);
    m_bIdb = ReadInt(registry, "Idb", 1);
    m_bIlk = ReadInt(registry, "Ilk", 1);
    m_bObj = ReadInt(registry, "Obj", 1);
    m_bPch = ReadInt(registry, "Pch", 1);
    m_bPdb = ReadInt(registry, "Pdb", 1);
    m_bRes = ReadInt(registry, "Res", 1);
    m_bSbr = ReadInt(registry, "Sbr", 1);
    for (int i = 0; i < kNewerKindCount; ++i) {
        m_bNewer[i] = settings::NewerKindSaved(ReadInt(registry, settings::kNewerKindValues[i], 0));
    }
    m_nRadioTime = ReadInt(registry, "RadioTime", 0);
    EnablePeriodControls(m_nRadioTime);

    int nCount = ReadInt(registry, "Count", 1);
    if (nCount < 1 || nCount > 99) {
        nCount = 1;
    }
    m_nCount = nCount;
    m_spinCount->SetPos(nCount);

    const int nDayMonth = std::max(ReadInt(registry, "ComboDayMonth", 0), 0);
    m_comboDayMonth->ChangeValue(ItemTextOrEmpty(m_comboDayMonth, nDayMonth));
    const int nFile = std::max(ReadInt(registry, "ComboFile", 0), 0);
    m_comboFile->ChangeValue(ItemTextOrEmpty(m_comboFile, nFile));

    m_bConfirmRemove = ReadInt(registry, "ConfirmRemove", 1);
    // Moving to the trash only when plainly asked for: any other value
    // leaves deletion as it always was.
    m_bUseTrash = ReadInt(registry, "UseTrash", 0) == 1 ? 1 : 0;
    UpdateData(false);
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
    WriteInt(registry, "ShowCmd", placement.nShowCmd);
    WriteInt(registry, "Left", placement.rcNormal.GetLeft());
    WriteInt(registry, "Top", placement.rcNormal.GetTop());
    WriteInt(registry, "Right", placement.rcNormal.GetLeft() + placement.rcNormal.GetWidth());
    WriteInt(registry, "Bottom", placement.rcNormal.GetTop() + placement.rcNormal.GetHeight());

    const int nHistory = std::min(static_cast<int>(m_comboFolder->GetCount()), kMaxHistory);
    PointAt(registry, settings::kHistory);
    WriteInt(registry, "Count", nHistory);
    for (int i = 0; i < nHistory; ++i) {
        registry.WriteString("History" + std::to_string(i),
                             m_comboFolder->GetString(static_cast<unsigned>(i)).utf8_string(),
                             RegRoot::CurrentUser, false);
    }

    PointAt(registry, settings::kControls);
    WriteInt(registry, "ColumnWidth", m_list->GetColumnWidth(0));
    WriteInt(registry, "FindSubFolder", m_bFindSubFolder);
    WriteInt(registry, "RadioFolder", m_nRadioFolder);
    WriteInt(registry, "Bsc", m_bBsc);
    WriteInt(registry, "Idb", m_bIdb);
    WriteInt(registry, "Ilk", m_bIlk);
    WriteInt(registry, "Obj", m_bObj);
    WriteInt(registry, "Pch", m_bPch);
    WriteInt(registry, "Pdb", m_bPdb);
    WriteInt(registry, "Res", m_bRes);
    WriteInt(registry, "Sbr", m_bSbr);
    for (int i = 0; i < kNewerKindCount; ++i) {
        WriteInt(registry, settings::kNewerKindValues[i], m_bNewer[i]);
    }
    WriteInt(registry, "RadioTime", m_nRadioTime);
    WriteInt(registry, "Count", m_nCount);
    WriteInt(registry, "ComboDayMonth", FindComboTextIndex(0));
    WriteInt(registry, "ComboFile", FindComboTextIndex(1));
    WriteInt(registry, "ConfirmRemove", m_bConfirmRemove);
    WriteInt(registry, "UseTrash", m_bUseTrash);
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
