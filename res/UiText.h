// The user-visible Japanese texts of the program, in one place (UTF-8).
#pragma once

#include <string_view>

namespace UiText {

// ---- Result list, search summary and deletion --------------------------
// "%d" stands for a number and "%s" for a path; they are filled in by
// view/StatusText.cpp and view/DeleteRun.cpp.

// Status bar while searching: the folder, then this.
inline constexpr std::string_view kSearchingSuffix = " を検索しています...";
// Size column: the rounded kilobytes, then this.
inline constexpr std::string_view kSizeUnitKB = "KB";

// The stop button when no search was running (application message box).
inline constexpr std::string_view kThreadStopError = "スレッド終了エラー";
// Title of the folder chooser of "参照(&R)...".
inline constexpr std::string_view kBrowseFolderTitle =
    "中間コードファイルを検索するフォルダを選択してください";

// Search summary.
inline constexpr std::string_view kFoundFiles = " %d 個のファイルが見つかりました。";
inline constexpr std::string_view kFoundTotal = "合計 %s";
inline constexpr std::string_view kNothingFound = "該当するファイルは見つかりませんでした。";
// An amount in megabytes and kilobytes: "2 MB ( 1,536 KB )".
inline constexpr std::string_view kMegaKiloAmount = "%m MB ( %k KB )";

// Deletion results in the two status panes; " ： " holds a full-width colon.
inline constexpr std::string_view kDeletedCleared = "%d 個のファイルを削除しました ： %s をクリア";
inline constexpr std::string_view kDeletedAll = "%d 個のファイルを削除しました。";
inline constexpr std::string_view kCleared = "%s をクリア";
inline constexpr std::string_view kRemaining = "残り %d ファイル ： 合計 %s";

// Deletion confirmations (OK/Cancel, question icon).
inline constexpr std::string_view kConfirmCaption = "ファイルの削除の確認";
inline constexpr std::string_view kConfirmOne = "'%s'を削除してよろしいですか？";
inline constexpr std::string_view kConfirmSelected =
    "選択した %d 個のファイルを削除してよろしいですか？";
inline constexpr std::string_view kConfirmAll = "これら %d 個のファイルを削除してよろしいですか？";

// Deletion failures (OK, exclamation icon).
inline constexpr std::string_view kDeleteErrorCaption = "ファイル削除エラー";
inline constexpr std::string_view kDeleteErrorOne = "ファイルを削除できませんでした";
inline constexpr std::string_view kDeleteErrorSeveral =
    "選択されたファイル全てを削除できませんでした";

// Progress of a long deletion (its dialog's caption and message).
inline constexpr std::string_view kDeleteProgressCaption = "ファイルの削除";
inline constexpr std::string_view kDeleteProgress = "%d / %n 個のファイルを削除しています...";
// ---- end of result list, search summary and deletion -------------------

}  // namespace UiText
