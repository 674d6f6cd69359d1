// A temporary folder tree for the Win32 tests, built with the wide calls
// from UTF-8 names, and removed with everything in it (read-only files too).
#pragma once

#include <windows.h>

#include <cstdint>
#include <stdexcept>
#include <string>

#include "utf16/WideText_win32.h"

inline std::wstring WideOf(const std::string& text) {
    std::wstring wide;
    if (!Widen(text, wide)) throw std::runtime_error("not UTF-8: " + text);
    return wide;
}

// Paths longer than MAX_PATH need the \\?\ form at the API.
inline std::wstring LongForm(const std::string& path) { return L"\\\\?\\" + WideOf(path); }

class WinTestTree {
public:
    WinTestTree() {
        wchar_t temp[MAX_PATH + 1];
        const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
        if (n == 0 || n > MAX_PATH) throw std::runtime_error("no temporary folder");
        // Wine reuses process ids from one run to the next: the clock
        // and a count make the name, and a taken one is passed over.
        static LONG s_nCount = 0;
        for (int nTry = 0; nTry < 100 && m_root.empty(); ++nTry) {
            const std::wstring base = std::wstring(temp) + L"kesmora-" +
                                      std::to_wstring(GetCurrentProcessId()) + L"-" +
                                      std::to_wstring(GetTickCount64()) + L"-" +
                                      std::to_wstring(InterlockedIncrement(&s_nCount));
            if (CreateDirectoryW(base.c_str(), nullptr)) m_root = Narrow(base);
        }
        if (m_root.empty()) throw std::runtime_error("no test folder");
    }
    ~WinTestTree() { RemoveTree(LongForm(m_root)); }
    WinTestTree(const WinTestTree&) = delete;
    WinTestTree& operator=(const WinTestTree&) = delete;

    const std::string& Root() const { return m_root; }
    std::string Path(const std::string& rel) const { return m_root + "\\" + rel; }

    // Creates a folder and its missing parents; rel uses backslashes.
    std::string Dir(const std::string& rel) const {
        for (std::size_t end = rel.find('\\');; end = rel.find('\\', end + 1)) {
            CreateDirectoryW(LongForm(Path(rel.substr(0, end))).c_str(), nullptr);
            if (end == std::string::npos) break;
        }
        return Path(rel);
    }
    std::string File(const std::string& rel, std::uint64_t size = 0,
                     DWORD dwAttributes = FILE_ATTRIBUTE_NORMAL) const {
        const std::size_t slash = rel.rfind('\\');
        if (slash != std::string::npos) Dir(rel.substr(0, slash));
        const HANDLE h = CreateFileW(LongForm(Path(rel)).c_str(), GENERIC_WRITE, 0, nullptr,
                                     CREATE_ALWAYS, dwAttributes, nullptr);
        if (h == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create " + rel);
        LARGE_INTEGER end;
        end.QuadPart = static_cast<LONGLONG>(size);
        const bool bSized = SetFilePointerEx(h, end, nullptr, FILE_BEGIN) && SetEndOfFile(h);
        CloseHandle(h);
        if (!bSized) throw std::runtime_error("cannot size " + rel);
        return Path(rel);
    }

private:
    static void RemoveTree(const std::wstring& folder) {
        WIN32_FIND_DATAW data;
        const HANDLE hFind = FindFirstFileW((folder + L"\\*").c_str(), &data);
        if (hFind != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = data.cFileName;
                if (name == L"." || name == L"..") continue;
                const std::wstring path = folder + L"\\" + name;
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                // A junction goes as itself; its target is a sibling removed on its own.
                if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                    if ((data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
                        RemoveTree(path);
                    } else {
                        // Wine's Unix links to folders go as files.
                        if (!RemoveDirectoryW(path.c_str())) DeleteFileW(path.c_str());
                    }
                } else {
                    DeleteFileW(path.c_str());
                }
            } while (FindNextFileW(hFind, &data));
            FindClose(hFind);
        }
        RemoveDirectoryW(folder.c_str());
    }

    std::string m_root;
};
