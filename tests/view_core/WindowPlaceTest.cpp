// Where the main window opens from saved values, reachable or not.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "view/core/WindowPlace.h"

namespace {

TEST(ReachableWindowRect, KeepsAReachablePlaceAndSaneSizeAndMovesTheRestToTheDefaultPlace) {
    const ScreenRect defaults{100, 100, 480, 380};
    const std::vector<ScreenRect> one = {{0, 0, 1280, 800}};
    const std::vector<ScreenRect> two = {{0, 0, 1280, 800}, {1280, 0, 1920, 1080}};
    struct Case {
        ScreenRect saved;
        std::vector<ScreenRect> screens;
        ScreenRect expected;
    };
    const Case cases[] = {
        {{300, 200, 700, 500}, one, {300, 200, 700, 500}},
        {{300, 200, 100, 50}, one, {300, 200, 480, 380}},
        // "Left"="abc" reads as 0x00636261; Right stays 580.
        {{6513249, 100, 580 - 6513249, 380}, one, {100, 100, 480, 380}},
        {{-1000, 100, 744, 380}, one, {100, 100, 744, 380}},
        {{1100, 100, 600, 400}, one, {1100, 100, 600, 400}},
        {{1232, 100, 600, 400}, one, {100, 100, 600, 400}},
        {{100, 750, 480, 380}, one, {100, 100, 480, 380}},
        {{100, -20, 480, 380}, one, {100, 100, 480, 380}},
        {{0, 0, 4000, 3000}, one, {0, 0, 480, 380}},
        {{2000, 500, 800, 600}, two, {2000, 500, 800, 600}},
        {{2000, 500, 800, 600}, one, {100, 100, 800, 600}},
        {{INT_MAX - 10, INT_MAX - 10, 480, 380}, one, {100, 100, 480, 380}},
        {{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, one, {100, 100, 480, 380}},
    };
    for (const Case& c : cases) {
        const ScreenRect got = ReachableWindowRect(c.saved, defaults, 480, 380, c.screens);
        EXPECT_EQ(got, c.expected)
            << c.saved.x << "," << c.saved.y << " " << c.saved.width << "x" << c.saved.height
            << " gave " << got.x << "," << got.y << " " << got.width << "x" << got.height;
    }
}

}  // namespace
