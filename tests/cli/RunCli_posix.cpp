// The command line's test harness on POSIX: fork and exec, pipes or a
// pseudo-terminal, poll until both streams close.
#include "RunCli_posix.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace {

void ReadAvailable(int fd, std::string& into, bool& open) {
    char buf[65536];
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n > 0) {
        into.append(buf, static_cast<std::size_t>(n));
    } else if (n == 0 || errno != EINTR) {
        open = false;
    }
}

}  // namespace

pid_t Spawn(const Launch& launch, int outFd, int errFd, int inFd) {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    ::dup2(inFd, 0);
    ::dup2(outFd, 1);
    ::dup2(errFd, 2);
    for (const std::string& e : launch.env) ::putenv(const_cast<char*>(e.c_str()));
    if (launch.bAsNobody && ::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
        _exit(126);
    }
    if (launch.holdFd >= 0) {
        ::setenv("KESMORA_CLI_TEST_HOLD_FD", std::to_string(launch.holdFd).c_str(), 1);
    }
    std::vector<char*> argv{const_cast<char*>(launch.program)};
    for (const std::string& a : launch.args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(launch.program, argv.data());
    _exit(127);
}

int WaitExit(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

void Drain(int outFd, int errFd, Result& r, const std::function<void(const std::string&)>& onErr) {
    bool outOpen = true, errOpen = true;
    while (outOpen || errOpen) {
        pollfd fds[2] = {{outOpen ? outFd : -1, POLLIN, 0}, {errOpen ? errFd : -1, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) continue;
        if (fds[0].revents) ReadAvailable(outFd, r.out, outOpen);
        if (fds[1].revents) {
            ReadAvailable(errFd, r.err, errOpen);
            onErr(r.err);
        }
    }
}

Result RunCli(const Launch& launch) {
    Result r;
    int out[2];
    EXPECT_EQ(::pipe2(out, O_CLOEXEC), 0);
    int err[2] = {-1, -1}, in = -1, master = -1;
    if (launch.input == Input::Terminal) {
        int slave = -1;
        EXPECT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
        ::fcntl(master, F_SETFD, FD_CLOEXEC);
        ::fcntl(slave, F_SETFD, FD_CLOEXEC);
        err[0] = master;
        err[1] = in = slave;
    } else {
        EXPECT_EQ(::pipe2(err, O_CLOEXEC), 0);
        in = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    }
    const pid_t pid = Spawn(launch, launch.outFd >= 0 ? launch.outFd : out[1], err[1], in);
    ::close(out[1]);
    ::close(err[1]);
    if (in != err[1]) ::close(in);
    bool bAnswered = launch.answer.empty();
    Drain(out[0], err[0], r, [&](const std::string& seen) {
        if (!bAnswered && seen.find("? [y/N] ") != std::string::npos) {
            bAnswered = true;
            if (launch.beforeAnswer) launch.beforeAnswer();
            EXPECT_EQ(::write(master, launch.answer.data(), launch.answer.size()),
                      static_cast<ssize_t>(launch.answer.size()));
        }
    });
    ::close(out[0]);
    ::close(err[0]);
    r.exitCode = WaitExit(pid);
    return r;
}
