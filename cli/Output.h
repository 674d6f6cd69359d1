// The lines kesmora-cli writes for each found file, in its four formats,
// and the buffered writer they go through.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "cli/Platform.h"
#include "walk/DirReader.h"
#include "walk/FileStamp.h"

struct ResultRow;
struct ProjectGroup;

namespace cli {

enum class Format {
    Human,       // path, "1,536KB", created, modified; TAB between columns
    HumanBytes,  // the same with the size in bytes
    Nul,         // the path's exact bytes, then a NUL
    Json,        // one JSON object a line
};

// Appends bytes so that one line stays one line, nothing is lost and a
// terminal shows the path as it is: backslash becomes \\, newline \n, tab
// \t, carriage return \r; other control bytes, the C1 controls and the
// bidirectional controls (U+202A..U+202E, U+2066..U+2069, which would
// reorder what a terminal shows) byte by byte, and every byte that is not
// part of well-formed UTF-8, as \xHH. Other UTF-8 text passes unchanged.
// Where the backslash separates names (Windows) no name holds one, and it
// is written as it is.
void AppendEscaped(std::string& out, std::string_view bytes,
                   bool bBackslashSeparates = kPathSeparator == '\\');

// Seconds since 1970 -> "2026-12-07T11:42:05+01:00", local time with the
// offset in effect at that moment; empty when the time has no local form.
// Remembers the last one: the files of one build folder mostly share their
// second.
class CIsoTime {
public:
    const std::string& Convert(std::int64_t seconds);

private:
    std::int64_t m_from = 0;
    bool m_bValid = false;
    std::string m_to;
};

// Standard RFC 4648 base64 of the bytes.
std::string Base64(std::string_view bytes);

// Buffers stdout and writes it in large blocks: a line-by-line write would
// cost more than the search itself. beforeWrite runs before each block
// (the progress line clears itself from a shared terminal there).
class COutput {
public:
    static constexpr std::size_t kBlock = 1 << 16;

    COutput();
    void SetBeforeWrite(std::function<void()> beforeWrite) {
        m_beforeWrite = std::move(beforeWrite);
    }
    // Runs when a write finds that the reader has gone.
    void SetOnClosed(std::function<void()> onClosed) { m_onClosed = std::move(onClosed); }

    void Row(Format format, const ResultRow& row);
    // One group of --by-project (Human, HumanBytes or Json); pParent is the
    // group that holds it, if any.
    void Group(Format format, const ProjectGroup& group, const ProjectGroup* pParent);
    // One line of --tree (Human or HumanBytes): the group's totals, then its
    // folder indented by its depth, named from its parent's.
    void TreeGroup(Format format, const ProjectGroup& group, const ProjectGroup* pParent);
    void Text(std::string_view text);
    // False once any write failed or the reader went away; from then on
    // everything is dropped.
    bool Flush();
    bool Failed() const { return m_result != WriteResult::Written; }
    // The reader went away (a closed pipe), which is no failure of ours.
    bool Closed() const { return m_result == WriteResult::Closed; }
    // The system's text for a write that failed otherwise.
    const std::string& Error() const { return m_strError; }

private:
    void MaybeFlush() {
        if (m_buf.size() >= kBlock) Flush();
    }
    void JsonRow(const ResultRow& row);
    void Totals(Format format, std::uint64_t size, std::uint64_t nFiles, FileStamp newest);

    std::string m_buf;
    std::function<void()> m_beforeWrite;
    std::function<void()> m_onClosed;
    WriteResult m_result = WriteResult::Written;
    std::string m_strError;
    CIsoTime m_created;
    CIsoTime m_modified;
};

}  // namespace cli
