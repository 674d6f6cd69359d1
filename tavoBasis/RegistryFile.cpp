// Parsing and writing the registry-export text of the settings file.
#include "tavoBasis/RegistryFile.h"

#include <unordered_map>

namespace regfile {
namespace {

constexpr std::string_view kHeader = "REGEDIT4";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr char kHexDigits[] = "0123456789abcdef";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Trailing carriage returns go too, so files that went through Windows read the same.
std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

unsigned char FoldAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(static_cast<unsigned char>(a[i])) !=
            FoldAscii(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

std::string Folded(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(FoldAscii(static_cast<unsigned char>(c)));
    return out;
}

bool StartsWithFolded(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && SameName(s.substr(0, prefix.size()), prefix);
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Length of the well-formed UTF-8 sequence at s[i], or 0 when the bytes there are not one
// (overlong forms and surrogates included).
std::size_t Utf8Length(std::string_view s, std::size_t i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) return 1;
    std::size_t n = 0;
    std::uint32_t code = 0;
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
        code = c & 0x1Fu;
    } else if ((c & 0xF0) == 0xE0) {
        n = 3;
        code = c & 0x0Fu;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        code = c & 0x07u;
    } else {
        return 0;
    }
    if (i + n > s.size()) return 0;
    for (std::size_t k = 1; k < n; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) return 0;
        code = (code << 6) | (b & 0x3Fu);
    }
    if (n == 3 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))) return 0;
    if (n == 4 && (code < 0x10000 || code > 0x10FFFF)) return 0;
    return n;
}

// Control characters would break the line or hide in an editor.
bool IsPlainByte(unsigned char c) { return c >= 0x20 && c != 0x7F; }

// A quoted text at s[pos] ('"' there), with the escapes \\ \" and \xHH. On success pos is past
// the closing quote.
bool ParseQuoted(std::string_view s, std::size_t& pos, std::string& out) {
    if (pos >= s.size() || s[pos] != '"') return false;
    ++pos;
    while (pos < s.size()) {
        const char c = s[pos++];
        if (c == '"') return true;
        if (c != '\\') {
            out += c;
            continue;
        }
        if (pos >= s.size()) return false;
        const char e = s[pos++];
        if (e == '\\' || e == '"') {
            out += e;
        } else if (e == 'x' && pos + 2 <= s.size() && HexValue(s[pos]) >= 0 &&
                   HexValue(s[pos + 1]) >= 0) {
            out += static_cast<char>(HexValue(s[pos]) * 16 + HexValue(s[pos + 1]));
            pos += 2;
        } else {
            return false;
        }
    }
    return false;
}

void SkipBlanks(std::string_view s, std::size_t& pos) {
    while (pos < s.size() && IsBlank(s[pos])) ++pos;
}

// The name and the '=' of a value line; pos ends at the first character of the data.
bool ParseNameAndEquals(std::string_view line, std::size_t& pos, std::string& name) {
    pos = 0;
    if (line.empty()) return false;
    if (line[0] == '@') {
        pos = 1;
    } else if (!ParseQuoted(line, pos, name)) {
        return false;
    }
    SkipBlanks(line, pos);
    if (pos >= line.size() || line[pos] != '=') return false;
    ++pos;
    SkipBlanks(line, pos);
    return true;
}

// "31,32,00": two hex digits a byte; blanks allowed around each; empty means no bytes.
bool ParseHexList(std::string_view s, Bytes& out) {
    s = Trim(s);
    if (s.empty()) return true;
    std::size_t pos = 0;
    for (;;) {
        SkipBlanks(s, pos);
        if (pos + 2 > s.size()) return false;
        const int hi = HexValue(s[pos]);
        const int lo = HexValue(s[pos + 1]);
        if (hi < 0 || lo < 0) return false;
        out.push_back(static_cast<unsigned char>(hi * 16 + lo));
        pos += 2;
        SkipBlanks(s, pos);
        if (pos == s.size()) return true;
        if (s[pos] != ',') return false;
        ++pos;
    }
}

bool ParseData(std::string_view s, Entry& entry) {
    if (!s.empty() && s[0] == '"') {
        std::size_t pos = 0;
        std::string text;
        if (!ParseQuoted(s, pos, text)) return false;
        SkipBlanks(s, pos);
        if (pos != s.size()) return false;
        entry.dwType = kTypeSz;
        entry.data.assign(text.begin(), text.end());
        entry.data.push_back(0);
        return true;
    }
    if (StartsWithFolded(s, "dword:")) {
        // Exactly eight digits, so a line cut short does not pass for a smaller number.
        s.remove_prefix(6);
        if (s.size() != 8) return false;
        std::uint32_t value = 0;
        for (char c : s) {
            const int digit = HexValue(c);
            if (digit < 0) return false;
            value = value * 16 + static_cast<std::uint32_t>(digit);
        }
        entry.dwType = kTypeDword;
        entry.data = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                      static_cast<unsigned char>(value >> 16),
                      static_cast<unsigned char>(value >> 24)};
        return true;
    }
    if (StartsWithFolded(s, "hex:")) {
        entry.dwType = kTypeBinary;
        return ParseHexList(s.substr(4), entry.data);
    }
    if (StartsWithFolded(s, "hex(")) {
        std::size_t pos = 4;
        std::uint32_t type = 0;
        std::size_t digits = 0;
        while (pos < s.size() && HexValue(s[pos]) >= 0) {
            type = type * 16 + static_cast<std::uint32_t>(HexValue(s[pos++]));
            if (++digits > 8) return false;
        }
        if (digits == 0 || s.substr(pos, 2) != "):") return false;
        entry.dwType = type;
        return ParseHexList(s.substr(pos + 2), entry.data);
    }
    return false;
}

bool ParseValueLine(std::string_view line, Entry& entry) {
    std::size_t pos = 0;
    return ParseNameAndEquals(line, pos, entry.strName) && ParseData(line.substr(pos), entry);
}

// A hex value may go on over several lines, each but the last ending in a backslash.
bool StartsHexContinuation(std::string_view line) {
    if (line.empty() || line.back() != '\\') return false;
    std::size_t pos = 0;
    std::string name;
    return ParseNameAndEquals(line, pos, name) && StartsWithFolded(line.substr(pos), "hex");
}

// Splits text into lines without copying; the last line may lack its newline.
class LineReader {
public:
    explicit LineReader(std::string_view text) : m_text(text) {}
    bool Next(std::string_view& line) {
        if (m_pos >= m_text.size()) return false;
        const std::size_t end = m_text.find('\n', m_pos);
        const std::size_t stop = end == std::string_view::npos ? m_text.size() : end;
        line = m_text.substr(m_pos, stop - m_pos);
        m_pos = stop + 1;
        return true;
    }

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
};

void AppendHexByte(std::string& out, unsigned char b) {
    out += kHexDigits[b >> 4];
    out += kHexDigits[b & 0x0F];
}

// Texts go on one line, readable, when nothing in them needs more than \\ and \".
bool IsLineText(const Bytes& data) {
    if (data.empty() || data.back() != 0) return false;
    const std::string_view s(reinterpret_cast<const char*>(data.data()), data.size() - 1);
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80 && !IsPlainByte(c)) return false;
        const std::size_t n = Utf8Length(s, i);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

void AppendQuoted(std::string& out, std::string_view s) {
    out += '"';
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t n = Utf8Length(s, i);
        if (c == '\\' || c == '"') {
            out += '\\';
            out += static_cast<char>(c);
            ++i;
        } else if (n == 0 || (n == 1 && !IsPlainByte(c))) {
            out += "\\x";
            AppendHexByte(out, c);
            ++i;
        } else {
            out.append(s.substr(i, n));
            i += n;
        }
    }
    out += '"';
}

void AppendHexList(std::string& out, const Bytes& data) {
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (i > 0) out += ',';
        AppendHexByte(out, data[i]);
    }
}

void AppendData(std::string& out, const Entry& entry) {
    if (entry.dwType == kTypeSz && IsLineText(entry.data)) {
        AppendQuoted(out, std::string_view(reinterpret_cast<const char*>(entry.data.data()),
                                           entry.data.size() - 1));
    } else if (entry.dwType == kTypeDword && entry.data.size() == 4) {
        out += "dword:";
        for (int i = 3; i >= 0; --i) AppendHexByte(out, entry.data[static_cast<std::size_t>(i)]);
    } else {
        if (entry.dwType == kTypeBinary) {
            out += "hex:";
        } else {
            char type[16];
            int n = 0;
            std::uint32_t t = entry.dwType;
            do {
                type[n++] = kHexDigits[t & 0x0F];
                t >>= 4;
            } while (t != 0);
            out += "hex(";
            while (n > 0) out += type[--n];
            out += "):";
        }
        AppendHexList(out, entry.data);
    }
}

Key* FindKey(Content& content, std::string_view keyPath) {
    for (Key& key : content.keys) {
        if (SameName(key.strPath, keyPath)) return &key;
    }
    return nullptr;
}

// Reads the text line by line. Its indexes make every line cost time linear in its length, so
// a huge or hostile file cannot make the parse quadratic.
class Parser {
public:
    explicit Parser(std::string_view text) : m_reader(text) {}

    Content Run() {
        std::string_view raw;
        bool first = true;
        while (m_reader.Next(raw)) {
            const std::string_view line = Trim(raw);
            if (first) {
                first = false;
                if (line == kHeader) continue;
                m_content.bClean = false;
            }
            if (line.empty()) continue;
            if (line[0] == ';') {
                AddComment(line);
            } else if (line[0] == '[') {
                OpenKey(line);
            } else if (StartsHexContinuation(line)) {
                AddValue(JoinContinuation(line));
            } else {
                AddValue(line);
            }
        }
        return std::move(m_content);
    }

private:
    static constexpr std::size_t kNoKey = static_cast<std::size_t>(-1);

    void AddComment(std::string_view line) {
        if (m_current == kNoKey) {
            m_content.preamble.emplace_back(line);
            return;
        }
        Entry comment;
        comment.bComment = true;
        comment.strName = std::string(line);
        m_content.keys[m_current].entries.push_back(std::move(comment));
    }

    void OpenKey(std::string_view line) {
        // "[-...]" deletes a key in an export meant for import; it has no place here.
        if (line.size() < 3 || line.back() != ']' || line[1] == '-') {
            m_content.bClean = false;
            m_current = kNoKey;  // the values below it belong to no key we know
            return;
        }
        const std::string_view path = line.substr(1, line.size() - 2);
        const auto [it, added] = m_keyIndex.emplace(Folded(path), m_content.keys.size());
        if (added) {
            m_content.keys.push_back(Key{std::string(path), {}});
            m_valueIndex.emplace_back();
        }
        m_current = it->second;
    }

    void AddValue(std::string_view line) {
        Entry entry;
        if (m_current == kNoKey || !ParseValueLine(line, entry)) {
            m_content.bClean = false;
            return;
        }
        std::vector<Entry>& entries = m_content.keys[m_current].entries;
        const auto [it, added] =
            m_valueIndex[m_current].emplace(Folded(entry.strName), entries.size());
        if (added) {
            entries.push_back(std::move(entry));
            return;
        }
        // The later line wins, as on import; the earlier one would be lost on rewrite.
        m_content.bClean = false;
        entries[it->second].dwType = entry.dwType;
        entries[it->second].data = std::move(entry.data);
    }

    std::string JoinContinuation(std::string_view line) {
        std::string joined(line.substr(0, line.size() - 1));
        std::string_view next;
        while (m_reader.Next(next)) {
            next = Trim(next);
            const bool more = !next.empty() && next.back() == '\\';
            joined.append(more ? next.substr(0, next.size() - 1) : next);
            if (!more) break;
        }
        return joined;
    }

    LineReader m_reader;
    Content m_content;
    std::unordered_map<std::string, std::size_t> m_keyIndex;
    std::vector<std::unordered_map<std::string, std::size_t>> m_valueIndex;  // per key
    std::size_t m_current = kNoKey;
};

}  // namespace

Content Parse(std::string_view text) {
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        text.remove_prefix(kByteOrderMark.size());
    }
    return Parser(text).Run();
}

std::string Serialize(const Content& content) {
    std::string out(kHeader);
    out += '\n';
    for (const std::string& comment : content.preamble) {
        out += comment;
        out += '\n';
    }
    for (const Key& key : content.keys) {
        out += "\n[";
        out += key.strPath;
        out += "]\n";
        for (const Entry& entry : key.entries) {
            if (entry.bComment) {
                out += entry.strName;
            } else {
                if (entry.strName.empty()) {
                    out += '@';
                } else {
                    AppendQuoted(out, entry.strName);
                }
                out += '=';
                AppendData(out, entry);
            }
            out += '\n';
        }
    }
    return out;
}

const Entry* FindValue(const Content& content, std::string_view keyPath, std::string_view name) {
    for (const Key& key : content.keys) {
        if (!SameName(key.strPath, keyPath)) continue;
        for (const Entry& entry : key.entries) {
            if (!entry.bComment && SameName(entry.strName, name)) return &entry;
        }
        return nullptr;
    }
    return nullptr;
}

void SetValue(Content& content, std::string_view keyPath, std::string_view name,
              std::uint32_t dwType, const unsigned char* pData, std::size_t nLength) {
    Key* key = FindKey(content, keyPath);
    if (!key) {
        content.keys.push_back(Key{std::string(keyPath), {}});
        key = &content.keys.back();
    }
    for (Entry& entry : key->entries) {
        if (!entry.bComment && SameName(entry.strName, name)) {
            entry.dwType = dwType;
            entry.data.assign(pData, pData + nLength);
            return;
        }
    }
    Entry entry;
    entry.strName = std::string(name);
    entry.dwType = dwType;
    entry.data.assign(pData, pData + nLength);
    key->entries.push_back(std::move(entry));
}

}  // namespace regfile
