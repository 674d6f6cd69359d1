// POSIX bodies of the command line's platform seam.
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include "cli/Platform.h"

namespace cli {

namespace {

int FdOf(Stream stream) {
    switch (stream) {
        case Stream::In:
            return STDIN_FILENO;
        case Stream::Out:
            return STDOUT_FILENO;
        case Stream::Err:
            break;
    }
    return STDERR_FILENO;
}

// Only what a signal handler may touch: a lock-free flag and a descriptor.
std::atomic<bool> g_bInterrupted{false};
std::atomic<int> g_wakeFd{-1};
static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free);

void OnInterrupt(int) {
    const int savedErrno = errno;
    g_bInterrupted.store(true);
    const int fd = g_wakeFd.load();
    if (fd >= 0) {
        const char c = 'i';
        [[maybe_unused]] const ssize_t n = ::write(fd, &c, 1);
    }
    errno = savedErrno;
}

int ReadEnd(const std::intptr_t (&handles)[2]) { return static_cast<int>(handles[0]); }
int WriteEnd(const std::intptr_t (&handles)[2]) { return static_cast<int>(handles[1]); }

}  // namespace

std::vector<std::string> StartProgram(int argc, char** argv) {
    // A deletion must outlive the reader of its output; a listing ends on
    // EPIPE by itself (EndForClosedOutput).
    std::signal(SIGPIPE, SIG_IGN);
    return std::vector<std::string>(argv, argv + argc);
}

bool IsTerminal(Stream stream) { return ::isatty(FdOf(stream)) == 1; }

bool CanShowProgress() { return IsTerminal(Stream::Err); }

int TerminalColumns() {
    struct winsize ws {};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &ws) != 0) return 0;
    return ws.ws_col;
}

WriteResult WriteAll(Stream stream, std::string_view bytes) {
    const int fd = FdOf(stream);
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno == EPIPE ? WriteResult::Closed : WriteResult::Failed;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return WriteResult::Written;
}

void ClearSystemError() { errno = 0; }

int LastSystemError() { return errno; }

std::string SystemErrorText(int nError) { return std::strerror(nError); }

std::string FolderProblem(const std::string& strFolder) {
    // Opened as the walk opens it, so "cannot be listed" is the walk's view;
    // and entered, as the walk must to read its files: a folder that can be
    // listed but not entered cannot be searched either.
    const int fd = ::open(strFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return SystemErrorText(errno);
    struct stat st;
    const int nError = ::fstatat(fd, ".", &st, 0) == 0 ? 0 : errno;
    ::close(fd);
    return nError == 0 ? std::string() : SystemErrorText(nError);
}

std::string NativePath(std::string strPath) { return strPath; }

bool ReadAnswer(std::string& strLine) {
    strLine.clear();
    char c;
    for (;;) {
        const ssize_t n = ::read(STDIN_FILENO, &c, 1);
        // An interrupted read is an interrupt, not a reason to ask again.
        if (n <= 0) return n == 0 && !strLine.empty();
        if (c == '\n') return true;
        strLine += c;
    }
}

CWake::CWake() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
        m_handles[0] = fds[0];
        m_handles[1] = fds[1];
    }
}

CWake::~CWake() {
    if (g_wakeFd.load() == WriteEnd(m_handles)) g_wakeFd.store(-1);
    for (std::intptr_t fd : m_handles) {
        if (fd >= 0) ::close(static_cast<int>(fd));
    }
}

void CWake::Raise() {
    const char c = 'w';
    // A full pipe already holds a wake; nothing more to say.
    [[maybe_unused]] const ssize_t n = ::write(WriteEnd(m_handles), &c, 1);
}

bool CWake::Wait(std::chrono::milliseconds timeout) {
    pollfd pfd{ReadEnd(m_handles), POLLIN, 0};
    const int ready = ::poll(&pfd, 1, static_cast<int>(timeout.count()));
    if (ready <= 0) return ready < 0 && errno == EINTR;
    char buf[256];
    while (::read(ReadEnd(m_handles), buf, sizeof buf) > 0) {
    }
    return true;
}

void CatchInterrupt(CWake& wake) {
    g_wakeFd.store(WriteEnd(wake.m_handles));
    struct sigaction sa {};
    sa.sa_handler = OnInterrupt;
    sigemptyset(&sa.sa_mask);
    // No SA_RESTART: a prompt waiting for an answer must give up at once.
    sa.sa_flags = SA_RESETHAND;
    ::sigaction(SIGINT, &sa, nullptr);
}

bool Interrupted() { return g_bInterrupted.load(); }

void EndForClosedOutput() {
    std::signal(SIGPIPE, SIG_DFL);
    std::raise(SIGPIPE);
    std::_Exit(128 + SIGPIPE);
}

}  // namespace cli
