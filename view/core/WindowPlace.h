// Where the main window opens from its saved rectangle: the saved place
// when the user can reach the window there, else the default place.
#pragma once

#include <vector>

struct ScreenRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const ScreenRect&) const = default;
};

// The rectangle to open at. The saved size stands when it is positive and
// fits on the largest screen, else the default size; the window's minimum
// size then applies. The saved place stands when the window's top edge,
// where its title bar is, lies on a screen with enough of its width to
// grab (the screens as the display reports them); else the default place.
// Values that describe no such window, by hand editing or a screen that
// has gone, so still open a window the user can reach.
ScreenRect ReachableWindowRect(const ScreenRect& saved, const ScreenRect& defaults, int nMinWidth,
                               int nMinHeight, const std::vector<ScreenRect>& screens);
