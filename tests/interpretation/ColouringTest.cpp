#include "interpretation/GLColorer_Material.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <tuple>
#include <vector>

namespace {

// A shape whose palette entry i is recognisable by its shininess i and whose
// own material has shininess 1000.
ShapeDef shapeWith(ColoringMode mode, int minColor = 0, int maxColor = 255) {
    ShapeDef shape;
    for (int i = 0; i < MaterialPalette::size; ++i) shape.palette[i].shininess = static_cast<float>(i);
    shape.material.shininess = 1000.0f;
    shape.coloringType = mode;
    shape.minColor = minColor;
    shape.maxColor = maxColor;
    return shape;
}

ColourRandom colourRandom;

int pickedEntry(const ShapeDef& shape, std::size_t atomIndex = 0, std::size_t atomCount = 1, int colourIndex = 0) {
    return static_cast<int>(pickMaterial(shape, atomIndex, atomCount, 0, colourIndex, colourRandom).shininess);
}

} // namespace

TEST(Colouring, SingleIndexAndIterateModesClampToThePalette) {
    ShapeDef single = shapeWith(ColoringMode::Single);
    single.indexOffset = 7;
    EXPECT_EQ(1000, pickedEntry(single, 3, 10, 42)); // the shape's own material

    // The colour index plus the offset.
    ShapeDef indexed = shapeWith(ColoringMode::PaletteIndex);
    const std::tuple<int, int, int> cases[] = {{2, 3, 5}, {10, 250, 255}, {-10, 3, 0}, {2147483647, 255, 255}};
    for (const auto& [offset, index, entry] : cases) {
        indexed.indexOffset = offset;
        EXPECT_EQ(entry, pickedEntry(indexed, 0, 1, index)) << offset;
    }

    // From min towards max over the string: trunc(255 * i / n).
    const ShapeDef iterate = shapeWith(ColoringMode::PaletteIterate);
    EXPECT_EQ(0, pickedEntry(iterate, 0, 7));
    EXPECT_EQ(255 * 6 / 7, pickedEntry(iterate, 6, 7));
    EXPECT_EQ(127, pickedEntry(iterate, 1, 2));
    const ShapeDef wide = shapeWith(ColoringMode::PaletteIterate, -100, 1000);
    EXPECT_EQ(0, pickedEntry(wide, 0, 10));
    EXPECT_EQ(255, pickedEntry(wide, 9, 10));
}

TEST(Colouring, PaletteRandomStaysBetweenClampedBoundsAndRepeatsWithTheSeed) {
    const ShapeDef shape = shapeWith(ColoringMode::PaletteRandom, 10, 20);
    colourRandom.reseed(42);
    std::vector<int> first;
    for (int i = 0; i < 200; ++i) first.push_back(pickedEntry(shape));
    // A draw whose rand is not 32767 never reaches max, but the range below
    // it is used (the spread is not collapsed onto one end).
    EXPECT_EQ(10, *std::min_element(first.begin(), first.end()));
    EXPECT_EQ(19, *std::max_element(first.begin(), first.end()));
    colourRandom.reseed(42);
    for (int i = 0; i < 200; ++i) EXPECT_EQ(first[i], pickedEntry(shape));

    EXPECT_EQ(77, pickedEntry(shapeWith(ColoringMode::PaletteRandom, 77, 77)));
    EXPECT_EQ(0, pickedEntry(shapeWith(ColoringMode::PaletteRandom, -50, -10)));
    EXPECT_EQ(255, pickedEntry(shapeWith(ColoringMode::PaletteRandom, 300, 400)));
}

// Pictures made while the colours came from the C library's rand must not
// change: the private generator repeats its sequence for every seed.
TEST(Colouring, PrivateGeneratorRepeatsTheCLibrarySequence) {
    for (unsigned seed : {0u, 1u, 42u, 12345u, 2147483647u, 3000000000u, 4294967295u}) {
        std::srand(seed);
        ColourRandom own(seed);
        for (int i = 0; i < 1000; ++i) ASSERT_EQ(std::rand(), own.next()) << "seed " << seed << ", draw " << i;
    }
}
