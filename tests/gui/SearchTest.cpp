// Searching from the window with real files and real worker threads: the
// options handed to the finder, the rows and the summary, refusals, the stop,
// consecutive searches, the folder history, the folder chooser, and the
// program's real message boxes.
#include <wx/app.h>
#include <wx/dirdlg.h>
#include <wx/modalhook.h>
#include <wx/utils.h>

#include "SearchFixture.h"
#include "view/core/StatusText.h"

namespace {

namespace fs = std::filesystem;

class SearchTest : public SearchGuiTest {
protected:
    // Local time text as the list shows it.
    static std::string TimeText(std::time_t t) {
        std::tm tm{};
        localtime_r(&t, &tm);
        char buf[32];
        std::strftime(buf, sizeof buf, "%Y/%m/%d %H:%M", &tm);
        return buf;
    }

    // A tree large enough that a stop lands in the middle of its walk.
    void MakeLargeTree(int nFolders, int nFilesEach) {
        for (int f = 0; f < nFolders; ++f) {
            for (int i = 0; i < nFilesEach; ++i) {
                MakeFile("big/p" + std::to_string(f) + "/m" + std::to_string(i) + ".obj", 1024);
            }
        }
    }
};

TEST_F(SearchTest, MonthsWithinCreationBecomeNinetyDaysOfCreationTime) {
    fs::create_directories(m_tree);
    SetPeriod("3", "ヶ月間に", "作成したファイル");
    Radio(ctl::kRadioRelease);
    for (int nId : kTypes) Check(nId, nId == ctl::kObj || nId == ctl::kBsc);
    Search();
    ASSERT_TRUE(m_pView->m_lastSearch.has_value());
    const SearchParams& p = *m_pView->m_lastSearch;
    EXPECT_EQ(p.strFolder, m_tree.string());
    EXPECT_EQ(p.nDays, 90);
    EXPECT_FALSE(p.bOlder);
    EXPECT_EQ(p.nTimeMode, 2);
    EXPECT_EQ(p.nFolderMode, 4);
    EXPECT_EQ(p.nTypeMask, 4 + 128);
    EXPECT_TRUE(p.bSubFolder);
}

TEST_F(SearchTest, DaysBeforeModificationBecomeThreeDaysOlderByModificationTime) {
    fs::create_directories(m_tree);
    SetPeriod("3", "日以前に", "更新があったファイル");
    Radio(ctl::kRadioDebugRelease);
    Search();
    ASSERT_TRUE(m_pView->m_lastSearch.has_value());
    EXPECT_EQ(m_pView->m_lastSearch->nDays, 3);
    EXPECT_TRUE(m_pView->m_lastSearch->bOlder);
    EXPECT_EQ(m_pView->m_lastSearch->nTimeMode, 4);
    EXPECT_EQ(m_pView->m_lastSearch->nFolderMode, 6);
    EXPECT_EQ(m_pView->m_lastSearch->nTypeMask, 255);
}

TEST_F(SearchTest, UnmatchedPeriodTextsCountAsTheFirstItems) {
    fs::create_directories(m_tree);
    SetPeriod("3", "週間に", "アクセスしたファイル");
    Search();
    ASSERT_TRUE(m_pView->m_lastSearch.has_value());
    // Position 0 of each list: months, older than; modification time.
    EXPECT_EQ(m_pView->m_lastSearch->nDays, 90);
    EXPECT_TRUE(m_pView->m_lastSearch->bOlder);
    EXPECT_EQ(m_pView->m_lastSearch->nTimeMode, 4);
}

TEST_F(SearchTest, OlderThanThreeDaysListsOnlyFilesModifiedBeforeThen) {
    const std::time_t now = std::time(nullptr);
    const std::string old = MakeFile("old.obj", 100, now - 10 * 86400);
    MakeFile("new.obj", 100, now - 3600);
    SetPeriod("3", "日以前に", "更新があったファイル");
    Search();
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(Cell(0, 0), old);
}

TEST_F(SearchTest, RowsComeInTheWalksOrderWithTheirSizesAndTimes) {
    const std::time_t stamp = std::time(nullptr) - 86400;
    const std::string deep = MakeFile("sub/x.obj", 1536, stamp);
    const std::string pdb = MakeFile("a.pdb", 512, stamp);
    const std::string obj = MakeFile("a.obj", 1'048'576, stamp);
    MakeFile("a.txt", 100);
    Search();
    ASSERT_EQ(Rows(), 3);
    // Subfolders first, then this folder's matches by type: obj before pdb.
    EXPECT_EQ(Cell(0, 0), deep);
    EXPECT_EQ(Cell(1, 0), obj);
    EXPECT_EQ(Cell(2, 0), pdb);
    EXPECT_EQ(Cell(0, 1), "2KB");
    EXPECT_EQ(Cell(1, 1), "1,024KB");
    EXPECT_EQ(Cell(2, 1), "1KB");
    EXPECT_EQ(Cell(1, 3), TimeText(stamp));
    EXPECT_EQ(Cell(1, 2).size(), 16u);
}

TEST_F(SearchTest, SummaryCountsTheFilesAndTotalsThemInMegaAndKilobytes) {
    for (int i = 0; i < 3; ++i) MakeFile("f" + std::to_string(i) + ".pdb", 524'288);
    Search();
    EXPECT_EQ(Rows(), 3);
    EXPECT_EQ(m_pView->m_dwTotalSize, 1'572'864u);
    EXPECT_EQ(Status(0), " 3 個のファイルが見つかりました。");
    EXPECT_EQ(Status(1), "合計 2 MB ( 1,536 KB )");
    EXPECT_TRUE(Enabled(ctl::kStart));
    EXPECT_FALSE(Enabled(ctl::kStop));
    EXPECT_TRUE(Enabled(ctl::kDeleteAll));
    EXPECT_FALSE(Enabled(ctl::kDelete));
    EXPECT_TRUE(Enabled(ctl::kComboFolder));
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(SearchTest, TotalsBeyondFourGigabytesAreKeptWhole) {
    MakeFile("huge.pdb", 5ull << 30);
    Search();
    EXPECT_EQ(m_pView->m_dwTotalSize, 5ull << 30);
    EXPECT_EQ(Cell(0, 1), "5,242,880KB");
    EXPECT_EQ(Status(1), "合計 5,120 MB ( 5,242,880 KB )");
}

TEST_F(SearchTest, SearchFindingNothingSaysSoInOnePaneWithDeletionDisabled) {
    MakeFile("readme.txt", 10);
    Search();
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(Status(0), "該当するファイルは見つかりませんでした。");
    EXPECT_FALSE(Enabled(ctl::kDelete));
    EXPECT_FALSE(Enabled(ctl::kDeleteAll));
    EXPECT_EQ(History().front(), m_tree.string());
}

TEST_F(SearchTest, StartWithNoTypeTickedChangesNothing) {
    MakeFile("a.obj", 2048);
    Search();
    ASSERT_EQ(Rows(), 1);
    const std::string left = Status(0);
    const auto history = History();
    for (int nId : kTypes) Check(nId, false);
    SetFolder((m_tree / "elsewhere").string());
    fs::create_directories(m_tree / "elsewhere");
    Press(ctl::kStart);
    Pump(100);
    EXPECT_FALSE(m_pView->m_bSearching);
    EXPECT_EQ(Rows(), 1);
    EXPECT_EQ(m_pView->m_dwTotalSize, 2048u);
    EXPECT_EQ(Status(0), left);
    EXPECT_EQ(History(), history);
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(SearchTest, MissingFolderEmptiesTheListSilentlyAndStaysIdle) {
    MakeFile("a.obj", 2048);
    Search();
    ASSERT_EQ(Rows(), 1);
    const std::string left = Status(0);
    const std::string missing = (m_tree / "no-such-folder").string();
    SetFolder(missing);
    Press(ctl::kStart);
    Pump(100);
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(m_pView->m_dwTotalSize, 0u);
    EXPECT_FALSE(m_pView->m_bSearching);
    EXPECT_TRUE(Enabled(ctl::kStart));
    EXPECT_FALSE(Enabled(ctl::kStop));
    EXPECT_FALSE(Enabled(ctl::kDeleteAll));
    EXPECT_EQ(Status(0), left);
    EXPECT_EQ(History(), std::vector<std::string>{m_tree.string()});
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(SearchTest, RunningSearchDisablesTheOptionsAndShowsTheFolderBeingSearched) {
    MakeLargeTree(300, 100);
    SetFolder(m_tree.string());
    // The test takes the timer's part, so that a tick surely lands in the
    // middle of the walk.
    m_pView->m_searchTick = std::chrono::hours(1);
    Press(ctl::kStart);
    EXPECT_TRUE(m_pView->m_bSearching);
    EXPECT_FALSE(Enabled(ctl::kStart));
    EXPECT_TRUE(Enabled(ctl::kStop));
    EXPECT_FALSE(Enabled(ctl::kComboFolder));
    EXPECT_FALSE(Enabled(ctl::kBsc));
    EXPECT_FALSE(Enabled(ctl::kDeleteAll));
    wxMilliSleep(3);
    m_pView->OnSearchTick();
    const std::string left = Status(0);
    const std::string suffix = " を検索しています...";
    EXPECT_EQ(left.rfind(m_tree.string() + "/big/p", 0), 0u) << left;
    ASSERT_GT(left.size(), suffix.size());
    EXPECT_EQ(left.substr(left.size() - suffix.size()), suffix);
    EXPECT_TRUE(m_pView->m_bSearching) << "the walk ended before the tick";
    EXPECT_LT(Rows(), 30000);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (m_pView->m_bSearching && std::chrono::steady_clock::now() < end) {
        wxMilliSleep(5);
        m_pView->OnSearchTick();
    }
    EXPECT_FALSE(m_pView->m_bSearching);
    EXPECT_EQ(Rows(), 30000);
    EXPECT_EQ(Status(0), " 30000 個のファイルが見つかりました。");
    EXPECT_TRUE(Enabled(ctl::kComboFolder));
}

TEST_F(SearchTest, StopMidWalkSummarisesExactlyTheRowsListed) {
    MakeLargeTree(300, 100);
    SetFolder(m_tree.string());
    Press(ctl::kStart);
    wxMilliSleep(3);
    Press(ctl::kStop);
    EXPECT_FALSE(m_pView->m_bSearching);
    const long rows = Rows();
    EXPECT_LT(rows, 30000) << "the walk ended before the stop";
    EXPECT_EQ(static_cast<std::size_t>(rows), m_pView->m_rows.m_rows.size());
    EXPECT_EQ(m_pView->m_dwTotalSize, static_cast<std::uint64_t>(rows) * 1024);
    const StatusTexts expected = SearchSummaryTexts(static_cast<std::size_t>(rows), rows * 1024ull);
    EXPECT_EQ(Status(0), expected.strLeft);
    if (expected.bTwoPanes) {
        EXPECT_EQ(Status(1), expected.strRight);
    }
    EXPECT_TRUE(Enabled(ctl::kStart));
    EXPECT_FALSE(Enabled(ctl::kStop));
    EXPECT_TRUE(m_boxes.empty());
    // Nothing of the stopped walk arrives later.
    Pump(200);
    EXPECT_EQ(Rows(), rows);
}

TEST_F(SearchTest, StopWithNothingRunningReportsTheErrorThenTheSummary) {
    MakeFile("a.obj", 512);
    Search();
    ASSERT_EQ(Rows(), 1);
    // A walk that ended by itself still counts as running for the stop.
    Press(ctl::kStop);
    EXPECT_TRUE(m_boxes.empty());
    m_pView->ShowStatusMessage("something else");
    Press(ctl::kStop);
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].strText, "スレッド終了エラー");
    EXPECT_EQ(m_boxes[0].strCaption, "Visual C++ Kesmora");
    EXPECT_EQ(m_boxes[0].nStyle, wxOK | wxICON_EXCLAMATION);
    EXPECT_EQ(m_boxes[0].strStatusMeanwhile, "something else");
    EXPECT_EQ(Status(0), " 1 個のファイルが見つかりました。");
    EXPECT_EQ(Status(1), "合計 0 MB ( 1 KB )");
    EXPECT_TRUE(Enabled(ctl::kStart));
    EXPECT_FALSE(Enabled(ctl::kStop));
}

TEST_F(SearchTest, StopBeforeAnySearchReportsTheErrorThenNothingFound) {
    Press(ctl::kStop);
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].strText, "スレッド終了エラー");
    EXPECT_EQ(Status(0), "該当するファイルは見つかりませんでした。");
}

TEST_F(SearchTest, SecondSearchStartsFromAnEmptyListEvenAfterAStop) {
    MakeLargeTree(300, 100);
    const std::string small = (m_tree / "small").string();
    MakeFile("small/one.pdb", 3000);
    MakeFile("small/two.idb", 5000);
    SetFolder((m_tree / "big").string());
    Press(ctl::kStart);
    wxMilliSleep(3);
    Press(ctl::kStop);
    Search(small);
    ASSERT_EQ(Rows(), 2);
    EXPECT_EQ(m_pView->m_dwTotalSize, 8000u);
    EXPECT_EQ(Status(0), " 2 個のファイルが見つかりました。");
    // And a complete search followed by another.
    Search(small);
    EXPECT_EQ(Rows(), 2);
    EXPECT_EQ(m_pView->m_dwTotalSize, 8000u);
}

TEST_F(SearchTest, SearchedFolderMovesToTheTopReplacingTheFirstItemItPrefixes) {
    const std::string src = (m_tree / "src").string();
    const std::string old = (m_tree / "src" / "old").string();
    const std::string other = (m_tree / "other").string();
    fs::create_directories(old);
    fs::create_directories(other);
    Search(src);
    Search(other);
    Search(old);
    EXPECT_EQ(History(), (std::vector<std::string>{old, other, src}));
    // "src" prefixes "src/old", the first such item: only that one goes.
    Search(src);
    EXPECT_EQ(History(), (std::vector<std::string>{src, other, src}));
    Search(other);
    EXPECT_EQ(History(), (std::vector<std::string>{other, src, src}));
    EXPECT_EQ(m_pView->m_comboFolder->GetValue().utf8_string(), other);
}

TEST_F(SearchTest, TwentyFiveFoldersStayListedButOnlyTwentyAreKept) {
    std::vector<std::string> folders;
    for (int i = 0; i < 25; ++i) {
        folders.push_back((m_tree / ("d" + std::to_string(i))).string());
        fs::create_directories(folders.back());
        Search(folders.back());
    }
    const auto history = History();
    ASSERT_EQ(history.size(), 25u);
    EXPECT_EQ(history.front(), folders.back());
    EXPECT_EQ(history.back(), folders.front());
    CloseWindow();
    OpenWindow();
    const std::vector<std::string> expected(history.begin(), history.begin() + 20);
    EXPECT_EQ(History(), expected);
}

TEST_F(SearchTest, BrowseSetsTheChosenFolderWithoutTouchingTheHistory) {
    MakeFile("a.obj", 1);
    Search();
    const auto history = History();
    const std::string chosen = (m_tree / "chosen").string();
    std::vector<std::pair<std::string, std::string>> calls;
    m_pView->m_chooseFolder = [&](const wxString& title, const wxString& initial,
                                  wxString& result) {
        calls.emplace_back(title.utf8_string(), initial.utf8_string());
        result = wxString::FromUTF8(chosen);
        return true;
    };
    Press(ctl::kBrowse);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].first, "中間コードファイルを検索するフォルダを選択してください");
    EXPECT_EQ(calls[0].second, m_tree.string());
    EXPECT_EQ(m_pView->m_comboFolder->GetValue().utf8_string(), chosen);
    EXPECT_EQ(History(), history);
}

TEST_F(SearchTest, CancelledBrowseLeavesTheFolderText) {
    SetFolder("/typed/but/not/searched");
    m_pView->m_chooseFolder = [](const wxString&, const wxString&, wxString& result) {
        result = "/somewhere";
        return false;
    };
    Press(ctl::kBrowse);
    EXPECT_EQ(m_pView->m_comboFolder->GetValue().utf8_string(), "/typed/but/not/searched");
    EXPECT_TRUE(History().empty());
}

TEST_F(SearchTest, ClosingTheWindowDuringASearchEndsItsWorker) {
    MakeLargeTree(200, 100);
    SetFolder(m_tree.string());
    Press(ctl::kStart);
    ASSERT_TRUE(m_pView->m_bSearching);
    Pump(20);
    CloseWindow();
    Pump(100);
    EXPECT_EQ(ReadText("History", "History0"), m_tree.string());
}

// The program's own boxes, not the test's answering hook: real modal
// dialogs, answered by the fixture's dialog hook.
class RealBoxTest : public SearchTest {};

TEST_F(RealBoxTest, StopErrorIsARealMessageBoxWithTheProgramsTitle) {
    m_pView->m_askUser = nullptr;
    Press(ctl::kStop);
    ASSERT_EQ(m_pDialogs->m_titles.size(), 1u);
    EXPECT_EQ(m_pDialogs->m_titles[0].utf8_string(), "Visual C++ Kesmora");
    ASSERT_EQ(m_pDialogs->m_messages.size(), 1u);
    EXPECT_EQ(m_pDialogs->m_messages[0].utf8_string(), "スレッド終了エラー");
    EXPECT_EQ(Status(0), "該当するファイルは見つかりませんでした。");
}

TEST_F(RealBoxTest, ConfirmationIsARealDialogAndItsOkDeletes) {
    const std::string a = MakeFile("a.obj", 10);
    Search();
    m_pView->m_askUser = nullptr;
    Press(ctl::kDeleteAll);
    ASSERT_EQ(m_pDialogs->m_titles.size(), 1u);
    EXPECT_EQ(m_pDialogs->m_titles[0].utf8_string(), "ファイルの削除の確認");
    EXPECT_EQ(m_pDialogs->m_messages[0].utf8_string(),
              "これら 1 個のファイルを削除してよろしいですか？");
    struct stat st;
    EXPECT_NE(::lstat(a.c_str(), &st), 0);
    EXPECT_EQ(Status(0), "1 個のファイルを削除しました。");
}

// Answers the folder chooser without showing it, noting its message.
class CDirDialogAnswer : public wxModalDialogHook {
public:
    explicit CDirDialogAnswer(int nAnswer) : m_nAnswer(nAnswer) { Register(); }
    ~CDirDialogAnswer() override { Unregister(); }
    int Enter(wxDialog* pDialog) override {
        auto* pDir = dynamic_cast<wxDirDialog*>(pDialog);
        if (pDir == nullptr) return wxID_NONE;
        m_messages.push_back(pDir->GetMessage().utf8_string());
        return m_nAnswer;
    }
    void Exit(wxDialog*) override {}

    int m_nAnswer;
    std::vector<std::string> m_messages;
};

TEST_F(RealBoxTest, FolderChooserIsARealDialogAndAnEmptyAnswerChangesNothing) {
    SetFolder(m_tree.string());
    for (int nAnswer : {wxID_CANCEL, wxID_OK}) {
        // OK without a chosen path (nothing was picked) counts as a cancel.
        CDirDialogAnswer answer(nAnswer);
        Press(ctl::kBrowse);
        ASSERT_EQ(answer.m_messages.size(), 1u);
        EXPECT_EQ(answer.m_messages[0], "中間コードファイルを検索するフォルダを選択してください");
        EXPECT_EQ(m_pView->m_comboFolder->GetValue().utf8_string(), m_tree.string());
        EXPECT_TRUE(History().empty());
    }
}

}  // namespace
