#include "materials/MaterialFiles.h"
#include "diagnostics/Exceptions.h"
#include "materials/PaletteImport.h"
#include "materials/PaletteLibrary.h"
#include "tests/TempDir.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace {

struct RecordingReporter : FailureReporter {
    void report(const std::string& title, const std::string& text) override { reports.push_back(title + "|" + text); }
    std::vector<std::string> reports;
};

using Rgba = std::array<int, 4>;

// Appends value in the given number of bytes, least significant first unless big-endian.
void put(std::string& out, std::uint32_t value, int bytes, bool bigEndian = false) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> 8 * (bigEndian ? bytes - 1 - i : i));
}

// Entry i is (i, 255 - i, i / 2) with the flags 0 or 4.
std::string microsoftPalette(int entries, std::uint32_t chunkSize) {
    std::string data = "RIFF";
    put(data, 4 + 8 + chunkSize, 4);
    data += "PAL data";
    put(data, chunkSize, 4);
    put(data, 0x0300, 2);
    put(data, entries, 2);
    for (int i = 0; i < entries; ++i) put(data, i | (255 - i) << 8 | (i / 2) << 16 | (i % 3 ? 4 : 0) << 24, 4);
    return data;
}

// Colours of colour space, w, x, y, z; version 2 adds the name "Red" to each.
std::string photoshopPalette(std::uint16_t version, const std::vector<std::array<std::uint16_t, 5>>& colors) {
    std::string data;
    put(data, version, 2, true);
    put(data, colors.size(), 2, true);
    for (const auto& c : colors) {
        for (std::uint16_t word : c) put(data, word, 2, true);
        if (version == 2) {
            put(data, 3, 4, true); // name length
            for (char letter : {'R', 'e', 'd'}) put(data, letter, 2, true);
        }
    }
    return data;
}

// "title|message" of the failure of an import (or of choosing its format),
// the file's path written as "$".
std::string failureAt(const std::string& path, int format, int pattern = -1) {
    try {
        if (pattern < 0)
            PaletteImport::importFile(path, format);
        else
            PaletteImport::formatForPattern(pattern, path);
        return "no failure";
    } catch (const DescribedException& e) {
        std::string text = e.title() + "|" + e.description();
        const std::size_t at = text.find(path);
        return at == std::string::npos ? text : text.replace(at, path.size(), "$");
    }
}

const std::string gimp = "Error on parsing GIMP palette|";
const std::string photoshop = "Error on parsing Photoshop palette|";
const std::string fractint = "Error on parsing Fractint palette|";
const std::string microsoft = "Error on parsing Microsoft palette|";

// Files of the test live in a fresh temporary directory.
class MaterialFiles : public ::testing::Test {
protected:
    std::string write(const std::string& name, const std::string& content) {
        dir.write(name, content);
        return dir.path(name);
    }

    std::vector<Rgba> import(const std::string& name, const std::string& content, int format) {
        std::vector<Rgba> result;
        for (const ImportedColor& c : PaletteImport::importFile(write(name, content), format))
            result.push_back({c.red, c.green, c.blue, c.alpha});
        return result;
    }

    TempDir dir;
    RecordingReporter reporter;
};

TEST_F(MaterialFiles, MaterialAndPaletteRoundTrips) {
    GLMaterial material = GLMaterial::shapeDefault();
    material.flat = true;
    ASSERT_TRUE(saveMaterialFile(dir.path("m.ogm"), material, reporter));
    EXPECT_EQ(dir.read("m.ogm"), material.text());
    dir.write("prefixed.ogm", "\n  3:" + material.text() + " trailing words\n");
    for (const char* name : {"m.ogm", "prefixed.ogm"}) {
        GLMaterial loaded;
        ASSERT_TRUE(loadMaterialFile(dir.path(name), loaded, reporter)) << name;
        EXPECT_EQ(loaded, material) << name;
    }

    const MaterialPalette defaultPalette;
    ASSERT_TRUE(savePaletteFile(dir.path("p.ogm"), defaultPalette, reporter));
    EXPECT_EQ(dir.read("p.ogm"), defaultPalette.fullText()); // no short form, no line end
    MaterialPalette palette(PaletteLibrary::palette(0));
    ASSERT_TRUE(loadPaletteFile(dir.path("p.ogm"), palette, reporter));
    EXPECT_EQ(palette, defaultPalette);
    dir.write("short.ogm", "1:d:gradients/dark/rainbow\n");
    ASSERT_TRUE(loadPaletteFile(dir.path("short.ogm"), palette, reporter));
    EXPECT_EQ(palette.text(), "1:d:gradients/dark/rainbow");
    EXPECT_TRUE(reporter.reports.empty());
}

TEST_F(MaterialFiles, FailuresReportAndKeepTheValue) {
    GLMaterial material = GLMaterial::shapeDefault();
    dir.write("bad.ogm", "242424ffffffffff000000ff3b3b3bff35");
    for (const char* name : {"missing.ogm", "bad.ogm", ""}) // "" is the directory
        EXPECT_FALSE(loadMaterialFile(dir.path(name), material, reporter)) << name;
    EXPECT_EQ(material.text(), GLMaterial::shapeDefault().text());

    const MaterialPalette before(PaletteLibrary::palette(3));
    MaterialPalette palette = before;
    dir.write("version.ogm", "2:256:");
    dir.write("unknown.ogm", "1:d:no/such/palette");
    dir.write("broken.ogm", "1:2:" + material.text() + ":12#4");
    dir.write("empty.ogm", "");
    for (const char* name : {"missing.ogm", "version.ogm", "unknown.ogm", "broken.ogm", "empty.ogm"})
        EXPECT_FALSE(loadPaletteFile(dir.path(name), palette, reporter)) << name;
    EXPECT_EQ(palette, before);
    const std::string nowhere = dir.path("no/such/dir/m.ogm");
    EXPECT_FALSE(saveMaterialFile(nowhere, GLMaterial(), reporter));
    EXPECT_FALSE(savePaletteFile(dir.path(""), MaterialPalette(), reporter));

    const auto saving = [](const std::string& path, const std::string& reason) {
        return "Saving failed|Could not open\n'" + path + "'\nfor writing.\n" + reason;
    };
    const auto failure = [&](const std::string& title, const char* what, const char* name) {
        return title + "|Could not " + what + " '" + dir.path(name) + "'.";
    };
    const std::string parsing = "Error on parsing file";
    EXPECT_EQ(reporter.reports,
              (std::vector<std::string>{
                  failure("Loading failed", "open", "missing.ogm"), failure("Loading failed", "parse", "bad.ogm"),
                  failure("Loading failed", "open", ""), failure("Error on opening file", "open", "missing.ogm"),
                  failure(parsing, "parse", "version.ogm"), failure(parsing, "parse", "unknown.ogm"),
                  failure(parsing, "parse", "broken.ogm"), failure(parsing, "parse", "empty.ogm"),
                  saving(nowhere, "The folder '" + dir.path("no/such/dir") + "' does not exist."),
                  saving(dir.path(""), "'" + dir.path("") + "' is a directory.")}));
}

TEST_F(MaterialFiles, ImportsGimpFractintMicrosoftAndPhotoshopPalettes) {
    EXPECT_EQ(import("red.gpl", "GIMP Palette\n# made by hand\nName: Reds\nColumns: 4\n255   0   0\tBright red\n", 1),
              (std::vector<Rgba>{{255 * 256, 0, 0, 65535}}));
    // Values outside 0-255 are clamped instead of wrapping in 16 bits.
    EXPECT_EQ(import("mixed.gpl", "GIMP Palette\r\nNAME: upper case\r\n\r\n+12 -3 300 Index 7\r\n  1 2 3\r\n", 1),
              (std::vector<Rgba>{{12 * 256, 0, 255 * 256, 65535}, {256, 512, 768, 65535}}));

    // Fractint maps: comments and short lines are skipped; more than 256 colours are read.
    EXPECT_EQ(import("map.map", "0 0 0 # black\n# a whole comment line\n10 20\n\n255 128 64 comment without hash\n", 3),
              (std::vector<Rgba>{{0, 0, 0, 65535}, {255 * 256, 128 * 256, 64 * 256, 65535}}));

    std::string content;
    for (int i = 0; i < 300; ++i) content += std::to_string(i % 256) + " " + std::to_string(255 - i % 256) + " 7\n";
    const ColorList colors = PaletteImport::importFile(write("long.map", content), 3);
    ASSERT_EQ(colors.size(), 300u);
    MaterialPalette palette;
    PaletteImport::apply(colors, palette); // the first 256 of them
    EXPECT_EQ(palette[255].text().substr(8, 8), "ff0007ff");
    EXPECT_EQ(palette[1].text().substr(8, 8), "01fe07ff");

    // Microsoft palettes of 16 and 128 entries.
    const std::vector<Rgba> small = import("16.pal", microsoftPalette(16, 68), 4);
    ASSERT_EQ(small.size(), 16u);
    EXPECT_EQ(small[0], (Rgba{0, 255 * 256, 0, 0}));
    EXPECT_EQ(small[5], (Rgba{5 * 256, 250 * 256, 2 * 256, 4 * 256})); // flags become alpha
    // Counts above 127 are unsigned.
    const std::vector<Rgba> middle = import("128.pal", microsoftPalette(128, 4 * 128 + 4), 4);
    ASSERT_EQ(middle.size(), 128u);
    EXPECT_EQ(middle[127], (Rgba{127 * 256, 128 * 256, 63 * 256, 4 * 256}));

    // Photoshop palettes of versions one and two.
    const std::vector<std::array<std::uint16_t, 5>> colours = {{0, 65535, 0, 4096, 9}, {0, 1, 2, 3, 4}};
    const std::vector<Rgba> expected = {{65535, 0, 4096, 65535}, {1, 2, 3, 65535}};
    EXPECT_EQ(import("1.aco", photoshopPalette(1, colours), 2), expected);
    EXPECT_EQ(import("2.aco", photoshopPalette(2, colours), 2), expected);
    // A version 1 section followed by a version 2 section, as many programs write.
    EXPECT_EQ(import("both.aco", photoshopPalette(1, colours) + photoshopPalette(2, colours), 2), expected);
}

TEST_F(MaterialFiles, ImportFormatsFollowThePatternAndFailuresNameTheFileAndTheReason) {
    for (int pattern = 0; pattern < 4; ++pattern)
        EXPECT_EQ(PaletteImport::formatForPattern(pattern, "/x/any.txt"), pattern + 1);
    EXPECT_EQ(PaletteImport::formatForPattern(4, "/x/colours.ACO"), 2);
    EXPECT_EQ(PaletteImport::formatForPattern(4, "/x/a.b/colours.gpl"), 1);
    EXPECT_EQ(PaletteImport::formatForPattern(4, "/x/colours.Map"), 3);
    EXPECT_EQ(PaletteImport::formatForPattern(4, "/x/colours.pal"), 4);
    EXPECT_EQ(PaletteImport::formatForPattern(4, "/x/page.html"), 5);
    EXPECT_STREQ(PaletteImport::patternList,
                 "GIMP Palette  (*.gpl)\nAdobe Photoshop Palette  (*.aco)\nFractint  (*.map)\n"
                 "Microsoft  (*.pal)\nAll Files (*.*)");

    for (const char* path : {"/x/colours.txt", "/x/a.gpl/colours", "/x/noextension"})
        EXPECT_EQ(failureAt(path, 0, 4), "Error palette import|File\n'$'\nuses an unknown format.");
    for (int format : {0, 5, 6, -1})
        EXPECT_EQ(failureAt("/x/page.html", format),
                  "Error on palette import|The format to import from is not known or supported.");

    for (const auto& [format, title] : {std::pair{1, gimp}, {2, photoshop}, {3, fractint}, {4, microsoft}})
        EXPECT_EQ(failureAt(dir.path("missing"), format), title + "Could not open file\n'$'.");
    EXPECT_EQ(failureAt(dir.path(""), 1), gimp + "Could not open file\n'$'.");

    const std::string pal = microsoftPalette(16, 68);
    const std::string two = photoshopPalette(2, {{0, 1, 2, 3, 4}, {0, 5, 6, 7, 8}});
    const std::string unsupported =
        photoshop + "Palette file\n'$'\nuses an unsupported encoding.\nOnly RGB-palettes are supported.";
    const struct {
        const char* name;
        std::string content;
        int format;
        std::string failure;
    } cases[] = {
        {"short.gpl", "GIMP Palette\n255 0\n", 1, gimp + "Broken entry (missing components) found in\n'$'."},
        {"letter.gpl", "GIMP Palette\n255 x 0\n", 1, gimp + "Invalid number found in\n'$'."},
        {"sign.gpl", "GIMP Palette\n255 - 0\n", 1, gimp + "Invalid number found in\n'$'."},
        {"header.gpl", "GIMP palette\n255 0 0\n", 1, gimp + "Found mismatching header in\n'$'."},
        {"empty.gpl", "", 1, gimp + "Found mismatching header in\n'$'."},
        {"bad.map", "0 0 0\n1 2 three\n", 3, fractint + "A component in a RGB-triplet is not numeric in\n'$'."},
        {"size.pal", microsoftPalette(16, 64), 4, microsoft + "Mismatching length in \n'$'."},
        {"truncated.pal", pal.substr(0, pal.size() - 1), 4, microsoft + "Mismatching length in \n'$'."},
        {"nocount.pal", pal.substr(0, 22), 4, microsoft + "Mismatching length in \n'$'."},
        {"nosize.pal", pal.substr(0, 18), 4, microsoft + "Mismatching length in \n'$'."},
        {"empty.pal", "", 4, microsoft + "False header in \n'$'."},
        {"header.pal", "RIFX" + pal.substr(4), 4, microsoft + "False header in \n'$'."},
        {"notpal.pal", pal.substr(0, 8) + "PALX" + pal.substr(12), 4,
         microsoft + "First entry is not a palette in \n'$'."},
        {"short.pal", pal.substr(0, 6), 4, microsoft + "First entry is not a palette in \n'$'."},
        {"data.pal", pal.substr(0, 12) + "DATA" + pal.substr(16), 4, microsoft + "False data chunk in \n'$'."},
        {"version.pal", pal.substr(0, 20) + '\1' + pal.substr(21), 4,
         microsoft + "Unsupported palette version in \n'$'."},
        {"noversion.pal", pal.substr(0, 21), 4, microsoft + "Unsupported palette version in \n'$'."},
        {"cmyk.aco", photoshopPalette(1, {{0, 1, 2, 3, 4}, {2, 100, 200, 300, 400}}), 2, unsupported},
        {"truncated.aco", two.substr(0, two.size() - 2), 2, unsupported}, // name runs past the end
        {"lying.aco", photoshopPalette(1, {{0, 1, 2, 3, 4}}).replace(3, 1, "d"), 2, unsupported}, // count 100: too many
        {"empty.aco", "", 2, unsupported},
        {"half.aco", std::string("\0\1\0", 3), 2, unsupported},
    };
    for (const auto& c : cases) EXPECT_EQ(failureAt(write(c.name, c.content), c.format), c.failure) << c.name;
}

} // namespace
