// Rounding and digit grouping of byte counts.
#include "search/SizeFormat.h"

#include <array>

namespace {

// Half-up rounding of bytes / unit without forming bytes + unit / 2, which
// would overflow near UINT64_MAX.
std::uint64_t RoundToUnit(std::uint64_t bytes, std::uint64_t unit) {
    return bytes / unit + (bytes % unit >= unit / 2 ? 1 : 0);
}

}  // namespace

std::uint64_t RoundKB(std::uint64_t bytes) { return RoundToUnit(bytes, 1024); }

std::uint64_t RoundMB(std::uint64_t bytes) { return RoundToUnit(bytes, 1024 * 1024); }

std::string FormatThousands(std::uint64_t n) {
    // 20 digits and 6 commas at most.
    std::array<char, 27> text;
    auto pos = text.size();
    int digitsInGroup = 0;
    do {
        if (digitsInGroup == 3) {
            text[--pos] = ',';
            digitsInGroup = 0;
        }
        text[--pos] = static_cast<char>('0' + n % 10);
        n /= 10;
        ++digitsInGroup;
    } while (n != 0);
    return std::string(text.data() + pos, text.size() - pos);
}

std::string SizeText(std::uint64_t size) { return FormatThousands(RoundKB(size)) + "KB"; }
