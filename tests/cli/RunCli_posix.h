// The POSIX harness's own steps, for a test that drives a child itself
// (the interrupt lands between them).
#pragma once

#include <sys/types.h>

#include "RunCli.h"

// Starts launch with the descriptors as its stdin, stdout and stderr.
pid_t Spawn(const Launch& launch, int outFd, int errFd, int inFd);
// The exit status, or 128 + the signal that ended it.
int WaitExit(pid_t pid);
// Reads out and err until both close; onErr sees stderr as it grows.
void Drain(int outFd, int errFd, Result& r, const std::function<void(const std::string&)>& onErr);
