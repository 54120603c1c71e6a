#include "gui/WindowPlacement.h"

#include <gtest/gtest.h>

namespace {

TEST(WindowPlacement, TheFirstStartShowsAWholeTabOrMostOfASmallScreen) {
    const WindowPlacement large = WindowPlacement::firstStart(1920, 1080);
    EXPECT_EQ(large.width, 1100);
    EXPECT_EQ(large.height, 720);
    EXPECT_EQ(large.x, (1920 - 1100) / 2);

    const WindowPlacement small = WindowPlacement::firstStart(1024, 600);
    EXPECT_EQ(small.width, 1024 * 9 / 10);
    EXPECT_EQ(small.height, 600 * 9 / 10);
    EXPECT_GE(small.x, 0);
    EXPECT_LE(small.x + small.width, 1024);
}

TEST(WindowPlacement, ARememberedPlaceIsKeptOnTheScreen) {
    // Remembered on a larger screen: shrunk and moved so that it all shows.
    const WindowPlacement big = WindowPlacement{150, 150, 1600, 1200}.keptOn(1280, 1024);
    EXPECT_LE(big.width, 1280);
    EXPECT_LE(big.height, 1024);
    EXPECT_GE(big.x, 0);
    EXPECT_GE(big.y, 0);
    EXPECT_LE(big.x + big.width, 1280);
    EXPECT_LE(big.y + big.height, 1024);

    const WindowPlacement off = WindowPlacement{-500, 3000, 800, 600}.keptOn(1280, 1024);
    EXPECT_EQ(off.width, 800);
    EXPECT_EQ(off.height, 600);
    EXPECT_GE(off.x, 0);
    EXPECT_LE(off.y + off.height, 1024);

    // A place that fits stays where it was.
    const WindowPlacement fits = WindowPlacement{100, 120, 900, 700}.keptOn(1280, 1024);
    EXPECT_EQ(fits.x, 100);
    EXPECT_EQ(fits.y, 120);
    EXPECT_EQ(fits.width, 900);
    EXPECT_EQ(fits.height, 700);
}

} // namespace
