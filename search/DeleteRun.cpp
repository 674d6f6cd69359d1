// The deletion run behind the delete and delete-all buttons.
#include "search/DeleteRun.h"

#include <algorithm>
#include <memory>

#include "removal/Removal.h"
#include "walk/FileUtil.h"

namespace {

void Normalise(std::vector<std::size_t>& selected, std::size_t rowCount) {
    std::sort(selected.begin(), selected.end());
    selected.erase(std::unique(selected.begin(), selected.end()), selected.end());
    selected.erase(std::lower_bound(selected.begin(), selected.end(), rowCount), selected.end());
}

// Per-run state while files are tried; rows are only marked here and
// compacted once at the end.
struct RunState {
    std::vector<char> removed;
    std::size_t done = 0;
    bool bStopped = false;
};

// Tries one row's file; true when it is gone, else its failure is noted.
bool TryRow(ResultRow& row, const DeleteFileOps& ops, std::uint64_t& sizeRead, DeleteOutcome& out) {
    RemovalFailure why;
    // A file goes only as it was listed, size included: its size needs no
    // reading of its own (a look of several calls per file).
    if (ops.removeFile(row, why)) {
        sizeRead = row.listedSize;
        return true;
    }
    sizeRead = ops.fileSize(row.strPath);
    out.failures.push_back({row.strPath, why});
    return false;
}

bool ReportProgress(const DeleteProgress& progress, std::size_t done, std::size_t count) {
    return !progress || progress(done, count);
}

// Removes the marked rows keeping the order, and maps the selection onto
// the rows that are left.
std::vector<std::size_t> Compact(std::vector<ResultRow>& rows, const std::vector<char>& removed,
                                 const std::vector<std::size_t>& selected) {
    std::vector<std::size_t> selection;
    auto nextSelected = selected.begin();
    std::size_t w = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const bool bWasSelected = nextSelected != selected.end() && *nextSelected == i;
        if (bWasSelected) ++nextSelected;
        if (removed[i]) continue;
        if (bWasSelected) selection.push_back(w);
        if (w != i) rows[w] = std::move(rows[i]);
        ++w;
    }
    rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(w), rows.end());
    return selection;
}

std::uint64_t SumSizes(const std::vector<ResultRow>& rows) {
    std::uint64_t sum = 0;
    for (const ResultRow& row : rows) sum += row.size;
    return sum;
}

void RunSelected(std::vector<ResultRow>& rows, const std::vector<std::size_t>& selected,
                 const DeleteFileOps& ops, const DeleteProgress& progress, RunState& state,
                 DeleteOutcome& out) {
    // Bottom-up, as on a list whose rows move up when one is removed.
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
        ResultRow& row = rows[*it];
        std::uint64_t sizeRead = 0;
        if (TryRow(row, ops, sizeRead, out)) {
            state.removed[*it] = 1;
            out.freedBytes += sizeRead;
            ++out.nDeleted;
        } else {
            out.keptBytes += row.size;
            ++out.nFailed;
        }
        ++state.done;
        if (!ReportProgress(progress, state.done, selected.size()) &&
            state.done < selected.size()) {
            for (auto rest = std::next(it); rest != selected.rend(); ++rest) {
                out.keptBytes += rows[*rest].size;
            }
            state.bStopped = true;
            break;
        }
    }
}

void RunAll(std::vector<ResultRow>& rows, const DeleteFileOps& ops, const DeleteProgress& progress,
            RunState& state, DeleteOutcome& out) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
        ResultRow& row = rows[i];
        std::uint64_t sizeRead = 0;
        if (TryRow(row, ops, sizeRead, out)) {
            state.removed[i] = 1;
            out.freedBytes += sizeRead;
            ++out.nDeleted;
        } else {
            // The kept file counts with the size it has now; its size
            // column keeps what the search listed.
            row.size = sizeRead;
            out.keptBytes += sizeRead;
            ++out.nFailed;
        }
        ++state.done;
        if (!ReportProgress(progress, state.done, rows.size()) && state.done < rows.size()) {
            for (std::size_t rest = i + 1; rest < rows.size(); ++rest) {
                out.keptBytes += rows[rest].size;
            }
            state.bStopped = true;
            break;
        }
    }
}

}  // namespace

DeleteFileOps SystemFileOps(const std::string& strRoot, const FolderId& searched,
                            DeleteMethod method) {
    // Shared by the calls and opened by begin once, however many batches a
    // run takes: what it found first holds for the rest of the run (a run
    // never deletes in a folder it refused before, nor refuses one it has
    // deleted in). Only a want of descriptors is tried again.
    const auto root = std::make_shared<CPinnedRoot>();
    const auto settled = std::make_shared<std::optional<RemovalFailure>>();
    DeleteFileOps ops;
    ops.begin = [root, strRoot, searched, settled](RemovalFailure& why) {
        if (!settled->has_value()) {
            why = {};
            if (root->Open(strRoot, &searched, why) || !IsDescriptorShortage(why)) *settled = why;
            return why.kind == RemovalFailure::kNone;
        }
        why = **settled;
        return why.kind == RemovalFailure::kNone;
    };
    ops.fileSize = [root](const std::string& path) {
        const std::int64_t size = root->FileSize(path);
        return size > 0 ? static_cast<std::uint64_t>(size) : std::uint64_t{0};
    };
    if (method == DeleteMethod::Trash) {
        ops.removeFile = [root](const ResultRow& row, RemovalFailure& why) {
            const ListedFile listed = row.Listed();
            return root->TrashFile(row.strPath, why, &listed);
        };
    } else {
        ops.removeFile = [root](const ResultRow& row, RemovalFailure& why) {
            const ListedFile listed = row.Listed();
            return root->RemoveFile(row.strPath, true, why, &listed);
        };
    }
    ops.removeEmptyFolder = [root](const std::string& path, RemovalFailure& why) {
        return root->RemoveEmptyFolder(path, why);
    };
    return ops;
}

DeleteFileOps SystemFileOps(const std::string& strRoot, DeleteMethod method) {
    FolderId now;
    ReadFolderId(strRoot, now);
    return SystemFileOps(strRoot, now, method);
}

std::optional<DeleteRequest> PlanDeleteSelected(std::size_t rowCount,
                                                std::vector<std::size_t> selected) {
    Normalise(selected, rowCount);
    if (selected.empty()) return std::nullopt;
    if (selected.size() == rowCount) return DeleteRequest{DeleteKind::All, std::move(selected)};
    return DeleteRequest{DeleteKind::Selected, std::move(selected)};
}

std::optional<DeleteRequest> PlanDeleteAll(std::size_t rowCount,
                                           std::vector<std::size_t> selected) {
    if (rowCount == 0) return std::nullopt;
    Normalise(selected, rowCount);
    return DeleteRequest{DeleteKind::All, std::move(selected)};
}

DeleteOutcome RunDelete(std::vector<ResultRow>& rows, const DeleteRequest& request,
                        const DeleteFileOps& ops, const DeleteProgress& progress) {
    DeleteOutcome out;
    std::vector<std::size_t> selected = request.selected;
    Normalise(selected, rows.size());
    const bool bAll = request.kind == DeleteKind::All;
    const std::size_t rowsBefore = rows.size();
    const std::size_t chosen = bAll ? rowsBefore : selected.size();

    RunState state;
    state.removed.assign(rowsBefore, 0);
    if (ops.begin && !ops.begin(out.refusal)) {
        // Refused whole: every chosen file stays, as listed.
        out.bRefused = true;
        if (bAll) {
            out.keptBytes = SumSizes(rows);
        } else {
            for (const std::size_t i : selected) out.keptBytes += rows[i].size;
        }
    } else if (bAll) {
        RunAll(rows, ops, progress, state, out);
    } else {
        RunSelected(rows, selected, ops, progress, state, out);
    }
    out.nUntried = chosen - state.done;
    out.bCancelled = state.bStopped && out.nUntried > 0;

    out.selection = Compact(rows, state.removed, selected);
    out.newTotal = SumSizes(rows);

    if (out.nFailed > 0) {
        out.failureBox =
            (!bAll && chosen == 1) ? DeleteFailureBox::OneRow : DeleteFailureBox::Several;
    }

    return out;
}

void CEmptiedFolders::FileRemoved(const std::string& path) {
    const std::size_t nSep = path.rfind(kPathSeparator);
    if (nSep != std::string::npos) m_folders.insert(path.substr(0, nSep));
}

std::size_t CEmptiedFolders::Prune(const DeleteFileOps& ops,
                                   const std::function<void(const DeleteFailure&)>& failed,
                                   const std::function<bool()>& goOn) {
    if (!ops.removeEmptyFolder) return 0;
    // Deepest first, so that a folder is tried once whatever emptied below
    // it has gone; a parent joins the queue as its last child goes.
    auto deeper = [](const std::string& a, const std::string& b) {
        const auto depth = [](const std::string& s) {
            return std::count(s.begin(), s.end(), kPathSeparator);
        };
        const auto da = depth(a), db = depth(b);
        return da != db ? da > db : a < b;
    };
    std::set<std::string, decltype(deeper)> queue(m_folders.begin(), m_folders.end(), deeper);
    m_folders.clear();
    std::size_t nRemoved = 0;
    while (!queue.empty() && (!goOn || goOn())) {
        const std::string folder = *queue.begin();
        queue.erase(queue.begin());
        // The chosen folder itself, and anything not below it, stays.
        std::string strRelative;
        if (!PathBelowRoot(m_strRoot, folder, strRelative)) continue;
        RemovalFailure why;
        switch (ops.removeEmptyFolder(folder, why)) {
            case FolderRemoval::kRemoved:
                ++nRemoved;
                FileRemoved(folder);
                queue.insert(m_folders.begin(), m_folders.end());
                m_folders.clear();
                break;
            case FolderRemoval::kNotEmpty:
                break;
            case FolderRemoval::kFailed:
                if (failed) failed({folder, why});
                break;
        }
    }
    return nRemoved;
}
