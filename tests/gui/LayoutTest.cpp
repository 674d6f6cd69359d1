// The form's layout at several widths, and the switching of its pages.
#include <wx/notebook.h>
#include <wx/uiaction.h>

#include <cstdlib>

#include "GuiFixture.h"
#include "tests/support/LocalMoment.h"
#include "view/ControlIds.h"

namespace {

class LayoutTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        OpenWindow();
    }

    // Sizes the form itself, as the frame does on every size change.
    void SizeForm(int cw, int ch) {
        m_pView->SetSize(wxSize(cw, ch));
        Pump(50);
        ASSERT_EQ(m_pView->GetClientSize(), wxSize(cw, ch));
    }

    wxRect RectOf(int nId) const { return Control(nId)->GetRect(); }

    void ExpectPlaced(int nId, int x, int y, int cx, int cy) const {
        const wxRect rect = RectOf(nId);
        EXPECT_EQ(rect.x, x) << "control " << nId;
        EXPECT_EQ(rect.y, y) << "control " << nId;
        EXPECT_EQ(rect.width, cx) << "control " << nId;
        EXPECT_EQ(rect.height, cy) << "control " << nId;
    }

    bool Shown(int nId) const { return Control(nId)->IsShown(); }

    // Saves a screenshot of the display when KESMORA_SCREENSHOT_DIR is set.
    static void MaybeScreenshot(const std::string& name) {
        const char* pszDir = std::getenv("KESMORA_SCREENSHOT_DIR");
        if (pszDir == nullptr) {
            return;
        }
        Pump(200);
        const std::string command =
            "/usr/bin/import -window root '" + std::string(pszDir) + "/" + name + ".png'";
        EXPECT_EQ(std::system(command.c_str()), 0);
    }
};

constexpr int kPage0[] = {
    ctl::kFolderLabel,    ctl::kComboFolder,        ctl::kFindSubFolder,     ctl::kBrowse,
    ctl::kSubFolderGroup, ctl::kRadioAllSubFolders, ctl::kRadioDebugRelease, ctl::kRadioDebug,
    ctl::kRadioRelease};
constexpr int kPage2[] = {ctl::kRadioAllFiles, ctl::kRadioPeriod, ctl::kComboDayMonth,
                          ctl::kComboFile,     ctl::kCount,       ctl::kSpinCount};

TEST_F(LayoutTest, WideClientGivesTabWidthOf130Less) {
    SizeForm(1000, 600);
    ExpectPlaced(ctl::kRule, 0, 0, 1000, 2);
    ExpectPlaced(ctl::kTab, 10, 10, 870, 200);
    ExpectPlaced(ctl::kComboFolder, 85, 40, 785, 20);
    ExpectPlaced(ctl::kBrowse, 810, 70, 60, 20);
    ExpectPlaced(ctl::kSubFolderGroup, 20, 100, 850, 100);
    ExpectPlaced(ctl::kFileGroup, 20, 43, 850, 79);
    ExpectPlaced(ctl::kNewerFileGroup, 20, 126, 850, 79);
    ExpectPlaced(ctl::kTimeGroup, 10, 10, 870, 200);
    // Three to a row: the eight in their report order, then the seven.
    EXPECT_EQ(RectOf(ctl::kIdb).x, 313);
    EXPECT_EQ(RectOf(ctl::kSbr).GetPosition(), wxPoint(313, 98));
    EXPECT_EQ(RectOf(ctl::kRes).GetPosition(), wxPoint(30, 98));
    EXPECT_EQ(RectOf(ctl::kSdf).GetPosition(), wxPoint(596, 139));
    EXPECT_EQ(RectOf(ctl::kTlog).GetPosition(), wxPoint(30, 181));
    ExpectPlaced(ctl::kStart, 890, 25, 100, 20);
    ExpectPlaced(ctl::kStop, 890, 50, 100, 20);
    ExpectPlaced(ctl::kDelete, 890, 75, 100, 20);
    ExpectPlaced(ctl::kDeleteAll, 890, 100, 100, 20);
    ExpectPlaced(ctl::kList, 0, 220, 1000, 380);
    ExpectPlaced(ctl::kCount, 40, 85, 30, 20);
    ExpectPlaced(ctl::kSpinCount, 69, 85, 15, 20);
    // The unit combo may grow to fit its texts; the file-time combo follows.
    const wxRect unit = RectOf(ctl::kComboDayMonth);
    EXPECT_EQ(unit.GetPosition(), wxPoint(89, 85));
    EXPECT_GE(unit.width, 80);
    ExpectPlaced(ctl::kComboFile, 89 + unit.width + 5, 85, 160, 20);
}

TEST_F(LayoutTest, NarrowClientKeepsTabWidthAt200AndButtonsRunPastTheEdge) {
    SizeForm(300, 400);
    EXPECT_EQ(RectOf(ctl::kTab).width, 200);
    EXPECT_EQ(RectOf(ctl::kStart).x, 220);
    EXPECT_GT(RectOf(ctl::kStart).GetRight(), 300);
    EXPECT_EQ(RectOf(ctl::kIdb).x, 90);
    ExpectPlaced(ctl::kList, 0, 220, 300, 180);
}

TEST_F(LayoutTest, Width330IsTheLastToClampAnd331TheFirstToGrow) {
    SizeForm(330, 400);
    EXPECT_EQ(RectOf(ctl::kTab).width, 200);
    EXPECT_EQ(RectOf(ctl::kStart).GetRight() + 1, 320);
    EXPECT_EQ(RectOf(ctl::kIdb).x, 90);
    SizeForm(331, 400);
    EXPECT_EQ(RectOf(ctl::kTab).width, 201);
    EXPECT_EQ(RectOf(ctl::kStart).x, 221);
    EXPECT_EQ(RectOf(ctl::kIdb).x, 90);
    EXPECT_EQ(RectOf(ctl::kComboFolder).width, 116);
}

TEST_F(LayoutTest, OddTabWidthRoundsTheRightColumnDown) {
    SizeForm(1001, 400);
    EXPECT_EQ(RectOf(ctl::kTab).width, 871);
    EXPECT_EQ(RectOf(ctl::kIdb).x, 313);
}

TEST_F(LayoutTest, ListFollowsTheHeightAtEveryWidth) {
    for (const wxSize size : {wxSize(1000, 700), wxSize(300, 250), wxSize(640, 221)}) {
        SizeForm(size.x, size.y);
        ExpectPlaced(ctl::kList, 0, 220, size.x, size.y - 220);
    }
}

TEST_F(LayoutTest, LabelsAreNeverNarrowerThanTheirText) {
    for (int nId :
         {ctl::kFolderLabel, ctl::kFindSubFolder, ctl::kRadioDebugRelease, ctl::kRadioPeriod,
          ctl::kConfirmRemove, ctl::kUseTrash, ctl::kRemoveEmptyFolders, ctl::kBsc, ctl::kVcDb}) {
        EXPECT_GE(RectOf(nId).width, Control(nId)->GetBestSize().x) << "control " << nId;
    }
}

TEST_F(LayoutTest, NothingOverlapsOnTheDefaultWindow) {
    // Each pair that stands side by side or one above the other on a page.
    const int pairs[][2] = {
        {ctl::kFolderLabel, ctl::kComboFolder},
        {ctl::kFindSubFolder, ctl::kBrowse},
        {ctl::kComboFolder, ctl::kBrowse},
        {ctl::kRadioAllSubFolders, ctl::kRadioDebugRelease},
        {ctl::kRadioDebug, ctl::kRadioRelease},
        {ctl::kBsc, ctl::kIdb},
        {ctl::kBsc, ctl::kIlk},
        {ctl::kRes, ctl::kSbr},
        {ctl::kIdb, ctl::kIlk},
        {ctl::kFileGroup, ctl::kNewerFileGroup},
        {ctl::kIpch, ctl::kVcDb},
        {ctl::kVcDb, ctl::kSdf},
        {ctl::kIpch, ctl::kNcb},
        {ctl::kRadioAllFiles, ctl::kRadioPeriod},
        {ctl::kRadioPeriod, ctl::kCount},
        {ctl::kSpinCount, ctl::kComboDayMonth},
        {ctl::kComboDayMonth, ctl::kComboFile},
        {ctl::kStart, ctl::kStop},
        {ctl::kTab, ctl::kStart},
        {ctl::kConfirmRemove, ctl::kUseTrash},
        {ctl::kUseTrash, ctl::kRemoveEmptyFolders},
        {ctl::kRemoveEmptyFolders, ctl::kExcludeLabel},
        {ctl::kExcludeLabel, ctl::kExcludeFolders},
    };
    for (const auto& pair : pairs) {
        EXPECT_FALSE(RectOf(pair[0]).Intersects(RectOf(pair[1])))
            << pair[0] << " overlaps " << pair[1];
    }
    // Everything on the pages stays inside the tab strip.
    const wxRect tab = RectOf(ctl::kTab);
    for (int nId = ctl::kBrowse; nId <= ctl::kExcludeFolders; ++nId) {
        // The time group is never shown; the list's view switch is beside.
        const bool bBeside = nId > ctl::kRemoveEmptyFolders && nId < ctl::kExcludeLabel;
        if (nId != ctl::kTimeGroup && !bBeside) {
            EXPECT_TRUE(tab.Contains(RectOf(nId))) << "control " << nId;
        }
    }
}

TEST_F(LayoutTest, EverySizeChangeKeepsTheFolderComboHiddenOffItsPage) {
    auto* pTab = static_cast<wxNotebook*>(Control(ctl::kTab));
    pTab->SetSelection(1);
    Pump(50);
    SizeForm(900, 500);
    EXPECT_FALSE(Shown(ctl::kComboFolder));
    pTab->SetSelection(0);
    Pump(50);
    SizeForm(700, 500);
    EXPECT_TRUE(Shown(ctl::kComboFolder));
    EXPECT_EQ(RectOf(ctl::kComboFolder).width, 700 - 130 - 85);
}

TEST_F(LayoutTest, StartsOnTheFolderPageWithTheOtherPagesHidden) {
    EXPECT_EQ(m_pView->m_nCurTab, 0);
    for (int nId : kPage0) {
        EXPECT_TRUE(Shown(nId)) << "control " << nId;
    }
    for (int nId : kPage2) {
        EXPECT_FALSE(Shown(nId)) << "control " << nId;
    }
    EXPECT_FALSE(Shown(ctl::kFileGroup));
    EXPECT_FALSE(Shown(ctl::kConfirmRemove));
    EXPECT_FALSE(Shown(ctl::kTimeGroup));
    MaybeScreenshot("page0");
}

TEST_F(LayoutTest, ClickingTheDateTabSwapsTheControlsAndBackAgain) {
    auto* pTab = static_cast<wxNotebook*>(Control(ctl::kTab));
    // Find a point on each tab label by asking the strip itself.
    wxUIActionSimulator sim;
    auto clickTab = [&](int nPage) {
        wxPoint target(-1, -1);
        for (int y = 4; y < 40 && target.x < 0; y += 4) {
            for (int x = 2; x < pTab->GetSize().x; x += 4) {
                if (pTab->HitTest(wxPoint(x, y)) == nPage) {
                    target = wxPoint(x + 8, y + 4);
                    break;
                }
            }
        }
        ASSERT_GE(target.x, 0) << "no tab " << nPage;
        sim.MouseMove(pTab->ClientToScreen(target));
        Pump(30);
        sim.MouseClick();
        Pump(150);
    };
    clickTab(2);
    ASSERT_EQ(pTab->GetSelection(), 2);
    EXPECT_EQ(m_pView->m_nCurTab, 2);
    for (int nId : kPage0) {
        EXPECT_FALSE(Shown(nId)) << "control " << nId;
    }
    for (int nId : kPage2) {
        EXPECT_TRUE(Shown(nId)) << "control " << nId;
    }
    EXPECT_FALSE(Shown(ctl::kTimeGroup));
    MaybeScreenshot("page2");
    clickTab(0);
    ASSERT_EQ(pTab->GetSelection(), 0);
    for (int nId : kPage0) {
        EXPECT_TRUE(Shown(nId)) << "control " << nId;
    }
    for (int nId : kPage2) {
        EXPECT_FALSE(Shown(nId)) << "control " << nId;
    }
}

TEST_F(LayoutTest, EachPageShowsOnlyItsOwnControls) {
    auto* pTab = static_cast<wxNotebook*>(Control(ctl::kTab));
    pTab->SetSelection(1);
    Pump(100);
    EXPECT_TRUE(Shown(ctl::kFileGroup));
    EXPECT_TRUE(Shown(ctl::kBsc));
    EXPECT_TRUE(Shown(ctl::kSbr));
    EXPECT_FALSE(Shown(ctl::kComboFolder));
    MaybeScreenshot("page1");
    pTab->SetSelection(3);
    Pump(100);
    EXPECT_TRUE(Shown(ctl::kConfirmRemove));
    EXPECT_TRUE(Shown(ctl::kUseTrash));
    EXPECT_TRUE(Shown(ctl::kRemoveEmptyFolders));
    EXPECT_TRUE(Shown(ctl::kExcludeFolders));
    EXPECT_FALSE(Shown(ctl::kFileGroup));
    EXPECT_FALSE(Shown(ctl::kTimeGroup));
    MaybeScreenshot("page3");
}

TEST_F(LayoutTest, ShowingAPageLeavesEnabledStatesAlone) {
    auto* pTab = static_cast<wxNotebook*>(Control(ctl::kTab));
    pTab->SetSelection(2);
    Pump(50);
    EXPECT_FALSE(Control(ctl::kCount)->IsEnabled());
    EXPECT_TRUE(Control(ctl::kRadioPeriod)->IsEnabled());
}

TEST_F(LayoutTest, ListIsAVirtualReportWithFourColumnsAndMultipleSelection) {
    CResultListCtrl* pList = m_pView->m_list;
    EXPECT_TRUE(pList->HasFlag(wxLC_REPORT));
    EXPECT_TRUE(pList->HasFlag(wxLC_VIRTUAL));
    EXPECT_FALSE(pList->HasFlag(wxLC_SINGLE_SEL));
    ASSERT_EQ(pList->GetColumnCount(), 4);
    const struct {
        const char* pszHeader;
        int width;
        wxListColumnFormat align;
        const char* pszWidest;  // the text the column must show uncut
    } columns[] = {{"名前", 360, wxLIST_FORMAT_LEFT, ""},
                   {"サイズ", 70, wxLIST_FORMAT_RIGHT, "9,999,999KB"},
                   {"作成日時", 110, wxLIST_FORMAT_CENTRE, "2026/12/07 08:49"},
                   {"更新日時", 110, wxLIST_FORMAT_CENTRE, "2026/12/07 08:49"}};
    for (int i = 0; i < 4; ++i) {
        wxListItem column;
        column.SetMask(wxLIST_MASK_TEXT | wxLIST_MASK_FORMAT | wxLIST_MASK_WIDTH);
        ASSERT_TRUE(pList->GetColumn(i, column));
        EXPECT_EQ(column.GetText(), wxString::FromUTF8(columns[i].pszHeader)) << i;
        if (*columns[i].pszWidest == '\0') {
            EXPECT_EQ(pList->GetColumnWidth(i), columns[i].width) << i;
        } else {
            // Never narrower than its usual width, and wide enough that a
            // face with wider glyphs does not cut a time or a size off.
            EXPECT_GE(pList->GetColumnWidth(i), columns[i].width) << i;
            EXPECT_GT(pList->GetColumnWidth(i), pList->GetTextExtent(columns[i].pszWidest).x + 8)
                << i;
        }
        EXPECT_EQ(column.GetAlign(), columns[i].align) << i;
    }
    // Each header the program sizes stays whole beside the sort arrow, in
    // the project view too (the folder columns are the user's).
    const auto whole = [](wxListCtrl* pShown, int i) {
        wxListItem column;
        column.SetMask(wxLIST_MASK_TEXT);
        pShown->GetColumn(i, column);
        return pShown->GetColumnWidth(i) >=
               pShown->GetTextExtent(column.GetText()).x + pShown->FromDIP(24);
    };
    for (int i : {1, 2, 3}) EXPECT_TRUE(whole(pList, i)) << i;
    for (int i : {0, 2, 3, 4, 5}) EXPECT_TRUE(whole(m_pView->m_groupList, i)) << i;

    const FileStamp modified{LocalMoment(2026, 1, 2, 3, 5, 59), 0};
    for (int i = 0; i < 100000; ++i) {
        m_pView->m_rows.m_rows.emplace_back("/p/" + std::to_string(i) + ".obj", 1572864,
                                            FileStamp{}, modified);
    }
    m_pView->OnRowsChanged();
    Pump(50);
    EXPECT_EQ(pList->GetItemCount(), 100000);
    EXPECT_EQ(pList->GetItemText(99999, 0), "/p/99999.obj");
    EXPECT_EQ(pList->GetItemText(5, 1), "1,536KB");
    EXPECT_EQ(pList->GetItemText(5, 3), "2026/01/02 03:05");
    pList->SetItemState(3, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    pList->SetItemState(70000, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    EXPECT_EQ(pList->GetSelectedItemCount(), 2);
    MaybeScreenshot("list-rows");
}

}  // namespace
