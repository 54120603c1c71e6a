#include "diagnostics/Exceptions.h"
#include "materials/MaterialPalette.h"
#include "materials/PaletteLibrary.h"

#include <gtest/gtest.h>

namespace {

const std::string shapeDefaultText = "242424ffffffffff000000ff3b3b3bff350";

MaterialPalette library(const std::string& name) { return PaletteLibrary::palette(PaletteLibrary::indexOf(name)); }

TEST(MaterialPalette, LibraryPaletteWritesByName) {
    const MaterialPalette rainbow = library("gradients/glossy/rainbow");
    for (const char* text : {"1:d:gradients/glossy/rainbow", "1:D:gradients/glossy/rainbow"}) {
        MaterialPalette back;
        ASSERT_TRUE(back.read(text));
        EXPECT_EQ(back, rainbow);
        ASSERT_TRUE(back.read("1:d:default"));
        EXPECT_EQ(back, MaterialPalette());
    }
    // One changed entry makes it an ordinary palette again.
    MaterialPalette changed = rainbow;
    changed[255].shininess = 3.0f;
    EXPECT_EQ(changed.text(), changed.fullText());
    // A difference the text cannot show does not.
    changed = rainbow;
    changed[10].diffuse[0] += 1e-5f;
    EXPECT_EQ(changed.text(), "1:d:gradients/glossy/rainbow");
}

TEST(MaterialPalette, CountLimitsTheMaterialsReadAndDefaultsTheRest) {
    const std::string m = ":" + shapeDefaultText;
    const std::string flatGreen = "ff0000ff00ff00ff0000ff000000ffff001";
    std::string many = "1:300";
    for (int i = 0; i < 300; ++i) many += m;
    // Each text and its leading entries read: the shape default, then flatGreen for "1:2".
    const std::pair<std::string, int> cases[] = {{"1:2" + m + ":" + flatGreen, 2},
                                                 {"1:1" + m + m, 1},
                                                 {"1:5" + m, 1}, // tokens run out
                                                 {"1:x" + m, 0}, // a non-number counts as 0
                                                 {many, 256}};
    for (const auto& [text, count] : cases) {
        MaterialPalette palette;
        ASSERT_TRUE(palette.read(text)) << count;
        for (int i = 0; i < 256; ++i) {
            const std::string read = i == 1 && count == 2 ? flatGreen : shapeDefaultText;
            ASSERT_EQ(palette[i].text(), i < count ? read : GLMaterial().text()) << count << " " << i;
        }
    }
}

TEST(MaterialPalette, FailuresLeaveThePaletteAsItWas) {
    const MaterialPalette before = library("imported/gimp/china");
    MaterialPalette palette = before;
    EXPECT_FALSE(palette.read(""));
    EXPECT_FALSE(palette.read("2:1:" + shapeDefaultText));
    EXPECT_THROW(palette.read("1:d:no/such/palette"), UnknownPaletteException);
    EXPECT_THROW(palette.read("1:d"), UnknownPaletteException);
    EXPECT_THROW(palette.read("1:2:" + shapeDefaultText + ":242424ff#fff"), OutOfRangeError);
    EXPECT_THROW(palette.read("1:2:" + shapeDefaultText + "::" + shapeDefaultText), OutOfRangeError);
    EXPECT_EQ(palette, before);
    try {
        palette.read("1:d:abstract/alien#2");
        FAIL();
    } catch (const UnknownPaletteException& e) {
        EXPECT_EQ(e.name(), "abstract/alien#2");
    }
}

} // namespace
