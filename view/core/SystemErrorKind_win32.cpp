// The Windows errors a deletion meets, by what they mean to the user; the
// shell reports them wrapped in an HRESULT.
#include <windows.h>

#include "view/core/SystemErrorKind.h"

SystemErrorKind SystemErrorKindOf(std::uint32_t nError) {
    // HRESULT_FROM_WIN32 keeps the code in the low word under FACILITY_WIN32.
    if ((nError & 0xFFFF0000u) == 0x80070000u) nError &= 0xFFFFu;
    switch (nError) {
        case ERROR_ACCESS_DENIED:
            return SystemErrorKind::AccessDenied;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_USER_MAPPED_FILE:
            return SystemErrorKind::InUse;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return SystemErrorKind::NotFound;
        case ERROR_WRITE_PROTECT:
            return SystemErrorKind::ReadOnlyDrive;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return SystemErrorKind::NoSpace;
        default:
            return SystemErrorKind::Other;
    }
}
