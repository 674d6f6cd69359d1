// A removal's failure in a test's message: its kind and its error's number.
#pragma once

#include <ostream>

#include "removal/RemovalFailure.h"

inline std::ostream& operator<<(std::ostream& out, const RemovalFailure& why) {
    return out << "failure kind " << static_cast<int>(why.kind) << ", error " << why.nError;
}
