#include "diagnostics/Exceptions.h"
#include "materials/GLMaterial.h"
#include "materials/MaterialPalette.h"
#include "materials/PaletteLibrary.h"

#include <gtest/gtest.h>

#include <cmath>
#include <thread>
#include <vector>

namespace {

const std::string shapeDefaultText = "242424ffffffffff000000ff3b3b3bff350";

GLMaterial fromText(const std::string& text) {
    GLMaterial material;
    material.read(text);
    return material;
}

MaterialPalette library(const std::string& name) { return PaletteLibrary::palette(PaletteLibrary::indexOf(name)); }

TEST(GLMaterial, EveryByteSurvivesTheTextForm) {
    for (int b = 0; b < 256; ++b) {
        GLMaterial m;
        for (int c = 0; c < 4; ++c)
            m.ambient[c] = m.diffuse[c] = m.specular[c] = m.emission[c] = static_cast<float>(b / 255.0);
        m.shininess = static_cast<float>(b);
        m.flat = b % 2 == 1;
        const std::string text = m.text();
        ASSERT_EQ(text.size(), 35u);
        EXPECT_EQ(fromText(text), m) << b;
    }
}

TEST(GLMaterial, WritingClampsReadingIsLenientAndBrokenTokensAreRefused) {
    GLMaterial m;
    m.ambient[0] = 0.999f; // 254.7 -> fe
    m.ambient[1] = 1.5f;
    m.ambient[2] = -0.2f;
    m.ambient[3] = std::nanf("");
    m.shininess = 300.0f; // 300 & 255 = 44
    EXPECT_EQ(m.text().substr(0, 8), "feff0000");
    EXPECT_EQ(m.text().substr(32, 2), "2c");
    m.shininess = -1.0f;
    EXPECT_EQ(m.text().substr(32, 2), "ff");
    m.shininess = 1e30f; // must not overflow an integer conversion
    EXPECT_EQ(m.text().size(), 35u);

    // Prefixes up to the last ":", upper case and characters after the 35th.
    const std::string d = shapeDefaultText;
    for (const std::string& text :
         {"7:" + d, "a:b:" + d, std::string("242424FFFFFFFFFF000000FF3B3B3BFF350"), d + "junk"})
        EXPECT_EQ(fromText(text).text(), d) << text;

    // Digits run up to "z" = 35: 16 * 35 | 35 = 563.
    const GLMaterial z = fromText("zz0000ff000000ff00000000000000ffzz1");
    EXPECT_FLOAT_EQ(z.ambient[0], 563 / 255.0f);
    EXPECT_EQ(z.shininess, 563.0f);
    EXPECT_TRUE(z.flat);
    EXPECT_FALSE(fromText("000000ff000000ff00000000000000ff182").flat);

    // Short, broken or extra tokens are refused.
    for (const std::string& text : {d.substr(0, 34), std::string("242424ff#fffffff000000ff3b3b3bff350"), d + ":", {}})
        EXPECT_THROW(fromText(text), OutOfRangeError) << text;
}

// A shape's material is saved when it differs from the default: a
// difference in any saved field counts.
TEST(GLMaterial, AnyDifferenceInASavedFieldCounts) {
    const GLMaterial a = GLMaterial::shapeDefault();
    for (void (*change)(GLMaterial&) :
         {+[](GLMaterial& m) { m.emission[0] = 0.5f; }, +[](GLMaterial& m) { m.specular[2] += 1e-6f; },
          +[](GLMaterial& m) { m.flat = true; }}) {
        GLMaterial b = a;
        change(b);
        EXPECT_NE(a, b);
    }
}

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

TEST(PaletteLibrary, BuildsEachPaletteOnceForAllThreads) {
    const int index = PaletteLibrary::indexOf("imported/gems/opal");
    std::vector<const MaterialPalette*> seen(4);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) threads.emplace_back([&, t] { seen[t] = &PaletteLibrary::palette(index); });
    for (std::thread& thread : threads) thread.join();
    for (const MaterialPalette* palette : seen) EXPECT_EQ(palette, seen[0]);
}

TEST(PaletteLibrary, NamesAreCleanAndEveryPaletteIsDistinctAndSurvivesItsTexts) {
    for (int i = 0; i < PaletteLibrary::count(); ++i) {
        const std::string& name = PaletteLibrary::name(i);
        // Names are written into palette texts ("1:d:name") and parameter lists.
        EXPECT_EQ(name.find_first_of(":, \t\n()"), std::string::npos) << name;
        EXPECT_EQ(name.find("//"), std::string::npos) << name;
        EXPECT_TRUE(name.front() != '/' && name.back() != '/') << name;
        const MaterialPalette& palette = PaletteLibrary::palette(i);
        // The short form names this very palette, so no earlier one has its content.
        EXPECT_EQ(palette.text(), name == "default" ? "" : "1:d:" + name);

        MaterialPalette back(MaterialPalette::Entries{});
        ASSERT_TRUE(back.read(palette.fullText())) << name;
        EXPECT_TRUE(back == palette) << name;
    }
    EXPECT_THROW(PaletteLibrary::name(PaletteLibrary::count()), OutOfRangeException);
    EXPECT_THROW(PaletteLibrary::palette(-1), OutOfRangeException);
}

} // namespace
