// The command line of kesmora-cli: what the user asked for, as the typed
// search the window's start makes too, so that both front ends search alike.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/Output.h"
#include "search/SearchParams.h"

namespace cli {

// The exit status; --help and the man page give the same table.
enum ExitCode {
    kExitDone = 0,
    kExitNotAllDeleted = 1,
    kExitUsage = 2,          // bad usage, or a deletion refused
    kExitCannotSearch = 3,   // the folder is missing, not a folder, or unreadable
    kExitOutputFailed = 4,   // stdout could not be written (a closed pipe is no failure)
    kExitInterrupted = 130,  // the shells' 128 + SIGINT
};

// What happens to the files found.
enum class Action { List, DryRun, Delete };

struct CliOptions {
    // Its strRoot is the first of folders.
    SearchQuery query;
    // The folders to search, in the order given: at least one.
    std::vector<std::string> folders;
    Format format = Format::Human;
    bool bSummaryOnly = false;
    // One line per project (or plain folder) with its files' totals,
    // instead of one per file.
    bool bByProject = false;
    // With bByProject: the groups indented under the groups that hold them,
    // with everything below each.
    bool bTree = false;
    Action action = Action::List;
    // Delete (and its dry run) moves the files to the desktop's trash.
    bool bTrash = false;
    bool bYes = false;
    // After the deletion, the folders it emptied go too.
    bool bPruneEmpty = false;
};

// Parses the arguments (UTF-8, args[0] the program). Returns an exit code
// when the program should end now (--help and --version print and give 0;
// bad usage prints one line on stderr and gives kExitUsage); otherwise
// fills options.
std::optional<int> ParseCommandLine(const std::vector<std::string>& args, CliOptions& options);

}  // namespace cli
