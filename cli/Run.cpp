// The search, the listing and the deletion of one command-line run.
#include "cli/Run.h"

#include <chrono>
#include <string>
#include <vector>

#include "cli/DeletionPause.h"
#include "cli/Output.h"
#include "cli/Platform.h"
#include "finder/FileUtil.h"
#include "search/DeleteRun.h"
#include "search/SearchSession.h"
#include "search/SizeFormat.h"

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

    void Show(const std::string& text) {
        if (!m_bOn) return;
        const auto now = Clock::now();
        if (m_bShownOnce && now - m_last < kProgressInterval) return;
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
        m_deleteProgress = [this](std::size_t nDone, std::size_t nCount) {
            if (!m_bPaused) {
                m_bPaused = true;
                PauseAfterFirstDeletion(m_wake);
            }
            if (Interrupted()) return false;
            if (!m_bDeleteAsFound) {
                m_progress.Show((m_options.bTrash ? "moving to the trash: " : "deleting: ") +
                                FormatThousands(nDone) + " of " + Files(nCount));
            }
            return true;
        };
    }

    int Execute();

private:
    int Search(const SearchQuery& query);
    void TakeRows(CSearchSession& session, ResultBatch& batch);
    int Delete();
    bool Confirm();
    DeleteFileOps FileOps(const std::string& strRoot, const FolderId& searched);
    // Deletes the files of rows through the window's run and adds the
    // outcome to m_tally; rows met after an interrupt are only counted.
    void DeleteRows(std::vector<ResultRow>& rows);
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
    DeleteFileOps m_ops;
    DeleteProgress m_deleteProgress;
    bool m_bPaused = false;

    std::vector<ResultRow> m_rows;
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
        bool bRefused = false;  // the folder searched was replaced since
    } m_tally;
    std::string m_strRoot;
};

int CCliRun::Execute() {
    SearchQuery query = m_options.query;
    query.strRoot = NativePath(query.strRoot);
    // Refused before the search, so nothing is walked for a run that could
    // never delete.
    if (m_options.action == Action::Delete && !m_options.bYes && !IsTerminal(Stream::In)) {
        Message("refusing to delete: no terminal to ask on (add --yes to delete anyway)");
        return kExitUsage;
    }
    if (const std::string strWhy = FolderProblem(query.strRoot); !strWhy.empty()) {
        Message("cannot search " + Escaped(query.strRoot) + ": " + strWhy);
        return kExitCannotSearch;
    }
    CatchInterrupt(m_wake);
    const int nSearch = Search(query);
    if (m_bDeleteAsFound && m_nFound > 0) {
        const int nDelete = DeleteSummary();
        return Finish(nSearch != kExitDone ? nSearch : nDelete);
    }
    if (nSearch != kExitDone) return Finish(nSearch);
    if (m_options.action == Action::List || m_rows.empty()) return Finish(kExitDone);
    if (m_options.action == Action::DryRun) {
        Summary((m_options.bTrash ? "would move to the trash " : "would delete ") +
                Files(m_rows.size()) + ", " + Amount(m_dwTotalSize, m_bExact));
        return Finish(kExitDone);
    }
    return Finish(Delete());
}

int CCliRun::Search(const SearchQuery& query) {
    CSearchSession session;
    session.SetEndCallback([this] { m_wake.Raise(); });
    if (!session.Start(query)) {
        Message("cannot search " + Escaped(query.strRoot) + ": the search could not start");
        return kExitCannotSearch;
    }
    // Like the window, nothing outside the searched folder is ever removed,
    // and a folder replaced after the search start is refused whole.
    m_ops = FileOps(query.strRoot, session.Finder().RootId());
    m_strRoot = query.strRoot;
    ResultBatch batch;
    bool bInterrupted = false;
    for (;;) {
        m_wake.Wait(kTakeInterval);
        if (Interrupted() || (m_out.Failed() && m_options.action != Action::Delete)) {
            // The worker stops within one entry; what it found so far is
            // still listed and counted.
            bInterrupted = Interrupted();
            session.Stop();
            TakeRows(session, batch);
            break;
        }
        TakeRows(session, batch);
        if (batch.bEnded) break;
        std::string text = "searching: " + FormatThousands(session.Folders()) + " folders, " +
                           Files(m_nFound) + ", " + FormatThousands(RoundMB(m_dwTotalSize)) + " MB";
        if (m_bDeleteAsFound) text += ", " + FormatThousands(m_tally.nDeleted) + " deleted";
        m_progress.Show(text);
        if (m_bLiveOutput) m_out.Flush();
    }
    m_progress.Erase();
    m_nUnreadable = session.UnreadableFolders();

    std::string text = m_nFound == 0
                           ? std::string("no matching files found")
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

void CCliRun::UnreadableMessage() {
    if (m_nUnreadable == 0) return;
    Message(FormatThousands(m_nUnreadable) + (m_nUnreadable == 1 ? " folder" : " folders") +
            " could not be read; their files are not listed");
}

void CCliRun::TakeRows(CSearchSession& session, ResultBatch& batch) {
    if (!session.Take(batch)) return;
    for (const ResultRow& row : batch.rows) {
        if (!m_options.bSummaryOnly) m_out.Row(m_options.format, row);
    }
    m_nFound += batch.rows.size();
    if (m_bDeleteAsFound) {
        for (const ResultRow& row : batch.rows) m_dwTotalSize += row.size;
        DeleteRows(batch.rows);
    } else if (m_options.action == Action::List) {
        for (const ResultRow& row : batch.rows) m_dwTotalSize += row.size;
    } else {
        m_dwTotalSize += AppendRows(m_rows, batch.rows);
    }
}

bool CCliRun::Confirm() {
    m_out.Flush();
    WriteAll(Stream::Err,
             std::to_string(m_rows.size()) + " files, " + FormatThousands(RoundMB(m_dwTotalSize)) +
                 (m_options.bTrash ? " MB: move to the trash? [y/N] " : " MB: delete? [y/N] "));
    std::string answer;
    const bool bAnswered = ReadAnswer(answer);
    if (!bAnswered) WriteAll(Stream::Err, "\n");
    for (char& c : answer) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return bAnswered && !Interrupted() && (answer == "y" || answer == "yes");
}

DeleteFileOps CCliRun::FileOps(const std::string& strRoot, const FolderId& searched) {
    // The window's own removal (read-only files made writable first), or
    // its move to the trash.
    const bool bTrash = m_options.bTrash;
    DeleteFileOps ops =
        SystemFileOps(strRoot, searched, bTrash ? DeleteMethod::Trash : DeleteMethod::Remove);
    ops.removeFile = [this, bTrash, remove = std::move(ops.removeFile)](const std::string& path,
                                                                        std::string& reason) {
        if (remove(path, reason)) return true;
        m_progress.Erase();
        Message((bTrash ? "cannot move " + Escaped(path) + " to the trash: "
                        : "cannot delete " + Escaped(path) + ": ") +
                reason);
        return false;
    };
    return ops;
}

int CCliRun::Delete() {
    if (!m_options.bYes && !Confirm()) {
        Message(Interrupted() ? "interrupted: nothing deleted" : "nothing deleted");
        return Interrupted() ? kExitInterrupted : kExitDone;
    }
    DeleteRows(m_rows);
    m_progress.Erase();
    return DeleteSummary();
}

void CCliRun::DeleteRows(std::vector<ResultRow>& rows) {
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
    const DeleteOutcome outcome = RunDelete(rows, *request, total, m_ops, m_deleteProgress);
    if (outcome.bRefused && !m_tally.bRefused) {
        m_progress.Erase();
        Message("refusing to " +
                std::string(m_options.bTrash ? "move anything to the trash" : "delete anything") +
                ": " + Escaped(m_strRoot) + ": " + outcome.strRefusal);
    }
    m_tally.bRefused = m_tally.bRefused || outcome.bRefused;
    m_tally.nDeleted += outcome.nDeleted;
    m_tally.nFailed += outcome.nFailed;
    m_tally.nKept += outcome.nFailed + outcome.nUntried;
    m_tally.freedBytes += outcome.freedBytes;
    m_tally.keptBytes += outcome.keptBytes;
    m_tally.bCancelled = m_tally.bCancelled || outcome.bCancelled;
}

int CCliRun::DeleteSummary() {
    std::string text = (m_options.bTrash ? "moved to the trash " : "deleted ") +
                       Files(m_tally.nDeleted) + ", " + Amount(m_tally.freedBytes, m_bExact);
    if (m_tally.nKept > 0) {
        text += "; kept " + Files(m_tally.nKept) + ", " + Amount(m_tally.keptBytes, m_bExact);
    }
    Summary(m_tally.bCancelled ? "interrupted: " + text : text);
    if (m_tally.bCancelled) return kExitInterrupted;
    if (m_tally.bRefused) return kExitUsage;
    return m_tally.nFailed > 0 ? kExitNotAllDeleted : kExitDone;
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
