// Result rows: their display texts and the view's row store.
#include "search/ResultRow.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "search/DisplayText.h"
#include "search/SizeFormat.h"
#include "walk/TimeText.h"

ResultRow::ResultRow(std::string path, std::uint64_t bytes, FileStamp createdAt,
                     FileStamp modifiedAt, std::uint64_t id)
    : strPath(std::move(path)),
      size(bytes),
      listedSize(bytes),
      created(createdAt),
      modified(modifiedAt),
      fileId(id) {}

std::string ResultRow::CreatedText() const { return FileTimeText(created.seconds); }

std::string ResultRow::ModifiedText() const { return FileTimeText(modified.seconds); }

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
            return row.CreatedText();
        case 3:
            return row.ModifiedText();
        default:
            return {};
    }
}
