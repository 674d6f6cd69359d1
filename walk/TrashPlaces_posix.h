// Where the desktop's trash folders lie on POSIX systems: one rule for the
// trash that makes and fills them and for the walk that must never enter
// them.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>

#include "walk/DirReader.h"

// $XDG_DATA_HOME/Trash, by default ~/.local/share/Trash; empty when neither
// names an absolute folder.
std::string HomeTrashPath();

// The trash folders at a file system's top: ".Trash", an administrator's
// shared one with a folder per user below it, and a user's own
// ".Trash-<uid>".
extern const char kSharedTrashName[];
std::string OwnTopTrashName(uid_t uid);

// Whether the folder pszName is a trash folder of any user. A folder named
// as a top trash counts wherever it stands: a mount's top may be reached as
// a plain folder through another path (a bind mount's source is one), and a
// trash is never a build's output. The home trash is known by identity,
// read again whenever a folder of its name is met, since a deletion may
// make it while a walk runs; lastingId gives the folder's, asked for only
// then.
bool IsTrashFolder(const char* pszName, const std::function<FolderId()>& lastingId);
