// One run of kesmora-cli: the search through the window's finder and result
// collector, the output, and the deletion through the window's run.
#pragma once

#include "cli/Options.h"

namespace cli {

// Returns the exit status.
int Run(const CliOptions& options);

}  // namespace cli
