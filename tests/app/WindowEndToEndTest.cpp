// The program with its window, driven as a user drives it: keys and clicks
// through the X server (xdotool), pictures of the window taken with xwd.

#include "../TempDir.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

// The window's place and size, so that widgets are where the clicks go.
const char* const settings = "[SETTINGS]\nx=0\ny=0\nwidth=1100\nheight=720\nbRecOnChange=1\n";
// Where the axiom field lies in a window of that size.
const int axiomX = 920;
const int axiomY = 188;

const char* const plant = "Name:plant\n"
                          "Axiom:F\n"
                          "Rule::::F::F[+F]F[-F]F\n"
                          "Def:_steps:2\n"
                          "Def:_rotZ:25\n"
                          "ShapeDef:F visible=1, interpreted=1, type=tube, length=10, width=3\n"
                          "Environment:background.color=3366cc\n";

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;

    bool isBackground(int x, int y) const {
        const unsigned char* p = &rgb[3 * (y * width + x)];
        return p[0] == 0x33 && p[1] == 0x66 && p[2] == 0xcc;
    }
    // Pixels of the model: inside the rows and columns where the view's
    // background shows, the pixels that are not background.
    long modelPixels() const {
        int left = width, right = -1, top = height, bottom = -1;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (isBackground(x, y)) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        long count = 0;
        for (int y = top; y <= bottom; ++y)
            for (int x = left; x <= right; ++x)
                if (!isBackground(x, y)) ++count;
        return count;
    }
    long backgroundPixels() const {
        long count = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) count += isBackground(x, y);
        return count;
    }
};

// The pixels of the 3-D view (left of the tab panel, below the tool bar)
// that differ between two pictures of the window.
long viewDifference(const Picture& a, const Picture& b) {
    if (a.width != b.width || a.height != b.height || a.width < 700 || a.height < 680) return -1;
    long count = 0;
    for (int y = 60; y < 680; ++y)
        for (int x = 5; x < 700; ++x)
            for (int c = 0; c < 3; ++c)
                if (a.rgb[3 * (y * a.width + x) + c] != b.rgb[3 * (y * b.width + x) + c]) {
                    ++count;
                    break;
                }
    return count;
}

std::string output(const std::string& command) {
    std::string text;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
        pclose(pipe);
    }
    return text;
}

class WindowEndToEnd : public testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
        if (std::system("command -v xdotool >/dev/null && command -v xwd >/dev/null && "
                        "command -v xwdtopnm >/dev/null") != 0)
            GTEST_SKIP() << "xdotool, xwd or xwdtopnm missing";
        std::system(("mkdir -p '" + home.path(".foxrc/TOVA") + "'").c_str());
        home.write(".foxrc/TOVA/KLADO", settings);
        files.write("plant.kld", plant);
    }
    void TearDown() override {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }

    // Starts the program on the file and waits for its window.
    void start() {
        pid = fork();
        if (pid == 0) {
            setenv("HOME", home.path("").c_str(), 1);
            const std::string file = files.path("plant.kld");
            execl(KLADO_BINARY_DIR "/klado", "klado", "--load", file.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        window = output("timeout 20 xdotool search --sync --name '^plant - KLADO$' | head -1");
        while (!window.empty() && (window.back() == '\n')) window.pop_back();
        ASSERT_FALSE(window.empty()) << "the window did not appear";
        xdotool("windowfocus --sync " + window);
    }

    void xdotool(const std::string& arguments) {
        ASSERT_EQ(std::system(("xdotool " + arguments).c_str()), 0) << arguments;
    }

    Picture picture() const {
        const std::string ppm = output("xwd -silent -id " + window + " | xwdtopnm 2>/dev/null");
        Picture shot;
        int maxValue = 0;
        int offset = 0;
        if (std::sscanf(ppm.c_str(), "P6 %d %d %d%n", &shot.width, &shot.height, &maxValue, &offset) != 3) return shot;
        // Samples of one byte, or of two (most significant first) above 255.
        const std::size_t bytes = maxValue > 255 ? 2 : 1;
        const std::size_t samples = 3u * static_cast<std::size_t>(shot.width) * static_cast<std::size_t>(shot.height);
        const std::size_t start = static_cast<std::size_t>(offset) + 1;
        if (ppm.size() < start + samples * bytes) {
            shot.width = shot.height = 0;
            return shot;
        }
        shot.rgb.resize(samples);
        for (std::size_t i = 0; i < samples; ++i) shot.rgb[i] = static_cast<unsigned char>(ppm[start + i * bytes]);
        return shot;
    }

    // Waits until the picture satisfies the condition, or a few seconds.
    template <class Condition>
    Picture pictureWhen(Condition condition) const {
        Picture shot;
        for (int attempt = 0; attempt < 50; ++attempt) {
            shot = picture();
            if (shot.width > 0 && condition(shot)) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return shot;
    }

    int exitStatus() {
        int status = 0;
        for (int attempt = 0; attempt < 100; ++attempt) {
            if (waitpid(pid, &status, WNOHANG) == pid) {
                pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return -2;
    }

    TempDir home;
    TempDir files;
    pid_t pid = -1;
    std::string window;
};

TEST_F(WindowEndToEnd, OpensEditsSavesAndQuits) {
    start();
    const Picture first = pictureWhen([](const Picture& shot) { return shot.modelPixels() > 200; });
    ASSERT_GT(first.backgroundPixels(), 10000) << "the view shows no background";
    const long before = first.modelPixels();
    ASSERT_GT(before, 200) << "the view shows no model";

    // A new axiom: three times the plant, side by side.
    xdotool("mousemove --window " + window + " " + std::to_string(axiomX) + " " + std::to_string(axiomY) + " click 1");
    xdotool("key --clearmodifiers ctrl+a");
    xdotool("type --delay 20 'F+F+F'");
    xdotool("key Return");
    const Picture second =
        pictureWhen([before](const Picture& shot) { return std::labs(shot.modelPixels() - before) > before / 10; });
    EXPECT_GT(std::labs(second.modelPixels() - before), before / 10) << "the picture did not change";

    xdotool("key --clearmodifiers ctrl+s");
    for (int attempt = 0; attempt < 50 && files.read("plant.kld").find("Axiom:F+F+F\n") == std::string::npos; ++attempt)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_NE(files.read("plant.kld").find("Axiom:F+F+F\n"), std::string::npos);

    xdotool("key --clearmodifiers ctrl+q");
    EXPECT_EQ(exitStatus(), 0);
}

TEST_F(WindowEndToEnd, TheViewFollowsTheHandAndIsDrawnAgainUnderAClosedMenu) {
    start();
    // The view at rest (a plain frame may come before the smoothed one).
    Picture home = pictureWhen([](const Picture& shot) { return shot.modelPixels() > 200; });
    for (int attempt = 0; attempt < 20; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        const Picture again = picture();
        if (viewDifference(home, again) == 0) break;
        home = again;
    }
    ASSERT_GT(home.modelPixels(), 200) << "the view shows no model";
    const auto changedFrom = [&](const Picture& before) {
        return pictureWhen([&](const Picture& shot) { return viewDifference(before, shot) > 100; });
    };

    // A drag with the button still held turns the model at once.
    xdotool("mousemove --window " + window + " 350 400 mousedown 1");
    for (int x = 360; x <= 550; x += 10) xdotool("mousemove --window " + window + " " + std::to_string(x) + " 400");
    const Picture turned = changedFrom(home);
    xdotool("mouseup 1");
    EXPECT_GT(viewDifference(home, turned), 100) << "the view did not follow the drag";

    // The wheel zooms.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const Picture beforeWheel = picture();
    xdotool("click 5");
    EXPECT_GT(viewDifference(beforeWheel, changedFrom(beforeWheel)), 100) << "the wheel did not zoom";

    // A menu opened over the view and closed leaves no trace on it.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const Picture beforeMenu = picture();
    xdotool("mousemove --window " + window + " 30 11 click 1");
    const Picture withMenu = changedFrom(beforeMenu);
    EXPECT_GT(viewDifference(beforeMenu, withMenu), 100) << "the menu did not open over the view";
    xdotool("key Escape");
    const Picture afterMenu = pictureWhen([&](const Picture& shot) { return viewDifference(beforeMenu, shot) == 0; });
    EXPECT_EQ(viewDifference(beforeMenu, afterMenu), 0) << "the menu's image stayed on the view";

    // "Center View" from the tool bar goes home at the first press.
    xdotool("mousemove --window " + window + " 250 36 click 1");
    const Picture centred = pictureWhen([&](const Picture& shot) { return viewDifference(home, shot) == 0; });
    EXPECT_EQ(viewDifference(home, centred), 0) << "Center View did not go home";
}

TEST_F(WindowEndToEnd, TheInterruptSignalQuitsAnUnmodifiedWindow) {
    start();
    kill(pid, SIGINT);
    EXPECT_EQ(exitStatus(), 0);
}

// Without a batch output the program wants its window; these ends come before
// any window shows.
TEST(WindowStart, AFileWithErrorsEndsWithoutAWindow) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs a display";
    TempDir files;
    files.write("broken.kld", "Axiom:F\nFoo:bar\n");
    const std::string command = "HOME=" + files.path("") + " " KLADO_BINARY_DIR "/klado --load " +
                                files.path("broken.kld") + " 2>'" + files.path("err.txt") + "'";
    const int status = std::system(command.c_str());
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 1);
    EXPECT_NE(files.read("err.txt").find("Unknown element occured: Foo"), std::string::npos);
}

} // namespace
