#include <gtest/gtest.h>

#include "records/EnvironmentAndTweaks.h"
#include "records/ShapeDef.h"

#include <tuple>

// Only fields that differ from the defaults are written (the corpus file's
// round trip pins the form of each), numbers in the default stream notation.
TEST(ShapeDefText, OnlyFieldsThatDifferFromTheDefaults) {
    ShapeDef shape;
    shape.length = 1234567.0;
    shape.width = 0.1;
    shape.rotY = 1.0 / 3.0;
    shape.material.emission[0] = 1.0f; // a material that only glows is kept
    EXPECT_EQ(shape.toText(), "visible=0, interpreted=0, length=1.23457e+06, width=0.1, rotY=0.333333, "
                              "material=242424ffffffffffff0000ff3b3b3bff350");

    // Names of values are read case-sensitively; values out of range have none.
    ShapeQuality quality = ShapeQuality::VeryLow;
    EXPECT_FALSE(enumFromName("Very low", quality)); // file names are case-sensitive
    EXPECT_EQ(quality, ShapeQuality::VeryLow);
    EXPECT_STREQ(enumName(static_cast<CapKind>(3)), "");
    EXPECT_STREQ(enumName(static_cast<CapKind>(-1)), "");
}

TEST(ShapeDefVisibility, FirstCharacterOfNewSymbol) {
    // The name, then whether its shape is interpreted and visible.
    const std::tuple<const char*, bool, bool> cases[] = {
        {"G", true, true},   {"Fleaf", true, true}, {"f", true, false}, {"g", true, false},
        {"A", false, false}, {"+a", false, false},  {"", false, false}, {"_F", false, false}};
    for (const auto& [name, interpreted, visible] : cases) {
        EXPECT_EQ(ShapeDef::forNewSymbol(name).interpreted, interpreted) << name;
        EXPECT_EQ(ShapeDef::forNewSymbol(name).visible, visible) << name;
    }
}

TEST(EnvironmentAndTweakValues, ThreeNumbersForTheTropismAndSixHexadecimalDigitsForTheBackground) {
    using Direction = std::array<double, 3>;
    EXPECT_EQ(readTropismDirection("0,-1,0.5"), (Direction{0, -1, 0.5}));
    EXPECT_EQ(readTropismDirection(" ( 0.1, 0.2 ,0.3 ) "), (Direction{0.1f, 0.2f, 0.3f}));
    for (const char* wrong : {"", "()", "1,2", "1,2,3,4", "1,x,3", "1,,3", "(1,2,3", "1;2;3"})
        EXPECT_FALSE(readTropismDirection(wrong)) << wrong;

    // The background colour is six hexadecimal digits.
    using Bytes = std::array<std::uint8_t, 3>;
    EXPECT_EQ(readBackgroundColour("3366cc"), (Bytes{0x33, 0x66, 0xcc}));
    EXPECT_EQ(readBackgroundColour("EEDDBB789"), (Bytes{0xee, 0xdd, 0xbb})); // the rest is ignored
    for (const char* wrong : {"", "fff", "12zzzz", "#33669"}) EXPECT_FALSE(readBackgroundColour(wrong)) << wrong;
    EXPECT_EQ(backgroundColourText({0x0a, 0xff, 0x00}), "0aff00");
}
