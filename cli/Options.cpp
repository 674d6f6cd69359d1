// Command-line parsing (CLI11) and the read-only look at the window's
// saved settings.
#include "cli/Options.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <iterator>
#include <sstream>
#include <string_view>
#include <vector>

#include "cli/Platform.h"
#include "search/DisplayText.h"
#include "search/SavedSettings.h"
#include "tavoBasis/Registry.h"
#include "walk/FileUtil.h"

#ifndef KESMORA_VERSION
#define KESMORA_VERSION "unknown"
#endif

namespace cli {

namespace {

constexpr int kMaxPeriod = 99;

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string KindNames() {
    std::string names;
    for (std::size_t n = 0; n < kFileKindCount; ++n) {
        names += FileKindName(static_cast<FileKind>(n));
        names += ", ";
    }
    return names + "classic, newer or all";
}

// "obj,PDB,*.res" -> the kinds; false on an unknown name.
bool ParseTypes(const std::string& list, FileKinds& kinds, std::string& strBad) {
    kinds = FileKinds();
    std::stringstream stream(list);
    std::string item;
    bool bAny = false;
    while (std::getline(stream, item, ',')) {
        item = Lower(item);
        if (item.rfind("*.", 0) == 0) item.erase(0, 2);
        if (item.rfind('.', 0) == 0) item.erase(0, 1);
        // The groups: the eight, the seven newer ones, all fifteen.
        const FileKinds groups[] = {FileKinds::Classic(), FileKinds::Newer(), FileKinds::All()};
        const std::string_view groupNames[] = {"classic", "newer", "all"};
        const auto group = std::find(std::begin(groupNames), std::end(groupNames), item);
        if (group != std::end(groupNames)) {
            kinds = FileKinds::FromBits(kinds.Bits() | groups[group - groupNames].Bits());
            bAny = true;
            continue;
        }
        std::size_t n = 0;
        while (n < kFileKindCount && item != FileKindName(static_cast<FileKind>(n))) ++n;
        if (n == kFileKindCount) {
            strBad = item;
            return false;
        }
        kinds.Set(static_cast<FileKind>(n));
        bAny = true;
    }
    if (!bAny) strBad = list;
    return bAny;
}

struct Period {
    int nCount = 0;
    AgeUnit unit = AgeUnit::Days;
};

// "30", "30d", "30days", "3m", "3 months": a bare number counts days.
std::optional<Period> ParsePeriod(const std::string& text) {
    std::size_t i = 0;
    Period period;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
        period.nCount = period.nCount * 10 + (text[i] - '0');
        if (period.nCount > kMaxPeriod) return std::nullopt;
        ++i;
    }
    if (i == 0 || period.nCount < 1) return std::nullopt;
    std::string unit = Lower(text.substr(i));
    unit.erase(0, unit.find_first_not_of(' '));
    if (unit.empty() || unit == "d" || unit == "day" || unit == "days") return period;
    if (unit == "m" || unit == "month" || unit == "months") {
        period.unit = AgeUnit::Months;
        return period;
    }
    return std::nullopt;
}

std::optional<int> UsageError(const std::string& message) {
    std::string line = "kesmora-cli: " + message;
    std::replace(line.begin(), line.end(), '\n', ' ');
    WriteAll(Stream::Err, line + " (see --help)\n");
    return kExitUsage;
}

const char* const kFooter = R"(Output, one line per file in the order found:
  default    path, size in KB as the window shows it, created, modified,
             separated by TABs.
  --bytes    the same with exact sizes in bytes.
  -0         each path's exact bytes followed by a NUL (for xargs -0).
  --json     JSON Lines: {"path", "size", "created", "modified"} with the
             times as ISO 8601 local time to the second, with the UTC
             offset in effect at that moment (2026-11-01T01:30:17-04:00).
With --by-project, one line per group of files instead, largest first:
  default    total size in KB, number of files, newest modification time,
             path of the group's folder, separated by TABs (--bytes: the
             size in bytes).
  --json     {"path", "kind", "files", "size", "modified", "parent",
             "total_files", "total_size"}: "kind" is "project" or "folder",
             "size" in bytes; "files", "size" and "modified" count the
             group's own files, "total_files" and "total_size" those of the
             groups below it too; "parent" is the "path" of the nearest
             group that holds it, or null. A project with no files of its
             own but groups below it is listed with 0 files and "modified"
             null.
With --tree, the groups as a tree instead: each line gives a group's total
with everything below it (size, files, newest time), then its folder,
indented two spaces a level under the nearest group that holds it and
named from there; largest first at each level.
A file belongs to the nearest folder above it that holds a project or
solution file (*.sln *.slnx *.vcxproj *.vcproj *.dsp *.dsw), FOLDER
included; a file with none above it to the first folder below FOLDER on
its path, or to FOLDER itself.

Paths that are not valid UTF-8 are never lost: the default formats escape
them (\\ for a backslash, except on Windows where it separates names;
\n \t \r; \xHH for control bytes, the C1 and bidirectional controls and
bytes that are not UTF-8), -0 writes them as they are, and --json gives
"path" with U+FFFD for the bad bytes plus "path_base64" holding the exact
bytes.

Only the files go to stdout; the summary, the progress and the prompt go
to stderr (with --summary the summary is the output). A listing whose
reader has gone (a pipe into head) ends at once and silently; a deletion
always runs to its end and gives its summary on stderr.

Exit status:
  0    done
  1    some files could not be deleted (or a FOLDER refused after files
       of another had gone)
  2    bad usage, or a deletion refused with no file touched (no terminal
       to ask on, or FOLDER moved or replaced after the search)
  3    a folder cannot be searched: missing, not a folder, or unreadable
       (the other folders given are still searched)
  4    the output could not be written (other than a closed pipe)
  130  interrupted by Ctrl+C
)";

}  // namespace

std::optional<int> ParseCommandLine(const std::vector<std::string>& args, CliOptions& options) {
    CLI::App app{
        "Finds, lists, totals and deletes the intermediate files of Visual C++ builds\n"
        "(*.idb *.obj *.pdb *.sbr *.ilk *.pch *.res *.bsc) below FOLDER, and on\n"
        "request what newer Visual Studio versions leave (IDE caches, build records).",
        "kesmora-cli"};
    app.set_version_flag("--version", "kesmora-cli " KESMORA_VERSION);
    app.footer(kFooter);
    app.get_formatter()->column_width(26);

    std::vector<std::string> folderArgs, excluded;
    std::string strTypes, strFolders, strWithin, strOlder;
    bool bNoSub = false, bModified = false, bCreated = false, bSaved = false;
    bool bBytes = false, bNul = false, bJson = false, bDelete = false, bDryRun = false;
    app.add_option("FOLDER", folderArgs,
                   "folders to search, one after another as one run (default: the\n"
                   "current folder); one given twice is searched once, one inside\n"
                   "another as a folder of its own");
    app.add_option("--types", strTypes,
                   "file types to look for, comma-separated: bsc idb ilk obj pch pdb\n"
                   "res sbr, the newer ipch vcdb sdf ncb iobj ipdb tlog, or the groups\n"
                   "classic (the eight; default), newer (the seven) and all")
        ->type_name("LIST");
    app.add_option("--folders", strFolders,
                   "in which subfolders files are looked for: all, debug-release (default),\n"
                   "debug or release (folder names Debug/Release, exact case)")
        ->type_name("RULE");
    app.add_flag("--no-subfolders", bNoSub, "search FOLDER's own files only");
    app.add_option("--exclude", excluded,
                   "never enter a subfolder with this name, at any depth (repeatable;\n"
                   "* and ? as in the shell): --exclude .git --exclude node_modules")
        ->type_name("NAME")
        ->expected(1)
        ->allow_extra_args(false)
        ->take_all();
    auto* pWithin = app.add_option("--within", strWithin,
                                   "only files changed (or created) within the last N days, or\n"
                                   "months with 'm' (30 days each); N is 1 to 99")
                        ->type_name("N[d|m]");
    auto* pOlder = app.add_option("--older", strOlder, "only files older than N days or months")
                       ->type_name("N[d|m]");
    pWithin->excludes(pOlder);
    auto* pModified = app.add_flag("--modified", bModified,
                                   "the period applies to the modification time (default)");
    auto* pCreated = app.add_flag("--created", bCreated, "the period applies to the creation time");
    pModified->excludes(pCreated);
    app.add_flag("--saved", bSaved,
                 "take the folder and every option from the window's saved settings\n"
                 "(read only), moving to the trash and the folders left out included;\n"
                 "options given here override them, --exclude adds to them. Refused\n"
                 "when the window has saved nothing");
    auto* pBytes = app.add_flag("--bytes", bBytes, "exact sizes in bytes");
    auto* pNul = app.add_flag("-0,--print0", bNul, "NUL-separated paths only");
    auto* pJson = app.add_flag("--json", bJson, "JSON Lines");
    auto* pSummary = app.add_flag("-s,--summary", options.bSummaryOnly,
                                  "print only the closing summary (on stdout)");
    pNul->excludes(pBytes)->excludes(pJson)->excludes(pSummary);
    pJson->excludes(pBytes)->excludes(pSummary);
    auto* pByProject =
        app.add_flag("--by-project", options.bByProject,
                     "totals per project folder (or first folder below FOLDER), largest\n"
                     "first, instead of one line per file");
    auto* pTree = app.add_flag("--tree", options.bTree,
                               "--by-project as a tree: each group under the one that holds it,\n"
                               "with the totals of everything below it (implies --by-project)");
    pTree->excludes(pJson);
    app.add_flag("--delete", bDelete,
                 "delete the files found (read-only ones too) after asking on the terminal");
    app.add_flag("--trash", options.bTrash,
                 "with --delete: move the files to the desktop's trash (the Recycle Bin\non "
                 "Windows) instead");
    app.add_flag("--prune-empty", options.bPruneEmpty,
                 "with --delete: then remove each folder the deletion emptied, and its\n"
                 "parents emptied so, never FOLDER itself nor a folder empty before");
    app.add_flag("-y,--yes", options.bYes, "delete without asking");
    app.add_flag("-n,--dry-run", bDryRun, "show what --delete would delete; touch nothing");

    try {
        std::vector<const char*> argv;
        for (const std::string& arg : args) argv.push_back(arg.c_str());
        app.parse(static_cast<int>(argv.size()), argv.data());
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() != 0) return UsageError(e.what());
        // --help and --version, through the console's own text output.
        std::ostringstream out, err;
        const int nExit = app.exit(e, out, err);
        WriteAll(Stream::Out, out.str());
        return nExit;
    }

    // What the command line gives, checked before anything is read.
    FileKinds kinds = FileKinds::Classic();
    std::string strBad;
    if (app.count("--types") && !ParseTypes(strTypes, kinds, strBad)) {
        return UsageError("--types: unknown file type '" + strBad + "' (use " + KindNames() + ")");
    }
    std::optional<FolderRule> folders;
    if (app.count("--folders")) {
        static const std::pair<const char*, FolderRule> kRules[] = {
            {"all", FolderRule::All},
            {"debug-release", FolderRule::DebugAndRelease},
            {"debug", FolderRule::Debug},
            {"release", FolderRule::Release},
        };
        const std::string rule = Lower(strFolders);
        const auto it = std::find_if(std::begin(kRules), std::end(kRules),
                                     [&](const auto& r) { return rule == r.first; });
        if (it == std::end(kRules)) {
            return UsageError("--folders: unknown rule '" + strFolders +
                              "' (use all, debug-release, debug or release)");
        }
        folders = it->second;
    }
    const bool bPeriod = pWithin->count() || pOlder->count();
    const bool bOlder = pOlder->count() > 0;
    std::optional<Period> period;
    if (bPeriod) {
        period = ParsePeriod(bOlder ? strOlder : strWithin);
        if (!period) {
            return UsageError(std::string(bOlder ? "--older" : "--within") +
                              ": the period must be 1 to 99 days (30, 30d) or months (3m)");
        }
    }

    SearchQuery& query = options.query;
    query = SearchQuery();
    query.strRoot = ".";
    bool bSavedTrash = false, bSavedPrune = false;
    if (bSaved) {
        CRegistry registry;
        const SavedSettings saved = LoadSavedSettings(registry);
        // Never a folder of our own choosing: the home folder the window
        // would show could be cleaned whole by --delete --yes.
        if (!saved.bStored) {
            WriteAll(Stream::Err,
                     "kesmora-cli: --saved: the window has saved no settings for this user\n");
            return kExitUsage;
        }
        if (saved.history.empty() && folderArgs.empty()) {
            WriteAll(Stream::Err,
                     "kesmora-cli: --saved: the window has saved no folder searched; give "
                     "FOLDER\n");
            return kExitUsage;
        }
        SearchOptions options = saved.options;
        // A saved choice that the command line replaces cannot make the
        // saved settings unusable.
        if (app.count("--types")) options.bIdb = true;
        if (folders) options.nRadioFolder = 0;
        if (bPeriod) options.nRadioTime = 1;
        const auto savedQuery = MakeSearchQuery(
            saved.history.empty() ? folderArgs.front() : saved.history.front(), options);
        if (!savedQuery) {
            WriteAll(Stream::Err,
                     "kesmora-cli: the saved settings choose no search (no file type, folder "
                     "rule or period)\n");
            return kExitUsage;
        }
        query = *savedQuery;
        bSavedTrash = saved.bUseTrash;
        bSavedPrune = saved.bRemoveEmptyFolders;
    }
    if (!folderArgs.empty()) query.strRoot = folderArgs.front();
    options.folders = folderArgs.empty() ? std::vector<std::string>{query.strRoot} : folderArgs;
    for (const std::string& name : excluded) {
        // A path would never match a name: say so rather than skip nothing.
        if (!IsFolderName(name)) {
            return UsageError("--exclude: '" + name +
                              "' is not a folder name (give the name alone, such as .git)");
        }
    }
    // The saved names stay left out; those given here are added.
    for (const std::string& name : query.excludedFolders) {
        if (!IsFolderName(name)) {
            WriteAll(Stream::Err, "kesmora-cli: --saved: the saved folder name '" + name +
                                      "' to leave out is not a folder name\n");
            return kExitUsage;
        }
    }
    query.excludedFolders.insert(query.excludedFolders.end(), excluded.begin(), excluded.end());
    if (app.count("--types")) query.kinds = kinds;
    if (folders) query.folders = *folders;
    if (bNoSub) query.bSubfolders = false;
    if (period) {
        query.age = bOlder ? AgeFilter::Older : AgeFilter::Within;
        query.nPeriod = period->nCount;
        query.unit = period->unit;
        // The saved file time stays unless given below.
    }
    if (bModified || bCreated) {
        if (query.age == AgeFilter::None) {
            return UsageError("--modified and --created need --within or --older");
        }
        query.time = bCreated ? FileTime::Created : FileTime::Modified;
    }

    // Named as the user gave it.
    const std::string strGroups = pByProject->count() ? "--by-project" : "--tree";
    options.bByProject = options.bByProject || options.bTree;
    if (options.bByProject && bNul) {
        return UsageError(strGroups + " writes totals, not paths: -0 does not go with it");
    }
    if (options.bByProject && (bDelete || bDryRun)) {
        return UsageError(strGroups +
                          " only looks: files are deleted one by one, after looking at them "
                          "(drop " +
                          strGroups + ")");
    }
    if (bBytes) options.format = Format::HumanBytes;
    if (bNul) options.format = Format::Nul;
    if (bJson) options.format = Format::Json;
    if (bDryRun) {
        options.action = Action::DryRun;
    } else if (bDelete) {
        options.action = Action::Delete;
    } else if (options.bYes) {
        return UsageError("--yes only makes sense with --delete");
    }
    if (options.bTrash && options.action == Action::List) {
        return UsageError("--trash only makes sense with --delete");
    }
    if (options.bPruneEmpty && options.action == Action::List) {
        return UsageError("--prune-empty only makes sense with --delete");
    }
    options.bTrash = options.bTrash || bSavedTrash;
    options.bPruneEmpty = options.bPruneEmpty || bSavedPrune;
    return std::nullopt;
}

}  // namespace cli
