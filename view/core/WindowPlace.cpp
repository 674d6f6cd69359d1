// The reachability rule for the saved window rectangle.
#include "view/core/WindowPlace.h"

#include <algorithm>
#include <cstdint>

namespace {

// Enough of the title bar to see and grab with the mouse.
constexpr int kMinGrip = 100;

bool SizeFits(const ScreenRect& saved, const std::vector<ScreenRect>& screens) {
    if (saved.width <= 0 || saved.height <= 0) return false;
    return std::any_of(screens.begin(), screens.end(), [&](const ScreenRect& screen) {
        return saved.width <= screen.width && saved.height <= screen.height;
    });
}

// 64-bit sums: hand-edited values may sit near the ends of int's range.
bool TitleBarOnScreen(const ScreenRect& rect, const ScreenRect& screen) {
    const std::int64_t left = std::max<std::int64_t>(rect.x, screen.x);
    const std::int64_t right = std::min<std::int64_t>(std::int64_t{rect.x} + rect.width,
                                                      std::int64_t{screen.x} + screen.width);
    return rect.y >= screen.y &&
           std::int64_t{rect.y} + kMinGrip <= std::int64_t{screen.y} + screen.height &&
           right - left >= kMinGrip;
}

}  // namespace

ScreenRect ReachableWindowRect(const ScreenRect& saved, const ScreenRect& defaults, int nMinWidth,
                               int nMinHeight, const std::vector<ScreenRect>& screens) {
    ScreenRect rect = saved;
    if (!SizeFits(saved, screens)) {
        rect.width = defaults.width;
        rect.height = defaults.height;
    }
    rect.width = std::max(rect.width, nMinWidth);
    rect.height = std::max(rect.height, nMinHeight);
    const bool bReachable = std::any_of(screens.begin(), screens.end(), [&](const ScreenRect& s) {
        return TitleBarOnScreen(rect, s);
    });
    if (!bReachable) {
        rect.x = defaults.x;
        rect.y = defaults.y;
    }
    return rect;
}
