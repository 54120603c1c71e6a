#include "diagnostics/Exceptions.h"
#include "materials/MaterialPalette.h"
#include "materials/PaletteLibrary.h"

#include <gtest/gtest.h>

namespace {

const char shapeDefaultText[] = "242424ffffffffff000000ff3b3b3bff350";

MaterialPalette library(const std::string& name)
{
    return PaletteLibrary::palette(PaletteLibrary::indexOf(name));
}

TEST(MaterialPalette, DefaultPaletteWritesAsEmptyText)
{
    const MaterialPalette palette;
    EXPECT_EQ(palette, library("default"));
    EXPECT_EQ(palette.text(), "");

    const std::string full = palette.fullText();
    EXPECT_EQ(full.size(), 6u + 256 * 35 + 255);
    EXPECT_EQ(full.substr(0, 6), "1:256:");
    MaterialPalette back(MaterialPalette::Entries{});
    ASSERT_TRUE(back.read(full));
    EXPECT_EQ(back, palette);
    EXPECT_EQ(back.text(), "");

    back = MaterialPalette(MaterialPalette::Entries{});
    back.setDefault();
    EXPECT_EQ(back, palette);
}

TEST(MaterialPalette, LibraryPaletteWritesByName)
{
    const MaterialPalette rainbow = library("gradients/glossy/rainbow");
    EXPECT_EQ(rainbow.text(), "1:d:gradients/glossy/rainbow");

    MaterialPalette back;
    ASSERT_TRUE(back.read("1:d:gradients/glossy/rainbow"));
    EXPECT_EQ(back, rainbow);
    MaterialPalette upper;
    ASSERT_TRUE(upper.read("1:D:gradients/glossy/rainbow"));
    EXPECT_EQ(upper, rainbow);
    ASSERT_TRUE(back.read("1:d:default"));
    EXPECT_EQ(back, MaterialPalette());

    // One changed entry makes it an ordinary palette again.
    MaterialPalette changed = rainbow;
    changed[255].shininess = 3.0f;
    EXPECT_EQ(changed.text(), changed.fullText());
    // A difference the text cannot show does not.
    changed = rainbow;
    changed[10].diffuse[0] += 1e-5f;
    EXPECT_EQ(changed.text(), "1:d:gradients/glossy/rainbow");
}

TEST(MaterialPalette, ShortListSetsItsEntriesAndDefaultsTheRest)
{
    MaterialPalette palette;
    ASSERT_TRUE(palette.read(std::string("1:2:") + shapeDefaultText + ":ff0000ff00ff00ff0000ff000000ffff001"));
    EXPECT_EQ(palette[0], GLMaterial::shapeDefault());
    EXPECT_TRUE(palette[1].flat);
    EXPECT_EQ(palette[1].shininess, 0.0f);
    EXPECT_FLOAT_EQ(palette[1].diffuse[1], 1.0f);
    for (int i = 2; i < 256; ++i)
        ASSERT_EQ(palette[i].text(), GLMaterial().text()) << i;
}

TEST(MaterialPalette, CountLimitsTheMaterialsRead)
{
    const std::string m = std::string(":") + shapeDefaultText;
    MaterialPalette palette;
    ASSERT_TRUE(palette.read("1:1" + m + m));   // only one of two
    EXPECT_EQ(palette[0], GLMaterial::shapeDefault());
    EXPECT_EQ(palette[1], GLMaterial());

    ASSERT_TRUE(palette.read("1:5" + m));   // tokens run out
    EXPECT_EQ(palette[0], GLMaterial::shapeDefault());
    EXPECT_EQ(palette[1], GLMaterial());

    ASSERT_TRUE(palette.read("1:x" + m));   // a non-number counts as 0
    EXPECT_EQ(palette[0], GLMaterial());

    std::string many = "1:300";
    for (int i = 0; i < 300; ++i)
        many += m;
    ASSERT_TRUE(palette.read(many));
    EXPECT_EQ(palette[255], GLMaterial::shapeDefault());
}

TEST(MaterialPalette, FailuresLeaveThePaletteAsItWas)
{
    const MaterialPalette before = library("imported/gimp/china");
    MaterialPalette palette = before;
    EXPECT_FALSE(palette.read(""));
    EXPECT_FALSE(palette.read("2:1:" + std::string(shapeDefaultText)));
    EXPECT_THROW(palette.read("1:d:no/such/palette"), UnknownPaletteException);
    EXPECT_THROW(palette.read("1:d"), UnknownPaletteException);
    EXPECT_THROW(palette.read("1:2:" + std::string(shapeDefaultText) + ":242424ff#fff"), OutOfRangeError);
    EXPECT_THROW(palette.read("1:2:" + std::string(shapeDefaultText) + "::" + shapeDefaultText), OutOfRangeError);
    EXPECT_EQ(palette, before);

    try {
        palette.read("1:d:abstract/alien#2");
        FAIL();
    } catch (const UnknownPaletteException& e) {
        EXPECT_EQ(e.name(), "abstract/alien#2");
    }
}

TEST(MaterialPalette, ArbitraryTextNeverCrashes)
{
    unsigned seed = 12345;
    auto nextByte = [&] {
        seed = seed * 1103515245u + 12345u;
        return static_cast<char>((seed >> 16) & 255);
    };
    const std::string alphabet = "1:d0aZz#\n ";
    for (int round = 0; round < 2000; ++round) {
        std::string text = round % 2 ? "1:" : "";
        const int length = round % 97;
        for (int i = 0; i < length; ++i) {
            const char c = nextByte();
            text += round % 3 ? alphabet[static_cast<unsigned char>(c) % alphabet.size()] : c;
        }
        MaterialPalette palette;
        try {
            palette.read(text);
        } catch (const UnknownPaletteException&) {
        } catch (const OutOfRangeError&) {
        }
        GLMaterial material;
        try {
            material.read(text);
        } catch (const OutOfRangeError&) {
        }
    }
}

} // namespace
