// A file's time as its file system keeps it, carried as a number from the
// walk to whoever shows it.
#pragma once

#include <compare>
#include <cstdint>

struct FileStamp {
    std::int64_t seconds = 0;       // since 1970-01-01 UTC, rounded down
    std::uint32_t nanoseconds = 0;  // within that second: orders equal seconds
    friend auto operator<=>(const FileStamp&, const FileStamp&) = default;
};
