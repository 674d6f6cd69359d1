// Where the settings store keeps its values: one body per platform (a text file on Linux, the
// registry on Windows), behind the same two calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tavoBasis/Registry.h"

namespace regbackend {

// A key: the root, the owner's company and application (the file's place on Linux) and the path
// below the root, Software\<company>\<application>\<section>.
struct Location {
    RegRoot root;
    const std::string& strCompany;
    const std::string& strApplication;
    const std::string& strKeyPath;
};

// The value's raw bytes, whatever its type; false when the key or the value is missing or cannot
// be read. Creates nothing.
bool ReadValue(const Location& location, const std::string& strName,
               std::vector<unsigned char>& data);

// Stores the value, replacing one of that name and creating the key when missing; with bFlush
// the value is on disk before the call returns. False when nothing was written.
bool WriteValue(const Location& location, const std::string& strName, std::uint32_t dwType,
                const unsigned char* pData, std::size_t nLength, bool bFlush);

}  // namespace regbackend
