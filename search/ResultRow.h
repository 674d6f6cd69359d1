// The rows of the result list: one found file each, as numbers; the texts
// are made when a row is shown.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "walk/FileStamp.h"
#include "walk/ListedFile.h"

// One found file. Kept small because a search may list hundreds of
// thousands: the path is the only heap allocation.
struct ResultRow {
    std::string strPath;     // exact bytes as found; deletion uses these
    std::uint64_t size = 0;  // bytes counted in the totals
    // The bytes the search listed. The size column shows these: a deletion
    // that learns a kept file's present size counts it, but leaves the
    // column as the search wrote it.
    std::uint64_t listedSize = 0;
    FileStamp created;
    FileStamp modified;
    // The file's identity when listed (FoldFileId, walk/ListedFile.h):
    // with the listed size and times, what a deletion checks the entry at
    // strPath against before it takes it. 0 when not known: such a row's
    // file is never taken.
    std::uint64_t fileId = 0;
    // The row's place in the walk's order: a sort keeps rows with equal
    // keys in this order.
    std::uint32_t nWalk = 0;
    // The folder it was found in, as the search's folders are numbered in
    // the order entered (FolderEntered); kNoFolder when not known. Sits in
    // what would be padding.
    std::uint32_t nFolder = kNoFolder;
    static constexpr std::uint32_t kNoFolder = 0xFFFFFFFFu;

    ResultRow() = default;
    ResultRow(std::string path, std::uint64_t bytes, FileStamp createdAt = {},
              FileStamp modifiedAt = {}, std::uint64_t id = 0);

    // The file as the search listed it.
    ListedFile Listed() const { return {fileId, listedSize, created, modified}; }

    // Columns 2 and 3: "YYYY/MM/DD HH:MM" local time, empty for a time
    // with no local representation.
    std::string CreatedText() const;
    std::string ModifiedText() const;
    // Column 0: the path, readable even when its bytes are not UTF-8.
    std::string DisplayName() const;
    // Column 1: "1,536KB", from the listed size.
    std::string SizeText() const;
};

// Moves the rows of a batch to the end of rows, in order, and returns the
// bytes they add to the running total. batch is left empty.
std::uint64_t AppendRows(std::vector<ResultRow>& rows, std::vector<ResultRow>& batch);

// The view's own rows, which the virtual list shows: a search appends to
// m_rows (AppendRows), a deletion erases from it. The list asks for a
// cell's text only when it draws it, so 100,000s of rows stay cheap.
class CResultRows {
public:
    std::size_t GetRowCount() const { return m_rows.size(); }
    // UTF-8 text of one cell: column 0 path, 1 size, 2 created, 3 modified.
    std::string GetCellText(std::size_t nRow, int nColumn) const;

    std::vector<ResultRow> m_rows;
};
