// The window's user-visible Japanese texts, in one place (UTF-8).
#pragma once

#include <string_view>

#include "res/KesmoraVersion.h"

namespace UiText {

// ---- Result list, search summary and deletion --------------------------
// "%d" stands for a number and "%s" for a path; they are filled in by
// view/core/StatusText.cpp and view/core/DeleteText.cpp.

// Status bar while searching: the folder, then this.
inline constexpr std::string_view kSearchingSuffix = " を検索しています...";

// The stop button when no search was running (application message box).
inline constexpr std::string_view kThreadStopError = "スレッド終了エラー";
// Title of the folder chooser of "参照(&R)...".
inline constexpr std::string_view kBrowseFolderTitle =
    "中間コードファイルを検索するフォルダを選択してください";

// Search summary.
inline constexpr std::string_view kFoundFiles = " %d 個のファイルが見つかりました。";
inline constexpr std::string_view kFoundTotal = "合計 %s";
inline constexpr std::string_view kNothingFound = "該当するファイルは見つかりませんでした。";
// After the summary when folders could not be read: their files are missing.
inline constexpr std::string_view kUnreadableFolders = "（読めなかったフォルダ %d 個）";
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

// Buttons of the message boxes, whatever language the system speaks.
inline constexpr std::string_view kButtonOk = "OK";
inline constexpr std::string_view kButtonCancel = "キャンセル";

// Deletion failures (OK, exclamation icon).
inline constexpr std::string_view kDeleteErrorCaption = "ファイル削除エラー";
inline constexpr std::string_view kDeleteErrorOne = "ファイルを削除できませんでした";
inline constexpr std::string_view kDeleteErrorSeveral =
    "選択されたファイル全てを削除できませんでした";
// After the failure text, when some files stayed because they were written
// anew or replaced after the search.
inline constexpr std::string_view kDeleteKeptChanged =
    "%d 個のファイルは検索の後に変更されたため、削除せずに残しました。";
// The folder searched was renamed or replaced after the search: nothing is
// touched.
inline constexpr std::string_view kDeleteRootChanged =
    "検索したフォルダが移動または置き換えられたため、ファイルを削除しませんでした";

// Under the failure box's first line, each file that stayed ("%s") with
// why on the line below it, a few of them, then how many more ("%d").
inline constexpr std::string_view kFailedFile = "%s\n　%r";
inline constexpr std::string_view kMoreFailedFiles = "ほか %d 個のファイルも残っています";

// Why a file stayed, one text for each reason the deletion gives. Where
// the system gave an error with it, kWithSystemReason adds its words.
inline constexpr std::string_view kWithSystemReason = "%r（%s）";
inline constexpr std::string_view kReasonRootNotOpen = "検索したフォルダを開けません";
inline constexpr std::string_view kReasonOutsideRoot = "検索したフォルダの中にありません";
inline constexpr std::string_view kReasonNotAPath = "パスとして使えない名前です";
inline constexpr std::string_view kReasonRootReplaced =
    "検索したフォルダが移動または置き換えられました";
inline constexpr std::string_view kReasonPathNotFolder =
    "途中のフォルダがリンクに変わったか、フォルダではなくなりました";
inline constexpr std::string_view kReasonNotFolder =
    "リンクに変わったか、フォルダではなくなりました";
inline constexpr std::string_view kReasonFolder = "ファイルではなくフォルダです";
inline constexpr std::string_view kReasonReadOnly = "読み取り専用です";
inline constexpr std::string_view kReasonNameStillThere =
    "ほかのプログラムが開いているため、名前が残っています";
inline constexpr std::string_view kReasonNameStillThereError = "名前が残っています";
inline constexpr std::string_view kReasonSwappedPutBack =
    "処理の途中で別のファイルと入れ替わったため、そのファイルを元に戻しました";
inline constexpr std::string_view kReasonSwappedInTrash =
    "処理の途中で別のファイルと入れ替わり、そのファイルは元に戻せずごみ箱にあります";
inline constexpr std::string_view kReasonNoTrash = "このドライブには使えるごみ箱がありません";
inline constexpr std::string_view kReasonTrashUnusable = "ごみ箱を使えません";
inline constexpr std::string_view kReasonTrashRecord = "ごみ箱に記録を書き込めません";
inline constexpr std::string_view kReasonNoFreeTrashName = "ごみ箱に空いている名前がありません";
inline constexpr std::string_view kReasonShellRefused = "シェルが受け付けませんでした";
inline constexpr std::string_view kReasonRecycleBinRefused =
    "ごみ箱に入れられません（完全に削除することはしません）";
inline constexpr std::string_view kReasonNotRecycled = "シェルがごみ箱に移動しませんでした";
inline constexpr std::string_view kReasonStillThere = "シェルの操作の後もまだ残っています";
inline constexpr std::string_view kReasonChangedSinceSearch =
    "検索の後で書き換えられたか、別のファイルに置き換わっています";
inline constexpr std::string_view kReasonKeptAside =
    "確かめるために移した間に別のファイルが元の名前を使ったため、\".kesmora-\" で始まる名前で"
    "同じフォルダに残しました";
inline constexpr std::string_view kReasonRecycledUnchecked =
    "シェルがどのファイルをごみ箱に移動したかを伝えないため、検索したファイルか確かめられません。"
    "ごみ箱を確認してください";
// The system's errors, by what they mean to the user.
inline constexpr std::string_view kReasonAccessDenied = "アクセス権がありません";
inline constexpr std::string_view kReasonInUse = "ほかのプログラムが使用しています";
inline constexpr std::string_view kReasonNotFound =
    "見つかりません（検索の後で移動または削除されました）";
inline constexpr std::string_view kReasonReadOnlyDrive = "書き込みのできないドライブにあります";
inline constexpr std::string_view kReasonNoSpace = "ディスクの空きが足りません";
inline constexpr std::string_view kReasonSystemError = "システムエラー（コード %d）";
inline constexpr std::string_view kReasonUnknown = "原因のわからないエラーです";

// Progress of a long deletion (its dialog's caption and message).
inline constexpr std::string_view kDeleteProgressCaption = "ファイルの削除";
inline constexpr std::string_view kDeleteProgress = "%d / %n 個のファイルを削除しています...";

// The same moments when the files go to the trash instead ("ごみ箱に移動する").
inline constexpr std::string_view kTrashedCleared =
    "%d 個のファイルをごみ箱に移動しました ： %s をクリア";
inline constexpr std::string_view kTrashedAll = "%d 個のファイルをごみ箱に移動しました。";
inline constexpr std::string_view kConfirmTrashCaption = "ごみ箱への移動の確認";
inline constexpr std::string_view kConfirmTrashOne = "'%s'をごみ箱に移動してよろしいですか？";
inline constexpr std::string_view kConfirmTrashSelected =
    "選択した %d 個のファイルをごみ箱に移動してよろしいですか？";
inline constexpr std::string_view kConfirmTrashAll =
    "これら %d 個のファイルをごみ箱に移動してよろしいですか？";
inline constexpr std::string_view kTrashErrorCaption = "ごみ箱への移動エラー";
inline constexpr std::string_view kTrashErrorOne = "ファイルをごみ箱に移動できませんでした";
inline constexpr std::string_view kTrashErrorSeveral =
    "選択されたファイル全てをごみ箱に移動できませんでした";
inline constexpr std::string_view kTrashKeptChanged =
    "%d 個のファイルは検索の後に変更されたため、ごみ箱に移動せずに残しました。";
inline constexpr std::string_view kTrashRootChanged =
    "検索したフォルダが移動または置き換えられたため、ファイルをごみ箱に移動しませんでした";
inline constexpr std::string_view kTrashProgressCaption = "ごみ箱への移動";
inline constexpr std::string_view kTrashProgress =
    "%d / %n 個のファイルをごみ箱に移動しています...";
// ---- end of result list, search summary and deletion -------------------

// ---- Main window: application, frame, About box, form ----------------------

inline constexpr std::string_view kAppName = "Kesmora";
inline constexpr std::string_view kWindowTitle = "Visual C++ Kesmora";

inline constexpr std::string_view kMenuFile = "ﾌｧｲﾙ(&F)";
inline constexpr std::string_view kMenuExit = "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)";
inline constexpr std::string_view kMenuHelp = "ﾍﾙﾌﾟ(&H)";
inline constexpr std::string_view kMenuAbout = "ﾊﾞｰｼﾞｮﾝ情報(&A)...";
inline constexpr std::string_view kPromptExit = "ｱﾌﾟﾘｹｰｼｮﾝを終了し、ﾌｧｲﾙの保存を指示";
inline constexpr std::string_view kPromptAbout = "ﾌﾟﾛｸﾞﾗﾑの情報、ﾊﾞｰｼﾞｮﾝそして著作権を表示";
inline constexpr std::string_view kIdleMessage = "ﾚﾃﾞｨ";

inline constexpr std::string_view kAboutCaption = "Kesmoraのﾊﾞｰｼﾞｮﾝ情報";
inline constexpr std::string_view kAboutVersion = "Kesmora Version " KESMORA_VERSION_TEXT;
inline constexpr std::string_view kAboutSecondLine = "Visual C++ の中間ファイルを探して削除します";
inline constexpr std::string_view kAboutOk = "OK";

inline constexpr std::string_view kTabFolder = "フォルダ";
inline constexpr std::string_view kTabFile = "ファイル";
inline constexpr std::string_view kTabDate = "日付";
inline constexpr std::string_view kTabOther = "その他";

inline constexpr std::string_view kButtonStart = "検索開始(&S)";
inline constexpr std::string_view kButtonStop = "検索中止(&P)";
inline constexpr std::string_view kButtonDelete = "削除(&D)";
inline constexpr std::string_view kButtonDeleteAll = "全て削除(&A)";
inline constexpr std::string_view kButtonBrowse = "参照(&R)...";

inline constexpr std::string_view kLabelFolder = "探す場所：";
inline constexpr std::string_view kCheckSubFolder = "サブフォルダからも探す";
inline constexpr std::string_view kGroupSubFolder = "検索するサブフォルダ";
inline constexpr std::string_view kRadioAllSubFolders = "全てのサブフォルダから探す";
inline constexpr std::string_view kRadioDebugRelease = "Debug と Release フォルダから探す";
inline constexpr std::string_view kRadioDebug = "Debug フォルダから探す";
inline constexpr std::string_view kRadioRelease = "Release フォルダから探す";

inline constexpr std::string_view kGroupFiles = "検索するファイル";
inline constexpr std::string_view kGroupNewerFiles = "新しいVisual Studioのファイル";
// The kinds' check boxes, in FileKind order (walk/FileKinds.h).
inline constexpr std::string_view kCheckKinds[] = {
    "idbファイル", "ilkファイル", "objファイル",  "pchファイル",  "pdbファイル",
    "resファイル", "sbrファイル", "bscファイル",  "ipchファイル", "VC.dbファイル",
    "sdfファイル", "ncbファイル", "iobjファイル", "ipdbファイル", "tlogファイル",
};

inline constexpr std::string_view kGroupTime = "時間";
inline constexpr std::string_view kRadioAllFiles = "すべてのファイル";
inline constexpr std::string_view kRadioPeriod = "一定期間内のファイル";

// The two period lists in their stored order; a position is what the
// settings keep and what a search is built from, so this order is a format.
inline constexpr std::string_view kDayMonthItems[] = {"ヶ月以前に", "ヶ月間に", "日以前に",
                                                      "日間に"};
inline constexpr std::string_view kFileTimeItems[] = {"更新があったファイル", "作成したファイル"};

inline constexpr std::string_view kCheckConfirmRemove = "ファイル削除を確認する";
inline constexpr std::string_view kCheckUseTrash = "ごみ箱に移動する(&T)";
inline constexpr std::string_view kCheckRemoveEmptyFolders = "空になったフォルダも削除する";
// The field of folder names a search never enters, its example and its
// tip; a name that is a path is refused (OK, exclamation icon, "%s" the
// name).
inline constexpr std::string_view kLabelExclude = "検索しないフォルダの名前：";
inline constexpr std::string_view kExcludeHint = "例: .git; node_modules";
inline constexpr std::string_view kExcludeTip =
    "この名前のフォルダには入りません。名前は ; で区切り、* は任意の文字列、? は任意の1文字に"
    "一致します。";
inline constexpr std::string_view kExcludeNotAName =
    "「%s」はフォルダの名前ではありません。パスではなく名前だけを入力してください（例: .git）。";
// Added to the status's left pane after a deletion that removed emptied
// folders.
inline constexpr std::string_view kEmptiedFoldersRemoved =
    "空になったフォルダ %d 個も削除しました。";

inline constexpr std::string_view kColumnName = "名前";
inline constexpr std::string_view kColumnSize = "サイズ";
inline constexpr std::string_view kColumnCreated = "作成日時";
inline constexpr std::string_view kColumnModified = "更新日時";

// The result list shown one row per file, or one row per project: the
// folder of the nearest project or solution file above the files, else the
// first folder below the one searched.
inline constexpr std::string_view kGroupListView = "一覧の表示";
inline constexpr std::string_view kRadioFileView = "ファイル";
inline constexpr std::string_view kRadioProjectView = "プロジェクト";
inline constexpr std::string_view kColumnGroupFolder = "フォルダ";
inline constexpr std::string_view kColumnGroupKind = "種類";
inline constexpr std::string_view kColumnFileCount = "ファイル数";
inline constexpr std::string_view kColumnShare = "割合";
inline constexpr std::string_view kColumnNewest = "最終更新日時";
// The kind column: a project's folder, or a folder with no project above.
inline constexpr std::string_view kGroupKindProject = "プロジェクト";
inline constexpr std::string_view kGroupKindFolder = "フォルダ";
// The project view is a tree: a group's size and file count hold every
// group below it; these columns give what is its own. A group opens to the
// folders holding its own files, a folder to its files; the marks show
// which rows are open, one full-width space a level indents them.
inline constexpr std::string_view kColumnOwnSize = "自身のサイズ";
inline constexpr std::string_view kColumnOwnFiles = "自身のファイル数";
inline constexpr std::string_view kNodeKindFolder = "サブフォルダ";
inline constexpr std::string_view kNodeKindFile = "ファイル";
inline constexpr std::string_view kTreeOpened = "▼ ";
inline constexpr std::string_view kTreeClosed = "▶ ";
inline constexpr std::string_view kTreeLeaf = "　 ";
inline constexpr std::string_view kTreeIndent = "　";

// The result list's context menu: the delete button, Ctrl+C, and the
// folder holding the row's file.
inline constexpr std::string_view kMenuDeleteRows = "削除";
inline constexpr std::string_view kMenuCopyPaths = "パスをコピー";
inline constexpr std::string_view kMenuOpenFolder = "フォルダを開く";
// The desktop has no program that opens folders (information box).
inline constexpr std::string_view kNoFolderHandler =
    "フォルダを開くプログラムが見つかりませんでした。";

inline constexpr std::string_view kNotAnInteger = "整数を入力してください。";
inline constexpr std::string_view kCountOutOfRange = "1 から 99 までの整数を入力してください。";

// ---- end of main window ----------------------------------------------------

}  // namespace UiText
