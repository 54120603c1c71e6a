#include "diagnostics/Exceptions.h"
#include "materials/GLMaterial.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const char shapeDefaultText[] = "242424ffffffffff000000ff3b3b3bff350";

GLMaterial fromText(const std::string& text) {
    GLMaterial material;
    material.read(text);
    return material;
}

TEST(GLMaterial, EveryByteSurvivesTheTextForm) {
    for (int b = 0; b < 256; ++b) {
        GLMaterial m;
        for (int c = 0; c < 4; ++c)
            m.ambient[c] = m.diffuse[c] = m.specular[c] = m.emission[c] = static_cast<float>(b / 255.0);
        m.shininess = static_cast<float>(b);
        m.flat = b % 2 == 1;
        const std::string text = m.text();
        ASSERT_EQ(text.size(), 35u);
        const GLMaterial back = fromText(text);
        EXPECT_EQ(back, m) << b;
        EXPECT_EQ(back.text(), text) << b;
    }
}

TEST(GLMaterial, WritingTruncatesClampsAndKeepsLowShininessBits) {
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
}

TEST(GLMaterial, ReadingDropsPrefixesAndAcceptsAnyLetterDigit) {
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
}

TEST(GLMaterial, MalformedTokensFailGroupByGroup) {
    const std::string d = shapeDefaultText;
    for (const std::string& text : {d.substr(0, 34), std::string("242424ff#fffffff000000ff3b3b3bff350"), d + ":", {}}) {
        GLMaterial m;
        EXPECT_THROW(m.read(text), OutOfRangeError) << text;
    }

    // A token of 8 characters sets the ambient colour before failing.
    GLMaterial partial;
    EXPECT_THROW(partial.read("ff000080"), OutOfRangeError);
    EXPECT_FLOAT_EQ(partial.ambient[0], 1.0f);
    EXPECT_FLOAT_EQ(partial.ambient[3], 0x80 / 255.0f);
    EXPECT_EQ(partial.diffuse[0], 0.0f);
}

// A shape's material is saved when it differs from the default: a
// difference in any saved field counts.
TEST(GLMaterial, AnyDifferenceInASavedFieldCounts) {
    const GLMaterial a = GLMaterial::shapeDefault();
    GLMaterial b = a;
    b.emission[0] = 0.5f;
    EXPECT_NE(a, b);
    b = a;
    b.specular[2] += 1e-6f;
    EXPECT_NE(a, b);
    b = a;
    b.flat = true;
    EXPECT_NE(a, b);
}

} // namespace
