// Where the result list takes its rows from: the list is virtual and asks
// for a cell's text only when it draws it, so 100,000s of rows stay cheap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CResultRowSource {
public:
    virtual ~CResultRowSource() = default;
    virtual std::size_t GetRowCount() const = 0;
    // UTF-8 text of one cell: column 0 path, 1 size, 2 created, 3 modified.
    virtual std::string GetCellText(std::size_t nRow, int nColumn) const = 0;
};

// One found file as the list shows it.
struct ResultRow {
    std::string strPath;
    std::string strSize;
    std::string strCreated;
    std::string strModified;
    std::uint64_t size = 0;
};

// The plain row store the view owns until a search fills it.
class CResultRows : public CResultRowSource {
public:
    std::size_t GetRowCount() const override { return m_rows.size(); }
    std::string GetCellText(std::size_t nRow, int nColumn) const override;

    std::vector<ResultRow> m_rows;
};
