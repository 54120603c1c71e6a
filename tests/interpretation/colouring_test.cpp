#include "interpretation/GLColorer_Material.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

// A shape whose palette entry i is recognisable by its shininess i and whose
// own material has shininess 1000.
ShapeDef shapeWith(ColoringMode mode, int minColor = 0, int maxColor = 255)
{
    ShapeDef shape;
    for (int i = 0; i < MaterialPalette::size; ++i)
        shape.palette[i].shininess = static_cast<float>(i);
    shape.material.shininess = 1000.0f;
    shape.coloringType = mode;
    shape.minColor = minColor;
    shape.maxColor = maxColor;
    return shape;
}

int pickedEntry(const ShapeDef& shape, std::size_t atomIndex = 0, std::size_t atomCount = 1, int colourIndex = 0)
{
    return static_cast<int>(pickMaterial(shape, atomIndex, atomCount, 0, colourIndex).shininess);
}

} // namespace

TEST(Colouring, SingleIgnoresPaletteAndColourIndex)
{
    ShapeDef shape = shapeWith(ColoringMode::Single);
    shape.indexOffset = 7;
    EXPECT_EQ(1000, pickedEntry(shape, 3, 10, 42));
}

TEST(Colouring, PaletteIndexAddsOffsetAndClamps)
{
    ShapeDef shape = shapeWith(ColoringMode::PaletteIndex);
    shape.indexOffset = 2;
    EXPECT_EQ(5, pickedEntry(shape, 0, 1, 3));
    shape.indexOffset = 10;
    EXPECT_EQ(255, pickedEntry(shape, 0, 1, 250));
    shape.indexOffset = -10;
    EXPECT_EQ(0, pickedEntry(shape, 0, 1, 3));
    shape.indexOffset = 2147483647;  // no overflow into the negative
    EXPECT_EQ(255, pickedEntry(shape, 0, 1, 255));
}

TEST(Colouring, PaletteRandomStaysBetweenMinAndMaxAndRepeatsWithTheSeed)
{
    const ShapeDef shape = shapeWith(ColoringMode::PaletteRandom, 10, 20);
    std::srand(42);
    std::vector<int> first;
    for (int i = 0; i < 200; ++i) {
        first.push_back(pickedEntry(shape));
        EXPECT_GE(first.back(), 10);
        EXPECT_LE(first.back(), 20);
    }
    std::srand(42);
    for (int i = 0; i < 200; ++i)
        EXPECT_EQ(first[i], pickedEntry(shape));
    // A draw whose rand is not 32767 never reaches max, but the range below
    // it is used (the spread is not collapsed onto one end).
    EXPECT_NE(first.end(), std::find(first.begin(), first.end(), 10));
    EXPECT_NE(first.end(), std::find(first.begin(), first.end(), 19));
}

TEST(Colouring, PaletteRandomEqualBoundsAndOutOfRangeBounds)
{
    std::srand(1);
    EXPECT_EQ(77, pickedEntry(shapeWith(ColoringMode::PaletteRandom, 77, 77)));
    EXPECT_EQ(0, pickedEntry(shapeWith(ColoringMode::PaletteRandom, -50, -10)));
    EXPECT_EQ(255, pickedEntry(shapeWith(ColoringMode::PaletteRandom, 300, 400)));
}

TEST(Colouring, PaletteIterateRunsFromMinTowardsMaxOverTheString)
{
    const ShapeDef shape = shapeWith(ColoringMode::PaletteIterate);
    EXPECT_EQ(0, pickedEntry(shape, 0, 7));
    EXPECT_EQ(255 * 6 / 7, pickedEntry(shape, 6, 7));  // trunc(255 * (n - 1) / n)
    EXPECT_EQ(127, pickedEntry(shape, 1, 2));

    const ShapeDef wide = shapeWith(ColoringMode::PaletteIterate, -100, 1000);
    EXPECT_EQ(0, pickedEntry(wide, 0, 10));
    EXPECT_EQ(255, pickedEntry(wide, 9, 10));
}
