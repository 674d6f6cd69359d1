// The result list's own wiring on real files and real input: a header click
// sorts and the selection follows its rows, the keys act on the rows as
// shown, a double-click asks for the row's folder (or says there is no
// program for it), and a new search starts with nothing selected.
#include <wx/clipbrd.h>
#include <wx/uiaction.h>

#include "SearchFixture.h"

namespace {

constexpr std::uint64_t kGiB = 1ull << 30;

class ListTest : public SearchGuiTest {
protected:
    // A real click on a column's header. Each click lands a little away
    // from the one before, so that two in a row are not a double-click.
    void ClickHeader(int nColumn) { ClickHeader(m_pView->m_list, nColumn); }
    void ClickHeader(wxListCtrl* pList, int nColumn) {
        int x = 0;
        for (int n = 0; n < nColumn; ++n) x += pList->GetColumnWidth(n);
        m_nHeaderShift = 20 - m_nHeaderShift;
        x += pList->GetColumnWidth(nColumn) / 2 - 10 + m_nHeaderShift;
        const wxPoint at = pList->ClientToScreen(wxPoint(x, 8));
        wxUIActionSimulator sim;
        sim.MouseMove(at);
        Pump(30);
        sim.MouseClick();
        Pump(100);
    }
    void Key(int nKey, int nModifiers = wxMOD_NONE) {
        m_pView->m_list->SetFocus();
        Pump(50);
        wxUIActionSimulator sim;
        sim.Char(nKey, nModifiers);
        Pump(200);
    }
    void SelectAt(const std::vector<long>& rows) {
        for (long n : rows) {
            m_pView->m_list->SetItemState(n, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
        }
        Pump(20);
    }
    std::vector<long> SelectedRows() const {
        std::vector<long> rows;
        for (long n = 0; n < Rows(); ++n) {
            if (m_pView->m_list->GetItemState(n, wxLIST_STATE_SELECTED) != 0) rows.push_back(n);
        }
        return rows;
    }
    std::vector<std::string> Shown() const {
        std::vector<std::string> paths;
        for (long n = 0; n < Rows(); ++n) paths.push_back(m_pView->m_rows.m_rows[n].strPath);
        return paths;
    }
    static bool Exists(const std::string& path) {
        std::error_code ec;
        return std::filesystem::exists(std::filesystem::symlink_status(path, ec));
    }

    int m_nHeaderShift = 0;
};

TEST_F(ListTest, SizeHeaderSortsByBytesAClickMoreReversesAndTheSelectionFollows) {
    const std::string huge = MakeFile("a.pdb", 5 * kGiB);
    const std::string two = MakeFile("b.obj", 2048);
    const std::string four = MakeFile("c.obj", 4096);
    const std::string one = MakeFile("d.obj", 1536);
    Search();
    SelectAt({RowOf(two), RowOf(huge)});

    ClickHeader(1);
    EXPECT_EQ(Shown(), (std::vector<std::string>{one, two, four, huge}));
    EXPECT_EQ(SelectedRows(), (std::vector<long>{1, 3}));
    EXPECT_EQ(m_pView->m_list->GetSortIndicator(), 1);
    EXPECT_TRUE(m_pView->m_list->IsAscendingSortIndicator());
    EXPECT_EQ(Cell(3, 1), "5,242,880KB");

    ClickHeader(1);
    EXPECT_EQ(Shown(), (std::vector<std::string>{huge, four, two, one}));
    EXPECT_EQ(SelectedRows(), (std::vector<long>{0, 2}));
    EXPECT_FALSE(m_pView->m_list->IsAscendingSortIndicator());
    EXPECT_EQ(Status(0), " 4 個のファイルが見つかりました。") << "a sort writes no status";

    Search();
    EXPECT_EQ(m_pView->m_list->GetSortIndicator(), -1) << "a new list is in the walk's order";
}

// The groups' own order: a header click sorts them, and they keep that
// order through a new search, as they would not if it were the file list's.
TEST_F(ListTest, AProjectViewHeaderSortsTheGroupsForGood) {
    const std::time_t now = std::time(nullptr);
    MakeFile("Old/Debug/o.obj", 1024, now - 90 * 86400);
    MakeFile("Mid/Debug/m.obj", 8192, now - 30 * 86400);
    MakeFile("New/Debug/n.obj", 4096, now - 3600);
    Click(ctl::kRadioProjectView);
    Search();
    wxListCtrl* pGroups = m_pView->m_groupList;
    const auto shown = [pGroups] {
        std::string names;
        for (long n = 0; n < pGroups->GetItemCount(); ++n) {
            names += pGroups->GetItemText(n, 1).AfterLast(wxFILE_SEP_PATH).utf8_string() + " ";
        }
        return names;
    };
    EXPECT_EQ(shown(), "Mid New Old ");
    // The time's header in view at the window's size, as a user would
    // narrow the folder column to bring it.
    pGroups->SetColumnWidth(1, 40);
    ASSERT_LT(pGroups->GetColumnWidth(0) + 40 + pGroups->GetColumnWidth(2) +
                  pGroups->GetColumnWidth(3) + pGroups->GetColumnWidth(4),
              pGroups->GetClientSize().x);
    ClickHeader(pGroups, 4);
    EXPECT_EQ(shown(), "Old Mid New ") << "the oldest first";
    ClickHeader(pGroups, 4);
    EXPECT_EQ(shown(), "New Mid Old ");
    EXPECT_EQ(pGroups->GetSortIndicator(), 4);
    EXPECT_FALSE(pGroups->IsAscendingSortIndicator());
    Search();
    EXPECT_EQ(shown(), "New Mid Old ");
}

TEST_F(ListTest, DeleteKeyAfterASortDeletesExactlyTheSelectedFiles) {
    std::vector<std::string> paths;
    for (int i = 0; i < 5; ++i) {
        paths.push_back(MakeFile("f" + std::to_string(i) + ".obj", 1024 * (i + 1)));
    }
    Search();
    ClickHeader(1);
    ClickHeader(1);
    // Largest first: f4 f3 f2 f1 f0; delete the rows shown second and fourth.
    SelectAt({1, 3});
    Key(WXK_DELETE);
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].strText, "選択した 2 個のファイルを削除してよろしいですか？");
    EXPECT_FALSE(Exists(paths[3]));
    EXPECT_FALSE(Exists(paths[1]));
    EXPECT_TRUE(Exists(paths[0]) && Exists(paths[2]) && Exists(paths[4]));
    EXPECT_EQ(Shown(), (std::vector<std::string>{paths[4], paths[2], paths[0]}));
    EXPECT_EQ(Status(0), "2 個のファイルを削除しました ： 0 MB ( 6 KB ) をクリア");
    EXPECT_EQ(Status(1), "残り 3 ファイル ： 合計 0 MB ( 9 KB )");
}

TEST_F(ListTest, CtrlASelectsEveryRowAndCtrlCCopiesTheirPathsAsShown) {
    MakeFile("b/z.obj", 1);
    MakeFile("a/Y.pdb", 1);
    MakeFile("a/\xFF.ilk", 1);
    Search();
    ClickHeader(0);
    Key('a', wxMOD_CONTROL);
    EXPECT_EQ(m_pView->m_list->GetSelectedItemCount(), 3);
    Key('c', wxMOD_CONTROL);

    const std::string expected = Cell(0, 0) + "\n" + Cell(1, 0) + "\n" + Cell(2, 0);
    wxTextDataObject data;
    ASSERT_TRUE(wxTheClipboard->Open());
    EXPECT_TRUE(wxTheClipboard->GetData(data));
    wxTheClipboard->Close();
    EXPECT_EQ(data.GetText().utf8_string(), expected);
}

TEST_F(ListTest, ANewSearchStartsWithNoRowSelectedAfterCtrlA) {
    for (int i = 0; i < 3; ++i) MakeFile("f" + std::to_string(i) + ".obj", 1);
    Search();
    SelectAt({0});
    Key('a', wxMOD_CONTROL);
    ASSERT_EQ(m_pView->m_list->GetSelectedItemCount(), 3);
    Search();
    EXPECT_EQ(m_pView->m_list->GetSelectedItemCount(), 0);
    EXPECT_EQ(SelectedRows(), std::vector<long>{});
    Pump(50);
    EXPECT_FALSE(Enabled(ctl::kDelete));
}

// Rows a running search appends after Ctrl+A were never seen selected:
// they must not be deleted with the others.
TEST_F(ListTest, CtrlASelectsOnlyTheRowsShownThen) {
    for (int i = 0; i < 3; ++i) MakeFile("f" + std::to_string(i) + ".obj", 1);
    Search();
    Key('a', wxMOD_CONTROL);
    ASSERT_EQ(SelectedRows(), (std::vector<long>{0, 1, 2}));
    // As the search's timer hands rows over.
    for (int i = 0; i < 4; ++i) m_pView->m_rows.m_rows.push_back(m_pView->m_rows.m_rows[0]);
    m_pView->m_list->SyncRowCount();
    EXPECT_EQ(SelectedRows(), (std::vector<long>{0, 1, 2}));
    EXPECT_EQ(m_pView->m_list->GetSelectedItemCount(), 3);
}

TEST_F(ListTest, DeleteKeyDoesNothingWhileASearchRuns) {
    const std::string path = MakeFile("a.obj", 100);
    Search();
    SelectAt({0});
    m_pView->m_bSearching = true;
    Pump(50);
    ASSERT_FALSE(Enabled(ctl::kDelete));
    Key(WXK_DELETE);
    m_pView->m_bSearching = false;
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_TRUE(Exists(path));
    EXPECT_EQ(Rows(), 1);
}

TEST_F(ListTest, DoubleClickAsksForTheFolderOfTheRowShownThere) {
    MakeFile("one/a.obj", 1);
    const std::string second = MakeFile("two/b.obj", 1);
    std::vector<std::string> opened;
    m_pView->m_openFolder = [&opened](const std::string& path) {
        opened.push_back(path);
        return true;
    };
    Search();
    ClickHeader(0);
    ClickHeader(0);
    wxRect rect;
    ASSERT_TRUE(m_pView->m_list->GetItemRect(0, rect));
    wxUIActionSimulator sim;
    sim.MouseMove(m_pView->m_list->ClientToScreen(rect.GetPosition() + wxPoint(20, 4)));
    Pump(30);
    sim.MouseDblClick();
    Pump(200);
    EXPECT_EQ(opened, std::vector<std::string>{second});
}

TEST_F(ListTest, OpeningAFolderWithNoProgramForFoldersSaysSo) {
    MakeFile("a.obj", 1);
    m_pView->m_openFolder = [](const std::string&) { return false; };
    Search();
    wxListEvent activated(wxEVT_LIST_ITEM_ACTIVATED, ctl::kList);
    activated.m_itemIndex = 0;
    m_pView->m_list->GetEventHandler()->ProcessEvent(activated);
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].strText, "フォルダを開くプログラムが見つかりませんでした。");
    EXPECT_EQ(m_boxes[0].nStyle & wxICON_MASK, wxICON_INFORMATION);
}

}  // namespace
