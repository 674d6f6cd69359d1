// Whole-kilobyte and whole-megabyte amounts of byte counts and the size
// column's text, which the window's list and the command line's listing
// both print.
#pragma once

#include <cstdint>
#include <string>

// Bytes in whole kilobytes (1,024 bytes), halves rounded up.
std::uint64_t RoundKB(std::uint64_t bytes);
// Bytes in whole megabytes (1,048,576 bytes), halves rounded up; taken from
// the bytes themselves, never from RoundKB, so 524,288 bytes are 1 MB but
// 512 KB.
std::uint64_t RoundMB(std::uint64_t bytes);
// Decimal digits in groups of three joined by ASCII commas ("1,000,005"),
// whatever the locale.
std::string FormatThousands(std::uint64_t n);
// The size column of a row: whole kilobytes with groups, "1,536KB", in
// both front ends.
std::string SizeText(std::uint64_t size);
