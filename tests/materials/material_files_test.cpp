#include "materials/MaterialFiles.h"
#include "materials/PaletteLibrary.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct RecordingReporter : FailureReporter {
    void report(const std::string& title, const std::string& text) override
    {
        titles.push_back(title);
        texts.push_back(text);
    }
    std::vector<std::string> titles, texts;
};

class MaterialFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("klado-material-files-" + std::to_string(::getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string path(const std::string& name) const { return (dir / name).string(); }

    static std::string contents(const std::string& file)
    {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    static void write(const std::string& file, const std::string& text)
    {
        std::ofstream(file, std::ios::binary) << text;
    }

    std::size_t fileCount() const
    {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
    }

    fs::path dir;
    RecordingReporter reporter;
};

TEST_F(MaterialFiles, MaterialRoundTrip)
{
    GLMaterial material = GLMaterial::shapeDefault();
    material.flat = true;
    ASSERT_TRUE(saveMaterialFile(path("m.ogm"), material, reporter));
    EXPECT_EQ(contents(path("m.ogm")), material.text());

    GLMaterial loaded;
    ASSERT_TRUE(loadMaterialFile(path("m.ogm"), loaded, reporter));
    EXPECT_EQ(loaded, material);

    write(path("prefixed.ogm"), "\n  3:" + material.text() + " trailing words\n");
    GLMaterial prefixed;
    ASSERT_TRUE(loadMaterialFile(path("prefixed.ogm"), prefixed, reporter));
    EXPECT_EQ(prefixed, material);
    EXPECT_TRUE(reporter.texts.empty());
}

TEST_F(MaterialFiles, PaletteRoundTripUsesTheFullForm)
{
    const MaterialPalette defaultPalette;
    ASSERT_TRUE(savePaletteFile(path("p.ogm"), defaultPalette, reporter));
    EXPECT_EQ(contents(path("p.ogm")), defaultPalette.fullText());   // no short form, no line end

    MaterialPalette loaded(PaletteLibrary::palette(0));
    ASSERT_TRUE(loadPaletteFile(path("p.ogm"), loaded, reporter));
    EXPECT_EQ(loaded, defaultPalette);

    write(path("short.ogm"), "1:d:gradients/dark/rainbow\n");
    ASSERT_TRUE(loadPaletteFile(path("short.ogm"), loaded, reporter));
    EXPECT_EQ(loaded.text(), "1:d:gradients/dark/rainbow");
    EXPECT_TRUE(reporter.texts.empty());
}

TEST_F(MaterialFiles, FailedLoadsReportAndKeepTheValue)
{
    const GLMaterial material = GLMaterial::shapeDefault();
    GLMaterial kept = material;
    const std::string missing = path("missing.ogm");
    EXPECT_FALSE(loadMaterialFile(missing, kept, reporter));
    write(path("bad.ogm"), "242424ffffffffff000000ff3b3b3bff35");
    EXPECT_FALSE(loadMaterialFile(path("bad.ogm"), kept, reporter));
    EXPECT_FALSE(loadMaterialFile(dir.string(), kept, reporter));
    EXPECT_EQ(kept.text(), material.text());

    const MaterialPalette palette(PaletteLibrary::palette(3));
    MaterialPalette keptPalette = palette;
    EXPECT_FALSE(loadPaletteFile(missing, keptPalette, reporter));
    write(path("version.ogm"), "2:256:");
    EXPECT_FALSE(loadPaletteFile(path("version.ogm"), keptPalette, reporter));
    write(path("unknown.ogm"), "1:d:no/such/palette");
    EXPECT_FALSE(loadPaletteFile(path("unknown.ogm"), keptPalette, reporter));
    write(path("broken.ogm"), "1:2:" + material.text() + ":12#4");
    EXPECT_FALSE(loadPaletteFile(path("broken.ogm"), keptPalette, reporter));
    write(path("empty.ogm"), "");
    EXPECT_FALSE(loadPaletteFile(path("empty.ogm"), keptPalette, reporter));
    EXPECT_EQ(keptPalette, palette);

    const std::vector<std::string> titles = {"Loading failed",        "Loading failed",
                                             "Loading failed",        "Error on opening file",
                                             "Error on parsing file", "Error on parsing file",
                                             "Error on parsing file", "Error on parsing file"};
    EXPECT_EQ(reporter.titles, titles);
    EXPECT_EQ(reporter.texts[0], "Could not open '" + missing + "'.");
    EXPECT_EQ(reporter.texts[1], "Could not parse '" + path("bad.ogm") + "'.");
    EXPECT_EQ(reporter.texts[3], "Could not open '" + missing + "'.");
    EXPECT_EQ(reporter.texts[4], "Could not parse '" + path("version.ogm") + "'.");
}

TEST_F(MaterialFiles, WithoutAWindowFailuresGoToStandardError)
{
    GLMaterial material;
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(loadMaterialFile(path("missing.ogm"), material));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Could not open '" + path("missing.ogm") + "'.\n");
}

TEST_F(MaterialFiles, FailedSaveReportsAndKeepsTheOldFile)
{
    const std::string nowhere = path("no/such/dir/m.ogm");
    EXPECT_FALSE(saveMaterialFile(nowhere, GLMaterial(), reporter));
    EXPECT_FALSE(savePaletteFile(dir.string(), MaterialPalette(), reporter));
    ASSERT_EQ(reporter.titles.size(), 2u);
    EXPECT_EQ(reporter.titles[0], "Saving failed");
    EXPECT_EQ(reporter.texts[0], "Could not open\n'" + nowhere + "'\nfor writing.");

    // A write that runs out of space half-way must not touch the old file.
    const std::string file = path("p.ogm");
    write(file, "old contents");
    rlimit saved;
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 100;
    void (*previous)(int) = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved_ok = savePaletteFile(file, MaterialPalette(), reporter);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(saved_ok);
    EXPECT_EQ(contents(file), "old contents");
    EXPECT_EQ(fileCount(), 1u);   // no temporary left behind

    ASSERT_TRUE(savePaletteFile(file, MaterialPalette(), reporter));
    EXPECT_EQ(contents(file), MaterialPalette().fullText());
    EXPECT_EQ(fileCount(), 1u);
}

TEST_F(MaterialFiles, AnyBytesLoadWithoutHarm)
{
    unsigned seed = 99;
    for (int round = 0; round < 40; ++round) {
        std::string bytes;
        for (int i = 0; i < round * 53 % 700; ++i) {
            seed = seed * 1103515245u + 12345u;
            bytes += static_cast<char>(seed >> 16);
        }
        if (round % 3 == 0)
            bytes = "1:" + std::to_string(round) + ":" + bytes;
        write(path("random.ogm"), bytes);
        GLMaterial material;
        MaterialPalette palette;
        loadMaterialFile(path("random.ogm"), material, reporter);
        loadPaletteFile(path("random.ogm"), palette, reporter);
    }
}

} // namespace
