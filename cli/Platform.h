// What the command line needs from the operating system: its arguments,
// terminals and the standard streams, a wake that any thread or the
// interrupt can raise, the interrupt itself, and the system's error texts.
// Bodies per platform (Platform_posix.cpp, Platform_win32.cpp).
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

enum class Stream { In, Out, Err };

// The arguments as UTF-8 (argv[0] first). Sets the streams up on the way: a
// write into a pipe whose reader has gone becomes WriteResult::Closed
// instead of a signal, and a console shows the program's UTF-8 as text.
std::vector<std::string> StartProgram(int argc, char** argv);

bool IsTerminal(Stream stream);
// True when stderr is a terminal that can rewrite its last line in place.
bool CanShowProgress();
// Columns of the terminal behind stderr, or 0 when unknown.
int TerminalColumns();

enum class WriteResult {
    Written,
    Closed,  // the reader has gone (a pipe into head)
    Failed,  // LastSystemError() says why
};
// Writes every byte, retrying short writes. UTF-8 text goes to a console as
// text, to a pipe or file as the bytes themselves.
WriteResult WriteAll(Stream stream, std::string_view bytes);

// The code of the last failed system call on this thread (errno or
// GetLastError), and the system's own text for a code, without a full stop.
// A call that can fail without saying why is preceded by ClearSystemError,
// so that no earlier code is taken for its reason.
void ClearSystemError();
int LastSystemError();
std::string SystemErrorText(int nError);

// Why the folder cannot be searched (it is missing, not a folder, or cannot
// be listed or entered) in the system's words, or empty when it can.
std::string FolderProblem(const std::string& strFolder);

// The path written with the platform's own separators.
std::string NativePath(std::string strPath);

// One line typed on stdin (the console's own line on Windows), without its
// line end. False at end of input or when the read was interrupted.
bool ReadAnswer(std::string& strLine);

// Lets the main thread sleep until a worker has something for it, the user
// interrupts, or a timeout passes. Raise is safe from any thread.
class CWake {
public:
    CWake();
    ~CWake();
    CWake(const CWake&) = delete;
    CWake& operator=(const CWake&) = delete;

    void Raise();
    // True when raised (the raises so far are consumed), false on timeout.
    bool Wait(std::chrono::milliseconds timeout);

private:
    friend void CatchInterrupt(CWake& wake);
    // A pipe's two descriptors on POSIX, an event's handle on Windows.
    std::intptr_t m_handles[2] = {-1, -1};
};

// From now on Ctrl+C only sets the interrupted flag and raises wake; a
// second Ctrl+C ends the program at once, the platform's usual way.
void CatchInterrupt(CWake& wake);
bool Interrupted();

// Ends the program the way a listing into a closed pipe ends on the
// platform: by SIGPIPE on POSIX, as find does; with status 0 on Windows.
[[noreturn]] void EndForClosedOutput();

}  // namespace cli
