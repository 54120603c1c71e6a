#include "materials/MaterialFiles.h"
#include "materials/PaletteLibrary.h"
#include "tests/TempDir.h"

#include <gtest/gtest.h>

namespace {

struct RecordingReporter : FailureReporter {
    void report(const std::string& title, const std::string& text) override { reports.push_back(title + "|" + text); }
    std::vector<std::string> reports;
};

class MaterialFiles : public ::testing::Test {
protected:
    TempDir dir;
    RecordingReporter reporter;
};

TEST_F(MaterialFiles, MaterialAndPaletteRoundTrips) {
    GLMaterial material = GLMaterial::shapeDefault();
    material.flat = true;
    ASSERT_TRUE(saveMaterialFile(dir.path("m.ogm"), material, reporter));
    EXPECT_EQ(dir.read("m.ogm"), material.text());
    GLMaterial loaded;
    ASSERT_TRUE(loadMaterialFile(dir.path("m.ogm"), loaded, reporter));
    EXPECT_EQ(loaded, material);
    dir.write("prefixed.ogm", "\n  3:" + material.text() + " trailing words\n");
    GLMaterial prefixed;
    ASSERT_TRUE(loadMaterialFile(dir.path("prefixed.ogm"), prefixed, reporter));
    EXPECT_EQ(prefixed, material);

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

} // namespace
