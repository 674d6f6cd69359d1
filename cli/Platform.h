// What the command line needs from the operating system: terminals, a wake
// that any thread or the interrupt can raise, the interrupt itself, and the
// local time zone. Bodies per platform (Platform_posix.cpp).
#pragma once

#include <chrono>
#include <cstddef>
#include <ctime>
#include <string>
#include <string_view>

namespace cli {

enum class Stream { In, Out, Err };

bool IsTerminal(Stream stream);
// Columns of the terminal behind stderr, or 0 when unknown.
int TerminalColumns();

// Writes every byte, retrying short writes; false on an error (errno set).
bool WriteAll(Stream stream, std::string_view bytes);

// Writes to an inherited descriptor given by number (a test's gate).
void WriteToDescriptor(int fd, std::string_view bytes);

// One line typed on stdin, without its newline. False at end of input or
// when the read was interrupted.
bool ReadAnswer(std::string& strLine);

// The user's home folder, the window's default when no folder was searched.
std::string HomeFolder();

// Minutes east of UTC in effect at the local calendar time given.
int UtcOffsetMinutes(const std::tm& tmLocal);

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
    int m_fds[2] = {-1, -1};
};

// From now on Ctrl+C (SIGINT) only sets the interrupted flag and raises
// wake; a second Ctrl+C ends the program the usual way.
void CatchInterrupt(CWake& wake);
bool Interrupted();

}  // namespace cli
