// The errno values a deletion meets, by what they mean to the user.
#include <cerrno>

#include "view/core/SystemErrorKind.h"

SystemErrorKind SystemErrorKindOf(std::uint32_t nError) {
    switch (static_cast<int>(nError)) {
        case EACCES:
        case EPERM:
            return SystemErrorKind::AccessDenied;
        case EBUSY:
        case ETXTBSY:
            return SystemErrorKind::InUse;
        case ENOENT:
        case ENOTDIR:
            return SystemErrorKind::NotFound;
        case EROFS:
            return SystemErrorKind::ReadOnlyDrive;
        case ENOSPC:
        case EDQUOT:
            return SystemErrorKind::NoSpace;
        default:
            return SystemErrorKind::Other;
    }
}
