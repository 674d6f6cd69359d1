// Deleting found files from the window, on real files found by a real
// search: the worked examples, selections, failures, confirmation on, off
// and cancelled, read-only files, paths that became links or lead through
// one, names that are not UTF-8, and the cancel of a long run through its
// progress dialog.
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/toplevel.h>
#include <wx/uiaction.h>

#include <filesystem>
#include <type_traits>

#include "SearchFixture.h"
#if defined(_WIN32)
#include "tests/support/UndeletableFiles_win32.h"
#else
#include "tests/support/TempTrash.h"
#include "tests/support/UndeletableFiles.h"
#endif

namespace {

namespace fs = std::filesystem;

class DeleteTest : public SearchGuiTest {
protected:
    void TearDown() override {
        m_undeletable.ReleaseAll();
        SearchGuiTest::TearDown();
    }

    std::string MakeUndeletable(const std::string& path) { return m_undeletable.Make(path); }

    void Select(const std::vector<std::string>& paths) {
        for (const std::string& path : paths) {
            const long n = RowOf(path);
            ASSERT_GE(n, 0) << path;
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
    static bool Exists(const std::string& path) {
        std::error_code ec;
        return fs::exists(fs::symlink_status(path, ec));
    }
    static void MakeReadOnly(const std::string& path) {
        fs::permissions(path,
                        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
    }

    UndeletableFiles m_undeletable;
};

TEST_F(DeleteTest, TwoOfFiveSelectedClearTheirBytesAndLeaveTheRest) {
    const std::string a = MakeFile("a.obj", 1536);
    const std::string b = MakeFile("b.obj", 2048);
    const std::string c = MakeFile("c.obj", 3'332'139);
    const std::string d = MakeFile("d.obj", 3'332'139);
    const std::string e = MakeFile("e.obj", 3'332'138);
    Search();
    ASSERT_EQ(m_pView->m_dwTotalSize, 10'000'000u);
    Select({a, b});
    Press(ctl::kDelete);
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].strText, "選択した 2 個のファイルを削除してよろしいですか？");
    EXPECT_EQ(m_boxes[0].strCaption, "ファイルの削除の確認");
    EXPECT_EQ(m_boxes[0].nStyle, wxOK | wxCANCEL | wxICON_QUESTION);
    EXPECT_EQ(Status(0), "2 個のファイルを削除しました ： 0 MB ( 4 KB ) をクリア");
    EXPECT_EQ(Status(1), "残り 3 ファイル ： 合計 10 MB ( 9,762 KB )");
    EXPECT_EQ(m_pView->m_dwTotalSize, 9'996'416u);
    EXPECT_FALSE(Exists(a));
    EXPECT_FALSE(Exists(b));
    EXPECT_TRUE(Exists(c) && Exists(d) && Exists(e));
    EXPECT_EQ(Rows(), 3);
    EXPECT_EQ(RowOf(a), -1);
    EXPECT_TRUE(SelectedRows().empty());
    EXPECT_FALSE(Enabled(ctl::kDelete));
    EXPECT_TRUE(Enabled(ctl::kDeleteAll));
}

TEST_F(DeleteTest, DeleteAllOfFourClearsEverythingAndSaysHowMuch) {
    std::vector<std::string> paths;
    for (int i = 0; i < 4; ++i)
        paths.push_back(MakeFile("p/f" + std::to_string(i) + ".pch", 393'216));
    Search();
    Press(ctl::kDeleteAll);
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].strText, "これら 4 個のファイルを削除してよろしいですか？");
    EXPECT_EQ(Status(0), "4 個のファイルを削除しました。");
    EXPECT_EQ(Status(1), "2 MB ( 1,536 KB ) をクリア");
    EXPECT_EQ(m_pView->m_dwTotalSize, 0u);
    EXPECT_EQ(Rows(), 0);
    for (const auto& path : paths) EXPECT_FALSE(Exists(path)) << path;
    EXPECT_FALSE(Enabled(ctl::kDelete));
    EXPECT_FALSE(Enabled(ctl::kDeleteAll));
}

TEST_F(DeleteTest, UndeletableFileOfADeleteAllStaysWithItsBytesAfterOneFailureBox) {
    const std::string keep = MakeFile("locked/keep.obj", 700);
    for (int i = 0; i < 3; ++i) MakeFile("f" + std::to_string(i) + ".obj", 1000);
    Search();
    ASSERT_EQ(Rows(), 4);
    const std::string reason = MakeUndeletable(keep);
    if (!reason.empty()) GTEST_SKIP() << reason;
    const std::string summary = Status(0);
    Press(ctl::kDeleteAll);
    ASSERT_EQ(m_boxes.size(), 2u);
    // The design's line, then the file that stayed and why.
    const std::string named = "選択されたファイル全てを削除できませんでした\n\n" + keep + "\n　";
    EXPECT_TRUE(m_boxes[1].strText.starts_with(named)) << m_boxes[1].strText;
    EXPECT_EQ(m_boxes[1].strCaption, "ファイル削除エラー");
    EXPECT_EQ(m_boxes[1].nStyle, wxOK | wxICON_EXCLAMATION);
    // The box comes before the status panes change.
    EXPECT_EQ(m_boxes[1].strStatusMeanwhile, summary);
    EXPECT_EQ(Status(0), "3 個のファイルを削除しました。");
    EXPECT_EQ(Status(1), "残り 1 ファイル ： 合計 0 MB ( 1 KB )");
    EXPECT_EQ(m_pView->m_dwTotalSize, 700u);
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(Cell(0, 0), keep);
    EXPECT_TRUE(Exists(keep));
}

TEST_F(DeleteTest, OneSelectedRowIsConfirmedByItsPathAndDeleted) {
    const std::string a = MakeFile("a.obj", 512);
    const std::string b = MakeFile("b.obj", 4096);
    Search();
    Select({a});
    Press(ctl::kDelete);
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].strText, "'" + a + "'を削除してよろしいですか？");
    EXPECT_EQ(Status(0), "1 個のファイルを削除しました ： 0 MB ( 1 KB ) をクリア");
    EXPECT_EQ(Status(1), "残り 1 ファイル ： 合計 0 MB ( 4 KB )");
    EXPECT_FALSE(Exists(a));
    EXPECT_TRUE(Exists(b));
    EXPECT_EQ(Rows(), 1);
}

TEST_F(DeleteTest, SelectedFileGoneMeanwhileKeepsItsRowAndReportsAtOnce) {
    const std::string a = MakeFile("a.obj", 2048);
    MakeFile("b.obj", 1024);
    Search();
    ASSERT_TRUE(fs::remove(a));
    Select({a});
    Check(ctl::kConfirmRemove, false);
    Press(ctl::kDelete);
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_TRUE(m_boxes[0].strText.starts_with("ファイルを削除できませんでした\n\n" + a));
    EXPECT_EQ(Status(0), "0 個のファイルを削除しました ： 0 MB ( 0 KB ) をクリア");
    EXPECT_EQ(Status(1), "残り 2 ファイル ： 合計 0 MB ( 3 KB )");
    EXPECT_EQ(Rows(), 2);
    EXPECT_EQ(SelectedRows(), std::vector<long>{RowOf(a)});
    EXPECT_TRUE(Enabled(ctl::kDelete));
}

TEST_F(DeleteTest, SeveralSelectedRowsGoBottomUpAndFailedOnesStaySelected) {
    const std::string locked = MakeFile("locked/x.obj", 3000);
    std::vector<std::string> files;
    for (int i = 0; i < 4; ++i) files.push_back(MakeFile("f" + std::to_string(i) + ".obj", 1024));
    Search();
    ASSERT_EQ(Rows(), 5);
    ASSERT_EQ(RowOf(locked), 0);
    const std::string reason = MakeUndeletable(locked);
    if (!reason.empty()) GTEST_SKIP() << reason;
    const std::string chosen1 = Cell(2, 0);
    const std::string chosen2 = Cell(4, 0);
    const std::string kept1 = Cell(1, 0);
    const std::string kept2 = Cell(3, 0);
    Select({locked, chosen1, chosen2});
    Press(ctl::kDelete);
    ASSERT_EQ(m_boxes.size(), 2u);
    EXPECT_EQ(m_boxes[0].strText, "選択した 3 個のファイルを削除してよろしいですか？");
    EXPECT_TRUE(m_boxes[1].strText.starts_with("選択されたファイル全てを削除できませんでした\n"));
    EXPECT_EQ(Status(0), "2 個のファイルを削除しました ： 0 MB ( 2 KB ) をクリア");
    EXPECT_EQ(Status(1), "残り 3 ファイル ： 合計 0 MB ( 5 KB )");
    ASSERT_EQ(Rows(), 3);
    EXPECT_EQ(Cell(0, 0), locked);
    EXPECT_EQ(Cell(1, 0), kept1);
    EXPECT_EQ(Cell(2, 0), kept2);
    EXPECT_EQ(SelectedRows(), std::vector<long>{0});
    EXPECT_FALSE(Exists(chosen1));
    EXPECT_FALSE(Exists(chosen2));
    EXPECT_TRUE(Exists(kept1) && Exists(kept2) && Exists(locked));
    EXPECT_EQ(m_pView->m_dwTotalSize, 5048u);
}

TEST_F(DeleteTest, EveryRowSelectedActsAsDeleteAll) {
    const std::string a = MakeFile("a.obj", 100);
    const std::string b = MakeFile("b.obj", 100);
    Search();
    Select({a, b});
    Press(ctl::kDelete);
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].strText, "これら 2 個のファイルを削除してよろしいですか？");
    EXPECT_EQ(Status(0), "2 個のファイルを削除しました。");
    EXPECT_EQ(Rows(), 0);
}

TEST_F(DeleteTest, WithoutConfirmationNoBoxIsShown) {
    const std::string a = MakeFile("a.obj", 100);
    const std::string b = MakeFile("b.obj", 100);
    const std::string c = MakeFile("c.obj", 100);
    Search();
    Check(ctl::kConfirmRemove, false);
    Select({a});
    Press(ctl::kDelete);
    Select({b});
    Press(ctl::kDelete);
    Press(ctl::kDeleteAll);
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_FALSE(Exists(a) || Exists(b) || Exists(c));
    EXPECT_EQ(Status(0), "1 個のファイルを削除しました。");
}

TEST_F(DeleteTest, CancelledConfirmationChangesNothing) {
    const std::string a = MakeFile("a.obj", 1500);
    const std::string b = MakeFile("b.obj", 2500);
    const std::string c = MakeFile("c.obj", 3500);
    Search();
    Select({a, c});
    const std::string left = Status(0);
    const std::string right = Status(1);
    m_nAnswer = wxID_CANCEL;
    for (int nId : {ctl::kDelete, ctl::kDeleteAll}) {
        Press(nId);
        EXPECT_TRUE(Exists(a) && Exists(b) && Exists(c));
        EXPECT_EQ(Rows(), 3);
        EXPECT_EQ(m_pView->m_dwTotalSize, 7500u);
        EXPECT_EQ(Status(0), left);
        EXPECT_EQ(Status(1), right);
        EXPECT_EQ(SelectedRows().size(), 2u);
        EXPECT_TRUE(Enabled(ctl::kDelete));
    }
    EXPECT_EQ(m_boxes.size(), 2u);
}

TEST_F(DeleteTest, ReadOnlyFileIsDeletedLikeAnyOther) {
    const std::string a = MakeFile("a.obj", 100);
    MakeReadOnly(a);
    Search();
    Press(ctl::kDeleteAll);
    EXPECT_FALSE(Exists(a));
    EXPECT_EQ(Status(0), "1 個のファイルを削除しました。");
}

// A listed file replaced (here by a link) since the search stays, and the
// failure box says why.
TEST_F(DeleteTest, PathThatBecameALinkStaysAndTheBoxSaysItChanged) {
    const std::string a = MakeFile("in/a.obj", 100);
    const std::string outside = MakeFile("outside/target.dat", 777);
    MakeReadOnly(outside);
    Search((m_tree / "in").string());
    ASSERT_EQ(Rows(), 1);
    ASSERT_TRUE(fs::remove(a));
    std::error_code ec;
    fs::create_symlink(outside, a, ec);
    if (ec) GTEST_SKIP() << "no symbolic link can be made here: " << ec.message();
    Press(ctl::kDeleteAll);
    EXPECT_TRUE(fs::is_symlink(a));
    ASSERT_FALSE(m_boxes.empty());
    EXPECT_EQ(m_boxes.back().strText,
              "選択されたファイル全てを削除できませんでした\n"
              "1 個のファイルは検索の後に変更されたため、削除せずに残しました。\n\n" +
                  a + "\n　検索の後で書き換えられたか、別のファイルに置き換わっています");
    const fs::file_status target = fs::status(outside);
    EXPECT_EQ(target.permissions() & fs::perms::owner_write, fs::perms::none);
    EXPECT_EQ(fs::file_size(outside), 777u);
}

// The rows are deleted below the folder of the search that listed them,
// the latest one, never through a folder swapped for a link since.
TEST_F(DeleteTest, AFolderSwappedForALinkAfterTheLatestSearchKeepsItsRowAndTheFileOutside) {
    MakeFile("first/f.obj", 10);
    const std::string a = MakeFile("second/Debug/a.obj", 100);
    const std::string b = MakeFile("second/b.obj", 200);
    const std::string outside = MakeFile("outside/a.obj", 300);
    Search((m_tree / "first").string());
    Search((m_tree / "second").string());
    ASSERT_EQ(Rows(), 2);
    fs::rename(m_tree / "second/Debug", m_tree / "second/Debug.orig");
    std::error_code ec;
    fs::create_directory_symlink(m_tree / "outside", m_tree / "second/Debug", ec);
    if (ec) GTEST_SKIP() << "no folder link can be made here: " << ec.message();
    Press(ctl::kDeleteAll);
    EXPECT_TRUE(Exists(outside));
    EXPECT_FALSE(Exists(b));
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(Cell(0, 0), a);
    ASSERT_FALSE(m_boxes.empty());
    EXPECT_TRUE(
        m_boxes.back().strText.starts_with("選択されたファイル全てを削除できませんでした\n"));
}

TEST_F(DeleteTest, NameThatIsNotUtf8IsShownReadablyAndDeletedByItsBytes) {
    if (std::is_same_v<fs::path::value_type, wchar_t>) {
        GTEST_SKIP() << "names are UTF-16 on Windows: every name is text";
    }
    const std::string odd = MakeFile("bad\xff\xfe.obj", 10);
    const std::string plain = MakeFile("bad.obj", 10);
    Search();
    const long n = RowOf(odd);
    ASSERT_GE(n, 0);
    EXPECT_EQ(Cell(n, 0), (m_tree / "bad\xEF\xBF\xBD\xEF\xBF\xBD.obj").string());
    Select({odd});
    Press(ctl::kDelete);
    EXPECT_FALSE(Exists(odd));
    EXPECT_TRUE(Exists(plain));
}

// Four digits on each side of the slash: the text stays whole in the
// dialog, whose texts are the program's Japanese on every platform.
TEST_F(DeleteTest, CancelInTheProgressDialogStopsAfterTheCurrentFile) {
    std::vector<std::string> paths;
    for (int i = 0; i < 1004; ++i) {
        paths.push_back(MakeFile("f" + std::to_string(i) + ".obj", 1024));
    }
    Search();
    ASSERT_EQ(Rows(), 1004);
    m_pView->m_progressDelay = std::chrono::milliseconds(0);
    m_pView->m_progressInterval = std::chrono::milliseconds(0);
    bool bDialogSeen = false;
    m_pView->m_onDeleteProgress = [&](std::size_t nDone, std::size_t) {
        wxWindow* pDialog = m_pView->GetDeleteProgressDialog();
        // Told before the dialog shows this file: it says the one before.
        if (nDone == 1001 && pDialog != nullptr) {
            bDialogSeen = pDialog->IsShown();
            EXPECT_TRUE(static_cast<wxTopLevelWindow*>(pDialog)->GetIcon().IsOk());
            const wxWindow* pText = pDialog->FindWindowByLabel(
                wxString::FromUTF8("1000 / 1004 個のファイルを削除しています..."));
            ASSERT_NE(pText, nullptr);
            EXPECT_GE(pText->GetSize().x, pText->GetTextExtent(pText->GetLabel()).x);
            EXPECT_LE(pText->GetRect().GetRight(), pDialog->GetClientSize().x);
            auto* pCancel = dynamic_cast<wxButton*>(pDialog->FindWindow(wxID_CANCEL));
            ASSERT_NE(pCancel, nullptr);
            // The toolkit's own texts, in Japanese whatever the system's.
            EXPECT_TRUE(pCancel->GetLabel().StartsWith(wxString::FromUTF8("キャンセル")));
            EXPECT_NE(pDialog->FindWindowByLabel(wxString::FromUTF8("経過時間:")), nullptr);
            wxCommandEvent click(wxEVT_BUTTON, wxID_CANCEL);
            click.SetEventObject(pCancel);
            pCancel->GetEventHandler()->ProcessEvent(click);
        }
    };
    Press(ctl::kDeleteAll);
    EXPECT_TRUE(bDialogSeen);
    EXPECT_EQ(m_pView->GetDeleteProgressDialog(), nullptr);
    EXPECT_EQ(Rows(), 3);
    EXPECT_EQ(Status(0), "1001 個のファイルを削除しました。");
    EXPECT_EQ(Status(1), "残り 3 ファイル ： 合計 0 MB ( 3 KB )");
    EXPECT_EQ(m_pView->m_dwTotalSize, 3u * 1024);
    EXPECT_EQ(m_boxes.size(), 1u) << "a cancel is no failure";
    std::size_t nLeft = 0;
    for (const auto& path : paths) nLeft += Exists(path) ? 1 : 0;
    EXPECT_EQ(nLeft, 3u);
    for (long n = 0; n < Rows(); ++n) EXPECT_TRUE(Exists(Cell(n, 0))) << Cell(n, 0);
}

// The emptied folders' check box: what the deletion emptied goes, the folder
// searched stays, the status says how many, and the choice is kept.
TEST_F(DeleteTest, TheEmptiedFoldersCheckBoxRemovesThemAndIsKept) {
    const std::string a = MakeFile("p/Debug/a.obj", 100);
    MakeFile("p/Debug/b.obj", 100);
    Search();
    Check(ctl::kRemoveEmptyFolders, true);
    Press(ctl::kDeleteAll);
    EXPECT_EQ(Status(0), "2 個のファイルを削除しました。空になったフォルダ 2 個も削除しました。");
    const std::filesystem::path p = std::filesystem::path(a).parent_path().parent_path();
    EXPECT_FALSE(std::filesystem::exists(p));
    EXPECT_TRUE(std::filesystem::is_directory(p.parent_path()));
    CloseWindow();
    EXPECT_EQ(ReadDword("Controls", "RemoveEmptyFolders", 99), 1);
}

#if !defined(_WIN32)  // the desktop trash of these tests is the freedesktop one
TEST_F(DeleteTest, TheTrashCheckBoxSendsDeletionsToTheTrashAndIsKept) {
    const TempTrash& trash = TempTrash::Get();
    trash.Empty();
    EXPECT_FALSE(static_cast<wxCheckBox*>(Control(ctl::kUseTrash))->GetValue());
    const std::string a = MakeFile("a.obj", 1536);
    Search();
    Check(ctl::kUseTrash, true);
    Press(ctl::kDeleteAll);
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].strText, "これら 1 個のファイルをごみ箱に移動してよろしいですか？");
    EXPECT_EQ(m_boxes[0].strCaption, "ごみ箱への移動の確認");
    EXPECT_EQ(Status(0), "1 個のファイルをごみ箱に移動しました。");
    EXPECT_FALSE(Exists(a));
    EXPECT_TRUE(Exists(trash.Files() / "a.obj"));
    trash.Empty();

    CloseWindow();
    EXPECT_EQ(ReadDword("Controls", "UseTrash", 99), 1);
    OpenWindow();
    EXPECT_TRUE(static_cast<wxCheckBox*>(Control(ctl::kUseTrash))->GetValue());
    CloseWindow();
    // Only 1 turns it on: a hand-edited value never makes deletion move
    // files where the user did not ask.
    WriteDword("Controls", "UseTrash", 2);
    OpenWindow();
    EXPECT_FALSE(static_cast<wxCheckBox*>(Control(ctl::kUseTrash))->GetValue());
}
#endif

// Where the progress dialog is the system's own (Windows), its texts still
// come from the toolkit's catalogue, which the program carries inside.
TEST(ToolkitCatalogue, GivesTheProgressDialogsTextsInJapanese) {
    EXPECT_EQ(wxGetTranslation("Elapsed time:"), wxString::FromUTF8("経過時間:"));
    EXPECT_EQ(wxGetTranslation("Cancel"), wxString::FromUTF8("キャンセル"));
}

// The project view is a tree of the search's groups, largest first under
// each: a group opens (Enter, a double-click, a click on its ▶) to the
// folders of its own files, and deleting a selected folder deletes exactly
// its files, through the confirmation that counts them; the view is there
// at the next start.
TEST_F(DeleteTest, TheProjectViewOpensAGroupAndDeletesExactlyTheFilesOfAFolder) {
    MakeFile("App/App.vcxproj", 10);
    const std::string appObj = MakeFile("App/x64/Debug/a.obj", 1024);
    const std::string appPdb = MakeFile("App/x64/Debug/a.pdb", 3072);
    const std::string appRelease = MakeFile("App/Release/r.obj", 1024);
    MakeFile("Lib/lib.VCXPROJ", 10);
    const std::string lib = MakeFile("Lib/Debug/l.obj", 3072);
    const std::string loose = MakeFile("Loose/Debug/x.obj", 2048);
    const std::string top = MakeFile("top.obj", 512);
    Click(ctl::kRadioProjectView);
    ASSERT_TRUE(m_pView->m_groupList->IsShown());
    ASSERT_FALSE(m_pView->m_list->IsShown());
    Search();
    wxListCtrl* pList = m_pView->m_groupList;
    const auto shown = [pList] {
        std::vector<std::string> rows;
        for (long n = 0; n < pList->GetItemCount(); ++n) {
            std::string row;
            for (int nColumn : {1, 2, 3, 5, 6})
                row += pList->GetItemText(n, nColumn).utf8_string() + "|";
            rows.push_back(row);
        }
        return rows;
    };
    const std::string sep(1, static_cast<char>(std::filesystem::path::preferred_separator));
    EXPECT_EQ(shown(), (std::vector<std::string>{
                           "▼ " + m_tree.string() + "|11KB|6|フォルダ|1KB|",
                           "　▶ App|5KB|3|プロジェクト|5KB|",
                           "　▶ Lib|3KB|1|プロジェクト|3KB|",
                           "　▶ Loose|2KB|1|フォルダ|2KB|",
                           "　▶ .|1KB|1|サブフォルダ|1KB|",
                       }));
    wxListEvent activate(wxEVT_LIST_ITEM_ACTIVATED, pList->GetId());
    activate.SetEventObject(pList);
    activate.SetIndex(1);
    pList->GetEventHandler()->ProcessEvent(activate);
    ASSERT_EQ(shown().size(), 7u);
    // A click on App's marker closes it and a second opens it again.
    wxRect row;
    pList->GetItemRect(1, row);
    const wxPoint marker(pList->GetColumnWidth(0) + 4 + pList->GetTextExtent(L"\u3000").x +
                             pList->GetTextExtent(L"\u25B6").x / 2,
                         row.y + row.height / 2);
    for (std::size_t nRows : {5u, 7u}) {
        wxUIActionSimulator sim;
        sim.MouseMove(pList->ClientToScreen(marker));
        Pump(30);
        sim.MouseClick();
        EXPECT_TRUE(PumpUntil([&] { return shown().size() == nRows; })) << nRows;
    }
    EXPECT_EQ(shown()[1], "　▼ App|5KB|3|プロジェクト|5KB|");
    EXPECT_EQ(shown()[2], "　　▶ x64" + sep + "Debug|4KB|2|サブフォルダ|4KB|");
    EXPECT_EQ(shown()[3], "　　▶ Release|1KB|1|サブフォルダ|1KB|");

    pList->SetItemState(2, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    Pump(20);
    Press(ctl::kDelete);
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].strText, "選択した 2 個のファイルを削除してよろしいですか？");
    EXPECT_EQ(Status(0), "2 個のファイルを削除しました ： 0 MB ( 4 KB ) をクリア");
    EXPECT_FALSE(Exists(appObj) || Exists(appPdb));
    EXPECT_TRUE(Exists(appRelease) && Exists(lib) && Exists(loose) && Exists(top));
    EXPECT_EQ(Rows(), 4);
    EXPECT_EQ(shown(), (std::vector<std::string>{
                           "▼ " + m_tree.string() + "|7KB|4|フォルダ|1KB|",
                           "　▶ Lib|3KB|1|プロジェクト|3KB|",
                           "　▶ Loose|2KB|1|フォルダ|2KB|",
                           "　▼ App|1KB|1|プロジェクト|1KB|",
                           "　　▶ Release|1KB|1|サブフォルダ|1KB|",
                           "　▶ .|1KB|1|サブフォルダ|1KB|",
                       }));

    CloseWindow();
    EXPECT_EQ(ReadDword("Controls", "ProjectView", 0), 1);
    OpenWindow();
    EXPECT_TRUE(m_pView->m_groupList->IsShown());
}

}  // namespace
