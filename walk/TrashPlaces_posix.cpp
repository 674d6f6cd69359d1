// The places of the freedesktop.org trash folders.
#include "walk/TrashPlaces_posix.h"

#include <fcntl.h>

#include <cstdlib>
#include <cstring>

#include "walk/DirReader_posix.h"

const char kSharedTrashName[] = ".Trash";

std::string HomeTrashPath() {
    if (const char* psz = std::getenv("XDG_DATA_HOME"); psz != nullptr && psz[0] == '/') {
        return std::string(psz) + "/Trash";
    }
    if (const char* psz = std::getenv("HOME"); psz != nullptr && psz[0] == '/') {
        return std::string(psz) + "/.local/share/Trash";
    }
    return {};
}

std::string OwnTopTrashName(uid_t uid) {
    return std::string(kSharedTrashName) + "-" + std::to_string(uid);
}

namespace {

// ".Trash" or ".Trash-<digits>": every user's counts.
bool IsTopTrashName(const char* pszName) {
    const std::size_t len = sizeof kSharedTrashName - 1;
    if (std::strncmp(pszName, kSharedTrashName, len) != 0) return false;
    if (pszName[len] == '\0') return true;
    if (pszName[len] != '-' || pszName[len + 1] == '\0') return false;
    for (const char* p = pszName + len + 1; *p != '\0'; ++p) {
        if (*p < '0' || *p > '9') return false;
    }
    return true;
}

}  // namespace

bool IsTrashFolder(const char* pszName, const std::function<FolderId()>& lastingId) {
    if (IsTopTrashName(pszName)) return true;
    if (std::strcmp(pszName, "Trash") != 0) return false;
    const std::string strHome = HomeTrashPath();
    FolderId home;
    return !strHome.empty() && ReadEntryId(AT_FDCWD, strHome.c_str(), 0, home) &&
           home == lastingId();
}
