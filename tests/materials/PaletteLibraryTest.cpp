#include "materials/PaletteLibrary.h"
#include "diagnostics/Exceptions.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

TEST(PaletteLibrary, BuildsEachPaletteOnceForAllThreads) {
    const int index = PaletteLibrary::indexOf("imported/gems/opal");
    std::vector<const MaterialPalette*> seen(4);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) threads.emplace_back([&, t] { seen[t] = &PaletteLibrary::palette(index); });
    for (std::thread& thread : threads) thread.join();
    for (const MaterialPalette* palette : seen) EXPECT_EQ(palette, seen[0]);
}

// Names are written into palette texts ("1:d:name") and parameter lists.
TEST(PaletteLibrary, NamesAreCleanPathsAndIndicesAreChecked) {
    for (int i = 0; i < PaletteLibrary::count(); ++i) {
        const std::string& name = PaletteLibrary::name(i);
        EXPECT_EQ(name.find_first_of(":, \t\n()"), std::string::npos) << name;
        EXPECT_EQ(name.find("//"), std::string::npos) << name;
        EXPECT_TRUE(name.front() != '/' && name.back() != '/') << name;
    }
    EXPECT_THROW(PaletteLibrary::name(PaletteLibrary::count()), OutOfRangeException);
    EXPECT_THROW(PaletteLibrary::palette(-1), OutOfRangeException);
}

TEST(PaletteLibrary, EveryPaletteIsDistinctAndSurvivesItsTexts) {
    for (int i = 0; i < PaletteLibrary::count(); ++i) {
        const std::string& name = PaletteLibrary::name(i);
        const MaterialPalette& palette = PaletteLibrary::palette(i);
        // The short form names this very palette, so no earlier one has its content.
        EXPECT_EQ(palette.text(), name == "default" ? "" : "1:d:" + name);

        MaterialPalette back(MaterialPalette::Entries{});
        ASSERT_TRUE(back.read(palette.fullText()));
        for (int e = 0; e < 256; ++e) {
            ASSERT_EQ(back[e], palette[e]) << name << " " << e;
            ASSERT_EQ(back[e].text(), palette[e].text()) << name << " " << e;
        }
    }
}

TEST(PaletteLibrary, DefaultPaletteHasItsFixedEnds) {
    const MaterialPalette& palette = PaletteLibrary::palette(PaletteLibrary::indexOf("default"));
    EXPECT_EQ(&palette, &PaletteLibrary::defaultPalette());
    EXPECT_EQ(palette[0].text(), "13034bff900ae5ff000000002cff0bff180");
    EXPECT_EQ(palette[255].text(), "12034cff8d0be6ff0000000032ff0cff180");
}

} // namespace
