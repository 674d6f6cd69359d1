// Windows counterpart of UndeletableFiles.h: a file held open without
// delete sharing cannot be deleted by anyone until the handle is closed.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

class UndeletableFiles {
public:
    UndeletableFiles() = default;
    UndeletableFiles(const UndeletableFiles&) = delete;
    UndeletableFiles& operator=(const UndeletableFiles&) = delete;
    ~UndeletableFiles() { ReleaseAll(); }

    // Returns why the file could not be held, or an empty text.
    std::string Make(const std::string& path) {
        const HANDLE hFile =
            ::CreateFileW(std::filesystem::path(path).wstring().c_str(), GENERIC_READ,
                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        if (hFile == INVALID_HANDLE_VALUE) {
            return "cannot hold " + path + " open (error " + std::to_string(::GetLastError()) + ")";
        }
        m_handles.push_back(hFile);
        return {};
    }

    void ReleaseAll() {
        for (const HANDLE hFile : m_handles) {
            ::CloseHandle(hFile);
        }
        m_handles.clear();
    }

private:
    std::vector<HANDLE> m_handles;
};
