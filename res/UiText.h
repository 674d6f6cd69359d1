// Every text the user reads, in one place, as UTF-8; GUI code turns them
// into wxString with wxString::FromUTF8 (never from a narrow literal).
#pragma once

namespace uitext {

// ---- Main window: application, frame, About box, form ----------------------

inline constexpr char kAppName[] = "Kesmora";
inline constexpr char kWindowTitle[] = "Visual C++ Kesmora";

inline constexpr char kMenuFile[] = "ﾌｧｲﾙ(&F)";
inline constexpr char kMenuExit[] = "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)";
inline constexpr char kMenuHelp[] = "ﾍﾙﾌﾟ(&H)";
inline constexpr char kMenuAbout[] = "ﾊﾞｰｼﾞｮﾝ情報(&A)...";
inline constexpr char kPromptExit[] = "ｱﾌﾟﾘｹｰｼｮﾝを終了し、ﾌｧｲﾙの保存を指示";
inline constexpr char kPromptAbout[] = "ﾌﾟﾛｸﾞﾗﾑの情報、ﾊﾞｰｼﾞｮﾝそして著作権を表示";
inline constexpr char kIdleMessage[] = "ﾚﾃﾞｨ";

inline constexpr char kAboutCaption[] = "Kesmoraのﾊﾞｰｼﾞｮﾝ情報";
inline constexpr char kAboutVersion[] = "Kesmora Version 1.30";
inline constexpr char kAboutSecondLine[] = "Visual C++ の中間ファイルを探して削除します";
inline constexpr char kAboutOk[] = "OK";

inline constexpr char kTabFolder[] = "フォルダ";
inline constexpr char kTabFile[] = "ファイル";
inline constexpr char kTabDate[] = "日付";
inline constexpr char kTabOther[] = "その他";

inline constexpr char kButtonStart[] = "検索開始(&S)";
inline constexpr char kButtonStop[] = "検索中止(&P)";
inline constexpr char kButtonDelete[] = "削除(&D)";
inline constexpr char kButtonDeleteAll[] = "全て削除(&A)";
inline constexpr char kButtonBrowse[] = "参照(&R)...";

inline constexpr char kLabelFolder[] = "探す場所：";
inline constexpr char kCheckSubFolder[] = "サブフォルダからも探す";
inline constexpr char kGroupSubFolder[] = "検索するサブフォルダ";
inline constexpr char kRadioAllSubFolders[] = "全てのサブフォルダから探す";
inline constexpr char kRadioDebugRelease[] = "Debug と Release フォルダから探す";
inline constexpr char kRadioDebug[] = "Debug フォルダから探す";
inline constexpr char kRadioRelease[] = "Release フォルダから探す";

inline constexpr char kGroupFiles[] = "検索するファイル";
inline constexpr char kCheckIdb[] = "idbファイル";
inline constexpr char kCheckObj[] = "objファイル";
inline constexpr char kCheckPdb[] = "pdbファイル";
inline constexpr char kCheckSbr[] = "sbrファイル";
inline constexpr char kCheckIlk[] = "ilkファイル";
inline constexpr char kCheckPch[] = "pchファイル";
inline constexpr char kCheckRes[] = "resファイル";
inline constexpr char kCheckBsc[] = "bscファイル";

inline constexpr char kGroupTime[] = "時間";
inline constexpr char kRadioAllFiles[] = "すべてのファイル";
inline constexpr char kRadioPeriod[] = "一定期間内のファイル";

// The two period lists in their stored order; a position is what the
// settings keep and what a search is built from, so this order is a format.
inline constexpr const char* kDayMonthItems[] = {"ヶ月以前に", "ヶ月間に", "日以前に", "日間に"};
inline constexpr const char* kFileTimeItems[] = {"更新があったファイル", "作成したファイル"};

inline constexpr char kCheckConfirmRemove[] = "ファイル削除を確認する";

inline constexpr char kColumnName[] = "名前";
inline constexpr char kColumnSize[] = "サイズ";
inline constexpr char kColumnCreated[] = "作成日時";
inline constexpr char kColumnModified[] = "更新日時";

inline constexpr char kNotAnInteger[] = "整数を入力してください。";
inline constexpr char kCountOutOfRange[] = "1 から 99 までの整数を入力してください。";

// ---- end of main window ----------------------------------------------------

}  // namespace uitext
