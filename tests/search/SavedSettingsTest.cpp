// The loader of the window's saved settings, on the platform's own store:
// its rules as one table, from stored values to what both front ends take.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "../registry/StoreTest.h"
#include "search/SavedSettings.h"

namespace {

struct LoadCase {
    const char* name;
    std::vector<std::pair<const char*, int>> controls;
    int nHistoryCount;                           // History\Count; no History section when 0
    std::vector<std::string> entries;            // History0, History1, ...
    std::function<void(SavedSettings&)> expect;  // changes from the defaults
};

SavedSettings Defaults() {
    SavedSettings saved;
    saved.bStored = true;
    SearchOptions& o = saved.options;
    o.bIdb = o.bIlk = o.bObj = o.bPch = o.bPdb = o.bRes = o.bSbr = o.bBsc = true;
    o.nRadioFolder = 1;
    return saved;
}

const LoadCase kCases[] = {
    {"NothingStoredLoadsTheDefaultsAndSaysSo",
     {},
     0,
     {},
     [](SavedSettings& s) { s.bStored = false; }},
    {"AHugeCountReadsOnlyTheEntriesThereSkippingEmptyAndNonUtf8Ones",
     {},
     INT_MAX,
     {"/a", "", "/bad\xff", "/c"},
     [](SavedSettings& s) {
         s.history = {"/a", "/c"};
     }},
    {"EntriesFromCountOnAreIgnored",
     {},
     1,
     {"/a", "/b"},
     [](SavedSettings& s) { s.history = {"/a"}; }},
    {"AFolderRadioOutsideTheGroupLoadsAsDebugAndRelease", {{"RadioFolder", 7}}, 0, {}, nullptr},
    {"ANegativeFolderRadioLoadsAsDebugAndRelease", {{"RadioFolder", -1}}, 0, {}, nullptr},
    {"AFolderRadioInTheGroupStays",
     {{"RadioFolder", 3}},
     0,
     {},
     [](SavedSettings& s) { s.options.nRadioFolder = 3; }},
    {"APeriodAbove99LoadsAsOne",
     {{"Count", 100}, {"RadioTime", 1}},
     0,
     {},
     [](SavedSettings& s) { s.options.nRadioTime = 1; }},
    {"APeriodBelowOneLoadsAsOne", {{"Count", -5}}, 0, {}, nullptr},
    {"APeriodOf99Stays", {{"Count", 99}}, 0, {}, [](SavedSettings& s) { s.options.nCount = 99; }},
    {"ComboPositionsBelowZeroShowTheFirstItemPastTheListNone",
     {{"ComboDayMonth", -1}, {"ComboFile", 7}},
     0,
     {},
     [](SavedSettings& s) { s.nFileTimePosition = 7; }},
    {"ComboPositionsInTheirListsAreTaken",
     {{"ComboDayMonth", 3}, {"ComboFile", 1}},
     0,
     {},
     [](SavedSettings& s) {
         s.nDayMonthPosition = s.options.nUnitIndex = 3;
         s.nFileTimePosition = s.options.nFileTimeIndex = 1;
     }},
    {"NewerKindsTheTrashThePruningAndTheProjectViewOnlyWhenStoredAsOne",
     {{"Ipch", 1},
      {"Sdf", 2},
      {"Tlog", 1},
      {"UseTrash", 1},
      {"RemoveEmptyFolders", 2},
      {"ProjectView", 1}},
     0,
     {},
     [](SavedSettings& s) {
         s.options.newer.Set(FileKind::Ipch);
         s.options.newer.Set(FileKind::Tlog);
         s.bUseTrash = true;
         s.bProjectView = true;
     }},
    {"ATrashOrViewValueOtherThanOneDeletesAndShowsTheFiles",
     {{"UseTrash", 2}, {"ProjectView", -1}},
     0,
     {},
     nullptr},
    {"ChecksStoredAsZeroAreOff",
     {{"Obj", 0}, {"FindSubFolder", 0}, {"ConfirmRemove", 0}, {"Bsc", 2}},
     0,
     {},
     [](SavedSettings& s) {
         s.options.bObj = false;
         s.options.bFindSubFolder = false;
         s.bConfirmRemove = false;
     }},
};

class SavedSettingsTest : public StoreTest, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(SavedSettingsTest, LoadsAsTheWindowsStartDoes) {
    const LoadCase& c = GetParam();
    if (c.nHistoryCount != 0) {
        PointAt(m_reg, "History");
        m_reg.WriteDWORD("Count", static_cast<std::uint32_t>(c.nHistoryCount), RegRoot::CurrentUser,
                         false);
        for (std::size_t i = 0; i < c.entries.size(); ++i) {
            m_reg.WriteString("History" + std::to_string(i), c.entries[i], RegRoot::CurrentUser,
                              false);
        }
    }
    PointAt(m_reg, "Controls");
    for (const auto& [name, value] : c.controls) {
        m_reg.WriteDWORD(name, static_cast<std::uint32_t>(value), RegRoot::CurrentUser, false);
    }
    SavedSettings expected = Defaults();
    if (c.expect) c.expect(expected);
    CRegistry registry;
    EXPECT_EQ(LoadSavedSettings(registry), expected);
}

INSTANTIATE_TEST_SUITE_P(Rules, SavedSettingsTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
