#include "editors/PaletteEdits.h"

#include <gtest/gtest.h>

namespace {

GLMaterial grey(float v, float alpha = 1.0f, float shininess = 0.0f) {
    GLMaterial m;
    for (int i = 0; i < 3; ++i) m.diffuse[i] = m.ambient[i] = m.specular[i] = m.emission[i] = v;
    m.diffuse[3] = alpha;
    m.shininess = shininess;
    return m;
}

TEST(PaletteEdits, GradientInterpolatesEveryComponentOverTheSelection) {
    MaterialPalette palette;
    palette[2] = grey(0.0f, 0.0f, 0.0f);
    palette[10] = grey(1.0f, 1.0f, 200.0f);
    PaletteEdits::gradient(palette, {2, 4, 6, 8, 10});
    EXPECT_FLOAT_EQ(0.25f, palette[4].diffuse[0]);
    EXPECT_FLOAT_EQ(0.5f, palette[6].ambient[1]);
    EXPECT_FLOAT_EQ(0.75f, palette[8].specular[2]);
    EXPECT_FLOAT_EQ(0.75f, palette[8].emission[0]);
    EXPECT_FLOAT_EQ(0.5f, palette[6].diffuse[3]);
    EXPECT_FLOAT_EQ(50.0f, palette[4].shininess);
    EXPECT_EQ(MaterialPalette()[5], palette[5]) << "entries outside the selection stay";
    EXPECT_FLOAT_EQ(1.0f, palette[10].diffuse[0]);
}

TEST(PaletteEdits, ReverseAndRotateReorderOnlyTheSelection) {
    MaterialPalette palette;
    for (int i = 0; i < 6; ++i) palette[i] = grey(i / 10.0f, 1.0f, static_cast<float>(i));
    auto order = [&] {
        std::vector<int> shininess;
        for (int i = 0; i < 6; ++i) shininess.push_back(static_cast<int>(palette[i].shininess));
        return shininess;
    };
    PaletteEdits::reverse(palette, {1, 2, 4});
    EXPECT_EQ((std::vector<int>{0, 4, 2, 3, 1, 5}), order());
    PaletteEdits::rotate(palette, {0, 1, 2, 3}, 1);
    EXPECT_EQ((std::vector<int>{3, 0, 4, 2, 1, 5}), order());
    PaletteEdits::rotate(palette, {0, 1, 2, 3}, -1);
    EXPECT_EQ((std::vector<int>{0, 4, 2, 3, 1, 5}), order());
}

TEST(PaletteEdits, CopyAndPasteAsMaterialOrPaletteText) {
    MaterialPalette source;
    source[3] = grey(0.2f);
    source[4] = grey(0.4f);
    const std::string one = PaletteEdits::copy(source, {3});
    EXPECT_EQ(source[3].text(), one);
    const std::string two = PaletteEdits::copy(source, {3, 4});
    EXPECT_EQ("1:2:" + source[3].text() + ":" + source[4].text(), two);

    MaterialPalette target;
    EXPECT_EQ(2, PaletteEdits::paste(target, 10, two));
    EXPECT_EQ(source[3].text(), target[10].text());
    EXPECT_EQ(source[4].text(), target[11].text());
    EXPECT_EQ(MaterialPalette()[12], target[12]) << "no more than the text lists";
    EXPECT_EQ(1, PaletteEdits::paste(target, 0, one));
    EXPECT_EQ(source[3].text(), target[0].text());

    // A whole library palette pasted near the end stops at entry 255.
    EXPECT_EQ(6, PaletteEdits::paste(target, 250, "1:d:gradients/glossy/rainbow"));

    const MaterialPalette before = target;
    for (const char* bad : {"", "hello", "1:d:no/such/palette", "2:1:000000ff", "1:1:zz##", "a:b:c"})
        EXPECT_EQ(-1, PaletteEdits::paste(target, 0, bad)) << bad;
    EXPECT_EQ(-1, PaletteEdits::paste(target, 256, one));
    EXPECT_EQ(before.fullText(), target.fullText());
}

} // namespace
