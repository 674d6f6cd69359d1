// The team's tree maker (make_tree.py) run from a test, and the figures it
// prints about the tree it made.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// Where CMake found make_tree.py; empty when the checkout lacks it.
#ifndef KESMORA_MAKE_TREE
#define KESMORA_MAKE_TREE ""
#endif

inline bool HaveMakeTree() { return !std::string(KESMORA_MAKE_TREE).empty(); }

// Makes a tree at strFolder with the options given; its line of figures, or
// empty when it failed.
inline std::string MakeTree(const std::string& strOptions, const std::string& strFolder) {
    const std::string command =
        std::string("python3 ") + KESMORA_MAKE_TREE + " " + strOptions + " " + strFolder;
    std::string json;
    FILE* pOut = popen(command.c_str(), "r");
    if (pOut == nullptr) return json;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pOut) != nullptr) json += buffer;
    return pclose(pOut) == 0 ? json : std::string();
}

// The figure MakeTree's line gives under that key.
inline std::uint64_t Figure(const std::string& json, const std::string& key) {
    const std::size_t at = json.find("\"" + key + "\": ");
    return at == std::string::npos ? 0 : std::stoull(json.substr(at + key.size() + 4));
}
