// Local-time texts "%Y/%m/%d %H:%M" for file times.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

// Converts seconds since 1970 (UTC) to local calendar time, thread-safely,
// with the offset from UTC in effect at that moment (not today's: a summer
// time stamp keeps its summer offset). False when the time cannot be
// represented.
bool ToLocalTime(std::int64_t seconds, std::tm& tmLocal, int& nOffsetSeconds);

// "%Y/%m/%d %H:%M" of one time, made where a time is shown; empty when it
// has no local representation.
std::string FileTimeText(std::int64_t seconds);

// Formats one stream of times, remembering the last one: the files of one
// build folder mostly share their seconds, and the local-time conversion is
// the dearest step of a reported file. Not shared between threads.
class CTimeText {
public:
    // The text of the time, empty when it has no local representation.
    // Valid until the next call on this object.
    const std::string& Format(std::int64_t seconds) {
        if (!m_bValid || seconds != m_seconds) Refresh(seconds);
        return m_text;
    }

private:
    void Refresh(std::int64_t seconds);

    std::int64_t m_seconds = 0;
    bool m_bValid = false;
    std::string m_text;
};
