// What the window says about a deletion: the confirmation, the progress
// dialog, the failure boxes and the status panes, worded from the run's
// request and outcome (search/DeleteRun.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "search/DeleteRun.h"
#include "view/core/StatusText.h"

// Caption and text of the confirmation (OK/Cancel, question icon) shown
// before the run when confirmation is on; the run goes ahead only on OK.
std::string_view ConfirmDeleteCaption(DeleteMethod method = DeleteMethod::Remove);
std::string ConfirmDeleteText(const DeleteRequest& request, const std::vector<ResultRow>& rows);

// Caption and text of the failure box (OK, exclamation icon).
std::string_view DeleteFailureCaption(DeleteMethod method = DeleteMethod::Remove);
std::string_view DeleteFailureText(DeleteFailureBox box,
                                   DeleteMethod method = DeleteMethod::Remove);
// A line for the failure box when files stayed because they changed since
// the search (another file at the name, or new contents); empty when none.
std::string KeptChangedText(const DeleteOutcome& outcome,
                            DeleteMethod method = DeleteMethod::Remove);
// The whole text of that box: DeleteFailureText as its first line, then
// KeptChangedText if any, then the first nShown files that stayed, each
// with why, then how many more.
std::string DeleteFailureMessage(const DeleteOutcome& outcome, DeleteMethod method,
                                 std::size_t nShown = 5);
// Why a file stayed, in the window's words.
std::string RemovalReasonText(const RemovalFailure& why);
// The text of the box (same caption) for a run refused whole because the
// folder searched was moved or replaced since.
std::string_view RootRefusedText(DeleteMethod method = DeleteMethod::Remove);

// "12 / 100 個のファイルを削除しています..." for the progress dialog, and
// its caption.
std::string DeleteProgressText(std::size_t done, std::size_t count,
                               DeleteMethod method = DeleteMethod::Remove);
std::string_view DeleteProgressCaption(DeleteMethod method = DeleteMethod::Remove);

// The two status panes after a run of request: nRowsLeft rows are listed
// now, totalBefore was the running total before it. A delete-selected names
// the bytes freed; a delete-all that left no row names that whole total
// cleared. Otherwise the right pane says "残り N ファイル" with every row
// left and their bytes, in the same words after failures or a cancel.
StatusTexts DeleteStatusTexts(const DeleteRequest& request, const DeleteOutcome& outcome,
                              std::size_t nRowsLeft, std::uint64_t totalBefore);
