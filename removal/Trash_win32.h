// The Recycle Bin, for the Win32 bodies of the file helpers.
#pragma once

#include <string>

#include "removal/RemovalFailure.h"

struct FolderId;

// Moves the file wpath, whose identity is checked, to the Recycle Bin
// through the shell's own file operation, the way Explorer does. True only
// when the shell reports it recycled and what went to the bin is that very
// file; where the shell does not say what went, nothing tells, and that is
// no success (kRecycledUnchecked). Otherwise the file stays, whatever went
// in its place is put back (the shell is never let delete anything for
// good) and why says what stopped it.
bool RecycleFile(const std::wstring& wpath, const FolderId& checked, RemovalFailure& why);

// The shell moves whatever has the name when it gets there, so a file
// swapped for a folder (or another file) after the check would go instead:
// the entry at wbin, which the Recycle Bin took from wentry, stays there
// only if it is the file checked, and true says so; otherwise it goes back
// to wentry if that name is free, and why says which.
bool KeepRecycledIfChecked(const std::wstring& wentry, std::wstring wbin, const FolderId& checked,
                           RemovalFailure& why);
