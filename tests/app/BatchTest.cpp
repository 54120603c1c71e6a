// The program run from its command line, as a user runs it in batch.

#include <gtest/gtest.h>
#include <osg/Image>
#include <osgDB/ReadFile>

#include <cctype>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

class Batch : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/klado-batch-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }

    std::string path(const std::string& name) const { return dir + "/" + name; }

    std::string write(const std::string& name, const std::string& text) const {
        std::ofstream(path(name)) << text;
        return path(name);
    }

    static std::string slurp(const std::string& fileName) {
        std::ifstream in(fileName);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // Runs the program with the arguments; with display false it sees no X
    // display at all. The shell runs limits before it.
    Outcome klado(const std::string& arguments, bool display = false, const std::string& limits = "") const {
        // Mesa's GLX driver leaves allocations behind when it is unloaded, in
        // frames the leak checker cannot name; leaks of our own code are
        // checked by the runs without a display.
        const std::string command = limits + std::string(display ? "ASAN_OPTIONS=detect_leaks=0 " : "env -u DISPLAY ") +
                                    KLADO_BINARY_DIR "/klado " + arguments + " >'" + path("out.txt") + "' 2>'" +
                                    path("err.txt") + "'";
        Outcome run;
        const int status = std::system(command.c_str());
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.out = slurp(path("out.txt"));
        run.err = slurp(path("err.txt"));
        return run;
    }

    // The names in a folder, sorted.
    static std::string entries(const std::string& folder) {
        FILE* listing = popen(("ls -A '" + folder + "'").c_str(), "r");
        std::string names;
        char line[256];
        while (fgets(line, sizeof line, listing)) names += line;
        pclose(listing);
        return names;
    }

    static long fileSize(const std::string& fileName) {
        struct stat info;
        return stat(fileName.c_str(), &info) == 0 ? static_cast<long>(info.st_size) : -1;
    }

    std::string dir;
};

const char* const plant = "Name:test plant\n"
                          "Axiom:F\n"
                          "Rule::::F::F[+F]F[-F]F\n"
                          "Def:_steps:2\n"
                          "Def:_rotZ:25\n"
                          "ShapeDef:F visible=1, interpreted=1, type=tube, length=10, width=2\n"
                          "Environment:background.color=3366cc\n";

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

void expectPicture(const std::string& fileName, int width, int height, GLenum format) {
    osg::ref_ptr<osg::Image> image = osgDB::readImageFile(fileName);
    ASSERT_TRUE(image.valid()) << fileName;
    EXPECT_EQ(image->s(), width);
    EXPECT_EQ(image->t(), height);
    EXPECT_EQ(image->getPixelFormat(), format);
    const osg::Vec4 background(0x33 / 255.0f, 0x66 / 255.0f, 0xcc / 255.0f, 1.0f);
    const osg::Vec4 corner = image->getColor(0, 0);
    EXPECT_NEAR(corner.r(), background.r(), 0.02);
    EXPECT_NEAR(corner.g(), background.g(), 0.02);
    EXPECT_NEAR(corner.b(), background.b(), 0.02);
    EXPECT_TRUE(hasLitModelPixels(*image));
}

TEST_F(Batch, RendersWithoutAnyDisplay) {
    const std::string definition = write("plant.kld", plant);
    const Outcome run = klado("--load " + definition + " --output-image " + path("plant.png") +
                              " --image-width 300 --image-height 200");
    EXPECT_EQ(run.status, 0) << run.err;
    expectPicture(path("plant.png"), 300, 200, GL_RGBA);
}

TEST_F(Batch, RendersOnAnXDisplay) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
    const std::string definition = write("plant.kld", plant);
    const Outcome run = klado("--load " + definition + " --output-image " + path("plant.png") +
                                  " --image-width 2000 --image-height 1500",
                              true);
    EXPECT_EQ(run.status, 0) << run.err;
    expectPicture(path("plant.png"), 2000, 1500, GL_RGBA);
}

TEST_F(Batch, RendersWithoutTheDisplayThatCannotBeOpened) {
    const std::string definition = write("plant.kld", plant);
    const Outcome run =
        klado("--load " + definition + " --output-image " + path("plant.png") + " --image-width 300 --image-height 200",
              true, "DISPLAY=:4711; export DISPLAY; ");
    EXPECT_EQ(run.status, 0) << run.err;
    expectPicture(path("plant.png"), 300, 200, GL_RGBA);
}

TEST_F(Batch, JpegHasNoAlphaAndDefaultSizeIs1024) {
    const std::string definition = write("plant.kld", plant);
    const Outcome run = klado("--load " + definition + " --output-image " + path("plant.jpg"));
    EXPECT_EQ(run.status, 0) << run.err;
    expectPicture(path("plant.jpg"), 1024, 1024, GL_RGB);
}

TEST_F(Batch, ToolkitImageFormats) {
    const std::string definition = write("plant.kld", plant);
    for (const char* extension : {"bmp", "tga"}) {
        const std::string image = path(std::string("plant.") + extension);
        const Outcome run =
            klado("--load " + definition + " --output-image " + image + " --image-width 64 --image-height 48");
        EXPECT_EQ(run.status, 0) << extension << run.err;
        osg::ref_ptr<osg::Image> read = osgDB::readImageFile(image);
        ASSERT_TRUE(read.valid()) << extension;
        EXPECT_EQ(read->s(), 64);
        EXPECT_EQ(read->t(), 48);
    }
}

TEST_F(Batch, ObjectFormatsThatClaimSuccessWriteReadableFiles) {
    const std::string definition = write("plant.kld", plant);
    for (const char* extension : {"obj", "stl", "osgt", "ive", "3ds"}) {
        const std::string object = path(std::string("plant.") + extension);
        const Outcome run = klado("--load " + definition + " --output-object " + object);
        EXPECT_EQ(run.status, 0) << extension << run.err;
        EXPECT_GT(fileSize(object), 0) << extension;
        EXPECT_TRUE(osgDB::readRefNodeFile(object).valid()) << extension;
    }
}

TEST_F(Batch, AnObjectWriterThatWritesNothingFails) {
    const std::string definition = write("plant.kld", plant);
    // No writer for the first; the second reports success but writes no file.
    for (const char* extension : {"nowriter", "dae"}) {
        const std::string object = path(std::string("plant.") + extension);
        const Outcome run = klado("--load " + definition + " --output-object " + object);
        EXPECT_NE(run.status, 0) << extension;
        EXPECT_NE(run.err.find("Error while saving:\nCould not save file\n" + object), std::string::npos) << run.err;
    }
}

TEST_F(Batch, ImageLargerThanTheRendererCanHoldFails) {
    const std::string definition = write("plant.kld", plant);
    const Outcome run = klado("--load " + definition + " --output-image " + path("wide.png") +
                              " --image-width 100000 --image-height 16");
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.err.find("Error while saving:\nCould not save file\n" + path("wide.png") +
                           "\nThe renderer draws images of at most "),
              std::string::npos)
        << run.err;
    EXPECT_LT(fileSize(path("wide.png")), 0);
}

TEST_F(Batch, JpegNamesAreJpgInAnyCase) {
    const std::string definition = write("plant.kld", plant);
    for (const char* name : {"a.jpeg", "b.JPEG", "c.Jpg"}) {
        const Outcome run =
            klado("--load " + definition + " --output-image " + path(name) + " --image-width 64 --image-height 48");
        EXPECT_EQ(run.status, 0) << name << run.err;
        osg::ref_ptr<osg::Image> read = osgDB::readImageFile(path(name));
        ASSERT_TRUE(read.valid()) << name;
        EXPECT_EQ(read->getPixelFormat(), static_cast<GLenum>(GL_RGB)) << name;
    }
}

// Outputs that cannot be written leave an existing file of that name as it
// was and nothing else in its folder.
TEST_F(Batch, RefusedOutputsKeepTheOldFile) {
    const std::string definition = write("plant.kld", plant);
    const struct {
        const char* name;
        const char* arguments;
        const char* reason;
    } cases[] = {
        {"big.ico", "--image-width 300 --image-height 16", "Icons and cursors hold at most 256 x 256 pixels."},
        {"x.nosuchformat", "", "There is no image writer for the extension 'nosuchformat'."},
    };
    for (const auto& c : cases) {
        write(c.name, "old");
        const Outcome run = klado("--load " + definition + " --output-image " + path(c.name) + " " + c.arguments);
        EXPECT_NE(run.status, 0) << c.name;
        EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
        EXPECT_EQ(slurp(path(c.name)), "old") << c.name;
    }
    write("plant.dae", "old");
    const Outcome run = klado("--load " + definition + " --output-object " + path("plant.dae"));
    EXPECT_NE(run.status, 0);
    EXPECT_EQ(slurp(path("plant.dae")), "old");
    EXPECT_EQ(entries(dir), "big.ico\nerr.txt\nout.txt\nplant.dae\nplant.kld\nx.nosuchformat\n");
}

TEST_F(Batch, ObjectFileComesWithItsMaterialFile) {
    const std::string definition = write("plant.kld", plant);
    const Outcome run = klado("--load " + definition + " --output-object " + path("plant.obj"));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(slurp(path("plant.obj")).find("\nmtllib plant.mtl\n"), std::string::npos);
    EXPECT_NE(slurp(path("plant.mtl")).find("newmtl"), std::string::npos);
}

// A 64 KiB file system: every output is too big for it.
TEST_F(Batch, FullDiskKeepsTheOldFilesAndLeavesNoFragment) {
    const std::string disk = path("disk");
    ASSERT_EQ(mkdir(disk.c_str(), 0755), 0);
    if (std::system(("mount -t tmpfs -o size=64k tmpfs '" + disk + "' 2>/dev/null").c_str()) != 0)
        GTEST_SKIP() << "cannot mount a 64 KiB tmpfs here (needs root)";
    const std::string definition = write("plant.kld", plant);
    const std::string longString = write("long.kld", "Axiom:F\nRule::::F::FF\nDef:_steps:16\n");
    const struct {
        const char* option;
        const char* name;
    } cases[] = {{"--output-image", "x.png"},  {"--output-image", "x.tif"},  {"--output-image", "x.bmp"},
                 {"--output-object", "x.obj"}, {"--output-object", "x.stl"}, {"--output-object", "x.osgt"},
                 {"--result-output", "x.txt"}};
    for (const auto& c : cases) std::ofstream(disk + "/" + c.name) << "old";
    for (const auto& c : cases) {
        const std::string load = std::string(c.option) == "--result-output" ? longString : definition;
        const Outcome run = klado("--load " + load + " " + c.option + " " + disk + "/" + c.name +
                                  " --image-width 2000 --image-height 2000");
        EXPECT_EQ(run.status, 1) << c.name;
        EXPECT_NE(run.err.find("Could not save file\n" + disk + "/" + c.name), std::string::npos) << run.err;
        EXPECT_TRUE(slurp(disk + "/" + c.name) == "old") << c.name;
    }
    EXPECT_EQ(entries(disk), "x.bmp\nx.obj\nx.osgt\nx.png\nx.stl\nx.tif\nx.txt\n");
    std::system(("umount '" + disk + "'").c_str());
}

// An interrupt while a large object file is being written leaves the old
// file and nothing else.
TEST_F(Batch, InterruptedExportKeepsTheOldFile) {
    const std::string definition = write("big.kld", "Axiom:F\nRule::::F::F[+F]F[-F]F\nDef:_steps:6\n"
                                                    "ShapeDef:F visible=1, interpreted=1, type=tube\n");
    const std::string target = write("big.obj", "old");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        freopen("/dev/null", "w", stderr);
        unsetenv("DISPLAY");
        execl(KLADO_BINARY_DIR "/klado", "klado", "--load", definition.c_str(), "--output-object", target.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    // Waits until the export has begun: its private folder or temporary file
    // is there.
    bool writing = false;
    for (int i = 0; i < 60000 && !writing; ++i) {
        const std::string names = entries(dir);
        writing = names.find(".klado-") != std::string::npos || names.find(".tmp") != std::string::npos;
        if (!writing) usleep(1000);
    }
    ASSERT_TRUE(writing);
    kill(child, SIGINT);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the export ended before the interrupt";
    EXPECT_EQ(WTERMSIG(status), SIGINT);
    EXPECT_EQ(slurp(target), "old");
    EXPECT_EQ(entries(dir), "big.kld\nbig.obj\n");
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

const char* const explosive = "Axiom:F\nRule::::F::FFFFFFFFFF\nDef:_steps:12\n";

TEST_F(Batch, GrowthLimitStopsWithTheStepAndTheWayOut) {
    const std::string definition = write("boom.kld", explosive);
    const Outcome run = klado("--load " + definition + " --result-output " + path("s.txt") + " --max-atoms 5000");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Growth limit:\nStep 4 would make a string of about 10000 atoms, more than the limit of 5000 "
                       "atoms.\n Raise the limit (--max-atoms in batch use) or compute fewer steps.\n");
    EXPECT_LT(fileSize(path("s.txt")), 0);
}

TEST_F(Batch, RunningOutOfMemoryIsNamed) {
    const std::string definition = write("boom.kld", explosive);
    // 1 GB of address space; no growth limit to stop it earlier.
    const Outcome run = klado("--load " + definition + " --result-output " + path("s.txt") + " --max-atoms 2000000000",
                              false, "ulimit -v 1000000; ");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.find("Error:\nNot enough memory to compute step "), 0u) << run.err;
    EXPECT_NE(run.err.find(" atoms).\n"), std::string::npos) << run.err;
    EXPECT_LT(fileSize(path("s.txt")), 0);
}

// Only the derived string: no geometry is built, so 10 million atoms fit in
// well under 1 GB.
TEST_F(Batch, StringAloneIsDerivedWithoutGeometry) {
    const std::string definition = write("ten.kld", "Axiom:F\nRule::::F::FFFFFFFFFF\nDef:_steps:7\n"
                                                    "ShapeDef:F visible=1, interpreted=1, type=tube\n");
    const Outcome run = klado("--load " + definition + " --result-output " + path("s.txt"));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(fileSize(path("s.txt")), 20000000 + 20000000 / 80);
    rusage usage;
    getrusage(RUSAGE_CHILDREN, &usage);
    EXPECT_LT(usage.ru_maxrss, 1000000L) << "kB";
}

TEST_F(Batch, ResultOutputWritesTheLatestString) {
    const std::string definition = write("plant.kld", plant);
    const Outcome run = klado("--load " + definition + " --result-output " + path("string.txt"));
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string text = slurp(path("string.txt"));
    // F -> F[+F]F[-F]F twice: 25 F, 24 brackets and 12 turns, each with a blank.
    std::istringstream lines(text);
    std::string line;
    std::size_t atoms = 0;
    while (std::getline(lines, line)) {
        EXPECT_LE(line.size(), 80u);
        for (char c : line) atoms += c == ' ';
    }
    EXPECT_EQ(atoms, 61u);
}

TEST_F(Batch, MissingFileIsReportedAndFails) {
    const Outcome run = klado("--load " + path("missing.kld") + " --output-image " + path("x.png"));
    EXPECT_NE(run.status, 0);
    EXPECT_EQ(run.err, "Error on loading file:\n Could not open '" + path("missing.kld") + "'.\n");
    EXPECT_LT(fileSize(path("x.png")), 0);
}

TEST_F(Batch, FileErrorsArePrintedAndFail) {
    const std::string definition = write("bad.kld", "Foo:bar\nAxiom:F\nRule:F\n");
    const Outcome run = klado("--load " + definition + " --output-image " + path("x.png"));
    EXPECT_NE(run.status, 0);
    EXPECT_EQ(run.err, "Unknown element occured: Foo\nMissing parameter in rule: 'Rule:F'\n");
    EXPECT_LT(fileSize(path("x.png")), 0);
}

TEST_F(Batch, DefinitionErrorsFail) {
    const std::string unclosed = write("unclosed.kld", "Axiom:F(1\n");
    Outcome run = klado("--load " + unclosed + " --result-output " + path("s.txt"));
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.err.find("Error on parsing axiom 'F(1'"), std::string::npos) << run.err;

    const std::string unbalanced = write("unbalanced.kld", "Axiom:F]F\n");
    run = klado("--load " + unbalanced + " --output-image " + path("u.png"));
    EXPECT_NE(run.status, 0);
    EXPECT_EQ(run.err, "Definition error:\nA stack state was tried to be popped, but none has been pushed before.\n");
}

TEST_F(Batch, BatchOutputWithoutDefinitionFails) {
    const Outcome run = klado("--output-image " + path("x.png"));
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.err.find("A definition is needed"), std::string::npos);
}

TEST_F(Batch, OptionErrorsAreReportedAndTheProgramGoesOn) {
    const std::string definition = write("plant.kld", plant);
    const Outcome run = klado("--bogus --load " + definition + " -l fractint.map --result-output " + path("s.txt"));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "Error: The option 'bogus' is not known.\n");
    EXPECT_EQ(run.out, "Error on parsing options!\n");
    EXPECT_GT(fileSize(path("s.txt")), 0);
}

} // namespace

TEST_F(Batch, ShapesThatAreNoNumbersAreNamedAndLeftOutOfTheExport) {
    const std::string definition = write(
        "nan.kld", "Axiom:F F(1/0) +(0/0) F\nShapeDef:F visible=1, interpreted=1, type=tube, length=10, width=2\n");
    const Outcome run = klado("--load " + definition + " --output-object " + path("shapes.obj"));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("Symbol 'F' reaches a length, width or position that is not a finite number"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("Symbol '+' has an angle that is not a finite number"), std::string::npos) << run.err;
    std::string object = slurp(path("shapes.obj"));
    EXPECT_NE(object.find("\nv "), std::string::npos);
    for (char& c : object) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(object.find("nan"), std::string::npos);
    EXPECT_EQ(object.find("inf"), std::string::npos);
}
