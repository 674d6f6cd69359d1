// Names as the system compares them when letter case does not count.
#pragma once

#include <string>
#include <string_view>

// The name with its letter case folded as the platform's file system folds
// it: on Windows every UTF-16 unit uppercased by the system's own table (so
// "äö" and "ÄÖ", "ｗide" and "Ｗide" fold alike); elsewhere, where the file
// system tells case apart and only a caller's wish folds, ASCII letters.
// Text that is not UTF-8 is given back as it is.
std::string FoldedName(std::string_view name);
