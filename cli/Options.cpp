// Command-line parsing (CLI11) and the read-only look at the window's
// saved settings.
#include "cli/Options.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <sstream>
#include <vector>

#include "cli/Platform.h"
#include "finder/FileUtil.h"
#include "search/DisplayText.h"
#include "search/SettingsKeys.h"

#ifndef KESMORA_VERSION
#define KESMORA_VERSION "unknown"
#endif

namespace cli {

namespace {

constexpr int kMaxPeriod = 99;

// A stored radio value the window's group cannot show leaves none checked.
int RadioOrNone(int nValue, int nButtons) { return nValue >= 0 && nValue < nButtons ? nValue : -1; }

// A stored list position the window's combo cannot show leaves its text
// empty, which then matches no item and counts as position 0.
int PositionOrFirst(int nValue, int nItems) { return nValue >= 0 && nValue < nItems ? nValue : 0; }

struct TypeName {
    const char* pszName;
    bool SearchOptions::*pFlag;
};
constexpr TypeName kTypes[] = {
    {"bsc", &SearchOptions::bBsc}, {"idb", &SearchOptions::bIdb}, {"ilk", &SearchOptions::bIlk},
    {"obj", &SearchOptions::bObj}, {"pch", &SearchOptions::bPch}, {"pdb", &SearchOptions::bPdb},
    {"res", &SearchOptions::bRes}, {"sbr", &SearchOptions::bSbr},
};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

void SetAllTypes(SearchOptions& options, bool bOn) {
    for (const TypeName& type : kTypes) options.*type.pFlag = bOn;
}

// "obj,PDB,*.res" -> the type flags; false on an unknown name.
bool ParseTypes(const std::string& list, SearchOptions& options, std::string& strBad) {
    SetAllTypes(options, false);
    std::stringstream stream(list);
    std::string item;
    bool bAny = false;
    while (std::getline(stream, item, ',')) {
        item = Lower(item);
        if (item.rfind("*.", 0) == 0) item.erase(0, 2);
        if (item.rfind('.', 0) == 0) item.erase(0, 1);
        if (item == "all") {
            SetAllTypes(options, true);
            bAny = true;
            continue;
        }
        const auto it = std::find_if(std::begin(kTypes), std::end(kTypes),
                                     [&](const TypeName& t) { return item == t.pszName; });
        if (it == std::end(kTypes)) {
            strBad = item;
            return false;
        }
        options.*it->pFlag = true;
        bAny = true;
    }
    if (!bAny) strBad = list;
    return bAny;
}

struct Period {
    int nCount = 0;
    bool bMonths = false;
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
        period.bMonths = true;
        return period;
    }
    return std::nullopt;
}

// The window's unit list: 0 months older, 1 months within, 2 days older,
// 3 days within.
int UnitIndex(const Period& period, bool bOlder) {
    return (period.bMonths ? 0 : 2) + (bOlder ? 0 : 1);
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
             times as ISO 8601 local time with offset (to the minute).
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
  1    some files could not be deleted
  2    bad usage, or a deletion refused
  3    the folder cannot be searched: missing, not a folder, or unreadable
  4    the output could not be written (other than a closed pipe)
  130  interrupted by Ctrl+C
)";

}  // namespace

void ReadSavedSettings(std::string& strFolder, SearchOptions& options) {
    using settings::PointAt;
    using settings::ReadInt;
    CRegistry registry;
    PointAt(registry, settings::kHistory);
    strFolder.clear();
    const int nHistory = ReadInt(registry, "Count", 0);
    for (int i = 0; i < nHistory && strFolder.empty(); ++i) {
        std::string strEntry;
        registry.ReadString("History" + std::to_string(i), strEntry, std::string(),
                            RegRoot::CurrentUser);
        // The window skips what its text conversion cannot show.
        if (IsValidUtf8(strEntry)) strFolder = strEntry;
    }
    if (strFolder.empty()) strFolder = DefaultFolder();

    PointAt(registry, settings::kControls);
    options.bFindSubFolder = ReadInt(registry, "FindSubFolder", 1) != 0;
    options.nRadioFolder = RadioOrNone(ReadInt(registry, "RadioFolder", 1), 4);
    options.bBsc = ReadInt(registry, "Bsc", 1) != 0;
    options.bIdb = ReadInt(registry, "Idb", 1) != 0;
    options.bIlk = ReadInt(registry, "Ilk", 1) != 0;
    options.bObj = ReadInt(registry, "Obj", 1) != 0;
    options.bPch = ReadInt(registry, "Pch", 1) != 0;
    options.bPdb = ReadInt(registry, "Pdb", 1) != 0;
    options.bRes = ReadInt(registry, "Res", 1) != 0;
    options.bSbr = ReadInt(registry, "Sbr", 1) != 0;
    options.nRadioTime = RadioOrNone(ReadInt(registry, "RadioTime", 0), 2);
    const int nCount = ReadInt(registry, "Count", 1);
    options.nCount = nCount < 1 || nCount > kMaxPeriod ? 1 : nCount;
    options.nUnitIndex = PositionOrFirst(ReadInt(registry, "ComboDayMonth", 0), 4);
    options.nFileTimeIndex = PositionOrFirst(ReadInt(registry, "ComboFile", 0), 2);
}

std::optional<int> ParseCommandLine(const std::vector<std::string>& args, CliOptions& options) {
    CLI::App app{
        "Finds, lists, totals and deletes the intermediate files of Visual C++ builds\n"
        "(*.idb *.obj *.pdb *.sbr *.ilk *.pch *.res *.bsc) below FOLDER.",
        "kesmora-cli"};
    app.set_version_flag("--version", "kesmora-cli " KESMORA_VERSION);
    app.footer(kFooter);
    app.get_formatter()->column_width(26);

    std::string strFolder, strTypes, strFolders, strWithin, strOlder;
    bool bNoSub = false, bModified = false, bCreated = false, bSaved = false;
    bool bBytes = false, bNul = false, bJson = false, bDelete = false, bDryRun = false;
    app.add_option("FOLDER", strFolder, "folder to search (default: the current folder)");
    app.add_option("--types", strTypes,
                   "file types to look for, comma-separated (default: all eight)")
        ->type_name("LIST");
    app.add_option("--folders", strFolders,
                   "in which subfolders files are looked for: all, debug-release (default),\n"
                   "debug or release (folder names Debug/Release, exact case)")
        ->type_name("RULE");
    app.add_flag("--no-subfolders", bNoSub, "search FOLDER's own files only");
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
                 "(read only); options given here override them");
    auto* pBytes = app.add_flag("--bytes", bBytes, "exact sizes in bytes");
    auto* pNul = app.add_flag("-0,--print0", bNul, "NUL-separated paths only");
    auto* pJson = app.add_flag("--json", bJson, "JSON Lines");
    auto* pSummary = app.add_flag("-s,--summary", options.bSummaryOnly,
                                  "print only the closing summary (on stdout)");
    pNul->excludes(pBytes)->excludes(pJson)->excludes(pSummary);
    pJson->excludes(pBytes)->excludes(pSummary);
    app.add_flag("--delete", bDelete,
                 "delete the files found (read-only ones too) after asking on the terminal");
    app.add_flag("--trash", options.bTrash,
                 "with --delete: move the files to the desktop's trash instead");
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

    SearchOptions& search = options.search;
    SetAllTypes(search, true);
    search.nRadioFolder = 1;
    if (bSaved) ReadSavedSettings(options.strFolder, search);
    if (app.count("FOLDER")) {
        options.strFolder = strFolder;
    } else if (!bSaved) {
        options.strFolder = ".";
    }

    std::string strBad;
    if (app.count("--types") && !ParseTypes(strTypes, search, strBad)) {
        return UsageError("--types: unknown file type '" + strBad +
                          "' (use idb, ilk, obj, pch, pdb, res, sbr, bsc or all)");
    }
    if (app.count("--folders")) {
        static const char* const kRules[] = {"all", "debug-release", "debug", "release"};
        const std::string rule = Lower(strFolders);
        const auto it = std::find(std::begin(kRules), std::end(kRules), rule);
        if (it == std::end(kRules)) {
            return UsageError("--folders: unknown rule '" + strFolders +
                              "' (use all, debug-release, debug or release)");
        }
        search.nRadioFolder = static_cast<int>(it - std::begin(kRules));
    }
    if (bNoSub) search.bFindSubFolder = false;
    if (pWithin->count() || pOlder->count()) {
        const bool bOlder = pOlder->count() > 0;
        const auto period = ParsePeriod(bOlder ? strOlder : strWithin);
        if (!period) {
            return UsageError(std::string(bOlder ? "--older" : "--within") +
                              ": the period must be 1 to 99 days (30, 30d) or months (3m)");
        }
        search.nRadioTime = 1;
        search.nCount = period->nCount;
        search.nUnitIndex = UnitIndex(*period, bOlder);
    }
    if (bModified || bCreated) {
        if (search.nRadioTime != 1) {
            return UsageError("--modified and --created need --within or --older");
        }
        search.nFileTimeIndex = bCreated ? 1 : 0;
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
    return std::nullopt;
}

}  // namespace cli
