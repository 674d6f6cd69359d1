// A pause in a deletion after its first file. The program's own body does
// nothing (cli/DeletionPause.cpp); the tests link a body of their own that
// holds the deletion there until it is interrupted, so an interrupt test
// needs no timing luck, and no such hold ever ships.
#pragma once

#include "cli/Platform.h"

namespace cli {

// Called once, after the first file of a deletion; wake is raised by an
// interrupt.
void PauseAfterFirstDeletion(CWake& wake);

}  // namespace cli
