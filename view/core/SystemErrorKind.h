// What a system's error number means to the user, as far as the window
// words it: one body per platform (SystemErrorKind_posix.cpp, _win32.cpp).
#pragma once

#include <cstdint>

enum class SystemErrorKind {
    Other,
    AccessDenied,
    InUse,
    NotFound,
    ReadOnlyDrive,
    NoSpace,
};

// nError: errno on POSIX; a Windows error code or an HRESULT on Windows.
SystemErrorKind SystemErrorKindOf(std::uint32_t nError);
