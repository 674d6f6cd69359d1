// Sorting the result rows by a column: keys are taken once per sort into a
// compact array, so the sort itself never touches the rows.
#include "search/ResultOrder.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <utility>

#include "walk/MatchRules.h"

namespace {

// A key as an unsigned number in ascending order, with a finer part that
// decides between equal keys (a time's nanoseconds); descending sorts their
// complements, so both directions share one comparison and ties stay in
// walk order.
struct NumberEntry {
    std::uint64_t key;
    std::uint32_t fine;
    std::uint32_t nWalk;
    std::uint32_t index;
};

struct NameEntry {
    std::size_t offset;  // of the folded name in the sort's buffer
    std::uint32_t length;
    std::uint32_t nWalk;
    std::uint32_t index;
};

NumberEntry NumberKey(const ResultRow& row, SortColumn column) {
    if (column == SortColumn::Size) return {row.size, 0, 0, 0};
    const FileStamp& t = column == SortColumn::Created ? row.created : row.modified;
    // Signed to unsigned keeping the order.
    return {static_cast<std::uint64_t>(t.seconds) ^ (std::uint64_t{1} << 63), t.nanoseconds, 0, 0};
}

std::vector<std::uint32_t> OrderByNumber(const std::vector<ResultRow>& rows, SortColumn column,
                                         bool bAscending) {
    std::vector<NumberEntry> entries(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const NumberEntry key = NumberKey(rows[i], column);
        entries[i] = {bAscending ? key.key : ~key.key, bAscending ? key.fine : ~key.fine,
                      rows[i].nWalk, static_cast<std::uint32_t>(i)};
    }
    std::sort(entries.begin(), entries.end(), [](const NumberEntry& a, const NumberEntry& b) {
        if (a.key != b.key) return a.key < b.key;
        if (a.fine != b.fine) return a.fine < b.fine;
        if (a.nWalk != b.nWalk) return a.nWalk < b.nWalk;
        return a.index < b.index;
    });
    std::vector<std::uint32_t> order(rows.size());
    for (std::size_t i = 0; i < entries.size(); ++i) order[i] = entries[i].index;
    return order;
}

// The paths are folded once into one buffer: comparing them is then a
// plain memcmp over contiguous memory instead of a byte loop per compare.
// The part every path shares (the searched folder) is left out.
std::vector<std::uint32_t> OrderByName(const std::vector<ResultRow>& rows, bool bAscending) {
    std::size_t common = rows.empty() ? 0 : rows.front().strPath.size();
    std::size_t total = 0;
    for (const ResultRow& row : rows) {
        const std::string& path = row.strPath;
        const std::string& first = rows.front().strPath;
        common = std::min(common, path.size());
        common = static_cast<std::size_t>(
            std::mismatch(first.begin(), first.begin() + static_cast<std::ptrdiff_t>(common),
                          path.begin())
                .first -
            first.begin());
        total += path.size();
    }
    std::vector<unsigned char> folded(total - common * rows.size());
    std::vector<NameEntry> entries(rows.size());
    std::size_t offset = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::string& path = rows[i].strPath;
        const std::size_t length = path.size() - common;
        entries[i] = {offset, static_cast<std::uint32_t>(length), rows[i].nWalk,
                      static_cast<std::uint32_t>(i)};
        std::transform(path.begin() + static_cast<std::ptrdiff_t>(common), path.end(),
                       folded.begin() + static_cast<std::ptrdiff_t>(offset),
                       [](char c) { return static_cast<unsigned char>(LowerAscii(c)); });
        offset += length;
    }
    const unsigned char* base = folded.data();
    std::sort(
        entries.begin(), entries.end(), [base, bAscending](const NameEntry& a, const NameEntry& b) {
            int diff = std::memcmp(base + a.offset, base + b.offset, std::min(a.length, b.length));
            if (diff == 0 && a.length != b.length) diff = a.length < b.length ? -1 : 1;
            if (diff != 0) return bAscending ? diff < 0 : diff > 0;
            if (a.nWalk != b.nWalk) return a.nWalk < b.nWalk;
            return a.index < b.index;
        });
    std::vector<std::uint32_t> order(rows.size());
    for (std::size_t i = 0; i < entries.size(); ++i) order[i] = entries[i].index;
    return order;
}

// Moves each row to its new place along the cycles of the permutation:
// no second row vector, and the vector keeps its capacity.
void Permute(std::vector<ResultRow>& rows, const std::vector<std::uint32_t>& order) {
    std::vector<bool> placed(rows.size());
    for (std::size_t start = 0; start < rows.size(); ++start) {
        if (placed[start] || order[start] == start) continue;
        ResultRow held = std::move(rows[start]);
        std::size_t to = start;
        while (true) {
            placed[to] = true;
            const std::size_t from = order[to];
            if (from == start) {
                rows[to] = std::move(held);
                break;
            }
            rows[to] = std::move(rows[from]);
            to = from;
        }
    }
}

}  // namespace

std::optional<SortColumn> ColumnToSortBy(int nColumn, bool bSearching) {
    if (bSearching || nColumn < static_cast<int>(SortColumn::Name) ||
        nColumn > static_cast<int>(SortColumn::Modified)) {
        return std::nullopt;
    }
    return static_cast<SortColumn>(nColumn);
}

std::vector<std::uint32_t> SortRows(std::vector<ResultRow>& rows, SortColumn column,
                                    bool bAscending) {
    const std::vector<std::uint32_t> order = column == SortColumn::Name
                                                 ? OrderByName(rows, bAscending)
                                                 : OrderByNumber(rows, column, bAscending);
    Permute(rows, order);
    std::vector<std::uint32_t> newIndex(order.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        newIndex[order[i]] = static_cast<std::uint32_t>(i);
    return newIndex;
}
