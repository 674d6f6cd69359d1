// Status-bar texts of a search (progress and summary) and the small text
// helpers the view's messages share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

// What the status bar shows: one wide pane (strLeft only) or a left and a
// right pane.
struct StatusTexts {
    bool bTwoPanes = false;
    std::string strLeft;
    std::string strRight;
};

// Copies tmpl, replacing each "%x" whose letter x has a value in fields by
// that value. Inserted values are not scanned again, so a path holding
// "%d" stays as it is.
std::string FillText(std::string_view tmpl,
                     std::initializer_list<std::pair<char, std::string_view>> fields);

// "X MB ( Y KB )", each rounded from the bytes on its own.
std::string MegaKiloText(std::uint64_t bytes);

// "<folder> を検索しています..." with the folder made displayable.
std::string SearchingText(std::string_view folder);
// The summary after a walk or a stop: the count and the total in two panes,
// or the nothing-found text in one; then the folders that could not be
// read, if any, so a partial search never looks complete.
StatusTexts SearchSummaryTexts(std::size_t rowCount, std::uint64_t totalBytes,
                               std::uint64_t unreadableFolders = 0);
