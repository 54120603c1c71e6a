#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "diagnostics/Exceptions.h"
#include "materials/PaletteImport.h"

namespace {

namespace fs = std::filesystem;

// Files of the test live in a fresh directory under the system's temp dir.
class PaletteImportTest : public ::testing::Test {
protected:
    void SetUp() override {
        myDir = fs::temp_directory_path() /
                ("klado_palette_import_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                 "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(myDir);
    }
    void TearDown() override { fs::remove_all(myDir); }

    std::string write(const std::string& name, const std::string& content) {
        const std::string path = (myDir / name).string();
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    // Imports and expects a DescribedException with exactly this title and message.
    static void expectFailure(const std::string& path, int format, const std::string& title,
                              const std::string& message) {
        try {
            PaletteImport::importFile(path, format);
            ADD_FAILURE() << "no exception for " << path;
        } catch (const DescribedException& e) {
            EXPECT_EQ(e.title(), title);
            EXPECT_EQ(e.description(), message);
        }
    }

    fs::path myDir;
};

// Binary builders.
void bigEndian16(std::string& out, std::uint16_t value) {
    out += static_cast<char>(value >> 8);
    out += static_cast<char>(value & 0xff);
}
void littleEndian16(std::string& out, std::uint16_t value) {
    out += static_cast<char>(value & 0xff);
    out += static_cast<char>(value >> 8);
}
void littleEndian32(std::string& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((value >> (8 * i)) & 0xff);
}

std::string microsoftPalette(int entries, std::uint32_t chunkSize) {
    std::string data = "RIFF";
    littleEndian32(data, 4 + 8 + chunkSize);
    data += "PAL data";
    littleEndian32(data, chunkSize);
    littleEndian16(data, 0x0300);
    littleEndian16(data, static_cast<std::uint16_t>(entries));
    for (int i = 0; i < entries; ++i) {
        data += static_cast<char>(i);
        data += static_cast<char>(255 - i);
        data += static_cast<char>(i / 2);
        data += static_cast<char>(i % 3 == 0 ? 0 : 4);  // flags
    }
    return data;
}

struct AcoColor {
    std::uint16_t space, w, x, y, z;
};
std::string photoshopPalette(std::uint16_t version, const std::vector<AcoColor>& colors) {
    std::string data;
    bigEndian16(data, version);
    bigEndian16(data, static_cast<std::uint16_t>(colors.size()));
    for (const AcoColor& c : colors) {
        for (std::uint16_t word : {c.space, c.w, c.x, c.y, c.z}) bigEndian16(data, word);
        if (version == 2) {
            bigEndian16(data, 0);
            bigEndian16(data, 3);
            for (std::uint16_t ch : {'R', 'e', 'd'}) bigEndian16(data, ch);
        }
    }
    return data;
}

void expectColor(const ImportedColor& c, int red, int green, int blue, int alpha) {
    EXPECT_EQ(c.red, red);
    EXPECT_EQ(c.green, green);
    EXPECT_EQ(c.blue, blue);
    EXPECT_EQ(c.alpha, alpha);
}

const char* const gimpTitle = "Error on parsing GIMP palette";
const char* const fractintTitle = "Error on parsing Fractint palette";
const char* const photoshopTitle = "Error on parsing Photoshop palette";
const char* const microsoftTitle = "Error on parsing Microsoft palette";

}  // namespace

TEST(PaletteImportFormats, NamesPatternsAndPatternList) {
    EXPECT_EQ(PaletteImport::formatFromName("GIMP"), 1);
    EXPECT_EQ(PaletteImport::formatFromName("gpl"), 1);
    EXPECT_EQ(PaletteImport::formatFromName("Adobe"), 2);
    EXPECT_EQ(PaletteImport::formatFromName("photoshop"), 2);
    EXPECT_EQ(PaletteImport::formatFromName("ACO"), 2);
    EXPECT_EQ(PaletteImport::formatFromName("fractint"), 3);
    EXPECT_EQ(PaletteImport::formatFromName("Map"), 3);
    EXPECT_EQ(PaletteImport::formatFromName("microsoft"), 4);
    EXPECT_EQ(PaletteImport::formatFromName("pal"), 4);
    EXPECT_EQ(PaletteImport::formatFromName("HTML"), 5);
    EXPECT_EQ(PaletteImport::formatFromName("txt"), 0);
    EXPECT_EQ(PaletteImport::formatFromName(""), 0);

    for (int pattern = 0; pattern < 4; ++pattern)
        EXPECT_EQ(PaletteImport::formatForPattern(pattern, "/x/any.txt"), pattern + 1);
    EXPECT_EQ(PaletteImport::formatForPattern(4, "/x/colours.ACO"), 2);
    EXPECT_EQ(PaletteImport::formatForPattern(4, "/x/a.b/colours.gpl"), 1);
    EXPECT_EQ(PaletteImport::formatForPattern(4, "/x/page.html"), 5);

    EXPECT_STREQ(PaletteImport::patternList,
                 "GIMP Palette  (*.gpl)\nAdobe Photoshop Palette  (*.aco)\nFractint  (*.map)\n"
                 "Microsoft  (*.pal)\nAll Files (*.*)");
}

TEST(PaletteImportFormats, UnknownAndUnsupportedFormats) {
    for (const char* path : {"/x/colours.txt", "/x/a.gpl/colours", "/x/noextension"}) {
        try {
            PaletteImport::formatForPattern(4, path);
            ADD_FAILURE() << path;
        } catch (const DescribedException& e) {
            EXPECT_EQ(e.title(), "Error palette import");
            EXPECT_EQ(e.description(), std::string("File\n'") + path + "'\nuses an unknown format.");
        }
    }
    for (int format : {0, 5, 6, -1}) {
        try {
            PaletteImport::importFile("/x/page.html", format);
            ADD_FAILURE() << format;
        } catch (const DescribedException& e) {
            EXPECT_EQ(e.title(), "Error on palette import");
            EXPECT_EQ(e.description(), "The format to import from is not known or supported.");
        }
    }
}

TEST_F(PaletteImportTest, MissingFileUsesTheReadersTitle) {
    const std::string path = (myDir / "missing").string();
    const std::string message = "Could not open file\n'" + path + "'.";
    expectFailure(path, 1, gimpTitle, message);
    expectFailure(path, 2, photoshopTitle, message);
    expectFailure(path, 3, fractintTitle, message);
    expectFailure(path, 4, microsoftTitle, message);
    expectFailure(myDir.string(), 1, gimpTitle, "Could not open file\n'" + myDir.string() + "'.");
}

TEST_F(PaletteImportTest, GimpPaletteWithHeaderCommentNameAndColumns) {
    const std::string path = write("red.gpl",
                                   "GIMP Palette\n"
                                   "# made by hand\n"
                                   "Name: Reds\n"
                                   "Columns: 4\n"
                                   "255   0   0\tBright red\n");
    const ColorList colors = PaletteImport::importFile(path, 1);
    ASSERT_EQ(colors.size(), 1u);
    expectColor(colors[0], 255 * 256, 0, 0, 65535);

    MaterialPalette palette;
    PaletteImport::apply(colors, palette);
    const GLMaterial& first = palette[0];
    EXPECT_FLOAT_EQ(first.diffuse[0], 1.0f);
    EXPECT_FLOAT_EQ(first.diffuse[1], 0.0f);
    EXPECT_FLOAT_EQ(first.diffuse[2], 0.0f);
    EXPECT_FLOAT_EQ(first.diffuse[3], 1.0f);
    for (int i = 1; i < MaterialPalette::size; ++i) EXPECT_EQ(palette[i], GLMaterial()) << i;
}

TEST_F(PaletteImportTest, GimpEntriesWithSignsNamesAndWindowsLineEnds) {
    const std::string path = write("mixed.gpl",
                                   "GIMP Palette\r\nNAME: upper case\r\n\r\n"
                                   "+12 -3 300 Index 7\r\n  1 2 3\r\n");
    const ColorList colors = PaletteImport::importFile(path, 1);
    ASSERT_EQ(colors.size(), 2u);
    // Values outside 0-255 are clamped instead of wrapping in 16 bits.
    expectColor(colors[0], 12 * 256, 0, 255 * 256, 65535);
    expectColor(colors[1], 256, 512, 768, 65535);
}

TEST_F(PaletteImportTest, GimpFailures) {
    std::string path = write("short.gpl", "GIMP Palette\n255 0\n");
    expectFailure(path, 1, gimpTitle, "Broken entry (missing components) found in\n'" + path + "'.");

    path = write("letter.gpl", "GIMP Palette\n255 x 0\n");
    expectFailure(path, 1, gimpTitle, "Invalid number found in\n'" + path + "'.");

    path = write("sign.gpl", "GIMP Palette\n255 - 0\n");
    expectFailure(path, 1, gimpTitle, "Invalid number found in\n'" + path + "'.");

    path = write("header.gpl", "GIMP palette\n255 0 0\n");
    expectFailure(path, 1, gimpTitle, "Found mismatching header in\n'" + path + "'.");

    path = write("empty.gpl", "");
    expectFailure(path, 1, gimpTitle, "Found mismatching header in\n'" + path + "'.");
}

TEST_F(PaletteImportTest, FractintCommentsAndShortLines) {
    const std::string path = write("map.map",
                                   "0 0 0 # black\n"
                                   "# a whole comment line\n"
                                   "10 20\n"
                                   "\n"
                                   "255 128 64 a comment without hash\n");
    const ColorList colors = PaletteImport::importFile(path, 3);
    ASSERT_EQ(colors.size(), 2u);
    expectColor(colors[0], 0, 0, 0, 65535);
    expectColor(colors[1], 255 * 256, 128 * 256, 64 * 256, 65535);

    const std::string bad = write("bad.map", "0 0 0\n1 2 three\n");
    expectFailure(bad, 3, fractintTitle,
                  "A component in a RGB-triplet is not numeric in\n'" + bad + "'.");
}

TEST_F(PaletteImportTest, MoreThan256ColoursUseTheFirst256) {
    std::string content;
    for (int i = 0; i < 300; ++i)
        content += std::to_string(i % 256) + " " + std::to_string(255 - i % 256) + " 7\n";
    const ColorList colors = PaletteImport::importFile(write("long.map", content), 3);
    ASSERT_EQ(colors.size(), 300u);

    MaterialPalette palette;
    PaletteImport::apply(colors, palette);
    EXPECT_FLOAT_EQ(palette[255].diffuse[0], 1.0f);
    EXPECT_FLOAT_EQ(palette[255].diffuse[1], 0.0f);
    EXPECT_FLOAT_EQ(palette[1].diffuse[0], 1.0f / 255.0f);
    EXPECT_FLOAT_EQ(palette[1].diffuse[2], 7.0f / 255.0f);
}

TEST_F(PaletteImportTest, MicrosoftPalettes) {
    ColorList colors = PaletteImport::importFile(write("16.pal", microsoftPalette(16, 68)), 4);
    ASSERT_EQ(colors.size(), 16u);
    expectColor(colors[0], 0, 255 * 256, 0, 0);
    expectColor(colors[5], 5 * 256, 250 * 256, 2 * 256, 4 * 256);  // flags become alpha

    // Counts above 127 are unsigned.
    colors = PaletteImport::importFile(write("128.pal", microsoftPalette(128, 4 * 128 + 4)), 4);
    ASSERT_EQ(colors.size(), 128u);
    expectColor(colors[127], 127 * 256, 128 * 256, 63 * 256, 4 * 256);
    colors = PaletteImport::importFile(write("255.pal", microsoftPalette(255, 4 * 255 + 4)), 4);
    ASSERT_EQ(colors.size(), 255u);
    expectColor(colors[254], 254 * 256, 256, 127 * 256, 4 * 256);
}

TEST_F(PaletteImportTest, MicrosoftFailures) {
    auto expect = [this](const std::string& name, const std::string& content, const std::string& text) {
        const std::string path = write(name, content);
        expectFailure(path, 4, microsoftTitle, text + " \n'" + path + "'.");
    };
    const std::string good = microsoftPalette(16, 68);
    expect("size.pal", microsoftPalette(16, 64), "Mismatching length in");
    expect("truncated.pal", good.substr(0, good.size() - 1), "Mismatching length in");
    expect("nocount.pal", good.substr(0, 22), "Mismatching length in");
    expect("nosize.pal", good.substr(0, 18), "Mismatching length in");
    expect("empty.pal", "", "False header in");
    expect("header.pal", "RIFX" + good.substr(4), "False header in");
    expect("notpal.pal", good.substr(0, 8) + "PALX" + good.substr(12), "First entry is not a palette in");
    expect("short.pal", good.substr(0, 6), "First entry is not a palette in");
    expect("data.pal", good.substr(0, 12) + "DATA" + good.substr(16), "False data chunk in");
    std::string version = good;
    version[20] = 1;
    expect("version.pal", version, "Unsupported palette version in");
    expect("noversion.pal", good.substr(0, 21), "Unsupported palette version in");
}

TEST_F(PaletteImportTest, PhotoshopVersionsOneAndTwo) {
    const std::vector<AcoColor> rgb = {{0, 65535, 0, 4096, 9}, {0, 1, 2, 3, 4}};
    for (std::uint16_t version : {1, 2}) {
        const std::string path = write("rgb.aco", photoshopPalette(version, rgb));
        const ColorList colors = PaletteImport::importFile(path, 2);
        ASSERT_EQ(colors.size(), 2u) << version;
        expectColor(colors[0], 65535, 0, 4096, 65535);
        expectColor(colors[1], 1, 2, 3, 65535);
    }
    // A version 1 section followed by a version 2 section, as many programs write.
    const std::string both = photoshopPalette(1, rgb) + photoshopPalette(2, rgb);
    EXPECT_EQ(PaletteImport::importFile(write("both.aco", both), 2).size(), 2u);
}

TEST_F(PaletteImportTest, PhotoshopFailures) {
    auto expect = [this](const std::string& name, const std::string& content) {
        const std::string path = write(name, content);
        expectFailure(path, 2, photoshopTitle,
                      "Palette file\n'" + path +
                          "'\nuses an unsupported encoding.\nOnly RGB-palettes are supported.");
    };
    expect("cmyk.aco", photoshopPalette(1, {{0, 1, 2, 3, 4}, {2, 100, 200, 300, 400}}));
    const std::string two = photoshopPalette(2, {{0, 1, 2, 3, 4}, {0, 5, 6, 7, 8}});
    expect("truncated.aco", two.substr(0, two.size() - 2));  // name runs past the end
    std::string lying = photoshopPalette(1, {{0, 1, 2, 3, 4}});
    lying[3] = 100;  // count larger than the data
    expect("lying.aco", lying);
    expect("empty.aco", "");
    expect("half.aco", std::string("\0\1\0", 3));
}

TEST_F(PaletteImportTest, FailedImportLeavesThePaletteAlone) {
    MaterialPalette palette;
    palette[7].read("0000ffff00ff00ff000000ff112233ff401");
    const MaterialPalette before = palette;
    const std::string path = write("bad.pal", microsoftPalette(16, 60));
    EXPECT_THROW(PaletteImport::apply(PaletteImport::importFile(path, 4), palette), DescribedException);
    EXPECT_EQ(palette, before);
    EXPECT_EQ(palette.fullText(), before.fullText());
}
