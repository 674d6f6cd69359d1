// Formatting of file times as "%Y/%m/%d %H:%M" local time.
#include "walk/TimeText.h"

#include <charconv>

namespace {

char* TwoDigits(char* p, int value) {
    *p++ = static_cast<char>('0' + value / 10 % 10);
    *p++ = static_cast<char>('0' + value % 10);
    return p;
}

}  // namespace

void CTimeText::Refresh(std::int64_t seconds) {
    m_seconds = seconds;
    m_bValid = true;
    m_text.clear();
    std::tm tmLocal{};
    int nOffset = 0;
    if (!ToLocalTime(seconds, tmLocal, nOffset)) return;
    char buf[40];
    char* p = std::to_chars(buf, buf + 16, static_cast<long long>(tmLocal.tm_year) + 1900).ptr;
    *p++ = '/';
    p = TwoDigits(p, tmLocal.tm_mon + 1);
    *p++ = '/';
    p = TwoDigits(p, tmLocal.tm_mday);
    *p++ = ' ';
    p = TwoDigits(p, tmLocal.tm_hour);
    *p++ = ':';
    p = TwoDigits(p, tmLocal.tm_min);
    m_text.assign(buf, p);
}

std::string FileTimeText(std::int64_t seconds) {
    CTimeText text;
    return text.Format(seconds);
}
