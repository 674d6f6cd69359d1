// Where the settings store keeps its values: one body per platform (a text file on Linux, the
// registry on Windows), behind the same two calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
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

// What a batch of calls keeps between them (Batch is each platform's own): the stores read so
// far and the values held for writing. Every call takes a null batch too, and then goes
// straight to the store; a platform whose single calls are cheap may open none.
std::unique_ptr<Batch, BatchDeleter> OpenBatch();
// Stores every value the batch holds; false when any of them was not written.
bool CommitBatch(Batch& batch);

// The value's raw bytes, whatever its type; false when the key or the value is missing or cannot
// be read. Creates nothing.
bool ReadValue(Batch* pBatch, const Location& location, const std::string& strName,
               std::vector<unsigned char>& data);

// Stores the value, replacing one of that name and creating the key when missing; with bFlush
// the value is on disk before the call returns (in a batch: before the commit returns). False
// when nothing was written. In a batch the value is only held: true says it was taken.
bool WriteValue(Batch* pBatch, const Location& location, const std::string& strName,
                std::uint32_t dwType, const unsigned char* pData, std::size_t nLength, bool bFlush);

// The key's value names in stored order; false when the key is missing or cannot be read.
bool EnumValueNames(Batch* pBatch, const Location& location, std::vector<std::string>& names);

}  // namespace regbackend
