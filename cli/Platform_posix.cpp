// POSIX bodies of the command line's platform seam.
#include <fcntl.h>
#include <poll.h>
#include <pwd.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>

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

}  // namespace

bool IsTerminal(Stream stream) { return ::isatty(FdOf(stream)) == 1; }

int TerminalColumns() {
    struct winsize ws {};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &ws) != 0) return 0;
    return ws.ws_col;
}

bool WriteAll(Stream stream, std::string_view bytes) {
    const int fd = FdOf(stream);
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

void WriteToDescriptor(int fd, std::string_view bytes) {
    [[maybe_unused]] const ssize_t n = ::write(fd, bytes.data(), bytes.size());
}

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

std::string HomeFolder() {
    if (const char* pszHome = std::getenv("HOME"); pszHome && *pszHome) return pszHome;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return "/";
}

int UtcOffsetMinutes(const std::tm& tmLocal) {
    std::tm tm = tmLocal;
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    std::tm resolved{};
    if (t == static_cast<std::time_t>(-1) || !::localtime_r(&t, &resolved)) return 0;
    return static_cast<int>(resolved.tm_gmtoff / 60);
}

CWake::CWake() {
    if (::pipe2(m_fds, O_CLOEXEC | O_NONBLOCK) != 0) m_fds[0] = m_fds[1] = -1;
}

CWake::~CWake() {
    if (g_wakeFd.load() == m_fds[1]) g_wakeFd.store(-1);
    for (int fd : m_fds) {
        if (fd >= 0) ::close(fd);
    }
}

void CWake::Raise() {
    const char c = 'w';
    // A full pipe already holds a wake; nothing more to say.
    [[maybe_unused]] const ssize_t n = ::write(m_fds[1], &c, 1);
}

bool CWake::Wait(std::chrono::milliseconds timeout) {
    pollfd pfd{m_fds[0], POLLIN, 0};
    const int ready = ::poll(&pfd, 1, static_cast<int>(timeout.count()));
    if (ready <= 0) return ready < 0 && errno == EINTR;
    char buf[256];
    while (::read(m_fds[0], buf, sizeof buf) > 0) {
    }
    return true;
}

void CatchInterrupt(CWake& wake) {
    g_wakeFd.store(wake.m_fds[1]);
    struct sigaction sa {};
    sa.sa_handler = OnInterrupt;
    sigemptyset(&sa.sa_mask);
    // No SA_RESTART: a prompt waiting for an answer must give up at once.
    sa.sa_flags = SA_RESETHAND;
    ::sigaction(SIGINT, &sa, nullptr);
}

bool Interrupted() { return g_bInterrupted.load(); }

}  // namespace cli
