// The command line's words for why a file was not deleted or moved to the
// trash, or why a run's folder was refused.
#pragma once

#include <string>

#include "removal/RemovalFailure.h"

namespace cli {

std::string FailureText(const RemovalFailure& why);

}  // namespace cli
