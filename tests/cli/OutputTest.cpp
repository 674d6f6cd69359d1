// The escaping of the human formats: one line per path, every byte
// recoverable, and nothing that steers a terminal; the JSON times.
#include <gtest/gtest.h>
#include <time.h>

#include <cstdlib>
#include <string>

#include "cli/Output.h"

namespace {

TEST(AppendEscaped, ControlsAndBadBytesAreEscapedAndOtherTextPasses) {
    const struct {
        std::string in;
        bool bBackslashSeparates;
        std::string out;
    } cases[] = {
        {"Debug/a.obj", false, "Debug/a.obj"},
        {"a\\b\nc\td\re", false, "a\\\\b\\nc\\td\\re"},
        {"C:\\src\\a.obj", true, "C:\\src\\a.obj"},
        {"\x1b[2J\x7f", true, "\\x1b[2J\\x7f"},
        {"\xe6\x97\xa5\xe6\x9c\xac.obj", false, "\xe6\x97\xa5\xe6\x9c\xac.obj"},
        // C1 controls, then not UTF-8 at all.
        {"\xc2\x9b"
         "1m\xc2\xa0",
         false, "\\xc2\\x9b1m\xc2\xa0"},
        {"\xff\xfe\xe6\x97", false, "\\xff\\xfe\\xe6\\x97"},
        // The bidirectional controls at both ends of their two ranges; their
        // neighbours (U+2029 U+202F U+2065 U+206A) pass.
        {"a\xe2\x80\xaa\xe2\x80\xae"
         "b",
         false, "a\\xe2\\x80\\xaa\\xe2\\x80\\xaeb"},
        {"\xe2\x81\xa6x\xe2\x81\xa9", true, "\\xe2\\x81\\xa6x\\xe2\\x81\\xa9"},
        {"\xe2\x80\xa9\xe2\x80\xaf\xe2\x81\xa5\xe2\x81\xaa", false,
         "\xe2\x80\xa9\xe2\x80\xaf\xe2\x81\xa5\xe2\x81\xaa"},
    };
    for (const auto& c : cases) {
        std::string out = "[";
        cli::AppendEscaped(out, c.in, c.bBackslashSeparates);
        EXPECT_EQ(out, "[" + c.out) << c.in;
    }
}

#ifndef _WIN32
// POSIX only: a Windows program takes its zone from the system, not from TZ
// (CliWin32Test gives kesmora-cli.exe the zone through its environment).
TEST(CIsoTime, GivesSecondsAndTheOffsetOfEachMomentOfARepeatedHour) {
    const char* pszOld = std::getenv("TZ");
    const std::string strOld = pszOld ? pszOld : "";
    ::setenv("TZ", "America/New_York", 1);
    ::tzset();
    const struct {
        std::int64_t seconds;
        const char* text;
    } cases[] = {
        {1793511017, "2026-11-01T01:30:17-04:00"},  // before the clocks go back
        {1793514617, "2026-11-01T01:30:17-05:00"},  // the same hour again
        {1793514617, "2026-11-01T01:30:17-05:00"},  // remembered
        {1782912896, "2026-07-01T09:34:56-04:00"},
        {1162209600, "2006-10-30T07:00:00-05:00"},  // by the rule of 2006 {-1, "1969-12-31T18:59:59-05:00"},
    };
    cli::CIsoTime iso;
    for (const auto& c : cases) EXPECT_EQ(iso.Convert(c.seconds), c.text) << c.seconds;
    // An offset with seconds keeps them: the text names the moment exactly.
    ::setenv("TZ", "Africa/Monrovia", 1);
    ::tzset();
    EXPECT_EQ(iso.Convert(86400), "1970-01-01T23:15:30-00:44:30");
    if (pszOld) {
        ::setenv("TZ", strOld.c_str(), 1);
    } else {
        ::unsetenv("TZ");
    }
    ::tzset();
}
#endif

}  // namespace
