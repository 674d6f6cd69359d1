// Rounding to whole kilobytes and megabytes, digit grouping and the size
// column's text.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "search/SizeFormat.h"

namespace {

constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
constexpr std::uint64_t kGiB = 1024ull * 1024 * 1024;

TEST(RoundKB, RoundsHalvesUp) {
    EXPECT_EQ(RoundKB(0), 0u);
    EXPECT_EQ(RoundKB(511), 0u);
    EXPECT_EQ(RoundKB(512), 1u);
    EXPECT_EQ(RoundKB(1535), 1u);
    EXPECT_EQ(RoundKB(1536), 2u);
    EXPECT_EQ(RoundKB(1048576), 1024u);
    EXPECT_EQ(RoundKB(1234567890), 1205633u);
    EXPECT_EQ(RoundKB(4294967295u), 4194304u);
}

TEST(RoundKB, CountsSizesBeyondFourGiBInFull) {
    EXPECT_EQ(RoundKB(4 * kGiB + 512), 4194305u);
    EXPECT_EQ(RoundKB(5 * kGiB), 5242880u);
}

TEST(RoundKB, DoesNotOverflowAtTheLargestCount) {
    // UINT64_MAX is 2^54 KB minus one byte, which rounds up to 2^54.
    EXPECT_EQ(RoundKB(kMax), std::uint64_t{1} << 54);
    EXPECT_EQ(RoundKB(kMax - 1023), (std::uint64_t{1} << 54) - 1);
}

TEST(RoundMB, RoundsHalvesUpFromTheBytesThemselves) {
    EXPECT_EQ(RoundMB(524287), 0u);
    EXPECT_EQ(RoundMB(524288), 1u);
    EXPECT_EQ(RoundMB(1572863), 1u);
    EXPECT_EQ(RoundMB(1572864), 2u);
    EXPECT_EQ(RoundMB(1234567890), 1177u);
    EXPECT_EQ(RoundMB(4294967295u), 4096u);
    // 1,572,352 bytes are 1,535.5 KB (rounded up to 1,536) but 1.4995 MB:
    // rounding the rounded kilobytes would give 2.
    EXPECT_EQ(RoundKB(1572352), 1536u);
    EXPECT_EQ(RoundMB(1572352), 1u);
}

TEST(RoundMB, CountsSizesBeyondFourGiBAndDoesNotOverflow) {
    EXPECT_EQ(RoundMB(5 * kGiB), 5120u);
    EXPECT_EQ(RoundMB(kMax), std::uint64_t{1} << 44);
}

TEST(FormatThousands, GroupsByThreeWithZeroPaddedInnerGroups) {
    EXPECT_EQ(FormatThousands(0), "0");
    EXPECT_EQ(FormatThousands(7), "7");
    EXPECT_EQ(FormatThousands(999), "999");
    EXPECT_EQ(FormatThousands(1000), "1,000");
    EXPECT_EQ(FormatThousands(10000), "10,000");
    EXPECT_EQ(FormatThousands(100000), "100,000");
    EXPECT_EQ(FormatThousands(1000005), "1,000,005");
    EXPECT_EQ(FormatThousands(1234567), "1,234,567");
    EXPECT_EQ(FormatThousands(4294967295u), "4,294,967,295");
}

TEST(FormatThousands, WritesEveryDigitOfSixtyFourBitNumbers) {
    EXPECT_EQ(FormatThousands(4294967296u), "4,294,967,296");
    EXPECT_EQ(FormatThousands(kMax), "18,446,744,073,709,551,615");
    EXPECT_EQ(FormatThousands(10000000000000000000u), "10,000,000,000,000,000,000");
}

TEST(SizeText, ShowsWholeKilobytesWithGroups) {
    EXPECT_EQ(SizeText(0), "0KB");
    EXPECT_EQ(SizeText(511), "0KB");
    EXPECT_EQ(SizeText(512), "1KB");
    EXPECT_EQ(SizeText(1535), "1KB");
    EXPECT_EQ(SizeText(1536), "2KB");
    EXPECT_EQ(SizeText(1048576), "1,024KB");
    EXPECT_EQ(SizeText(1572864), "1,536KB");
    EXPECT_EQ(SizeText(5ull << 30), "5,242,880KB");
}

}  // namespace
