// The search, the listing and the deletion of one command-line run.
#include "cli/Run.h"

#include <chrono>
#include <string>
#include <vector>

#include "cli/DeletionPause.h"
#include "cli/FailureText.h"
#include "cli/Output.h"
#include "cli/Platform.h"
#include "search/DeleteRun.h"
#include "search/ProjectGroups.h"
#include "search/SearchFolders.h"
#include "search/SearchSession.h"
#include "search/SizeFormat.h"
#include "walk/FileUtil.h"

namespace cli {

namespace {

using Clock = std::chrono::steady_clock;

// Ten progress updates a second at most.
constexpr std::chrono::milliseconds kProgressInterval{100};
// How often the main thread takes the rows the worker handed over, as the
// window's timer does; the end of the walk wakes it at once.
constexpr std::chrono::milliseconds kTakeInterval{30};

void Message(std::string_view text) {
    std::string line = "kesmora-cli: ";
    line += text;
    line += '\n';
    WriteAll(Stream::Err, line);
}

std::string Escaped(std::string_view bytes) {
    std::string text;
    AppendEscaped(text, bytes);
    return text;
}

std::string Files(std::uint64_t n) { return FormatThousands(n) + (n == 1 ? " file" : " files"); }

std::string Amount(std::uint64_t bytes, bool bExact) {
    if (bExact) return FormatThousands(bytes) + " bytes";
    return FormatThousands(RoundMB(bytes)) + " MB (" + FormatThousands(RoundKB(bytes)) + " KB)";
}

// The one status line on a terminal's stderr, rewritten in place.
class CProgressLine {
public:
    explicit CProgressLine(bool bOn) : m_bOn(bOn) {}
    ~CProgressLine() { Erase(); }

    bool On() const { return m_bOn; }

    // bAtOnce: a new phase's first line, never held back by the last one.
    void Show(const std::string& text, bool bAtOnce = false) {
        if (!m_bOn) return;
        const auto now = Clock::now();
        if (!bAtOnce && m_bShownOnce && now - m_last < kProgressInterval) return;
        m_bShownOnce = true;
        m_last = now;
        std::string line = "\r\033[K" + text;
        // A line longer than the terminal would wrap and never be erased.
        const int columns = TerminalColumns();
        if (columns > 1 && line.size() > static_cast<std::size_t>(columns) + 3) {
            line.resize(static_cast<std::size_t>(columns) + 3);
        }
        WriteAll(Stream::Err, line);
        m_bVisible = true;
    }

    void Erase() {
        if (!m_bVisible) return;
        WriteAll(Stream::Err, "\r\033[K");
        m_bVisible = false;
    }

private:
    bool m_bOn;
    bool m_bVisible = false;
    bool m_bShownOnce = false;
    Clock::time_point m_last;
};

class CCliRun {
public:
    explicit CCliRun(const CliOptions& options)
        : m_options(options),
          m_bExact(options.format == Format::HumanBytes),
          m_bHuman(options.format == Format::Human || options.format == Format::HumanBytes),
          m_progress(CanShowProgress()) {
        // A reader at a terminal sees rows as they come, not in 64 KB
        // bursts. Output and progress share the screen when both are the
        // terminal: then the progress line gets out of the way first.
        m_bLiveOutput = IsTerminal(Stream::Out);
        if (m_bLiveOutput && m_progress.On()) m_out.SetBeforeWrite([this] { m_progress.Erase(); });
        // A listing whose reader has gone has no one left to list for; a
        // deletion goes on without its output.
        if (m_options.action != Action::Delete) {
            m_out.SetOnClosed([this] {
                m_progress.Erase();
                EndForClosedOutput();
            });
        }
        m_deleteProgress = [this](std::size_t nDone, std::size_t) {
            const bool bFirst = !m_bPaused;
            if (bFirst) {
                m_bPaused = true;
                PauseAfterFirstDeletion(m_wake);
            }
            if (Interrupted()) return false;
            if (!m_bDeleteAsFound) {
                m_progress.Show((m_options.bTrash ? "moving to the trash: " : "deleting: ") +
                                    FormatThousands(m_nTriedBefore + nDone) + " of " +
                                    Files(m_nFound),
                                bFirst);
            }
            return true;
        };
    }

    int Execute();

private:
    // One folder of the run: its files are deleted below it alone, pinned
    // as it was when its search started.
    struct Searched {
        explicit Searched(const std::string& strFolder) : strRoot(strFolder), emptied(strFolder) {}
        std::string strRoot;
        DeleteFileOps ops;
        std::vector<ResultRow> rows;  // kept for a deletion after the search
        bool bRefusalTold = false;
        CEmptiedFolders emptied;  // the folders of the files removed
    };

    int SearchAndDelete(const RunFolders& folders);
    int Search(const RunFolders& folders);
    // False when the run was interrupted (or its listing lost its reader).
    bool SearchFolder(CSearchSession& session);
    void TakeRows(CSearchSession& session, ResultBatch& batch);
    // --by-project: the groups of the folder just searched.
    void WriteGroups();
    int Delete();
    bool Confirm();
    DeleteFileOps FileOps(Searched& searched, const FolderId& id);
    // With --prune-empty: the folders the deletion emptied go too; those
    // that cannot are said, each once. How many went.
    std::uint64_t Prune();
    // Deletes the files of rows, found below searched, through the window's
    // run and adds the outcome to m_tally; rows met after an interrupt are
    // only counted.
    void DeleteRows(Searched& searched, std::vector<ResultRow>& rows);
    int DeleteSummary();
    // On stderr: the search left folders out.
    void UnreadableMessage();
    // What the run did: on stderr beside the rows, so stdout holds one line
    // (or record) per file; on stdout when only the summary was asked for.
    void Summary(const std::string& text);
    int Finish(int nExit);

    const CliOptions& m_options;
    const bool m_bExact;
    const bool m_bHuman;
    bool m_bLiveOutput;
    CProgressLine m_progress;
    COutput m_out;
    CWake m_wake;

    // --delete --yes needs no list before it starts: each batch is deleted
    // as it arrives, so the walk and the removal overlap on two threads.
    const bool m_bDeleteAsFound = m_options.action == Action::Delete && m_options.bYes;
    DeleteProgress m_deleteProgress;
    bool m_bPaused = false;

    std::vector<Searched> m_searched;    // the last is being searched
    CProjectGroups m_groups;             // of the folder being searched
    std::uint64_t m_nTriedBefore = 0;    // files of the folders deleted before this one
    bool m_bNotStarted = false;          // a folder's search could not start
    std::uint64_t m_nFoldersBefore = 0;  // entered by the searches of earlier folders
    std::uint64_t m_nFound = 0;
    std::uint64_t m_dwTotalSize = 0;
    std::uint64_t m_nUnreadable = 0;

    struct Tally {
        std::uint64_t nDeleted = 0;
        std::uint64_t nFailed = 0;
        std::uint64_t nKept = 0;  // failed, or never tried because of an interrupt
        std::uint64_t freedBytes = 0;
        std::uint64_t keptBytes = 0;
        bool bCancelled = false;
        bool bRefused = false;  // a folder searched was replaced since
    } m_tally;
};

int CCliRun::Execute() {
    // Refused before the search, so nothing is walked for a run that could
    // never delete.
    if (m_options.action == Action::Delete && !m_options.bYes && !IsTerminal(Stream::In)) {
        Message("refusing to delete: no terminal to ask on (add --yes to delete anyway)");
        return kExitUsage;
    }
    std::vector<std::string> folders;
    bool bMissing = false;
    for (const std::string& strGiven : m_options.folders) {
        const std::string strFolder = NativePath(strGiven);
        if (const std::string strWhy = FolderProblem(strFolder); !strWhy.empty()) {
            Message("cannot search " + Escaped(strFolder) + ": " + strWhy);
            bMissing = true;
        } else {
            folders.push_back(strFolder);
        }
    }
    if (folders.empty()) return kExitCannotSearch;
    CatchInterrupt(m_wake);
    const int nExit = SearchAndDelete(FoldersToWalk(folders));
    // The others were searched (and cleaned), but not every folder asked for.
    const bool bAllSearched = !bMissing && !m_bNotStarted;
    return !bAllSearched && (nExit == kExitDone || nExit == kExitNotAllDeleted) ? kExitCannotSearch
                                                                                : nExit;
}

int CCliRun::SearchAndDelete(const RunFolders& folders) {
    const int nSearch = Search(folders);
    if (m_bDeleteAsFound && m_nFound > 0) {
        const int nDelete = DeleteSummary();
        return Finish(nSearch != kExitDone ? nSearch : nDelete);
    }
    if (nSearch != kExitDone) return Finish(nSearch);
    if (m_options.action == Action::List || m_nFound == 0) return Finish(kExitDone);
    if (m_options.action == Action::DryRun) {
        Summary((m_options.bTrash ? "would move to the trash " : "would delete ") +
                Files(m_nFound) + ", " + Amount(m_dwTotalSize, m_bExact));
        return Finish(kExitDone);
    }
    return Finish(Delete());
}

int CCliRun::Search(const RunFolders& folders) {
    CSearchSession session;
    session.SetEndCallback([this] { m_wake.Raise(); });
    // Each folder by its own rules: none is walked as part of another.
    session.Finder().SetRun(folders.marks);
    // Reserved whole: TakeRows holds on to the last.
    m_searched.reserve(folders.walked.size());
    bool bInterrupted = false;
    for (const std::string& strFolder : folders.walked) {
        SearchQuery query = m_options.query;
        query.strRoot = strFolder;
        if (!session.Start(query)) {
            Message("cannot search " + Escaped(strFolder) + ": the search could not start");
            m_bNotStarted = true;
            continue;
        }
        // Like the window, nothing outside the searched folder is ever
        // removed, and a folder replaced after its search start is refused
        // whole.
        Searched& searched = m_searched.emplace_back(strFolder);
        searched.ops = FileOps(searched, session.Finder().RootId());
        m_groups.Reset();
        const bool bGoOn = SearchFolder(session);
        // What an interrupt left is told too, as a listing tells it.
        WriteGroups();
        m_nFoldersBefore += session.Folders();
        m_nUnreadable += session.UnreadableFolders();
        if (!bGoOn) {
            bInterrupted = Interrupted();
            break;
        }
    }
    m_progress.Erase();
    if (m_searched.empty()) return kExitCannotSearch;

    const std::string text =
        m_nFound == 0 ? std::string("no matching files found")
                      : Files(m_nFound) + " found, total " + Amount(m_dwTotalSize, m_bExact);
    if (bInterrupted) {
        Summary("interrupted: " + text);
        UnreadableMessage();
        return kExitInterrupted;
    }
    if (m_bHuman) Summary(text);
    // An output that could not be written is told and counted at the end.
    UnreadableMessage();
    return kExitDone;
}

bool CCliRun::SearchFolder(CSearchSession& session) {
    ResultBatch batch;
    for (;;) {
        m_wake.Wait(kTakeInterval);
        if (Interrupted() || (m_out.Failed() && m_options.action != Action::Delete)) {
            // The worker stops within one entry; what it found so far is
            // still listed and counted.
            session.Stop();
            TakeRows(session, batch);
            return false;
        }
        TakeRows(session, batch);
        if (batch.bEnded) return true;
        std::string text = "searching: " + FormatThousands(m_nFoldersBefore + session.Folders()) +
                           " folders, " + Files(m_nFound) + ", " +
                           FormatThousands(RoundMB(m_dwTotalSize)) + " MB";
        if (m_bDeleteAsFound) text += ", " + FormatThousands(m_tally.nDeleted) + " deleted";
        m_progress.Show(text);
        if (m_bLiveOutput) m_out.Flush();
    }
}

void CCliRun::UnreadableMessage() {
    if (m_nUnreadable == 0) return;
    Message(FormatThousands(m_nUnreadable) + (m_nUnreadable == 1 ? " folder" : " folders") +
            " could not be read; their files are not listed");
}

void CCliRun::TakeRows(CSearchSession& session, ResultBatch& batch) {
    if (!session.Take(batch)) return;
    if (m_options.bByProject) {
        m_groups.Take(batch);
    } else if (!m_options.bSummaryOnly) {
        for (const ResultRow& row : batch.rows) m_out.Row(m_options.format, row);
    }
    m_nFound += batch.rows.size();
    Searched& searched = m_searched.back();
    if (m_bDeleteAsFound) {
        for (const ResultRow& row : batch.rows) m_dwTotalSize += row.size;
        DeleteRows(searched, batch.rows);
    } else if (m_options.action == Action::List) {
        for (const ResultRow& row : batch.rows) m_dwTotalSize += row.size;
    } else {
        m_dwTotalSize += AppendRows(searched.rows, batch.rows);
    }
}

void CCliRun::WriteGroups() {
    if (!m_options.bByProject || m_options.bSummaryOnly) return;
    const std::vector<ProjectGroup>& groups = m_groups.Groups();
    const auto parentOf = [&groups](const ProjectGroup& group) {
        return group.nParent == ProjectGroup::kNoParent ? nullptr : &groups[group.nParent];
    };
    if (m_options.bTree) {
        for (const std::size_t nGroup : m_groups.Tree(GroupOrder::Size, false)) {
            m_out.TreeGroup(m_options.format, groups[nGroup], parentOf(groups[nGroup]));
        }
        return;
    }
    // JSON names each group's parent, so every group a parent can be is
    // there, a project with no files of its own too.
    const bool bJson = m_options.format == Format::Json;
    for (const std::size_t nGroup : m_groups.Ordered(GroupOrder::Size, false, bJson)) {
        m_out.Group(m_options.format, groups[nGroup], parentOf(groups[nGroup]));
    }
}

bool CCliRun::Confirm() {
    m_out.Flush();
    WriteAll(Stream::Err,
             std::to_string(m_nFound) + " files, " + FormatThousands(RoundMB(m_dwTotalSize)) +
                 (m_options.bTrash ? " MB: move to the trash? [y/N] " : " MB: delete? [y/N] "));
    std::string answer;
    const bool bAnswered = ReadAnswer(answer);
    if (!bAnswered) WriteAll(Stream::Err, "\n");
    for (char& c : answer) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return bAnswered && !Interrupted() && (answer == "y" || answer == "yes");
}

DeleteFileOps CCliRun::FileOps(Searched& searched, const FolderId& id) {
    // The window's own removal (read-only files made writable first), or
    // its move to the trash.
    const bool bTrash = m_options.bTrash;
    DeleteFileOps ops =
        SystemFileOps(searched.strRoot, id, bTrash ? DeleteMethod::Trash : DeleteMethod::Remove);
    ops.removeFile = [this, bTrash, &searched, remove = std::move(ops.removeFile)](
                         const ResultRow& row, RemovalFailure& why) {
        const std::string& path = row.strPath;
        if (remove(row, why)) {
            searched.emptied.FileRemoved(path);
            return true;
        }
        m_progress.Erase();
        Message((bTrash ? "cannot move " + Escaped(path) + " to the trash: "
                        : "cannot delete " + Escaped(path) + ": ") +
                FailureText(why));
        return false;
    };
    return ops;
}

int CCliRun::Delete() {
    if (!m_options.bYes && !Confirm()) {
        Message(Interrupted() ? "interrupted: nothing deleted" : "nothing deleted");
        return Interrupted() ? kExitInterrupted : kExitDone;
    }
    for (Searched& searched : m_searched) {
        const std::size_t nRows = searched.rows.size();
        DeleteRows(searched, searched.rows);
        m_nTriedBefore += nRows;
    }
    m_progress.Erase();
    return DeleteSummary();
}

void CCliRun::DeleteRows(Searched& searched, std::vector<ResultRow>& rows) {
    std::uint64_t total = 0;
    for (const ResultRow& row : rows) total += row.size;
    if (Interrupted()) {
        m_tally.nKept += rows.size();
        m_tally.keptBytes += total;
        m_tally.bCancelled = m_tally.bCancelled || !rows.empty();
        return;
    }
    const auto request = PlanDeleteAll(rows.size(), {});
    if (!request) return;
    const DeleteOutcome outcome = RunDelete(rows, *request, searched.ops, m_deleteProgress);
    const bool bTrash = m_options.bTrash;
    if (outcome.bRefused && IsDescriptorShortage(outcome.refusal)) {
        // Not the folder's fault, and tried again with the next rows.
        m_progress.Erase();
        Message("cannot " + std::string(bTrash ? "move " : "delete ") + Files(outcome.nUntried) +
                " below " + Escaped(searched.strRoot) + (bTrash ? " to the trash" : "") +
                " now: " + FailureText(outcome.refusal) + "; they are kept");
        m_tally.nFailed += outcome.nUntried;
    } else if (outcome.bRefused && !searched.bRefusalTold) {
        // Said as it is: nothing more goes, and what went before is counted.
        searched.bRefusalTold = true;
        m_progress.Erase();
        const bool bSome = m_tally.nDeleted > 0;
        Message("refusing to " + std::string(bTrash ? "move anything" : "delete anything") +
                (bSome ? " more" : "") + (bTrash ? " to the trash: " : ": ") +
                Escaped(searched.strRoot) + ": " + FailureText(outcome.refusal) +
                (bSome ? " (" + Files(m_tally.nDeleted) +
                             (bTrash ? " already moved to the trash)" : " already deleted)")
                       : ""));
    }
    m_tally.bRefused =
        m_tally.bRefused || (outcome.bRefused && !IsDescriptorShortage(outcome.refusal));
    m_tally.nDeleted += outcome.nDeleted;
    m_tally.nFailed += outcome.nFailed;
    m_tally.nKept += outcome.nFailed + outcome.nUntried;
    m_tally.freedBytes += outcome.freedBytes;
    m_tally.keptBytes += outcome.keptBytes;
    m_tally.bCancelled = m_tally.bCancelled || outcome.bCancelled;
}

std::uint64_t CCliRun::Prune() {
    std::uint64_t nRemoved = 0;
    for (Searched& searched : m_searched) {
        nRemoved += searched.emptied.Prune(
            searched.ops,
            [this](const DeleteFailure& failure) {
                Message("cannot remove the emptied folder " + Escaped(failure.strPath) + ": " +
                        FailureText(failure.why));
            },
            [] { return !Interrupted(); });
    }
    return nRemoved;
}

int CCliRun::DeleteSummary() {
    std::string text = (m_options.bTrash ? "moved to the trash " : "deleted ") +
                       Files(m_tally.nDeleted) + ", " + Amount(m_tally.freedBytes, m_bExact);
    if (m_tally.nKept > 0) {
        text += "; kept " + Files(m_tally.nKept) + ", " + Amount(m_tally.keptBytes, m_bExact);
    }
    // Not after an interrupt, wherever it landed (the walk of a later
    // folder, the pruning itself): the user asked for the run to end.
    if (m_options.bPruneEmpty && !m_tally.bCancelled && !Interrupted()) {
        const std::uint64_t nFolders = Prune();
        text += "; removed " + FormatThousands(nFolders) +
                (nFolders == 1 ? " emptied folder" : " emptied folders");
    }
    const bool bInterrupted = m_tally.bCancelled || Interrupted();
    Summary(bInterrupted ? "interrupted: " + text : text);
    if (bInterrupted) return kExitInterrupted;
    // A refusal before any file went touched nothing; after, the run did
    // part of its work.
    if (m_tally.bRefused && m_tally.nDeleted == 0) return kExitUsage;
    return m_tally.nFailed > 0 || m_tally.bRefused ? kExitNotAllDeleted : kExitDone;
}

void CCliRun::Summary(const std::string& text) {
    if (m_options.bSummaryOnly) {
        m_out.Text(text);
        m_out.Text("\n");
        m_out.Flush();
    } else {
        // After the rows it sums up, wherever the two streams meet.
        m_out.Flush();
        Message(text);
    }
}

int CCliRun::Finish(int nExit) {
    if (!m_out.Flush() && !m_out.Closed()) {
        Message("cannot write the output: " + m_out.Error());
        if (nExit == kExitDone) return kExitOutputFailed;
    }
    // A clean-up that could not see every folder did not clean them all.
    if (nExit == kExitDone && m_nUnreadable > 0 && m_options.action == Action::Delete) {
        return kExitNotAllDeleted;
    }
    return nExit;
}

}  // namespace

int Run(const CliOptions& options) {
    CCliRun run(options);
    return run.Execute();
}

}  // namespace cli
