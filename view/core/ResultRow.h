// Where the result list takes its rows from: the list is virtual and asks
// for a cell's text only when it draws it, so 100,000s of rows stay cheap.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "view/core/ResultCollector.h"

class CResultRowSource {
public:
    virtual ~CResultRowSource() = default;
    virtual std::size_t GetRowCount() const = 0;
    // UTF-8 text of one cell: column 0 path, 1 size, 2 created, 3 modified.
    virtual std::string GetCellText(std::size_t nRow, int nColumn) const = 0;
};

// The view's own rows: a search appends to m_rows (AppendRows), a deletion
// erases from it; the list shows whatever it holds.
class CResultRows : public CResultRowSource {
public:
    std::size_t GetRowCount() const override { return m_rows.size(); }
    std::string GetCellText(std::size_t nRow, int nColumn) const override;

    std::vector<ResultRow> m_rows;
};
