// The tests' deletion pause: after the first file it says so on the
// descriptor named by KESMORA_CLI_TEST_HOLD_FD and waits for the interrupt
// (a minute at most), so the interrupt lands mid-run without timing luck.
#include <unistd.h>

#include <chrono>
#include <cstdlib>

#include "cli/DeletionPause.h"

namespace cli {

void PauseAfterFirstDeletion(CWake& wake) {
    const char* pszFd = std::getenv("KESMORA_CLI_TEST_HOLD_FD");
    if (!pszFd) return;
    [[maybe_unused]] const ssize_t n = ::write(std::atoi(pszFd), "1", 1);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (!Interrupted() && std::chrono::steady_clock::now() < deadline) {
        wake.Wait(std::chrono::seconds(1));
    }
}

}  // namespace cli
