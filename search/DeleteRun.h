// Deleting the files of chosen result rows: the decision what to delete,
// and the run itself with its exact accounting of what was deleted and
// what remains. Each front end words the outcome itself (the window's
// texts are view/core/DeleteText.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "removal/Removal.h"
#include "search/ResultCollector.h"
#include "walk/DirReader.h"
#include "walk/FileUtil.h"

// The window's side of a deletion (delete button; delete-all alike with
// PlanDeleteAll):
//   auto request = PlanDeleteSelected(rows.size(), selected rows);
//   if (!request) return;                         // nothing selected
//   request->method = trash option ? DeleteMethod::Trash : DeleteMethod::Remove;
//   if (confirm option && box(ConfirmDeleteText(*request, rows),
//                             ConfirmDeleteCaption(method), OK/Cancel) != OK) return;
//   DeleteOutcome out = RunDelete(rows, *request,
//                                 SystemFileOps(folder the rows' search started from,
//                                               its identity then, method),
//                                 progress dialog after ~0.5 s, or {});
//   total = out.newTotal; item count = rows.size(); select out.selection;
//   if (out.bRefused) box(RootRefusedText(method), DeleteFailureCaption(method));
//   if (out.failureBox != None)
//       box(DeleteFailureMessage(out, method), DeleteFailureCaption(method));
//   two panes: DeleteStatusTexts(*request, out, rows.size(), total before);
//   then the buttons.

// What becomes of a chosen file: removed for good, or moved to the
// desktop's trash, from where the user can restore it. Every text about
// the run names what happens.
enum class DeleteMethod {
    Remove,
    Trash,
};

// The disk access of a run. SystemFileOps() is the real one; tests and
// benchmarks may wrap it.
struct DeleteFileOps {
    // Called once before a run's first file; may be empty. False refuses
    // the whole run: no file is tried, and why says what refused it.
    std::function<bool(RemovalFailure& why)> begin;
    // The file's size in bytes, 0 when its status cannot be read.
    std::function<std::uint64_t(const std::string& path)> fileSize;
    // Removes (or trashes) the row's file, read-only or not, if it is still
    // the file the row lists (ResultRow::Listed); true only when it is gone
    // from its place, else why tells what stopped it.
    std::function<bool(const ResultRow& row, RemovalFailure& why)> removeFile;
    // Removes an emptied folder (CPinnedRoot::RemoveEmptyFolder); may be
    // empty where folders are never pruned.
    std::function<FolderRemoval(const std::string& path, RemovalFailure& why)> removeEmptyFolder;
};
// The size, removal (read-only files too) or move to the trash of
// CPinnedRoot (removal/Removal.h) for rows listed by a search of strRoot
// whose folder had the identity searched when it started: begin opens
// that folder once and refuses it when it is no longer the one searched;
// nothing outside it is ever read, removed or trashed. A file the trash
// refuses stays where it is.
DeleteFileOps SystemFileOps(const std::string& strRoot, const FolderId& searched,
                            DeleteMethod method = DeleteMethod::Remove);
// The same for rows listed from strRoot as it is at this call.
DeleteFileOps SystemFileOps(const std::string& strRoot, DeleteMethod method = DeleteMethod::Remove);

enum class DeleteKind {
    Selected,  // the "削除(&D)" button: the selected rows, bottom-up
    All,       // the "全て削除(&A)" button: every row, top-down
};

struct DeleteRequest {
    DeleteKind kind = DeleteKind::All;
    // The rows selected when the run was asked for: ascending, unique, in
    // range. For Selected these are the rows deleted (at least one, fewer
    // than all); for All they only say which kept rows stay selected.
    std::vector<std::size_t> selected;
    // Chosen by the window; the plans leave it at Remove.
    DeleteMethod method = DeleteMethod::Remove;
};

// The delete button. Nothing when no row is selected; every row selected
// acts as the delete-all button. selected may come in any order.
std::optional<DeleteRequest> PlanDeleteSelected(std::size_t rowCount,
                                                std::vector<std::size_t> selected);
// The delete-all button. Nothing when the list is empty.
std::optional<DeleteRequest> PlanDeleteAll(std::size_t rowCount, std::vector<std::size_t> selected);

// Which failure the window reports after a run with files still there.
enum class DeleteFailureBox {
    None,
    OneRow,   // the one row chosen could not go
    Several,  // some of several rows, or of a delete-all, could not go
};

// Called after each file with the files done and the files chosen; return
// false to stop before the next file (a progress dialog's Cancel). While it
// runs, the rows vector still holds every row at its old index (rows are
// only marked; the compaction comes after the last call), so a list that
// repaints from it meanwhile stays consistent.
using DeleteProgress = std::function<bool(std::size_t done, std::size_t count)>;

// A file tried and still there, and why.
struct DeleteFailure {
    std::string strPath;
    RemovalFailure why;
};

struct DeleteOutcome {
    std::size_t nDeleted = 0;      // files removed (and their rows)
    std::size_t nFailed = 0;       // files tried but still there; their rows stay
    std::size_t nUntried = 0;      // chosen files not reached because of a cancel
    bool bCancelled = false;       // stopped with files still untried
    std::uint64_t freedBytes = 0;  // sizes of the files as they were removed
    std::uint64_t keptBytes = 0;   // bytes of the chosen rows that stay, as listed now
    std::uint64_t newTotal = 0;    // the running total now: bytes of every row left
    DeleteFailureBox failureBox = DeleteFailureBox::None;  // show before the status
    std::vector<std::size_t> selection;   // rows to select now (indices after the run)
    std::vector<DeleteFailure> failures;  // one per failed file, in the order tried
    bool bRefused = false;                // no file tried: ops.begin said no
    RemovalFailure refusal;               // and why
};

// Deletes the files of request's rows one at a time and removes the rows of
// the files that are gone, in one linear pass at the end (rows is updated
// in place, keeping its order); ops does the disk work.
//
// Accounting: the freed amount counts each file removed with its listed
// size, which the removal found it still had. The new total is the bytes of
// the rows that remain; in a delete-all the rows kept count with the size
// read from disk after their attempt (their size column still shows the
// listed size), so the total equals the kept bytes. In a delete-selected
// the rows kept keep their counted size.
//
// Cancel (progress returned false): the outcome counts as a run with
// failures does: the number deleted, and every row left (failed and
// untried) with their bytes, so a delete-all stopped early leaves rows and
// is never reported as everything cleared. The failure box is set only for
// files that were tried and failed, never merely because of the cancel.
DeleteOutcome RunDelete(std::vector<ResultRow>& rows, const DeleteRequest& request,
                        const DeleteFileOps& ops, const DeleteProgress& progress = {});

// The folders a clean-up empties. Each file removed names its folder; once
// the run is over, each such folder that is empty now is removed, then its
// parent by the same rule, up to but never including strRoot. A folder
// that was empty already, or that holds anything else, stays.
class CEmptiedFolders {
public:
    explicit CEmptiedFolders(std::string strRoot) : m_strRoot(std::move(strRoot)) {}
    // path: a file the run removed, as listed.
    void FileRemoved(const std::string& path);
    // Folders that could not be removed (other than for holding something),
    // each with its reason, are given to failed. goOn, asked before each
    // folder, stops the pruning when false (an interrupt). Returns how many
    // were removed.
    std::size_t Prune(const DeleteFileOps& ops,
                      const std::function<void(const DeleteFailure&)>& failed,
                      const std::function<bool()>& goOn = {});

private:
    std::string m_strRoot;
    std::set<std::string> m_folders;
};
