// The command line's words for a removal's failure, with the system's own
// text for the error that came with it.
#include "cli/FailureText.h"

#include "cli/Platform.h"

namespace cli {

std::string FailureText(const RemovalFailure& why) {
    // Only the kinds that come with an error ask the system for its text.
    const auto systemText = [&why] { return SystemErrorText(static_cast<int>(why.nError)); };
    switch (why.kind) {
        case RemovalFailure::kNone:
            return std::string();
        case RemovalFailure::kSystem:
            return systemText();
        case RemovalFailure::kRootNotOpen:
            return "the folder searched is not open";
        case RemovalFailure::kOutsideRoot:
            return "it does not lie below the folder searched";
        case RemovalFailure::kNotAPath:
            return "not a possible path";
        case RemovalFailure::kRootReplaced:
            return "it is no longer the folder that was searched (moved or replaced since)";
        case RemovalFailure::kPathNotFolder:
            return "a folder on its path is now a link or no folder";
        case RemovalFailure::kNotFolder:
            return "it is now a link or no folder";
        case RemovalFailure::kFolder:
            return "it is a folder";
        case RemovalFailure::kReadOnly:
            return "it is read-only";
        case RemovalFailure::kNameStillThere:
            return "its name is still there (" +
                   (why.nError != 0 ? systemText() : "another program holds it open") + ")";
        case RemovalFailure::kSwappedPutBack:
            return "another entry took its place as it was moved; that one is put back";
        case RemovalFailure::kSwappedInTrash:
            return "another entry took its place as it was moved, and its place was taken "
                   "again: that entry is in the trash";
        case RemovalFailure::kSwappedInRecycleBin:
            return "another entry took its place as it was moved, and it could not be put back (" +
                   systemText() + "): that entry is in the Recycle Bin";
        case RemovalFailure::kNoTrash:
            return "no usable trash on its file system (" + systemText() + ")";
        case RemovalFailure::kTrashUnusable:
            return "the trash cannot be used (" + systemText() + ")";
        case RemovalFailure::kTrashRecord:
            return "cannot write the trash's record (" + systemText() + ")";
        case RemovalFailure::kNoFreeTrashName:
            return "no free name in the trash";
        case RemovalFailure::kShellRefused:
            return "the shell cannot take it (" + systemText() + ")";
        case RemovalFailure::kRecycleBinRefused:
            return "the Recycle Bin cannot take it, and it is never deleted for good instead";
        case RemovalFailure::kNotRecycled:
            return why.nError != 0 ? systemText() : "the shell did not recycle it";
        case RemovalFailure::kStillThere:
            return "it is still there after the shell's operation";
        case RemovalFailure::kChangedSinceSearch:
            return "it was replaced or changed since the search; kept";
        case RemovalFailure::kKeptAside:
            return "it was moved aside to be checked, and another entry took its name "
                   "meanwhile (" +
                   systemText() +
                   "): it is kept in its folder under a name beginning \".kesmora-\"";
        case RemovalFailure::kRecycledUnchecked:
            return "the shell moved an entry to the Recycle Bin without saying which, so it "
                   "cannot be told it was the file listed; look for it in the Recycle Bin";
    }
    return systemText();
}

}  // namespace cli
