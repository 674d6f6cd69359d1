// Which controls are usable when: the period and subfolder rules, a running
// search, the delete buttons following the list's selection, and the check
// of the period field.
#include <wx/checkbox.h>
#include <wx/clipbrd.h>
#include <wx/combobox.h>
#include <wx/notebook.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "GuiFixture.h"
#include "res/UiText.h"
#include "view/ControlIds.h"

namespace {

class EnablingTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        OpenWindow();
    }

    bool Enabled(int nId) const { return Control(nId)->IsEnabled(); }

    void ShowPage(int nPage) {
        static_cast<wxNotebook*>(Control(ctl::kTab))->SetSelection(static_cast<size_t>(nPage));
        Pump(100);
    }

    void FillRows(int nRows) {
        for (int i = 0; i < nRows; ++i) {
            m_pView->m_rows.m_rows.emplace_back("/tmp/p" + std::to_string(i) + ".obj", 1024);
        }
        m_pView->OnRowsChanged();
        Pump(50);
    }

    wxTextCtrl* CountEdit() const { return static_cast<wxTextCtrl*>(Control(ctl::kCount)); }
};

constexpr int kPeriodControls[] = {ctl::kComboDayMonth, ctl::kComboFile, ctl::kCount,
                                   ctl::kSpinCount};
constexpr int kFolderRadios[] = {ctl::kRadioAllSubFolders, ctl::kRadioDebugRelease,
                                 ctl::kRadioDebug, ctl::kRadioRelease};

TEST_F(EnablingTest, IdleWindowHasOnlyStartOfTheFourButtonsEnabled) {
    EXPECT_TRUE(Enabled(ctl::kStart));
    EXPECT_FALSE(Enabled(ctl::kStop));
    EXPECT_FALSE(Enabled(ctl::kDelete));
    EXPECT_FALSE(Enabled(ctl::kDeleteAll));
    for (int nId : kPeriodControls) {
        EXPECT_FALSE(Enabled(nId)) << "control " << nId;
    }
    for (int nId : kFolderRadios) {
        EXPECT_TRUE(Enabled(nId)) << "control " << nId;
    }
}

TEST_F(EnablingTest, TimeRadiosSwitchThePeriodControlsAtOnce) {
    ShowPage(2);
    Click(ctl::kRadioPeriod);
    for (int nId : kPeriodControls) {
        EXPECT_TRUE(Enabled(nId)) << "control " << nId;
    }
    Click(ctl::kRadioAllFiles);
    for (int nId : kPeriodControls) {
        EXPECT_FALSE(Enabled(nId)) << "control " << nId;
    }
}

TEST_F(EnablingTest, UnusualTimeValueLeavesThePeriodControlsAsTheyAre) {
    m_pView->EnablePeriodControls(1);
    m_pView->EnablePeriodControls(2);
    m_pView->EnablePeriodControls(-1);
    EXPECT_TRUE(Enabled(ctl::kCount));
    m_pView->EnablePeriodControls(0);
    m_pView->EnablePeriodControls(7);
    EXPECT_FALSE(Enabled(ctl::kCount));
}

TEST_F(EnablingTest, SubfolderCheckBoxSwitchesTheFourRadios) {
    Click(ctl::kFindSubFolder);
    EXPECT_EQ(m_pView->m_bFindSubFolder, 0);
    for (int nId : kFolderRadios) {
        EXPECT_FALSE(Enabled(nId)) << "control " << nId;
    }
    Click(ctl::kFindSubFolder);
    EXPECT_EQ(m_pView->m_bFindSubFolder, 1);
    for (int nId : kFolderRadios) {
        EXPECT_TRUE(Enabled(nId)) << "control " << nId;
    }
}

TEST_F(EnablingTest, SearchDisablesEveryOptionAndTheEndRestoresThemByTheirRules) {
    m_pView->EnableOptionControls(false);
    m_pView->EnableSearchButtons(true);
    for (int nId = ctl::kBrowse; nId <= ctl::kExcludeFolders; ++nId) {
        // The time group is never shown nor switched; the list's view
        // switch and project list stay usable.
        if (nId != ctl::kTimeGroup && (nId < ctl::kViewGroup || nId > ctl::kGroupList)) {
            EXPECT_FALSE(Enabled(nId)) << "control " << nId;
        }
    }
    EXPECT_TRUE(Enabled(ctl::kTab));
    EXPECT_TRUE(Enabled(ctl::kList));
    EXPECT_TRUE(Enabled(ctl::kStop));
    EXPECT_FALSE(Enabled(ctl::kStart));

    // Period off and subfolders off: those stay disabled after the search.
    static_cast<wxCheckBox*>(Control(ctl::kFindSubFolder))->SetValue(false);
    m_pView->EnableOptionControls(true);
    m_pView->EnableSearchButtons(false);
    EXPECT_TRUE(Enabled(ctl::kComboFolder));
    EXPECT_TRUE(Enabled(ctl::kBsc));
    EXPECT_TRUE(Enabled(ctl::kRadioPeriod));
    EXPECT_TRUE(Enabled(ctl::kConfirmRemove));
    EXPECT_FALSE(Enabled(ctl::kComboDayMonth));
    EXPECT_FALSE(Enabled(ctl::kCount));
    for (int nId : kFolderRadios) {
        EXPECT_FALSE(Enabled(nId)) << "control " << nId;
    }
    EXPECT_TRUE(Enabled(ctl::kStart));
    EXPECT_FALSE(Enabled(ctl::kStop));
}

TEST_F(EnablingTest, DeleteAllNeedsRowsAndDeleteNeedsASelection) {
    FillRows(3);
    EXPECT_TRUE(Enabled(ctl::kDeleteAll));
    EXPECT_FALSE(Enabled(ctl::kDelete));
    m_pView->m_list->SetItemState(1, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    Pump(50);
    EXPECT_TRUE(Enabled(ctl::kDelete));
    m_pView->m_list->SetItemState(1, 0, wxLIST_STATE_SELECTED);
    Pump(50);
    EXPECT_FALSE(Enabled(ctl::kDelete));
    EXPECT_TRUE(Enabled(ctl::kDeleteAll));
}

TEST_F(EnablingTest, ClickingARowEnablesDeleteAndASearchDisablesBoth) {
    FillRows(5);
    wxUIActionSimulator sim;
    const wxRect list = m_pView->m_list->GetScreenRect();
    sim.MouseMove(list.x + 60, list.y + 40);  // below the header: a row
    Pump(30);
    sim.MouseClick();
    Pump(100);
    ASSERT_EQ(m_pView->m_list->GetSelectedItemCount(), 1);
    EXPECT_TRUE(Enabled(ctl::kDelete));

    // On another row: a second click on the same one would open its folder
    // (under Wine, a file manager that outlives the test).
    m_pView->m_bSearching = true;
    sim.MouseMove(list.x + 60, list.y + 60);
    Pump(30);
    sim.MouseClick();
    Pump(100);
    EXPECT_FALSE(Enabled(ctl::kDelete));
    EXPECT_FALSE(Enabled(ctl::kDeleteAll));
}

TEST_F(EnablingTest, KeyboardSelectionAlsoMovesTheDeleteButton) {
    FillRows(4);
    m_pView->m_list->SetFocus();
    Pump(50);
    wxUIActionSimulator sim;
    sim.Char(WXK_DOWN);
    Pump(100);
    ASSERT_GT(m_pView->m_list->GetSelectedItemCount(), 0);
    EXPECT_TRUE(Enabled(ctl::kDelete));
    // Moving on keeps one row selected and the button enabled.
    sim.Char(WXK_DOWN);
    Pump(100);
    EXPECT_EQ(m_pView->m_list->GetSelectedItemCount(), 1);
    EXPECT_TRUE(Enabled(ctl::kDelete));
}

TEST_F(EnablingTest, PeriodOutsideOneTo99StopsTheExchangeAtTheField) {
    ShowPage(2);
    Click(ctl::kRadioPeriod);  // a disabled field takes no focus on Windows
    m_pView->m_bBsc = 7;       // a value the check box cannot hold: must stay unread
    static_cast<wxCheckBox*>(Control(ctl::kBsc))->SetValue(false);
    static_cast<wxCheckBox*>(Control(ctl::kIdb))->SetValue(false);
    CountEdit()->ChangeValue("100");

    EXPECT_FALSE(m_pView->UpdateData(true));
    ASSERT_EQ(m_pDialogs->m_messages.size(), 1u);
    EXPECT_EQ(m_pDialogs->m_messages[0],
              wxString::FromUTF8(UiText::kCountOutOfRange.data(), UiText::kCountOutOfRange.size()));
    EXPECT_EQ(m_pView->m_bIdb, 0);      // read before the period
    EXPECT_EQ(m_pView->m_nCount, 100);  // stored, then refused
    EXPECT_EQ(m_pView->m_bBsc, 7);      // after the period: not read
    Pump(50);
    EXPECT_EQ(wxWindow::FindFocus(), CountEdit());
    long from = 0;
    long to = 0;
    CountEdit()->GetSelection(&from, &to);
    EXPECT_EQ(from, 0);
    EXPECT_EQ(to, 3);
}

TEST_F(EnablingTest, TextThatIsNoNumberKeepsThePreviousCount) {
    m_pView->m_nCount = 5;
    for (const char* pszText : {"", "abc", "12x", "0x10"}) {
        CountEdit()->ChangeValue(pszText);
        EXPECT_FALSE(m_pView->UpdateData(true)) << pszText;
        EXPECT_EQ(m_pView->m_nCount, 5) << pszText;
    }
    ASSERT_EQ(m_pDialogs->m_messages.size(), 4u);
    EXPECT_EQ(m_pDialogs->m_messages[1],
              wxString::FromUTF8(UiText::kNotAnInteger.data(), UiText::kNotAnInteger.size()));
    CountEdit()->ChangeValue("99");
    EXPECT_TRUE(m_pView->UpdateData(true));
    EXPECT_EQ(m_pView->m_nCount, 99);
}

TEST_F(EnablingTest, SubfolderClickWithABadPeriodWarnsButTheRadiosStillFollow) {
    CountEdit()->ChangeValue("0");
    Click(ctl::kFindSubFolder);
    EXPECT_EQ(m_pDialogs->m_messages.size(), 1u);
    for (int nId : kFolderRadios) {
        EXPECT_FALSE(Enabled(nId)) << "control " << nId;
    }
}

TEST_F(EnablingTest, SpinStepsWithinOneTo99) {
    ShowPage(2);
    Click(ctl::kRadioPeriod);
    m_pView->m_spinCount->SetPos(98);
    m_pView->m_spinCount->Step(1);
    m_pView->m_spinCount->Step(1);
    EXPECT_EQ(CountEdit()->GetValue(), "99");
    CountEdit()->ChangeValue("2");
    m_pView->m_spinCount->Step(-1);
    m_pView->m_spinCount->Step(-1);
    EXPECT_EQ(CountEdit()->GetValue(), "1");

    // A real click on the upper half steps up from the typed value.
    CountEdit()->ChangeValue("41");
    wxUIActionSimulator sim;
    const wxRect spin = Control(ctl::kSpinCount)->GetScreenRect();
    sim.MouseMove(spin.x + spin.width / 2, spin.y + 3);
    Pump(30);
    sim.MouseClick();
    Pump(100);
    EXPECT_EQ(CountEdit()->GetValue(), "42");
}

TEST_F(EnablingTest, FolderPathCanBePastedIntoTheFolderField) {
    auto* pCombo = static_cast<wxComboBox*>(Control(ctl::kComboFolder));
    const wxString strPlaced = pCombo->GetValue();
    ASSERT_TRUE(wxTheClipboard->Open());
    wxTheClipboard->SetData(new wxTextDataObject("/srv/build/projects"));
    wxTheClipboard->Close();
    pCombo->SetFocus();
    pCombo->SelectAll();
    Pump(50);
    wxUIActionSimulator sim;
    sim.Char('v', wxMOD_CONTROL);
    Pump(200);
    EXPECT_EQ(pCombo->GetValue(), "/srv/build/projects");
    // Undo takes the paste back, to the text the window had put there.
    sim.Char('z', wxMOD_CONTROL);
    Pump(200);
    EXPECT_EQ(pCombo->GetValue(), strPlaced);
}

TEST_F(EnablingTest, CopyAndCutKeysWorkInTheFolderField) {
    auto* pCombo = static_cast<wxComboBox*>(Control(ctl::kComboFolder));
    pCombo->ChangeValue("/home/user/src");
    pCombo->SetFocus();
    pCombo->SelectAll();
    Pump(50);
    wxUIActionSimulator sim;
    sim.Char('x', wxMOD_CONTROL);
    Pump(200);
    EXPECT_EQ(pCombo->GetValue(), "");
    sim.Char(WXK_INSERT, wxMOD_SHIFT);
    Pump(200);
    EXPECT_EQ(pCombo->GetValue(), "/home/user/src");
}

}  // namespace
