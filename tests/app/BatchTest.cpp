// The program run from its command line, as a user runs it in batch.

#include "../TempDir.h"

#include <gtest/gtest.h>
#include <osg/Image>
#include <osgDB/ReadFile>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>

namespace {

using Names = std::vector<std::string>;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

const char* const plant = "Name:test plant\n"
                          "Axiom:F\n"
                          "Rule::::F::F[+F]F[-F]F\n"
                          "Def:_steps:2\n"
                          "Def:_rotZ:25\n"
                          "ShapeDef:F visible=1, interpreted=1, type=tube, length=10, width=2\n"
                          "Environment:background.color=3366cc\n";

const char* const explosive = "Axiom:F\nRule::::F::FFFFFFFFFF\nDef:_steps:12\n";

class Batch : public ::testing::Test {
protected:
    void SetUp() override { dir.write("plant.kld", plant); }

    std::string path(const std::string& name) const { return dir.path(name); }

    // Runs the program with the arguments; with display false it sees no X
    // display at all. The shell runs limits before it.
    Outcome klado(const std::string& arguments, bool display = false, const std::string& limits = "") const {
        // Mesa's GLX driver leaves allocations behind when it is unloaded, in
        // frames the leak checker cannot name; leaks of our own code are
        // checked by the runs without a display.
        const std::string command = limits + std::string(display ? "ASAN_OPTIONS=detect_leaks=0 " : "env -u DISPLAY ") +
                                    KLADO_BINARY_DIR "/klado " + arguments + " >'" + path("out.txt") + "' 2>'" +
                                    path("err.txt") + "'";
        const int status = std::system(command.c_str());
        Outcome run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, dir.read("out.txt"), dir.read("err.txt")};
        std::remove(path("out.txt").c_str());
        std::remove(path("err.txt").c_str());
        return run;
    }

    // The test plant, written to the given output.
    Outcome plantTo(const std::string& option, const std::string& name, const std::string& more = "") const {
        return klado("--load " + path("plant.kld") + " " + option + " " + path(name) + " " + more);
    }

    bool exists(const std::string& name) const {
        struct stat info;
        return stat(path(name).c_str(), &info) == 0;
    }

    TempDir dir;
};

// The model stands in the middle of the picture. Its material is white and
// the definition enables no light, so a lit model shows bright pixels there,
// an unlit one only dark ones.
bool hasLitModelPixels(const osg::Image& image) {
    for (int y = image.t() / 4; y < 3 * image.t() / 4; ++y)
        for (int x = image.s() / 4; x < 3 * image.s() / 4; ++x) {
            const osg::Vec4 colour = image.getColor(x, y);
            if (colour.r() > 0.5f && colour.g() > 0.5f && colour.b() > 0.5f) return true;
        }
    return false;
}

TEST_F(Batch, RendersWithOrWithoutADisplay) {
    const bool haveDisplay = std::getenv("DISPLAY") != nullptr;
    const struct {
        const char* name;
        const char* size;
        bool display;
        const char* limits;
        int width, height;
        GLenum format;
    } cases[] = {
        {"none.png", "--image-width 300 --image-height 200", false, "", 300, 200, GL_RGBA},
        {"x.png", "--image-width 2000 --image-height 1500", true, "", 2000, 1500, GL_RGBA},
        {"unopenable.png", "--image-width 300 --image-height 200", true, "DISPLAY=:4711; export DISPLAY; ", 300, 200,
         GL_RGBA},
        {"default.jpg", "", false, "", 1024, 1024, GL_RGB}, // no alpha in JPEG
        {"b.JPEG", "--image-width 64 --image-height 48", false, "", 64, 48, GL_RGB},
        {"c.Jpg", "--image-width 64 --image-height 48", false, "", 64, 48, GL_RGB},
        {"d.bmp", "--image-width 64 --image-height 48", false, "", 64, 48, 0},
        {"e.tga", "--image-width 64 --image-height 48", false, "", 64, 48, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.display && !*c.limits && !haveDisplay) continue;
        const Outcome run = klado("--load " + path("plant.kld") + " --output-image " + path(c.name) + " " + c.size,
                                  c.display, c.limits);
        EXPECT_EQ(run.status, 0) << run.err;
        osg::ref_ptr<osg::Image> image = osgDB::readImageFile(path(c.name));
        ASSERT_TRUE(image.valid());
        EXPECT_EQ(image->s(), c.width);
        EXPECT_EQ(image->t(), c.height);
        if (!c.format) continue;
        EXPECT_EQ(image->getPixelFormat(), c.format);
        const osg::Vec4 corner = image->getColor(0, 0);
        EXPECT_NEAR(corner.r(), 0x33 / 255.0f, 0.02);
        EXPECT_NEAR(corner.g(), 0x66 / 255.0f, 0.02);
        EXPECT_NEAR(corner.b(), 0xcc / 255.0f, 0.02);
        EXPECT_TRUE(hasLitModelPixels(*image));
    }
}

// Outputs that cannot be written leave an existing file of that name as it
// was and nothing else in its folder.
TEST_F(Batch, RefusedOutputsFailAndKeepTheOldFile) {
    const struct {
        const char* option;
        const char* name;
        const char* size;
        std::string reason;
    } cases[] = {
        {"--output-image", "big.ico", "--image-width 300 --image-height 16",
         "Icons and cursors hold at most 256 x 256 pixels."},
        {"--output-image", "x.nosuchformat", "", "There is no image writer for the extension 'nosuchformat'."},
        {"--output-image", "wide.png", "--image-width 100000 --image-height 16",
         "Error while saving:\nCould not save file\n" + path("wide.png") + "\nThe renderer draws images of at most "},
        // No writer for the first; the second reports success but writes no file.
        {"--output-object", "plant.nowriter", "",
         "Error while saving:\nCould not save file\n" + path("plant.nowriter")},
        {"--output-object", "plant.dae", "", "Error while saving:\nCould not save file\n" + path("plant.dae")},
    };
    for (const auto& c : cases) {
        dir.write(c.name, "old");
        const Outcome run = plantTo(c.option, c.name, c.size);
        EXPECT_NE(run.status, 0) << c.name;
        EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
        EXPECT_EQ(dir.read(c.name), "old") << c.name;
    }
    EXPECT_EQ(dir.entries(),
              (Names{"big.ico", "plant.dae", "plant.kld", "plant.nowriter", "wide.png", "x.nosuchformat"}));
}

// A 64 KiB file system: every output is too big for it.
TEST_F(Batch, FullDiskKeepsTheOldFilesAndLeavesNoFragment) {
    const std::string disk = path("disk");
    ASSERT_EQ(mkdir(disk.c_str(), 0755), 0);
    if (std::system(("mount -t tmpfs -o size=64k tmpfs '" + disk + "' 2>/dev/null").c_str()) != 0)
        GTEST_SKIP() << "cannot mount a 64 KiB tmpfs here (needs root)";
    dir.write("long.kld", "Axiom:F\nRule::::F::FF\nDef:_steps:16\n");
    // The test plant a step further: its object files share the tube's
    // geometry and state, so they need more tubes to outgrow the disk.
    std::string grown = plant;
    grown.replace(grown.find("_steps:2"), 8, "_steps:4");
    dir.write("grown.kld", grown);
    const struct {
        const char* option;
        const char* name;
    } cases[] = {{"--output-image", "x.png"},  {"--output-image", "x.tif"},  {"--output-image", "x.bmp"},
                 {"--output-object", "x.obj"}, {"--output-object", "x.stl"}, {"--output-object", "x.osgt"},
                 {"--result-output", "x.txt"}};
    for (const auto& c : cases) dir.write(std::string("disk/") + c.name, "old");
    for (const auto& c : cases) {
        const std::string option = c.option;
        const std::string load = path(option == "--result-output"   ? "long.kld"
                                      : option == "--output-object" ? "grown.kld"
                                                                    : "plant.kld");
        const Outcome run = klado("--load " + load + " " + c.option + " " + disk + "/" + c.name +
                                  " --image-width 2000 --image-height 2000");
        EXPECT_EQ(run.status, 1) << c.name;
        EXPECT_NE(run.err.find("Could not save file\n" + disk + "/" + c.name), std::string::npos) << run.err;
        EXPECT_EQ(dir.read(std::string("disk/") + c.name), "old") << c.name;
    }
    Names names;
    for (const auto& entry : std::filesystem::directory_iterator(disk)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (Names{"x.bmp", "x.obj", "x.osgt", "x.png", "x.stl", "x.tif", "x.txt"}));
    std::system(("umount '" + disk + "'").c_str());
}

// An interrupt while a large object file is being written leaves the old
// file and nothing else.
TEST_F(Batch, InterruptedExportKeepsTheOldFile) {
    dir.write("big.kld", "Axiom:F\nRule::::F::F[+F]F[-F]F\nDef:_steps:6\n"
                         "ShapeDef:F visible=1, interpreted=1, type=tube\n");
    dir.write("big.obj", "old");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        freopen("/dev/null", "w", stderr);
        unsetenv("DISPLAY");
        execl(KLADO_BINARY_DIR "/klado", "klado", "--load", path("big.kld").c_str(), "--output-object",
              path("big.obj").c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    // Waits until the export has begun: its private folder or temporary file
    // is there.
    bool writing = false;
    for (int i = 0; i < 60000 && !writing; ++i) {
        for (const std::string& name : dir.entries())
            writing = writing || name.find(".klado-") != std::string::npos || name.find(".tmp") != std::string::npos;
        if (!writing) usleep(1000);
    }
    ASSERT_TRUE(writing);
    kill(child, SIGINT);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the export ended before the interrupt";
    EXPECT_EQ(WTERMSIG(status), SIGINT);
    EXPECT_EQ(dir.read("big.obj"), "old");
    EXPECT_EQ(dir.entries(), (Names{"big.kld", "big.obj", "plant.kld"}));
}

TEST_F(Batch, HelpAndVersionPrintAndEnd) {
    Outcome run = klado("--help");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    for (const char* option : {"--load", "--output-image", "--image-width", "--image-height", "--output-object",
                               "--result-output", "--max-atoms", "-l", "--help", "--version"})
        EXPECT_NE(run.out.find(std::string("\n  ") + option), std::string::npos) << option;
    run = klado("--version");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "KLADO 1.0\n");
}

TEST_F(Batch, GrowthLimitAndLackOfMemoryStopWithTheStep) {
    dir.write("boom.kld", explosive);
    Outcome run = klado("--load " + path("boom.kld") + " --result-output " + path("s.txt") + " --max-atoms 5000");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Growth limit:\nStep 4 would make a string of about 10000 atoms, more than the limit of 5000 "
                       "atoms.\n Raise the limit (--max-atoms in batch use) or compute fewer steps.\n");
    EXPECT_FALSE(exists("s.txt"));

#ifdef KLADO_SANITIZED
    GTEST_SKIP() << "AddressSanitizer reserves far more address space than a limit would leave";
#endif
    // 1 GB of address space; no growth limit to stop it earlier.
    run = klado("--load " + path("boom.kld") + " --result-output " + path("s.txt") + " --max-atoms 2000000000", false,
                "ulimit -v 1000000; ");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.find("Error:\nNot enough memory to compute step "), 0u) << run.err;
    EXPECT_NE(run.err.find(" atoms).\n"), std::string::npos) << run.err;
    EXPECT_FALSE(exists("s.txt"));
}

// Only the derived string: no geometry is built, so 10 million atoms fit in
// well under 1 GB.
TEST_F(Batch, StringAloneIsDerivedWithoutGeometry) {
    dir.write("ten.kld", "Axiom:F\nRule::::F::FFFFFFFFFF\nDef:_steps:7\n"
                         "ShapeDef:F visible=1, interpreted=1, type=tube\n");
    const Outcome run = klado("--load " + path("ten.kld") + " --result-output " + path("s.txt"));
    EXPECT_EQ(run.status, 0) << run.err;
    struct stat info;
    ASSERT_EQ(stat(path("s.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_size, 20000000 + 20000000 / 80);
    rusage usage;
    getrusage(RUSAGE_CHILDREN, &usage);
    EXPECT_LT(usage.ru_maxrss, 1000000L) << "kB";
}

TEST_F(Batch, DefinitionErrorsAreReportedAndFail) {
    Outcome run = klado("--load " + path("in.kld") + " --output-image " + path("out.png"));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Error on loading file:\n Could not open '" + path("in.kld") + "'.\n");
    dir.write("in.kld", "Axiom:F]F\n");
    run = klado("--load " + path("in.kld") + " --output-image " + path("out.png"));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.find("Definition error:\n"), 0u) << run.err;
    EXPECT_FALSE(exists("out.png"));
    run = klado("--output-image " + path("x.png"));
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.err.find("A definition is needed"), std::string::npos);
}

TEST_F(Batch, OptionErrorsAreReportedAndTheProgramGoesOn) {
    const Outcome run =
        klado("--bogus --load " + path("plant.kld") + " --image-width 300 --result-output " + path("s.txt"));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "Error: The option 'bogus' is not known.\n");
    EXPECT_EQ(run.out, "Error on parsing options!\n");
    EXPECT_TRUE(exists("s.txt"));
}

} // namespace
