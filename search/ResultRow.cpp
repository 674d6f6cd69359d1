// Result rows: their compact time texts, their display texts and the
// view's row store.
#include "search/ResultRow.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "search/DisplayText.h"
#include "search/SizeFormat.h"

namespace {

void CopyTimeText(std::array<char, ResultRow::kTimeChars>& to, std::string_view text) {
    const std::size_t n = std::min(text.size(), to.size());
    std::copy_n(text.data(), n, to.data());
    std::fill(to.begin() + static_cast<std::ptrdiff_t>(n), to.end(), '\0');
}

std::string_view TimeTextOf(const std::array<char, ResultRow::kTimeChars>& text) {
    const auto end = std::find(text.begin(), text.end(), '\0');
    return std::string_view(text.data(), static_cast<std::size_t>(end - text.begin()));
}

}  // namespace

ResultRow::ResultRow(std::string path, std::uint64_t bytes, std::string_view createdText,
                     std::string_view modifiedText)
    : strPath(std::move(path)), size(bytes), listedSize(bytes) {
    CopyTimeText(created, createdText);
    CopyTimeText(modified, modifiedText);
}

std::string_view ResultRow::Created() const { return TimeTextOf(created); }

std::string_view ResultRow::Modified() const { return TimeTextOf(modified); }

std::string ResultRow::DisplayName() const { return DisplayPath(strPath); }

std::string ResultRow::SizeText() const { return ::SizeText(listedSize); }

std::uint64_t AppendRows(std::vector<ResultRow>& rows, std::vector<ResultRow>& batch) {
    std::uint64_t added = 0;
    for (const ResultRow& row : batch) added += row.size;
    // Growing by half rather than doubling keeps the spare capacity of a
    // list of hundreds of thousands of rows at a third of it or less.
    const std::size_t needed = rows.size() + batch.size();
    if (needed > rows.capacity()) rows.reserve(std::max(needed, rows.capacity() * 3 / 2));
    rows.insert(rows.end(), std::make_move_iterator(batch.begin()),
                std::make_move_iterator(batch.end()));
    batch.clear();
    return added;
}

std::string CResultRows::GetCellText(std::size_t nRow, int nColumn) const {
    if (nRow >= m_rows.size()) {
        return {};
    }
    const ResultRow& row = m_rows[nRow];
    switch (nColumn) {
        case 0:
            return row.DisplayName();
        case 1:
            return row.SizeText();
        case 2:
            return std::string(row.Created());
        case 3:
            return std::string(row.Modified());
        default:
            return {};
    }
}
