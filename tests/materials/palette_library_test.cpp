#include "diagnostics/Exceptions.h"
#include "materials/PaletteLibrary.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <thread>
#include <vector>

namespace {

std::vector<std::string> group(const std::string& prefix, std::vector<std::string> names)
{
    for (std::string& name : names)
        name = prefix + name;
    return names;
}

void append(std::vector<std::string>& to, const std::vector<std::string>& more)
{
    to.insert(to.end(), more.begin(), more.end());
}

const MaterialPalette& library(const std::string& name)
{
    const int index = PaletteLibrary::indexOf(name);
    EXPECT_GE(index, 0) << name;
    return PaletteLibrary::palette(index);
}

int byte(float component) { return static_cast<int>(std::lround(component * 255.0f)); }

TEST(PaletteLibrary, BuildsEachPaletteOnceForAllThreads)
{
    const int index = PaletteLibrary::indexOf("imported/gems/opal");
    std::vector<const MaterialPalette*> seen(4);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] { seen[t] = &PaletteLibrary::palette(index); });
    for (std::thread& thread : threads)
        thread.join();
    for (const MaterialPalette* palette : seen)
        EXPECT_EQ(palette, seen[0]);
}

TEST(PaletteLibrary, NamesAndOrder)
{
    ASSERT_EQ(PaletteLibrary::count(), 212);
    std::vector<std::string> head = {"plants/leafes/ages", "plants/leafes/seasons", "plants/fruits/cherries",
                                     "plants/fruits/tomatoes", "plants/wood/wood", "elements/earth/mud",
                                     "elements/water/atlantic#1", "elements/water/pacific#1",
                                     "elements/water/ice#1", "abstract/alien#1", "abstract/violet_and_pink"};
    append(head, group("imported/fractint/",
                       {"altern", "blues", "chroma", "firestorm", "glasses#1", "glasses#2", "green", "grey", "grid",
                        "headache", "injector#1", "injector#2", "landscape", "lyapunov", "neon", "royal", "topo",
                        "volcano"}));
    append(head, group("imported/gimp/",
                       {"bgold", "blues", "borders", "caramel", "cascade", "china", "coldfire", "dark_pastels#1",
                        "dark_pastels#2", "ega", "firecode#1", "firecode#2", "gold", "gray_blue", "gray_violet",
                        "greens#1", "greens#2", "hilite", "hues_and_brightnesses", "hues_and_saturation", "khaki",
                        "news3", "op2", "plasma", "rainbow", "reds", "royal", "topographic", "volcano#1",
                        "volcano#2", "web_safe"}));
    const std::vector<std::string> colours = {"rainbow", "white_to_black", "red_to_black", "green_to_black",
                                              "blue_to_black", "yellow_to_black", "violet_to_black",
                                              "cyan_to_black"};
    std::vector<std::string> matte = colours;
    std::swap(matte[3], matte[4]);
    std::vector<std::string> tail = group("gradients/matte/", matte);
    append(tail, group("gradients/glossy/", colours));
    append(tail, group("gradients/polished/", colours));
    append(tail, group("gradients/dark/", colours));
    tail.push_back("default");

    for (std::size_t i = 0; i < head.size(); ++i)
        EXPECT_EQ(PaletteLibrary::name(static_cast<int>(i)), head[i]);
    for (std::size_t i = 0; i < tail.size(); ++i)
        EXPECT_EQ(PaletteLibrary::name(static_cast<int>(212 - tail.size() + i)), tail[i]);

    // The 119 further imported collections: seven groups, none of them the two above.
    std::set<std::string> groups;
    for (int i = static_cast<int>(head.size()); i < 212 - static_cast<int>(tail.size()); ++i) {
        const std::string& name = PaletteLibrary::name(i);
        ASSERT_EQ(name.rfind("imported/", 0), 0u) << name;
        groups.insert(name.substr(0, name.rfind('/')));
    }
    EXPECT_EQ(212 - head.size() - tail.size(), 119u);
    EXPECT_EQ(groups.size(), 7u);
    EXPECT_EQ(groups.count("imported/fractint") + groups.count("imported/gimp"), 0u);

    std::set<std::string> unique;
    for (int i = 0; i < 212; ++i) {
        const std::string& name = PaletteLibrary::name(i);
        EXPECT_TRUE(unique.insert(name).second) << name;
        EXPECT_EQ(name.find_first_of(": \t\n"), std::string::npos) << name;
        EXPECT_EQ(name.find("//"), std::string::npos) << name;
        EXPECT_TRUE(name.front() != '/' && name.back() != '/') << name;
    }
    EXPECT_THROW(PaletteLibrary::name(212), OutOfRangeException);
    EXPECT_THROW(PaletteLibrary::palette(-1), OutOfRangeException);
}

TEST(PaletteLibrary, EveryPaletteIsDistinctAndSurvivesItsTexts)
{
    for (int i = 0; i < PaletteLibrary::count(); ++i) {
        const std::string& name = PaletteLibrary::name(i);
        const MaterialPalette& palette = PaletteLibrary::palette(i);
        // The short form names this very palette, so no earlier one has its content.
        EXPECT_EQ(palette.text(), name == "default" ? "" : "1:d:" + name);

        const std::string full = PaletteLibrary::textByName(name);
        ASSERT_EQ(full, palette.fullText());
        EXPECT_EQ(PaletteLibrary::nameByText(full), name);
        MaterialPalette back(MaterialPalette::Entries{});
        ASSERT_TRUE(back.read(full));
        for (int e = 0; e < 256; ++e) {
            ASSERT_EQ(back[e], palette[e]) << name << " " << e;
            ASSERT_EQ(back[e].text(), palette[e].text()) << name << " " << e;
        }
    }
}

TEST(PaletteLibrary, LookUpsMissOnAnythingElse)
{
    EXPECT_EQ(PaletteLibrary::indexOf("no/such/palette"), -1);
    EXPECT_EQ(PaletteLibrary::textByName("no/such/palette"), "");
    EXPECT_EQ(PaletteLibrary::textByName(""), "");
    EXPECT_EQ(PaletteLibrary::nameByText(""), "");
    EXPECT_EQ(PaletteLibrary::nameByText("1:d:default"), "");

    std::string text = PaletteLibrary::textByName("imported/gimp/reds");
    const std::size_t letter = text.find_first_of("abcdef", 6);
    ASSERT_NE(letter, std::string::npos);
    text[letter] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[letter])));   // same values, other text
    EXPECT_EQ(PaletteLibrary::nameByText(text), "");
    EXPECT_EQ(PaletteLibrary::nameByText(PaletteLibrary::textByName("imported/gimp/reds") + ":"), "");

    MaterialPalette palette(MaterialPalette::Entries{});
    EXPECT_EQ(PaletteLibrary::indexOf(palette), -1);
    EXPECT_EQ(PaletteLibrary::nameByText(palette.fullText()), "");
}

TEST(PaletteLibrary, DefaultPaletteIsAHueCycleBetweenFixedEnds)
{
    const MaterialPalette& palette = library("default");
    EXPECT_EQ(&palette, &PaletteLibrary::defaultPalette());
    EXPECT_EQ(palette[0].text(), "13034bff900ae5ff000000002cff0bff180");
    EXPECT_EQ(palette[255].text(), "12034cff8d0be6ff0000000032ff0cff180");
    int turns = 0;
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(palette[i].shininess, 24.0f);
        EXPECT_FALSE(palette[i].flat);
        if (i > 0) {
            for (int c = 0; c < 3; ++c)   // smooth: small steps only
                EXPECT_LE(std::abs(byte(palette[i].diffuse[c]) - byte(palette[i - 1].diffuse[c])), 24) << i;
            // The diffuse colour is red-dominated somewhere along the way.
            turns += palette[i].diffuse[0] > palette[i].diffuse[2] && palette[i - 1].diffuse[0] <= palette[i - 1].diffuse[2];
        }
    }
    EXPECT_EQ(turns, 1);
}

TEST(PaletteLibrary, GradientsDoWhatTheirNamesSay)
{
    const char* finishes[] = {"matte", "glossy", "polished", "dark"};
    for (const char* finish : finishes) {
        const std::string prefix = std::string("gradients/") + finish + "/";
        const MaterialPalette& red = library(prefix + "red_to_black");
        const MaterialPalette& white = library(prefix + "white_to_black");
        EXPECT_EQ(byte(red[255].diffuse[0]), 0);
        EXPECT_GT(red[0].diffuse[0], 0.4f);
        EXPECT_EQ(byte(red[0].diffuse[1]), 0);
        EXPECT_GT(red[0].diffuse[0], red[128].diffuse[0]);
        EXPECT_EQ(white[0].diffuse[0], white[0].diffuse[2]);
        EXPECT_EQ(byte(library(prefix + "cyan_to_black")[0].diffuse[0]), 0);
    }
    const GLMaterial matte = library("gradients/matte/rainbow")[0];
    const GLMaterial glossy = library("gradients/glossy/rainbow")[0];
    const GLMaterial polished = library("gradients/polished/rainbow")[0];
    const GLMaterial dark = library("gradients/dark/rainbow")[0];
    EXPECT_LT(matte.shininess, glossy.shininess);
    EXPECT_LT(matte.specular[0], glossy.specular[0]);
    EXPECT_LT(glossy.specular[0], polished.specular[0]);
    EXPECT_GT(polished.specular[0], 0.8f);
    EXPECT_LT(dark.diffuse[0], glossy.diffuse[0] * 0.6f);
}

TEST(PaletteLibrary, ImportedPalettesHonourTheirNames)
{
    const int ega[16] = {0x000000, 0x0000aa, 0x00aa00, 0x00aaaa, 0xaa0000, 0xaa00aa, 0xaa5500, 0xaaaaaa,
                         0x555555, 0x5555ff, 0x55ff55, 0x55ffff, 0xff5555, 0xff55ff, 0xffff55, 0xffffff};
    const MaterialPalette& egaPalette = library("imported/gimp/ega");
    for (int i = 0; i < 16; ++i) {
        const GLMaterial& m = egaPalette[i];
        EXPECT_EQ((byte(m.diffuse[0]) << 16) | (byte(m.diffuse[1]) << 8) | byte(m.diffuse[2]), ega[i]) << i;
    }

    const MaterialPalette& web = library("imported/gimp/web_safe");
    std::set<int> webColours;
    for (int i = 0; i < 216; ++i) {
        int rgb = 0;
        for (int c = 0; c < 3; ++c) {
            EXPECT_EQ(byte(web[i].diffuse[c]) % 0x33, 0) << i;
            rgb = rgb << 8 | byte(web[i].diffuse[c]);
        }
        webColours.insert(rgb);
    }
    EXPECT_EQ(webColours.size(), 216u);

    const MaterialPalette& grey = library("imported/fractint/grey");
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(grey[i].diffuse[0], grey[i].diffuse[1]);
        EXPECT_EQ(grey[i].diffuse[1], grey[i].diffuse[2]);
        if (i > 0) {
            EXPECT_GE(grey[i].diffuse[0], grey[i - 1].diffuse[0]);
        }
    }
    EXPECT_EQ(byte(grey[0].diffuse[0]), 0);
    EXPECT_EQ(byte(grey[255].diffuse[0]), 255);
}

} // namespace
