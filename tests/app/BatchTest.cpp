// The program run from its command line, as a user runs it in batch.

#include "ProgramRun.h"

#include <osg/Image>
#include <osgDB/ReadFile>

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <sys/time.h>

namespace {

using Names = std::vector<std::string>;

struct Outcome {
    int status = -1;
    std::string out, err;
};

class Batch : public ::testing::Test {
protected:
    void SetUp() override { dir.write("plant.kld", testPlant); }

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

    bool exists(const std::string& name) const { return access(path(name).c_str(), F_OK) == 0; }

    TempDir dir;
};

// Pixels of the picture that pass the test.
template <class Test>
int pixels(const osg::Image& image, Test test) {
    int count = 0;
    for (int y = 0; y < image.t(); ++y)
        for (int x = 0; x < image.s(); ++x) count += test(image.getColor(x, y));
    return count;
}

TEST_F(Batch, RendersWithOrWithoutADisplay) {
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
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.display && !*c.limits && !std::getenv("DISPLAY")) continue;
        const Outcome run = klado("--load " + path("plant.kld") + " --output-image " + path(c.name) + " " + c.size,
                                  c.display, c.limits);
        EXPECT_EQ(run.status, 0);
        // Nothing on the terminal, also not the X display's complaints (a
        // display that cannot be opened is named).
        if (!*c.limits) {
            EXPECT_EQ(run.err, "");
        }
        osg::ref_ptr<osg::Image> image = osgDB::readImageFile(path(c.name));
        ASSERT_TRUE(image.valid());
        EXPECT_EQ(image->s(), c.width);
        EXPECT_EQ(image->t(), c.height);
        EXPECT_EQ(image->getPixelFormat(), c.format);
        const osg::Vec4 corner = image->getColor(0, 0);
        EXPECT_LT((osg::Vec3(corner.r(), corner.g(), corner.b()) - osg::Vec3(0.2f, 0.4f, 0.8f)).length(), 0.03f)
            << "the corner is not the background 3366cc";
        // The model's material is white and the definition enables no light:
        // a lit model shows bright pixels, an unlit one only dark ones.
        EXPECT_GT(pixels(*image, [](const osg::Vec4& p) { return p.r() > 0.5f && p.g() > 0.5f && p.b() > 0.5f; }), 0);
    }
}

// Outputs that may not or cannot be written are named with the reason; an
// existing file of that name stays as it was, and nothing else is left in its
// folder. A name of 255 bytes is written.
TEST_F(Batch, RefusedOutputsSayWhyAndKeepTheOldFile) {
    const Names old = {"big.ico",   "x.nosuchformat", "wide.png",  "plant.nowriter",
                       "plant.dae", "locked.txt",     "locked.obj"};
    for (const std::string& name : old) dir.write(name, "old");
    for (const char* name : {"locked.txt", "locked.obj"}) ASSERT_EQ(chmod(path(name).c_str(), 0444), 0);
    ASSERT_EQ(mkdir(path("folder.png").c_str(), 0755), 0);
    const struct {
        const char* option;
        std::string name;
        const char* size;
        std::string reason;
    } cases[] = {
        {"--output-image", "big.ico", "--image-width 300 --image-height 16",
         "Icons and cursors hold at most 256 x 256 pixels."},
        {"--output-image", "x.nosuchformat", "", "There is no image writer for the extension 'nosuchformat'."},
        {"--output-image", "wide.png", "--image-width 100000 --image-height 16",
         "The renderer draws images of at most 16384 x 16384 pixels."},
        // No writer for the first; the second reports success but writes no file.
        {"--output-object", "plant.nowriter", "", "There is no object writer for the extension 'nowriter'."},
        {"--output-object", "plant.dae", "", "The writer failed."},
        {"--result-output", "locked.txt", "", "'" + path("locked.txt") + "' is read-only."},
        {"--output-object", "locked.obj", "", "'" + path("locked.obj") + "' is read-only."},
        {"--output-image", "folder.png", "", "'" + path("folder.png") + "' is a directory."},
        {"--output-object", "missing/s.obj", "", "The folder '" + path("missing") + "' does not exist."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome run = plantTo(c.option, c.name, c.size);
        EXPECT_EQ(run.status, 1);
        // The last lines: a writer may complain before.
        const std::string said = "Error while saving:\nCould not save file\n" + path(c.name) + "\n" + c.reason + "\n";
        EXPECT_EQ(run.err.substr(run.err.size() - std::min(run.err.size(), said.size())), said);
    }
    for (const std::string& name : old) EXPECT_EQ(dir.read(name), "old") << name;
    EXPECT_EQ(dir.entries(), (Names{"big.ico", "folder.png", "locked.obj", "locked.txt", "plant.dae", "plant.kld",
                                    "plant.nowriter", "wide.png", "x.nosuchformat"}));

    const std::string longest = std::string(251, 'n') + ".obj";
    const Outcome run = plantTo("--output-object", longest);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(exists(longest));
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

// Devices, FIFOs and pipes are written straight through and stay what they
// are; a FIFO's reader gets everything. A definition is read from a pipe.
TEST_F(Batch, PipesAndFifosAreReadAndWrittenStraightThrough) {
    const Outcome piped =
        klado("--load /proc/self/fd/0 --result-output " + path("s.txt"), false, "cat " + path("plant.kld") + " | ");
    EXPECT_EQ(piped.status, 0) << piped.err;
    EXPECT_EQ(dir.read("s.txt").compare(0, 11, "F [ + F ] F"), 0);
    ASSERT_EQ(mkfifo(path("fifo").c_str(), 0600), 0);
    // The extension picks the format, so the image and the object go
    // through links named for their formats.
    for (const char* link : {"link", "picture.png", "model.obj"}) ASSERT_EQ(symlink("fifo", path(link).c_str()), 0);
    const struct {
        const char* option;
        const char* name;
        const char* start; // what the output begins with
    } cases[] = {{"--result-output", "link", "F [ + F ] F"},
                 {"--output-image", "picture.png", "\x89PNG"},
                 {"--output-object", "model.obj", "#"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::future<std::string> received = std::async(std::launch::async, [&] { return dir.read("fifo"); });
        const Outcome run = plantTo(c.option, c.name);
        // A writer that comes and goes ends the reading, also when the program
        // never opened the FIFO.
        close(open(path("fifo").c_str(), O_WRONLY | O_NONBLOCK));
        EXPECT_EQ(run.status, 0) << run.err;
        const std::string text = received.get();
        EXPECT_EQ(text.compare(0, std::strlen(c.start), c.start), 0) << text.substr(0, 40);
        struct stat info;
        ASSERT_EQ(lstat(path("fifo").c_str(), &info), 0);
        EXPECT_TRUE(S_ISFIFO(info.st_mode));
    }
    EXPECT_EQ(dir.entries(), (Names{"fifo", "link", "model.obj", "picture.png", "plant.kld", "s.txt"}));
}

TEST_F(Batch, FramesShowEveryStepFramedLikeTheLastWhichIsTheImage) {
    const std::string size = "--image-width 96 --image-height 64";
    Outcome run = plantTo("--output-frames", "f%02d.png", size);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(dir.entries(), (Names{"f00.png", "f01.png", "f02.png", "plant.kld"}));
    run = plantTo("--output-image", "image.png", size);
    ASSERT_EQ(run.status, 0) << run.err;
    int drawn = 0;
    for (const char* name : {"f00.png", "f01.png", "f02.png"}) {
        osg::ref_ptr<osg::Image> frame = osgDB::readImageFile(path(name));
        ASSERT_TRUE(frame.valid()) << name;
        EXPECT_EQ(frame->s(), 96);
        EXPECT_EQ(frame->t(), 64);
        // Seen from one place the plant grows: each step covers more of the
        // picture (framed on its own, each would fill it).
        const osg::Vec4 background = frame->getColor(0, 0);
        const int model = pixels(*frame, [&](const osg::Vec4& p) { return p != background; });
        EXPECT_GT(model, drawn) << name;
        drawn = model;
    }
    EXPECT_TRUE(dir.read("f02.png") == dir.read("image.png")) << "the last frame is not the image";

    // A model of lit, unlit and thin shapes: the renderer of each frame makes
    // the shaders all scenes share anew, without a complaint.
    run = klado("--load " KLADO_SOURCE_DIR "/examples/bush.kld --output-frames " + path("bush%d.png") + " " + size);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
}

// Runs that cannot go on end before anything is loaded or written, whatever
// else was asked for, and say why.
TEST_F(Batch, RefusedRunsSayWhyAndWriteNothing) {
    dir.write("bad.kld", "Axiom:F]F\n");
    dir.write("broken.kld", "Axiom:F\nFoo:bar\n");
    dir.write("k.l", "Koch { angle 6\n axiom F--F--F\n F=F+F--F+F\n}\n");
    ASSERT_EQ(truncate((dir.write("huge.kld", ""), path("huge.kld")).c_str(), off_t(300) << 20), 0);
    dir.write("big.kld", std::string(200 << 20, '#'));
    const auto loadFailed = [&](const std::string& message) { return "Error on loading file:\n " + message + "\n"; };
    const std::string plantImage = "--load " + path("plant.kld") + " --output-image " + path("image.png");
    const auto badPattern = [&](const char* pattern) {
        return "--output-frames: The pattern '" + path(pattern) +
               "' may hold one number field (%d, or %03d for 000, 001, ...) and no other '%'.\n";
    };
    const std::string alone = "--convert-fractint runs alone: it cannot be combined with --load, --output-image, "
                              "--output-object, --result-output or --output-frames.\n";
    const struct {
        std::string arguments;
        std::string err; // what the error output begins with
        std::string limits = "";
        bool display = false;
    } cases[] = {
        {"--load " + path("missing.kld") + " --output-image " + path("image.png"),
         loadFailed("Could not open '" + path("missing.kld") + "'.")},
        {"--load " + path("") + " --result-output " + path("t.txt"), loadFailed("'" + path("") + "' is a directory.")},
        {"--load " + path("huge.kld") + " --result-output " + path("t.txt"),
         loadFailed("'" + path("huge.kld") + "' is larger than 256 MB.")},
        // Under the sanitizers the limit would stop the program itself.
        {"--load " + path("big.kld") + " --result-output " + path("t.txt"),
         loadFailed("Not enough memory to load '" + path("big.kld") + "'."), "ulimit -v 400000; "},
        {"--load " + path("bad.kld") + " --output-image " + path("image.png"), "Definition error:\n"},
        {"--output-image " + path("image.png"), "A definition is needed for batch output: give it with --load FILE.\n"},
        // Without a batch output the program wants its window; these ends
        // come before any window shows.
        {"--image-width=", "Error: Parameter 'image-width' needs a value.\nThe workbench window needs an X display; to "
                           "render without one, give --load FILE --output-image IMAGE.\n"},
        {"--load " + path("broken.kld"), "Unknown element occured: Foo\n", "HOME=" + path("") + " ", true},
        {plantImage + " --antialias 0", "--antialias takes 1 to 64 samples per pixel.\n"},
        {plantImage + " --antialias 65", "--antialias takes 1 to 64 samples per pixel.\n"},
        // The frame pattern never reaches a formatting call (%n would write
        // through it, %s read through it).
        {plantImage + " --output-frames " + path("step.png"),
         "--output-frames: The pattern '" + path("step.png") +
             "' has no number field: it needs one number field (%d, or %03d for 000, 001, ...) where the step goes.\n"},
        {plantImage + " --output-frames " + path("f%n%d.png"), badPattern("f%n%d.png")},
        {plantImage + " --output-frames " + path("f%s%d.png"), badPattern("f%s%d.png")},
        {plantImage + " --output-frames " + path("f%d-%d.png"), badPattern("f%d-%d.png")},
        {"-l " + path("k.l") + " --load " + path("plant.kld"), alone},
        {"-l " + path("k.l") + " --output-image " + path("image.png"), alone},
        {"--output-dir " + path(""), "--output-dir is used only with --convert-fractint.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        if (c.display && !std::getenv("DISPLAY")) continue;
#ifdef KLADO_SANITIZED
        if (c.limits.compare(0, 6, "ulimit") == 0) continue;
#endif
        const Outcome run = klado(c.arguments, c.display, c.limits);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err.substr(0, c.err.size()), c.err);
    }
    EXPECT_EQ(dir.entries(), (Names{"bad.kld", "big.kld", "broken.kld", "huge.kld", "k.l", "plant.kld"}));

    // Alone, the conversion runs.
    EXPECT_EQ(klado("--convert-fractint=" + path("k.l") + " --output-dir " + path("")).status, 0);
    EXPECT_TRUE(exists("Koch.kld"));
}

TEST_F(Batch, UnknownOptionsAreReportedAndTheProgramGoesOn) {
    const Outcome run =
        klado("--bogus --load " + path("plant.kld") + " --image-width 300 --result-output " + path("s.txt"));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "Error: The option 'bogus' is not known.\n");
    EXPECT_EQ(run.out, "Error on parsing options!\n");
    EXPECT_TRUE(exists("s.txt"));
}

// A hidden folder a killed export left beside the target is cleared by the
// next run; a fresh one may belong to a run still writing and stays.
TEST_F(Batch, StaleFoldersOfKilledExportsAreCleared) {
    const pid_t gone = fork();
    if (gone == 0) _exit(0);
    ASSERT_GT(gone, 0);
    waitpid(gone, nullptr, 0);
    const std::string stale = ".klado-" + std::to_string(gone) + "-Ab12Cd";
    const std::string fresh = ".klado-" + std::to_string(gone) + "-Ef34Gh";
    for (const std::string& name : {stale, fresh}) {
        ASSERT_EQ(mkdir(path(name).c_str(), 0700), 0);
        ASSERT_EQ(mkfifo(path(name + "/plant.obj").c_str(), 0600), 0);
    }
    const timeval dayAgo[2] = {{time(nullptr) - 86400, 0}, {time(nullptr) - 86400, 0}};
    ASSERT_EQ(utimes(path(stale).c_str(), dayAgo), 0);
    const Outcome run = plantTo("--output-object", "plant.obj");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(dir.entries(), (Names{fresh, "plant.kld", "plant.mtl", "plant.obj"}));
}

TEST_F(Batch, GrowthLimitAndLackOfMemoryStopBeforeAnythingIsWritten) {
    dir.write("boom.kld", "Axiom:F\nRule::::F::FFFFFFFFFF\nDef:_steps:12\n");
    const std::string boom = "--load " + path("boom.kld") + " --result-output " + path("s.txt");
    Outcome run = klado(boom + " --max-atoms 5000");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Growth limit:\nStep 4 would make a string of about 10000 atoms, more than the limit of 5000 "
                       "atoms.\n Raise the limit (--max-atoms in batch use) or compute fewer steps.\n");
    EXPECT_FALSE(exists("s.txt"));

#ifdef KLADO_SANITIZED
    GTEST_SKIP() << "AddressSanitizer reserves far more address space than a limit would leave";
#endif
    // 1 GB of address space; no growth limit to stop it earlier.
    run = klado(boom + " --max-atoms 2000000000", false, "ulimit -v 1000000; ");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.find("Error:\nNot enough memory to compute step "), 0u) << run.err;
    EXPECT_NE(run.err.find(" atoms).\n"), std::string::npos) << run.err;
    EXPECT_FALSE(exists("s.txt"));

    // Without --max-atoms the growth limit follows the address-space limit,
    // not the machine's memory.
    run = klado(boom, false, "ulimit -v 1000000; ");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.find("Growth limit:\n"), 0u) << run.err;

    // An image whose frame buffer cannot fit in the memory left is refused
    // before the driver is asked for it, the size named.
    run = klado("--load " + path("plant.kld") + " --output-image " + path("big.png") +
                    " --image-width 16384 --image-height 16384",
                false, "ulimit -v 2000000; ");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Not enough memory to render an image of 16384 x 16384 pixels: it needs about "),
              std::string::npos)
        << run.err;
    EXPECT_FALSE(exists("big.png"));
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

} // namespace
