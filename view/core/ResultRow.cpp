// The view's own row store: one found file per row, texts ready to show.
#include "view/core/ResultRow.h"

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
