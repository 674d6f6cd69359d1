// The text form of the settings file: a registry export ("REGEDIT4") parsed into keys and values
// and written back, keeping every value's type and exact bytes. A file looks like this:
//
//   REGEDIT4
//
//   [HKEY_CURRENT_USER\Software\tavoApp\VcppKesmora\Window]
//   "ShowCmd"=dword:00000005
//   "Right"=dword:ffffffff
//
//   [HKEY_CURRENT_USER\Software\tavoApp\VcppKesmora\History]
//   "Count"=dword:00000001
//   "History0"="/home/me/src \"a\\b\""
//   "Line"=hex(1):6f,6e,65,0a,74,77,6f,00
//
// A text (type 1) is written in quotes, with \\ and \" escaped, when it is UTF-8 without control
// characters and ends in its one zero byte; a number (type 4) of four bytes as dword:; anything
// else as hex(type): its bytes (hex: for type 3). Names are quoted the same way, with \xHH for
// bytes that cannot stand on a line; the unnamed value is @. Lines starting with ; are comments.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace regfile {

constexpr std::uint32_t kTypeNone = 0;
constexpr std::uint32_t kTypeSz = 1;      // REG_SZ
constexpr std::uint32_t kTypeBinary = 3;  // REG_BINARY
constexpr std::uint32_t kTypeDword = 4;   // REG_DWORD, little-endian

using Bytes = std::vector<unsigned char>;

// One line of a key: a value, or a comment the user wrote by hand (kept so a rewrite loses it not).
struct Entry {
    bool bComment = false;
    std::string strName;  // value name; empty for the default value "@"; for a comment its text
    std::uint32_t dwType = kTypeNone;
    Bytes data;
};

struct Key {
    std::string strPath;  // full path with its root, e.g. HKEY_CURRENT_USER\Software\a\b\c
    std::vector<Entry> entries;
};

struct Content {
    std::vector<std::string> preamble;  // comments before the first key
    std::vector<Key> keys;
    // False when anything was dropped or changed in parsing (a line that does not parse, a
    // missing header, a value given twice): rewriting the file would then lose something.
    bool bClean = true;
};

// Parses in time linear in the text's length; never fails, whatever the bytes.
Content Parse(std::string_view text);

// The canonical text of the content; parsing it gives the same keys, values and comments.
std::string Serialize(const Content& content);

// Key paths and value names compare without regard to ASCII case, as the registry does.
const Entry* FindValue(const Content& content, std::string_view keyPath, std::string_view name);

// Replaces the value of that name, or appends it to its key, or appends the key; the order of
// everything else stays.
void SetValue(Content& content, std::string_view keyPath, std::string_view name,
              std::uint32_t dwType, const unsigned char* pData, std::size_t nLength);

}  // namespace regfile
