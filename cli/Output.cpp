// Formats of the found-file lines and the buffered stdout writer.
#include "cli/Output.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "search/DisplayText.h"
#include "search/ProjectGroups.h"
#include "search/ResultCollector.h"
#include "search/SizeFormat.h"
#include "walk/TimeText.h"

namespace cli {

namespace {

constexpr char kHex[] = "0123456789abcdef";

bool NeedsEscape(unsigned char c, bool bBackslashSeparates) {
    return c < 0x20 || c == 0x7f || (c == '\\' && !bBackslashSeparates) || c >= 0x80;
}

// Length of a well-formed UTF-8 sequence at the start of bytes, 0 if none.
std::size_t Utf8Length(std::string_view bytes) {
    for (std::size_t n = 2; n <= 4 && n <= bytes.size(); ++n) {
        if (IsValidUtf8(bytes.substr(0, n))) return n;
    }
    return 0;
}

// Valid UTF-8 that would still steer a terminal: the C1 controls
// (U+0080..U+009F) and the bidirectional embeddings, overrides and
// isolates (U+202A..U+202E, U+2066..U+2069).
bool IsControlSequence(std::string_view seq) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(seq[i]); };
    if (seq.size() == 2) return byte(0) == 0xC2 && byte(1) < 0xA0;
    if (seq.size() != 3 || byte(0) != 0xE2) return false;
    return (byte(1) == 0x80 && byte(2) >= 0xAA && byte(2) <= 0xAE) ||
           (byte(1) == 0x81 && byte(2) >= 0xA6 && byte(2) <= 0xA9);
}

// "path", and beside it "path_base64" with the exact bytes when they are
// not UTF-8.
void JsonPath(nlohmann::ordered_json& line, const std::string& strPath) {
    if (IsValidUtf8(strPath)) {
        line["path"] = strPath;
    } else {
        line["path"] = DisplayPath(strPath);
        line["path_base64"] = Base64(strPath);
    }
}

}  // namespace

void AppendEscaped(std::string& out, std::string_view bytes, bool bBackslashSeparates) {
    std::size_t plain = 0;
    while (plain < bytes.size() &&
           !NeedsEscape(static_cast<unsigned char>(bytes[plain]), bBackslashSeparates)) {
        ++plain;
    }
    out.append(bytes.data(), plain);
    for (std::size_t i = plain; i < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (!NeedsEscape(c, bBackslashSeparates)) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        if (c >= 0x80) {
            const std::size_t n = Utf8Length(bytes.substr(i));
            if (n > 0 && !IsControlSequence(bytes.substr(i, n))) {
                out.append(bytes.data() + i, n);
                i += n;
                continue;
            }
            // A control is escaped whole, byte by byte, like the rest.
            for (const std::size_t end = i + std::max<std::size_t>(n, 1); i < end; ++i) {
                const auto b = static_cast<unsigned char>(bytes[i]);
                out += "\\x";
                out += kHex[b >> 4];
                out += kHex[b & 15];
            }
            continue;
        }
        out += '\\';
        switch (c) {
            case '\\':
                out += '\\';
                break;
            case '\n':
                out += 'n';
                break;
            case '\t':
                out += 't';
                break;
            case '\r':
                out += 'r';
                break;
            default:
                out += 'x';
                out += kHex[c >> 4];
                out += kHex[c & 15];
        }
        ++i;
    }
}

const std::string& CIsoTime::Convert(std::int64_t seconds) {
    if (m_bValid && seconds == m_from) return m_to;
    m_from = seconds;
    m_bValid = true;
    m_to.clear();
    std::tm tm{};
    int nOffset = 0;
    if (!ToLocalTime(seconds, tm, nOffset)) return m_to;
    // Offsets are whole minutes in every zone in use since 1972; before,
    // some had seconds (Monrovia's -0:44:30), which are written then, so
    // that the text still names the moment exactly.
    const int absOffset = nOffset < 0 ? -nOffset : nOffset;
    char buf[64];
    int n = std::snprintf(buf, sizeof buf, "%04lld-%02d-%02dT%02d:%02d:%02d%c%02d:%02d",
                          static_cast<long long>(tm.tm_year) + 1900, tm.tm_mon + 1, tm.tm_mday,
                          tm.tm_hour, tm.tm_min, tm.tm_sec, nOffset < 0 ? '-' : '+',
                          absOffset / 3600, absOffset / 60 % 60);
    if (absOffset % 60 != 0 && n > 0) {
        std::snprintf(buf + n, sizeof buf - static_cast<std::size_t>(n), ":%02d", absOffset % 60);
    }
    m_to = buf;
    return m_to;
}

std::string Base64(std::string_view bytes) {
    static constexpr char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const unsigned v = static_cast<unsigned char>(bytes[i]) << 16 |
                           static_cast<unsigned char>(bytes[i + 1]) << 8 |
                           static_cast<unsigned char>(bytes[i + 2]);
        out += kAlphabet[v >> 18];
        out += kAlphabet[(v >> 12) & 63];
        out += kAlphabet[(v >> 6) & 63];
        out += kAlphabet[v & 63];
    }
    if (const std::size_t rest = bytes.size() - i; rest > 0) {
        unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
        if (rest == 2) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        out += kAlphabet[v >> 18];
        out += kAlphabet[(v >> 12) & 63];
        out += rest == 2 ? kAlphabet[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

COutput::COutput() { m_buf.reserve(kBlock + 4096); }

void COutput::Row(Format format, const ResultRow& row) {
    switch (format) {
        case Format::Nul:
            m_buf += row.strPath;
            m_buf += '\0';
            break;
        case Format::Json:
            JsonRow(row);
            break;
        case Format::Human:
        case Format::HumanBytes: {
            AppendEscaped(m_buf, row.strPath);
            m_buf += '\t';
            if (format == Format::Human) {
                m_buf += row.SizeText();
            } else {
                char digits[24];
                m_buf.append(digits, std::to_chars(digits, digits + sizeof digits, row.size).ptr);
            }
            m_buf += '\t';
            m_buf += row.CreatedText();
            m_buf += '\t';
            m_buf += row.ModifiedText();
            m_buf += '\n';
            break;
        }
    }
    MaybeFlush();
}

void COutput::JsonRow(const ResultRow& row) {
    nlohmann::ordered_json line;
    JsonPath(line, row.strPath);
    line["size"] = row.size;
    line["created"] = m_created.Convert(row.created.seconds);
    line["modified"] = m_modified.Convert(row.modified.seconds);
    m_buf += line.dump();
    m_buf += '\n';
}

void COutput::Group(Format format, const ProjectGroup& group, const ProjectGroup* pParent) {
    if (format == Format::Json) {
        nlohmann::ordered_json line;
        JsonPath(line, group.strPath);
        line["kind"] = group.bProject ? "project" : "folder";
        line["files"] = group.nFiles;
        line["size"] = group.size;
        // A project whose files all lie in the groups below it has no time
        // of its own.
        if (group.nFiles == 0) {
            line["modified"] = nullptr;
        } else {
            line["modified"] = m_modified.Convert(group.newest.seconds);
        }
        // Named as that group's own "path" is, so the two match as text.
        if (pParent == nullptr) {
            line["parent"] = nullptr;
        } else if (IsValidUtf8(pParent->strPath)) {
            line["parent"] = pParent->strPath;
        } else {
            line["parent"] = DisplayPath(pParent->strPath);
        }
        line["total_files"] = group.nTotalFiles;
        line["total_size"] = group.totalSize;
        m_buf += line.dump();
    } else {
        Totals(format, group.size, group.nFiles, group.newest);
        AppendEscaped(m_buf, group.strPath);
    }
    m_buf += '\n';
    MaybeFlush();
}

void COutput::TreeGroup(Format format, const ProjectGroup& group, const ProjectGroup* pParent) {
    Totals(format, group.totalSize, group.nTotalFiles, group.totalNewest);
    m_buf.append(2 * std::size_t{group.nDepth}, ' ');
    std::string_view name = group.strPath;
    // Below its parent only the names that lead down from it.
    if (pParent != nullptr && name.size() > pParent->strPath.size() &&
        name.substr(0, pParent->strPath.size()) == pParent->strPath) {
        name.remove_prefix(pParent->strPath.size());
        while (!name.empty() && (name.front() == '/' || name.front() == kPathSeparator)) {
            name.remove_prefix(1);
        }
    }
    AppendEscaped(m_buf, name);
    m_buf += '\n';
    MaybeFlush();
}

void COutput::Totals(Format format, std::uint64_t size, std::uint64_t nFiles, FileStamp newest) {
    m_buf += format == Format::HumanBytes ? std::to_string(size) : SizeText(size);
    m_buf += '\t';
    m_buf += std::to_string(nFiles);
    m_buf += '\t';
    m_buf += FileTimeText(newest.seconds);
    m_buf += '\t';
}

void COutput::Text(std::string_view text) {
    m_buf += text;
    MaybeFlush();
}

bool COutput::Flush() {
    if (m_buf.empty() || Failed()) {
        m_buf.clear();
        return !Failed();
    }
    if (m_beforeWrite) m_beforeWrite();
    m_result = WriteAll(Stream::Out, m_buf);
    if (m_result == WriteResult::Failed) m_strError = SystemErrorText(LastSystemError());
    if (m_result == WriteResult::Closed && m_onClosed) m_onClosed();
    m_buf.clear();
    return !Failed();
}

}  // namespace cli
