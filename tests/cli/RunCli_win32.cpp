// The command line's test harness on Windows: CreateProcessW with the wide
// command line, the streams in temporary files read back once it ends.
#include <gtest/gtest.h>
#include <windows.h>

#include "RunCli.h"
#include "tests/support/WinTestTree.h"

namespace {

// One argument as CommandLineToArgvW reads it back: backslashes double only
// before a quote.
std::wstring Quoted(const std::wstring& arg) {
    std::wstring quoted = L"\"";
    std::size_t nSlashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++nSlashes;
            continue;
        }
        quoted.append(c == L'"' ? 2 * nSlashes + 1 : nSlashes, L'\\');
        nSlashes = 0;
        quoted += c;
    }
    quoted.append(2 * nSlashes, L'\\');
    return quoted + L"\"";
}

// A temporary file the child inherits, gone once closed.
HANDLE InheritableTemp() {
    wchar_t folder[MAX_PATH + 1], path[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, folder);
    GetTempFileNameW(folder, L"kc", 0, path);
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    return CreateFileW(path, GENERIC_READ | GENERIC_WRITE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &sa, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

std::string ReadBack(HANDLE h) {
    std::string text;
    SetFilePointer(h, 0, nullptr, FILE_BEGIN);
    char buf[65536];
    DWORD n = 0;
    while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n > 0) text.append(buf, n);
    CloseHandle(h);
    return text;
}

}  // namespace

// The program beside this test program, stdin the NUL device.
Result RunCli(const Launch& launch) {
    const std::vector<std::string>& args = launch.args;
    const std::vector<std::string>& env = launch.env;
    wchar_t self[MAX_PATH + 1];
    const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH + 1);
    std::wstring program(self, n);
    program = program.substr(0, program.rfind(L'\\') + 1) + WideOf(KESMORA_CLI);
    std::wstring line = Quoted(program);
    for (const std::string& arg : args) line += L" " + Quoted(WideOf(arg));

    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                               OPEN_EXISTING, 0, nullptr);
    si.hStdOutput = InheritableTemp();
    si.hStdError = InheritableTemp();
    std::wstring block;
    if (!env.empty()) {
        wchar_t* pOwn = GetEnvironmentStringsW();
        for (const wchar_t* p = pOwn; *p; p += wcslen(p) + 1) block.append(p, wcslen(p) + 1);
        FreeEnvironmentStringsW(pOwn);
        for (const std::string& e : env) block += WideOf(e) + L'\0';
        block += L'\0';
    }
    PROCESS_INFORMATION pi{};
    Result r;
    if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE,
                        CREATE_NO_WINDOW | CREATE_UNICODE_ENVIRONMENT,
                        block.empty() ? nullptr : block.data(), nullptr, &si, &pi)) {
        ADD_FAILURE() << "cannot start " << KESMORA_CLI << ": " << GetLastError();
        r.exitCode = -1;
    } else {
        WaitForSingleObject(pi.hProcess, INFINITE);
        DWORD dwExit = 0;
        GetExitCodeProcess(pi.hProcess, &dwExit);
        r.exitCode = static_cast<int>(dwExit);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    CloseHandle(si.hStdInput);
    r.out = ReadBack(si.hStdOutput);
    r.err = ReadBack(si.hStdError);
    return r;
}
