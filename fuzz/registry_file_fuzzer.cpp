// Feeds any bytes to the settings file's parser: nothing may crash, leak or hang, and the text
// written back from what parsed must parse cleanly to the very same keys, values and comments.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "tavoBasis/RegistryFile.h"

namespace {

constexpr std::string_view kKey = "HKEY_CURRENT_USER\\Software\\tavoApp\\VcppKesmora\\Controls";

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

bool SameEntries(const regfile::Entry& a, const regfile::Entry& b) {
    return a.bComment == b.bComment && a.strName == b.strName && a.dwType == b.dwType &&
           a.data == b.data;
}

bool SameContent(const regfile::Content& a, const regfile::Content& b) {
    if (a.preamble != b.preamble || a.keys.size() != b.keys.size()) return false;
    for (std::size_t k = 0; k < a.keys.size(); ++k) {
        const regfile::Key& x = a.keys[k];
        const regfile::Key& y = b.keys[k];
        if (x.strPath != y.strPath || x.entries.size() != y.entries.size()) return false;
        for (std::size_t i = 0; i < x.entries.size(); ++i) {
            if (!SameEntries(x.entries[i], y.entries[i])) return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const regfile::Content parsed = regfile::Parse(text);
    const std::string written = regfile::Serialize(parsed);
    const regfile::Content again = regfile::Parse(written);
    Require(again.bClean, "written text parses cleanly");
    Require(SameContent(parsed, again), "written text parses to the same content");
    Require(regfile::Serialize(again) == written, "writing is stable");

    // A write of any name and bytes into whatever parsed: the value reads back exactly and
    // nothing else changes.
    if (size >= 5) {
        const std::size_t nameLength = data[0] % 16;
        const std::uint32_t type = data[1] % 8;
        const std::string name(text.substr(2, std::min(nameLength, size - 2)));
        const std::string_view value = text.substr(2 + name.size());
        regfile::Content edited = parsed;
        regfile::SetValue(edited, kKey, name, type,
                          reinterpret_cast<const unsigned char*>(value.data()), value.size());
        const regfile::Content reread = regfile::Parse(regfile::Serialize(edited));
        Require(reread.bClean, "edited text parses cleanly");
        Require(SameContent(edited, reread), "edited text parses to the same content");
        const regfile::Entry* entry = regfile::FindValue(reread, kKey, name);
        Require(entry && entry->dwType == type &&
                    std::string_view(reinterpret_cast<const char*>(entry->data.data()),
                                     entry->data.size()) == value,
                "the value written reads back");
    }
    return 0;
}
