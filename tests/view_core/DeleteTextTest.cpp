// The window's words for a deletion: the status panes worded from a run's
// outcome, the confirmation, the boxes and the progress dialog, for both
// methods.
#include <gtest/gtest.h>

#include <cerrno>
#include <set>
#include <string>
#include <vector>

#include "view/core/DeleteText.h"

namespace {

constexpr DeleteKind kAll = DeleteKind::All;
constexpr DeleteKind kSelected = DeleteKind::Selected;
constexpr DeleteMethod kRemove = DeleteMethod::Remove;
constexpr DeleteMethod kTrash = DeleteMethod::Trash;

// Outcomes as the runs of tests/search/DeleteRunTest.cpp leave them; a
// pane given as nullptr is not looked at.
TEST(DeleteStatusTexts, SayWhatWasClearedAndWhatRemains) {
    const struct {
        const char* what;
        DeleteKind kind;
        DeleteMethod method;
        std::size_t nDeleted;
        std::uint64_t freedBytes;
        std::size_t nRowsLeft;
        std::uint64_t newTotal;  // also the kept bytes of a delete-all
        std::uint64_t totalBefore;
        const char* left;
        const char* right;
    } cases[] = {
        {"two selected", kSelected, kRemove, 2, 3584, 3, 9996416, 10000000,
         "2 個のファイルを削除しました ： 0 MB ( 4 KB ) をクリア",
         "残り 3 ファイル ： 合計 10 MB ( 9,762 KB )"},
        {"all of four", kAll, kRemove, 4, 1572864, 0, 0, 1572864, "4 個のファイルを削除しました。",
         "2 MB ( 1,536 KB ) をクリア"},
        {"all but one refused", kAll, kRemove, 3, 1572164, 1, 700, 1572864,
         "3 個のファイルを削除しました。", "残り 1 ファイル ： 合計 0 MB ( 1 KB )"},
        {"three selected, bottom-up", kSelected, kRemove, 3, 38, 2, 22, 60, nullptr,
         "残り 2 ファイル ： 合計 0 MB ( 0 KB )"},
        {"one of three selected failed", kSelected, kRemove, 2, 600, 3, 600, 1200,
         "2 個のファイルを削除しました ： 0 MB ( 1 KB ) をクリア",
         "残り 3 ファイル ： 合計 0 MB ( 1 KB )"},
        {"the one selected failed", kSelected, kRemove, 0, 0, 2, 8000, 8000,
         "0 個のファイルを削除しました ： 0 MB ( 0 KB ) をクリア",
         "残り 2 ファイル ： 合計 0 MB ( 8 KB )"},
        {"511 bytes cleared", kSelected, kRemove, 1, 511, 2, 4608, 5119,
         "1 個のファイルを削除しました ： 0 MB ( 0 KB ) をクリア", nullptr},
        {"512 bytes cleared", kSelected, kRemove, 1, 512, 1, 4096, 4608,
         "1 個のファイルを削除しました ： 0 MB ( 1 KB ) をクリア",
         "残り 1 ファイル ： 合計 0 MB ( 4 KB )"},
        {"beyond 4 GiB", kSelected, kRemove, 1, 5ull << 30, 1, 1024, (5ull << 30) + 1024,
         "1 個のファイルを削除しました ： 5,120 MB ( 5,242,880 KB ) をクリア", nullptr},
        {"a file grew since the search", kSelected, kRemove, 1, 1 << 20, 1, 100, 200, nullptr,
         "残り 1 ファイル ： 合計 0 MB ( 0 KB )"},
        {"all, kept rows counted as read", kAll, kRemove, 2, 5000, 2, (1u << 20) + 3000, 10000,
         nullptr, "残り 2 ファイル ： 合計 1 MB ( 1,027 KB )"},
        {"one kept row then selected", kSelected, kRemove, 1, 3000, 1, 1u << 20, (1u << 20) + 3000,
         nullptr, "残り 1 ファイル ： 合計 1 MB ( 1,024 KB )"},
        {"all, cancelled after two", kAll, kRemove, 2, 3000, 4, 18000, 21000,
         "2 個のファイルを削除しました。", "残り 4 ファイル ： 合計 0 MB ( 18 KB )"},
        {"selected, cancelled after one", kSelected, kRemove, 1, 4000, 4, 11000, 15000,
         "1 個のファイルを削除しました ： 0 MB ( 4 KB ) をクリア",
         "残り 4 ファイル ： 合計 0 MB ( 11 KB )"},
        {"all, a failure then a cancel", kAll, kRemove, 1, 2000, 2, 3000, 6000,
         "1 個のファイルを削除しました。", "残り 2 ファイル ： 合計 0 MB ( 3 KB )"},
        {"all, cancel after the last file", kAll, kRemove, 2, 3, 0, 0, 3, nullptr,
         "0 MB ( 0 KB ) をクリア"},
        {"all, one read-only file", kAll, kRemove, 1, 700, 0, 0, 700, nullptr,
         "0 MB ( 1 KB ) をクリア"},
        {"all to the trash", kAll, kTrash, 3, 3072, 0, 0, 3072,
         "3 個のファイルをごみ箱に移動しました。", "0 MB ( 3 KB ) をクリア"},
        {"selected, one with no usable trash", kSelected, kTrash, 1, 1000, 2, 3700, 4700,
         "1 個のファイルをごみ箱に移動しました ： 0 MB ( 1 KB ) をクリア",
         "残り 2 ファイル ： 合計 0 MB ( 4 KB )"},
    };
    for (const auto& c : cases) {
        const DeleteRequest request{c.kind, {}, c.method};
        DeleteOutcome out;
        out.nDeleted = c.nDeleted;
        out.freedBytes = c.freedBytes;
        out.newTotal = c.newTotal;
        out.keptBytes = c.kind == kAll ? c.newTotal : 0;
        const StatusTexts texts = DeleteStatusTexts(request, out, c.nRowsLeft, c.totalBefore);
        EXPECT_TRUE(texts.bTwoPanes) << c.what;
        if (c.left) {
            EXPECT_EQ(texts.strLeft, c.left) << c.what;
        }
        if (c.right) {
            EXPECT_EQ(texts.strRight, c.right) << c.what;
        }
    }
}

TEST(ConfirmDeleteText, NamesTheOneFileOrCountsTheRows) {
    std::vector<ResultRow> rows;
    rows.emplace_back("/src/a.obj", 1);
    rows.emplace_back("/src/\xFF.pdb", 1);
    rows.emplace_back("/src/c.idb", 1);
    rows.emplace_back("/src/d.idb", 1);
    EXPECT_EQ(ConfirmDeleteCaption(), "ファイルの削除の確認");
    EXPECT_EQ(ConfirmDeleteText(*PlanDeleteSelected(4, {0}), rows),
              "'/src/a.obj'を削除してよろしいですか？");
    EXPECT_EQ(ConfirmDeleteText(*PlanDeleteSelected(4, {1}), rows),
              "'/src/\xEF\xBF\xBD.pdb'を削除してよろしいですか？");
    EXPECT_EQ(ConfirmDeleteText(*PlanDeleteSelected(4, {1, 3}), rows),
              "選択した 2 個のファイルを削除してよろしいですか？");
    EXPECT_EQ(ConfirmDeleteText(*PlanDeleteSelected(4, {0, 1, 2, 3}), rows),
              "これら 4 個のファイルを削除してよろしいですか？");
    EXPECT_EQ(ConfirmDeleteText(*PlanDeleteAll(4, {}), rows),
              "これら 4 個のファイルを削除してよろしいですか？");
}

TEST(DeleteText, EveryTextNamesWhatHappensToTheFiles) {
    std::vector<ResultRow> rows;
    for (const char* path : {"/src/f0.obj", "/src/f1.obj", "/src/f2.obj"})
        rows.emplace_back(path, 1);
    const auto toTrash = [](std::optional<DeleteRequest> request) {
        request->method = kTrash;
        return *request;
    };
    DeleteOutcome changed;
    for (const auto kind : {RemovalFailure::kChangedSinceSearch, RemovalFailure::kSystem,
                            RemovalFailure::kKeptAside}) {
        changed.failures.push_back({"/src/f0.obj", RemovalFailure::Of(kind)});
    }
    const struct {
        std::string text;
        std::string expected;
    } cases[] = {
        {KeptChangedText(changed),
         "2 個のファイルは検索の後に変更されたため、削除せずに残しました。"},
        {KeptChangedText(changed, kTrash),
         "2 個のファイルは検索の後に変更されたため、ごみ箱に移動せずに残しました。"},
        {KeptChangedText(DeleteOutcome{}), ""},
        {std::string(DeleteFailureCaption()), "ファイル削除エラー"},
        {std::string(DeleteFailureText(DeleteFailureBox::OneRow)),
         "ファイルを削除できませんでした"},
        {std::string(DeleteFailureText(DeleteFailureBox::Several)),
         "選択されたファイル全てを削除できませんでした"},
        {ConfirmDeleteText(toTrash(PlanDeleteAll(3, {})), rows),
         "これら 3 個のファイルをごみ箱に移動してよろしいですか？"},
        {ConfirmDeleteText(toTrash(PlanDeleteSelected(3, {1})), rows),
         "'" + rows[1].strPath + "'をごみ箱に移動してよろしいですか？"},
        {ConfirmDeleteText(toTrash(PlanDeleteSelected(3, {0, 1})), rows),
         "選択した 2 個のファイルをごみ箱に移動してよろしいですか？"},
        {std::string(ConfirmDeleteCaption(kTrash)), "ごみ箱への移動の確認"},
        {std::string(DeleteFailureCaption(kTrash)), "ごみ箱への移動エラー"},
        {std::string(DeleteFailureText(DeleteFailureBox::OneRow, kTrash)),
         "ファイルをごみ箱に移動できませんでした"},
        {std::string(DeleteFailureText(DeleteFailureBox::Several, kTrash)),
         "選択されたファイル全てをごみ箱に移動できませんでした"},
        {std::string(RootRefusedText(kTrash)),
         "検索したフォルダが移動または置き換えられたため、ファイルをごみ箱に移動しませんでした"},
        {std::string(DeleteProgressCaption(kTrash)), "ごみ箱への移動"},
        {DeleteProgressText(12, 100, kTrash), "12 / 100 個のファイルをごみ箱に移動しています..."},
    };
    for (const auto& c : cases) EXPECT_EQ(c.text, c.expected);
}

// The system's error numbers a deletion meets, by platform; the shell's
// come wrapped in an HRESULT.
#if defined(_WIN32)
constexpr std::uint32_t kDenied = 5, kBusy = 0x80070020, kGone = 3, kFull = 112, kOdd = 1392;
#else
constexpr std::uint32_t kDenied = EACCES, kBusy = EBUSY, kGone = ENOENT, kFull = ENOSPC, kOdd = EIO;
#endif

TEST(RemovalReasonText, GivesEveryReasonItsOwnWordsAndTheSystemsErrorsInPlainTerms) {
    using F = RemovalFailure;
    // One text per reason; the two "swapped, could not go back" share one.
    std::set<std::string> texts;
    for (int nKind = F::kRootNotOpen; nKind <= F::kRecycledUnchecked; ++nKind) {
        texts.insert(RemovalReasonText(F::Of(static_cast<F::Kind>(nKind))));
    }
    EXPECT_EQ(texts.size(), static_cast<std::size_t>(F::kRecycledUnchecked - F::kRootNotOpen));
    EXPECT_EQ(texts.count(""), 0u);
    const std::pair<RemovalFailure, std::string> cases[] = {
        {F::System(kDenied), "アクセス権がありません"},
        {F::System(kBusy), "ほかのプログラムが使用しています"},
        {F::System(kGone), "見つかりません（検索の後で移動または削除されました）"},
        {F::System(kFull), "ディスクの空きが足りません"},
        {F::System(kOdd), "システムエラー（コード " + std::to_string(kOdd) + "）"},
        {F::System(0), "原因のわからないエラーです"},
        {F::Of(F::kNameStillThere), "ほかのプログラムが開いているため、名前が残っています"},
        {F::Of(F::kNameStillThere, kDenied), "名前が残っています（アクセス権がありません）"},
        {F::Of(F::kTrashRecord, kFull),
         "ごみ箱に記録を書き込めません（ディスクの空きが足りません）"},
        {F::Of(F::kNotRecycled, kDenied), "アクセス権がありません"},
    };
    for (const auto& [why, expected] : cases) EXPECT_EQ(RemovalReasonText(why), expected);
}

TEST(DeleteFailureMessage, ListsAFewFilesThatStayedWithWhyThenHowManyMore) {
    DeleteOutcome out;
    out.failureBox = DeleteFailureBox::Several;
    const std::string first = "選択されたファイル全てを削除できませんでした";
    EXPECT_EQ(DeleteFailureMessage(out, kRemove), first);
    out.failures.push_back({"/src/\xFF.obj", RemovalFailure::System(kDenied)});
    out.failures.push_back({"/src/b.pdb", RemovalFailure::Of(RemovalFailure::kChangedSinceSearch)});
    EXPECT_EQ(DeleteFailureMessage(out, kRemove),
              first +
                  "\n1 個のファイルは検索の後に変更されたため、削除せずに残しました。\n\n/src/"
                  "\xEF\xBF\xBD.obj\n　アクセス権がありません\n/src/b.pdb\n　検索の後で書き換え"
                  "られたか、別のファイルに置き換わっています");
    out.failures.resize(7, {"/src/c.idb", RemovalFailure::Of(RemovalFailure::kFolder)});
    out.failureBox = DeleteFailureBox::OneRow;
    EXPECT_TRUE(DeleteFailureMessage(out, kTrash, 1)
                    .ends_with("\n　アクセス権がありません\nほか 6 個のファイルも残っています"));
}

}  // namespace
