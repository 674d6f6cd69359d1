// Windows bodies of the command line's platform seam.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <string>

#include "cli/Platform.h"
#include "utf16/WideText_win32.h"
#include "walk/ApiPath_win32.h"

namespace cli {

namespace {

HANDLE HandleOf(Stream stream) {
    switch (stream) {
        case Stream::In:
            return ::GetStdHandle(STD_INPUT_HANDLE);
        case Stream::Out:
            return ::GetStdHandle(STD_OUTPUT_HANDLE);
        case Stream::Err:
            break;
    }
    return ::GetStdHandle(STD_ERROR_HANDLE);
}

bool IsConsole(HANDLE h) {
    DWORD mode = 0;
    return h != nullptr && h != INVALID_HANDLE_VALUE && ::GetConsoleMode(h, &mode) != 0;
}

std::atomic<bool> g_bInterrupted{false};
std::atomic<HANDLE> g_wakeEvent{nullptr};
bool g_bProgress = false;

// Runs on a thread of its own that the system starts for each Ctrl+C.
BOOL WINAPI OnCtrl(DWORD type) {
    if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT) return FALSE;
    // The second one goes to the system's handler, which ends the program.
    if (g_bInterrupted.exchange(true)) return FALSE;
    if (HANDLE event = g_wakeEvent.load()) ::SetEvent(event);
    return TRUE;
}

HANDLE EventOf(const std::intptr_t (&handles)[2]) { return reinterpret_cast<HANDLE>(handles[0]); }

WriteResult WriteConsoleText(HANDLE h, std::string_view bytes) {
    // Bytes that are not UTF-8 show as U+FFFD; -0 is the format for them.
    const int nUnits =
        ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(std::max(nUnits, 0)), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(),
                          nUnits);
    std::wstring_view rest = wide;
    while (!rest.empty()) {
        DWORD nWritten = 0;
        const DWORD nChunk = static_cast<DWORD>(std::min<std::size_t>(rest.size(), 1 << 14));
        if (!::WriteConsoleW(h, rest.data(), nChunk, &nWritten, nullptr) || nWritten == 0) {
            return WriteResult::Failed;
        }
        rest.remove_prefix(nWritten);
    }
    return WriteResult::Written;
}

}  // namespace

std::vector<std::string> StartProgram(int, char**) {
    // argv holds the ANSI code page's idea of the arguments; the wide
    // command line has every character.
    std::vector<std::string> args;
    int nArgs = 0;
    if (LPWSTR* wargv = ::CommandLineToArgvW(::GetCommandLineW(), &nArgs)) {
        for (int i = 0; i < nArgs; ++i) args.push_back(Narrow(wargv[i]));
        ::LocalFree(wargv);
    }
    if (args.empty()) args.emplace_back("kesmora-cli");
    // The progress line rewrites itself with the terminal sequences that
    // consoles understand since Windows 10 once asked to.
    HANDLE err = HandleOf(Stream::Err);
    DWORD mode = 0;
    g_bProgress = ::GetConsoleMode(err, &mode) &&
                  ((mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0 ||
                   ::SetConsoleMode(err, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING));
    return args;
}

bool IsTerminal(Stream stream) { return IsConsole(HandleOf(stream)); }

bool CanShowProgress() { return g_bProgress; }

int TerminalColumns() {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!::GetConsoleScreenBufferInfo(HandleOf(Stream::Err), &info)) return 0;
    return info.srWindow.Right - info.srWindow.Left + 1;
}

WriteResult WriteAll(Stream stream, std::string_view bytes) {
    HANDLE h = HandleOf(stream);
    if (bytes.empty()) return WriteResult::Written;
    if (IsConsole(h)) return WriteConsoleText(h, bytes);
    while (!bytes.empty()) {
        DWORD nWritten = 0;
        const DWORD nChunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1 << 20));
        if (!::WriteFile(h, bytes.data(), nChunk, &nWritten, nullptr)) {
            // The reader's end gone: Windows says so in three ways (Wine in
            // the last).
            const DWORD nError = ::GetLastError();
            return nError == ERROR_BROKEN_PIPE || nError == ERROR_NO_DATA ||
                           nError == ERROR_PIPE_NOT_CONNECTED
                       ? WriteResult::Closed
                       : WriteResult::Failed;
        }
        bytes.remove_prefix(nWritten);
    }
    return WriteResult::Written;
}

void ClearSystemError() { ::SetLastError(0); }

int LastSystemError() { return static_cast<int>(::GetLastError()); }

std::string SystemErrorText(int nError) {
    LPWSTR pszText = nullptr;
    const DWORD nLength = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(nError), 0, reinterpret_cast<LPWSTR>(&pszText), 0, nullptr);
    std::string text = nLength > 0 ? Narrow(std::wstring_view(pszText, nLength)) : std::string();
    if (pszText) ::LocalFree(pszText);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' ||
                             text.back() == '.')) {
        text.pop_back();
    }
    return text.empty() ? "error " + std::to_string(nError) : text;
}

std::string FolderProblem(const std::string& strFolder) {
    std::wstring path;
    if (!ToApiPath(strFolder, path)) return SystemErrorText(ERROR_INVALID_NAME);
    const DWORD attrs = ::GetFileAttributesW(path.c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES) return SystemErrorText(LastSystemError());
    if ((attrs & FILE_ATTRIBUTE_DIRECTORY) == 0) return SystemErrorText(ERROR_DIRECTORY);
    if (path.back() != L'\\') path += L'\\';
    path += L'*';
    WIN32_FIND_DATAW data;
    HANDLE find =
        ::FindFirstFileExW(path.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) {
        const DWORD nError = ::GetLastError();
        return nError == ERROR_FILE_NOT_FOUND ? std::string() : SystemErrorText(nError);
    }
    ::FindClose(find);
    return {};
}

std::string NativePath(std::string strPath) {
    std::replace(strPath.begin(), strPath.end(), '/', '\\');
    return strPath;
}

bool ReadAnswer(std::string& strLine) {
    strLine.clear();
    HANDLE in = HandleOf(Stream::In);
    if (IsConsole(in)) {
        // The console's own line editing; Ctrl+C ends the read with nothing.
        wchar_t buf[256];
        DWORD nRead = 0;
        if (!::ReadConsoleW(in, buf, 256, &nRead, nullptr) || nRead == 0) return false;
        std::wstring_view line(buf, nRead);
        if (line.find(L'\n') == std::wstring_view::npos && nRead == 256) {
            ::FlushConsoleInputBuffer(in);
        }
        while (!line.empty() && (line.back() == L'\n' || line.back() == L'\r')) {
            line.remove_suffix(1);
        }
        strLine = Narrow(line);
        return !Interrupted();
    }
    char c;
    DWORD nRead = 0;
    while (::ReadFile(in, &c, 1, &nRead, nullptr) && nRead == 1) {
        if (c == '\n') return true;
        if (c != '\r') strLine += c;
    }
    return !strLine.empty();
}

CWake::CWake() {
    m_handles[0] = reinterpret_cast<std::intptr_t>(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
}

CWake::~CWake() {
    HANDLE event = EventOf(m_handles);
    g_wakeEvent.compare_exchange_strong(event, nullptr);
    if (EventOf(m_handles)) ::CloseHandle(EventOf(m_handles));
}

void CWake::Raise() { ::SetEvent(EventOf(m_handles)); }

bool CWake::Wait(std::chrono::milliseconds timeout) {
    return ::WaitForSingleObject(EventOf(m_handles), static_cast<DWORD>(timeout.count())) ==
           WAIT_OBJECT_0;
}

void CatchInterrupt(CWake& wake) {
    g_wakeEvent.store(EventOf(wake.m_handles));
    ::SetConsoleCtrlHandler(OnCtrl, TRUE);
}

bool Interrupted() { return g_bInterrupted.load(); }

void EndForClosedOutput() { ::ExitProcess(0); }

}  // namespace cli
