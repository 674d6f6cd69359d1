// The order of the result list when the user sorts it by a column.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "search/ResultRow.h"

// The list's columns, by their position.
enum class SortColumn : int { Name = 0, Size = 1, Created = 2, Modified = 3 };

// The column a click on the header at position nColumn sorts by, or none.
// While a search runs no header sorts: rows arriving after a sort would
// stand unsorted below its arrow, and keeping 100,000s of rows in order as
// they come would cost the window's thread a full pass per batch.
std::optional<SortColumn> ColumnToSortBy(int nColumn, bool bSearching);

// Puts rows in the order of column, ascending or descending, by value:
// names by the path's bytes with ASCII letters folded, sizes by bytes,
// times by their numbers, to the nanosecond the file system keeps. Rows with equal keys
// keep the walk's order (ResultRow::nWalk) in both directions.
//
// The rows are moved into their new places, so a row's index stays its
// position in the list, as deletion and selection expect. Returns, for each
// old index, the row's new index, so that a selection can follow its rows.
std::vector<std::uint32_t> SortRows(std::vector<ResultRow>& rows, SortColumn column,
                                    bool bAscending);
