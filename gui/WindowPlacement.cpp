#include "gui/WindowPlacement.h"

#include <algorithm>

namespace {

constexpr int preferredWidth = 1100;
constexpr int preferredHeight = 720;
// What a window manager's frame and title bar take around the window.
constexpr int frameMargin = 8;
constexpr int titleMargin = 32;
// The smallest window kept, however small the screen claims to be.
constexpr int smallest = 200;

} // namespace

WindowPlacement WindowPlacement::firstStart(int screenWidth, int screenHeight) {
    WindowPlacement place;
    place.width = std::max(smallest, std::min(preferredWidth, screenWidth * 9 / 10));
    place.height = std::max(smallest, std::min(preferredHeight, screenHeight * 9 / 10));
    place.x = std::max(0, (screenWidth - place.width) / 2);
    place.y = std::max(0, (screenHeight - place.height) / 2);
    return place;
}

WindowPlacement WindowPlacement::keptOn(int screenWidth, int screenHeight) const {
    WindowPlacement place;
    place.width = std::max(smallest, std::min(width, screenWidth - 2 * frameMargin));
    place.height = std::max(smallest, std::min(height, screenHeight - titleMargin - frameMargin));
    place.x = std::clamp(x, frameMargin, std::max(frameMargin, screenWidth - frameMargin - place.width));
    place.y = std::clamp(y, titleMargin, std::max(titleMargin, screenHeight - frameMargin - place.height));
    return place;
}
