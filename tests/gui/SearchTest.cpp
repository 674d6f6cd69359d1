// Searching from the window with real files and real worker threads: the
// options handed to the finder, the rows and the summary, refusals, the stop,
// consecutive searches, the folder history and the folder chooser. Every
// box is a real modal dialog, answered by a wxModalDialogHook.
#include <wx/app.h>
#include <wx/dirdlg.h>
#include <wx/modalhook.h>
#include <wx/platinfo.h>
#include <wx/utils.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "SearchFixture.h"
#include "view/core/StatusText.h"
#include "walk/MatchRules.h"

namespace {

namespace fs = std::filesystem;

// The view's finder, with a gate: its worker, on entering the nth folder,
// reports it and then waits there until the test opens the gate or the walk
// is stopped. A tick or a stop thus lands mid-walk however fast the machine.
class CGatedFinder final : public CIntermediateFileFinder, private CFindNotify {
public:
    CGatedFinder(CFindNotify* pTarget, int nHoldAt)
        : CIntermediateFileFinder(this), m_pTarget(pTarget), m_nHoldAt(nHoldAt) {}
    ~CGatedFinder() override {
        Open();
        EndWorker();
    }

    void WaitUntilHeld() {
        std::unique_lock lock(m_mutex);
        m_cv.wait(lock, [this] { return m_bHeld; });
    }
    void Open() {
        std::lock_guard lock(m_mutex);
        m_bOpen = true;
        m_cv.notify_all();
    }

private:
    void OnFindFolder(const std::string& strFolder) override {
        m_pTarget->OnFindFolder(strFolder);
        if (++m_nFolders != m_nHoldAt) return;
        std::unique_lock lock(m_mutex);
        m_bHeld = true;
        m_cv.notify_all();
        // A stop clears the running flag without a signal: look again often.
        while (!m_cv.wait_for(lock, std::chrono::milliseconds(1),
                              [this] { return m_bOpen || !m_bRunning; })) {
        }
    }
    void OnFindFileStamps(const std::string& strPath, std::uint64_t size, const FileStamp& created,
                          const FileStamp& modified, std::uint64_t fileId) override {
        m_pTarget->OnFindFileStamps(strPath, size, created, modified, fileId);
    }
    void OnFindEnd() override { m_pTarget->OnFindEnd(); }

    CFindNotify* m_pTarget;
    const int m_nHoldAt;
    int m_nFolders = 0;  // worker only
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_bHeld = false;
    bool m_bOpen = false;
};

class SearchTest : public SearchGuiTest {
protected:
    // Local time text as the list shows it.
    static std::string TimeText(std::time_t t) {
        // localtime is enough: the tests run on one thread.
        const std::tm tm = *std::localtime(&t);
        char buf[32];
        std::strftime(buf, sizeof buf, "%Y/%m/%d %H:%M", &tm);
        return buf;
    }

    // A tree of kLargeRows files of 1 KB under big/, in 30 folders.
    static constexpr int kLargeRows = 300;
    void MakeLargeTree() {
        for (int f = 0; f < 30; ++f) {
            for (int i = 0; i < kLargeRows / 30; ++i) {
                MakeFile("big/p" + std::to_string(f) + "/m" + std::to_string(i) + ".obj", 1024);
            }
        }
    }
    // Gives the view a gated finder that holds its walk in the nth folder.
    CGatedFinder& GateTheWalk(int nHoldAt) {
        auto pFinder = std::make_unique<CGatedFinder>(&m_pView->m_search.Sink(), nHoldAt);
        CGatedFinder& finder = *pFinder;
        m_pView->m_search.SetFinder(std::move(pFinder));
        return finder;
    }
};

TEST_F(SearchTest, MonthsWithinCreationBecomeNinetyDaysOfCreationTime) {
    fs::create_directories(m_tree);
    SetPeriod("3", "ヶ月間に", "作成したファイル");
    Radio(ctl::kRadioRelease);
    for (int nId : kTypes) Check(nId, nId == ctl::kObj || nId == ctl::kBsc);
    Search();
    ASSERT_TRUE(m_pView->m_lastSearch.has_value());
    const SearchQuery& q = *m_pView->m_lastSearch;
    EXPECT_EQ(q.strRoot, m_tree.string());
    EXPECT_TRUE(q.bSubfolders);
    EXPECT_EQ(FinderArgumentsOf(q), (FinderArguments{4, 4 + 128, 2, 90, false}));
}

TEST_F(SearchTest, NewerKindBoxesAloneReachTheSearchAndPersistWhenExactlyOne) {
    fs::create_directories(m_tree);
    for (int nId : kTypes) Check(nId, false);
    Check(ctl::kIpch, true);
    Check(ctl::kTlog, true);
    Search();
    ASSERT_TRUE(m_pView->m_lastSearch.has_value());
    EXPECT_EQ(FinderArgumentsOf(*m_pView->m_lastSearch).nTypeMask, kIpchBit | kTlogBit);
    CloseWindow();
    EXPECT_EQ(ReadDword("Controls", "Ipch", 99), 1);
    EXPECT_EQ(ReadDword("Controls", "Tlog", 99), 1);
    EXPECT_EQ(ReadDword("Controls", "VcDb", 99), 0);
    WriteDword("Controls", "Ipch", 2);
    OpenWindow();
    EXPECT_FALSE(static_cast<wxCheckBox*>(Control(ctl::kIpch))->GetValue());
    EXPECT_TRUE(static_cast<wxCheckBox*>(Control(ctl::kTlog))->GetValue());
}

TEST_F(SearchTest, DaysBeforeModificationBecomeThreeDaysOlderByModificationTime) {
    fs::create_directories(m_tree);
    SetPeriod("3", "日以前に", "更新があったファイル");
    Radio(ctl::kRadioDebugRelease);
    Search();
    ASSERT_TRUE(m_pView->m_lastSearch.has_value());
    EXPECT_EQ(FinderArgumentsOf(*m_pView->m_lastSearch), (FinderArguments{6, 255, 4, 3, true}));
}

TEST_F(SearchTest, UnmatchedPeriodTextsCountAsTheFirstItems) {
    fs::create_directories(m_tree);
    SetPeriod("3", "週間に", "アクセスしたファイル");
    Search();
    ASSERT_TRUE(m_pView->m_lastSearch.has_value());
    // Position 0 of each list: months, older than; modification time.
    const SearchQuery& q = *m_pView->m_lastSearch;
    EXPECT_EQ(q.age, AgeFilter::Older);
    EXPECT_EQ(q.unit, AgeUnit::Months);
    EXPECT_EQ(q.time, FileTime::Modified);
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
    MakeLargeTree();
    SetFolder(m_tree.string());
    // The test takes the timer's part, and holds the walk in the first
    // folder under big/ (the tree, big/, then big/pN/).
    m_pView->m_searchTick = std::chrono::hours(1);
    CGatedFinder& gate = GateTheWalk(3);
    Press(ctl::kStart);
    EXPECT_TRUE(m_pView->m_bSearching);
    EXPECT_FALSE(Enabled(ctl::kStart));
    EXPECT_TRUE(Enabled(ctl::kStop));
    EXPECT_FALSE(Enabled(ctl::kComboFolder));
    EXPECT_FALSE(Enabled(ctl::kBsc));
    EXPECT_FALSE(Enabled(ctl::kDeleteAll));
    gate.WaitUntilHeld();
    m_pView->OnSearchTick();
    const std::string left = Status(0);
    const std::string suffix = " を検索しています...";
    EXPECT_EQ(left.rfind((m_tree / "big" / "p").string(), 0), 0u) << left;
    ASSERT_GT(left.size(), suffix.size());
    EXPECT_EQ(left.substr(left.size() - suffix.size()), suffix);
    EXPECT_TRUE(m_pView->m_bSearching);
    EXPECT_LT(Rows(), kLargeRows);
    gate.Open();
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (m_pView->m_bSearching && std::chrono::steady_clock::now() < end) {
        wxMilliSleep(5);
        m_pView->OnSearchTick();
    }
    EXPECT_FALSE(m_pView->m_bSearching);
    EXPECT_EQ(Rows(), kLargeRows);
    EXPECT_EQ(Status(0), " 300 個のファイルが見つかりました。");
    EXPECT_TRUE(Enabled(ctl::kComboFolder));
}

// A tick draws the rows it lists before it returns. On a busy machine the
// search's timer is always due when the event loop looks, so the toolkit's
// idle time, where the list would otherwise lay out and draw its rows,
// does not come before the walk ends; only a tick that also writes a
// folder into the status bar got them drawn. Two threads spin meanwhile.
TEST_F(SearchTest, RowsAreDrawnBeforeABusySearchEnds) {
    if (wxPlatformInfo::Get().GetPortId() == wxPORT_MSW) {
        GTEST_SKIP() << "the native list lays itself out; the deferred layout is the generic one's";
    }
    MakeLargeTree();
    SetFolder(m_tree.string());
    std::vector<long> drawn;
    m_pView->m_list->Bind(wxEVT_LIST_CACHE_HINT, [&](wxListEvent& event) {
        event.Skip();
        drawn.push_back(Rows());
    });
    std::atomic<bool> bSpin{true};
    std::vector<std::thread> spinners;
    for (int i = 0; i < 2; ++i) {
        spinners.emplace_back([&bSpin] {
            while (bSpin.load(std::memory_order_relaxed)) {
            }
        });
    }
    m_pView->m_searchTick = std::chrono::hours(1);
    CGatedFinder& gate = GateTheWalk(8);
    Press(ctl::kStart);
    gate.WaitUntilHeld();
    drawn.clear();
    m_pView->OnSearchTick();
    const std::vector<long> drawnByTheTick = drawn;
    // A tick that brings rows and no new folder text draws them as well.
    drawn.clear();
    m_pView->m_search.Sink().OnFindFileStamps((m_tree / "late.obj").string(), 1, {}, {}, 0);
    m_pView->OnSearchTick();
    const std::vector<long> drawnByARowsOnlyTick = drawn;
    bSpin = false;
    for (std::thread& t : spinners) t.join();
    ASSERT_TRUE(std::any_of(drawnByTheTick.begin(), drawnByTheTick.end(),
                            [](long n) { return n > 0 && n < kLargeRows; }))
        << drawnByTheTick.size() << " drawings in the tick";
    ASSERT_FALSE(drawnByARowsOnlyTick.empty());
    EXPECT_EQ(drawnByARowsOnlyTick.back(), drawnByTheTick.back() + 1);
}

TEST_F(SearchTest, StopMidWalkSummarisesExactlyTheRowsListed) {
    MakeLargeTree();
    SetFolder(m_tree.string());
    // Held in the sixth folder under big/: five folders' rows are found.
    CGatedFinder& gate = GateTheWalk(8);
    Press(ctl::kStart);
    gate.WaitUntilHeld();
    Press(ctl::kStop);
    EXPECT_FALSE(m_pView->m_bSearching);
    const long rows = Rows();
    EXPECT_GT(rows, 0);
    EXPECT_LT(rows, kLargeRows);
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
    MakeLargeTree();
    const std::string small = (m_tree / "small").string();
    MakeFile("small/one.pdb", 3000);
    MakeFile("small/two.idb", 5000);
    SetFolder((m_tree / "big").string());
    CGatedFinder& gate = GateTheWalk(4);
    Press(ctl::kStart);
    gate.WaitUntilHeld();
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

TEST_F(SearchTest, SearchedFolderMovesToTheTopKeepingTheFoldersItPrefixes) {
    const std::string src = (m_tree / "src").string();
    const std::string old = (m_tree / "src" / "old").string();
    const std::string other = (m_tree / "other").string();
    fs::create_directories(old);
    fs::create_directories(other);
    Search(src);
    Search(other);
    Search(old);
    EXPECT_EQ(History(), (std::vector<std::string>{old, other, src}));
    // "src" only begins "src/old", another folder: that one stays.
    Search(src);
    EXPECT_EQ(History(), (std::vector<std::string>{src, old, other}));
    Search(other);
    EXPECT_EQ(History(), (std::vector<std::string>{other, src, old}));
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

// Answers the folder chooser without showing it, noting its message; picks
// chosen when it is not empty. (GTK's chooser keeps its starting folder to
// itself, so that cannot be checked here.)
class CDirDialogAnswer : public wxModalDialogHook {
public:
    CDirDialogAnswer(int nAnswer, std::string chosen = {})
        : m_nAnswer(nAnswer), m_chosen(std::move(chosen)) {
        Register();
    }
    ~CDirDialogAnswer() override { Unregister(); }
    int Enter(wxDialog* pDialog) override {
        auto* pDir = dynamic_cast<wxDirDialog*>(pDialog);
        if (pDir == nullptr) return wxID_NONE;
        m_messages.push_back(pDir->GetMessage().utf8_string());
        // GTK's SetPath only moves the chooser's view; the base's records
        // the path as an accepted chooser does.
        if (!m_chosen.empty()) pDir->wxDirDialogBase::SetPath(wxString::FromUTF8(m_chosen));
        return m_nAnswer;
    }
    void Exit(wxDialog*) override {}

    int m_nAnswer;
    std::string m_chosen;
    std::vector<std::string> m_messages;
};

TEST_F(SearchTest, BrowseSetsTheChosenFolderWithoutTouchingTheHistory) {
    MakeFile("a.obj", 1);
    Search();
    const auto history = History();
    const std::string chosen = (m_tree / "chosen").string();
    CDirDialogAnswer answer(wxID_OK, chosen);
    Press(ctl::kBrowse);
    ASSERT_EQ(answer.m_messages.size(), 1u);
    EXPECT_EQ(answer.m_messages[0], "中間コードファイルを検索するフォルダを選択してください");
    EXPECT_EQ(m_pView->m_comboFolder->GetValue().utf8_string(), chosen);
    EXPECT_EQ(History(), history);
}

TEST_F(SearchTest, CancelledOrEmptyBrowseLeavesTheFolderText) {
    if (wxPlatformInfo::Get().GetPortId() == wxPORT_MSW) {
        GTEST_SKIP() << "the Windows folder chooser answers OK with its starting folder "
                        "(written with backslashes), never with an empty path";
    }
    SetFolder("/typed/but/not/searched");
    for (int nAnswer : {wxID_CANCEL, wxID_OK}) {
        // OK without a chosen path (nothing was picked) counts as a cancel.
        CDirDialogAnswer answer(nAnswer, nAnswer == wxID_CANCEL ? "/somewhere" : "");
        Press(ctl::kBrowse);
        ASSERT_EQ(answer.m_messages.size(), 1u);
        EXPECT_EQ(m_pView->m_comboFolder->GetValue().utf8_string(), "/typed/but/not/searched");
        EXPECT_TRUE(History().empty());
    }
}

// The folders left out by name: a path is refused with a word and no
// search; names are skipped at any depth, and the field is kept as typed.
TEST_F(SearchTest, FoldersNamedOnTheOtherPageAreNeverEnteredAndTheNamesAreKept) {
    const std::string kept = MakeFile("src/a.obj", 1);
    MakeFile("src/node_modules/x/build/Release/b.obj", 1);
    MakeFile(".git/c.obj", 1);
    auto* pField = static_cast<wxTextCtrl*>(Control(ctl::kExcludeFolders));
    pField->ChangeValue("src/node_modules");
    SetFolder(m_tree.string());
    Press(ctl::kStart);
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_TRUE(
        m_boxes[0].strText.starts_with("「src/node_modules」はフォルダの名前ではありません"));
    EXPECT_FALSE(m_pView->m_bSearching);
    EXPECT_TRUE(pField->IsShownOnScreen()) << "its page is shown";

    pField->ChangeValue(" node_*; .git ;");
    Search();
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(Cell(0, 0), kept);
    CloseWindow();
    EXPECT_EQ(ReadText("Controls", "ExcludeFolders"), " node_*; .git ;");
}

TEST_F(SearchTest, ClosingTheWindowDuringASearchEndsItsWorker) {
    MakeLargeTree();
    SetFolder(m_tree.string());
    CGatedFinder& gate = GateTheWalk(3);
    Press(ctl::kStart);
    ASSERT_TRUE(m_pView->m_bSearching);
    gate.WaitUntilHeld();
    CloseWindow();
    Pump(100);
    EXPECT_EQ(ReadText("History", "History0"), m_tree.string());
}

}  // namespace
