// The parts of the command line's test harness that need no platform.
#include "RunCli.h"

#include <algorithm>
#include <sstream>

std::vector<std::string> Split(const std::string& text, char sep) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream stream(text);
    while (std::getline(stream, part, sep)) parts.push_back(part);
    return parts;
}

std::vector<std::string> Sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

std::string LastLine(const std::string& text) {
    const auto lines = Split(text, '\n');
    for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
        if (!it->empty()) return *it;
    }
    return {};
}
