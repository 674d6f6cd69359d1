// The shipped program never pauses a deletion.
#include "cli/DeletionPause.h"

namespace cli {

void PauseAfterFirstDeletion(CWake&) {}

}  // namespace cli
