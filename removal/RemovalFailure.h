// Why a listed entry was not deleted or moved to the trash, or why a run's
// folder was refused. The core says which; each front end puts it in its
// own words (the command line's are in cli/FailureText.cpp), and the
// system's own text for an error is made there too.
#pragma once

#include <cstdint>

struct RemovalFailure {
    enum Kind : std::uint8_t {
        kNone,                 // nothing has failed
        kSystem,               // the system's error, nothing more
        kRootNotOpen,          // the run's folder is not open
        kOutsideRoot,          // the path does not lie below the run's folder
        kNotAPath,             // the run's folder cannot even be named to the system
        kRootReplaced,         // the run's folder is not the one searched any more
        kPathNotFolder,        // a folder on the entry's path is now a link or no folder
        kNotFolder,            // the folder to remove is now a link or no folder
        kFolder,               // the entry is a folder (or a link to one)
        kReadOnly,             // read-only, and not to be made writable
        kNameStillThere,       // gone but for its name: the error that told, or none
                               // when another program holds the file open
        kSwappedPutBack,       // another entry was moved in its place, and put back
        kSwappedInTrash,       // that entry could not go back: it is in the trash
        kSwappedInRecycleBin,  // the same in the Recycle Bin, with the move's error
        kNoTrash,              // no usable trash on its file system, with the error
        kTrashUnusable,        // the trash found cannot be used, with the error
        kTrashRecord,          // the trash's record cannot be written, with the error
        kNoFreeTrashName,      // every name tried in the trash was taken
        kShellRefused,         // the shell cannot take the file, with its error
        kRecycleBinRefused,    // the Recycle Bin cannot take it (never deleted instead)
        kNotRecycled,          // the shell did not recycle it, with its error if it gave one
        kStillThere,           // still there after the shell's operation
        kChangedSinceSearch,   // the entry there now is not the file listed, or it
                               // changed since: it stays
        kKeptAside,            // moved aside to be checked, it could not go back: its
                               // name was taken again meanwhile (with the error). It
                               // stays in its folder under a hidden name
        kRecycledUnchecked,    // the shell did not say which entry it recycled, so
                               // nobody can tell it was the file listed
    };

    Kind kind = kNone;
    // errno, or a Windows error code or HRESULT, for the kinds that come
    // with one; 0 otherwise.
    std::uint32_t nError = 0;

    static RemovalFailure System(unsigned long nError) { return Of(kSystem, nError); }
    static RemovalFailure Of(Kind kind, unsigned long nError = 0) {
        return {kind, static_cast<std::uint32_t>(nError)};
    }
};
