// The project view: the switch between the result list's two views, the
// groups' tree kept in step with the rows, and the files of chosen rows.
#include <wx/radiobut.h>

#include <algorithm>
#include <vector>

#include "view/ControlIds.h"
#include "view/VCKesmoraView.h"

void CVCKesmoraView::OnRadioResultView(wxCommandEvent& event) {
    ShowResultView(event.GetId() == ctl::kRadioProjectView);
}

void CVCKesmoraView::ShowResultView(bool bProjects) {
    m_bProjectView = bProjects;
    m_radioView[bProjects ? 1 : 0]->SetValue(true);
    // The groups' list is kept up only while it is shown.
    if (bProjects) SyncGroupList();
    m_list->Show(!bProjects);
    m_groupList->Show(bProjects);
    UpdateDeleteButtons(m_bSearching);
}

void CVCKesmoraView::SyncGroupList(bool bFromSelectedRows) {
    m_groupList->SyncGroups();
    if (!bFromSelectedRows) return;
    std::vector<std::size_t> groups;
    for (std::size_t n : SelectedRows()) {
        const std::size_t nGroup = m_groups.GroupOf(m_rows.m_rows[n]);
        if (nGroup != CProjectGroups::kNoGroup) groups.push_back(nGroup);
    }
    std::sort(groups.begin(), groups.end());
    groups.erase(std::unique(groups.begin(), groups.end()), groups.end());
    m_groupList->SelectGroups(groups);
}

std::vector<std::size_t> CVCKesmoraView::ChosenRows() const {
    return m_bProjectView ? m_groupList->SelectedFileRows() : SelectedRows();
}
