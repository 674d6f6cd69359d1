// Runs a shell script as a Unix program on the X server Wine draws on, as
// another client of that display does (xdotool, ImageMagick, openbox).
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

// Wine gives no handle to wait on a Unix program and does not hand DISPLAY
// down to it: a caller waits for what the script does.
inline void StartOnXServer(const std::string& script) {
    const char* pszDisplay = std::getenv("DISPLAY");
    ASSERT_NE(pszDisplay, nullptr);
    const std::string command =
        "Z:\\usr\\bin\\env DISPLAY=" + std::string(pszDisplay) + " /bin/sh -c \"" + script + "\"";
    std::wstring wide(command.begin(), command.end());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(::CreateProcessW(nullptr, wide.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                 &startup, &process));
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
}
