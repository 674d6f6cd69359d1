// Case folding of names on POSIX systems: ASCII letters only.
#include "walk/MatchRules.h"
#include "walk/NameFold.h"

std::string FoldedName(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) c = LowerAscii(c);
    return folded;
}
