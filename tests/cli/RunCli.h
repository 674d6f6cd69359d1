// kesmora-cli run as a user runs it, on either platform: a child process
// with the arguments and environment given, its stdout and stderr read back
// whole, its exit status (RunCli_posix.cpp, RunCli_win32.cpp).
#pragma once

#include <functional>
#include <string>
#include <vector>

struct Result {
    int exitCode = -1;
    std::string out;
    std::string err;
};

enum class Input { Null, Terminal };

// What to run: args after the program's name; env entries ("NAME=value")
// are added to the environment. The rest is POSIX only: stdin is /dev/null
// or a terminal (then stderr is that terminal too and answer is typed once
// the prompt shows, after beforeAnswer has run); holdFd, when set, is
// passed on open for the paused program's gate (PausedDeletion.cpp).
struct Launch {
    Launch(std::vector<std::string> a, std::vector<std::string> e = {}, Input i = Input::Null,
           std::string typed = {})
        : args(std::move(a)), env(std::move(e)), input(i), answer(std::move(typed)) {}

    std::vector<std::string> args;
    std::vector<std::string> env;
    Input input = Input::Null;
    std::string answer;
    std::function<void()> beforeAnswer;
    int holdFd = -1;
    const char* program = KESMORA_CLI;
    // Where stdout goes instead of the pipe read back (the test keeps it open).
    int outFd = -1;
    bool bAsNobody = false;  // root gives up its rights first
};

Result RunCli(const Launch& launch);

std::vector<std::string> Split(const std::string& text, char sep);
std::vector<std::string> Sorted(std::vector<std::string> v);
// The last non-empty line.
std::string LastLine(const std::string& text);
