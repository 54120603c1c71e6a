// The program with its window, driven as a user drives it: keys and clicks
// through the X server (xdotool), pictures of the window taken with xwd.

#include "ProgramRun.h"

namespace {

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

class WindowEndToEnd : public ProgramRun {
protected:
    void SetUp() override {
        ProgramRun::SetUp();
        if (IsSkipped()) return;
        if (std::system("command -v xwd >/dev/null && command -v xwdtopnm >/dev/null") != 0)
            GTEST_SKIP() << "xwd or xwdtopnm missing";
    }
    Picture picture() const {
        const std::string ppm = output("xwd -silent -id " + main + " | xwdtopnm 2>/dev/null");
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
};

TEST_F(WindowEndToEnd, TheViewFollowsTheHandAndIsDrawnAgainUnderAClosedMenu) {
    startOnPlant();
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
    xdotool("mousemove --window " + main + " 350 400 mousedown 1");
    for (int x = 360; x <= 550; x += 10) xdotool("mousemove --window " + main + " " + std::to_string(x) + " 400");
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
    xdotool("mousemove --window " + main + " 30 11 click 1");
    const Picture withMenu = changedFrom(beforeMenu);
    EXPECT_GT(viewDifference(beforeMenu, withMenu), 100) << "the menu did not open over the view";
    xdotool("key Escape");
    const Picture afterMenu = pictureWhen([&](const Picture& shot) { return viewDifference(beforeMenu, shot) == 0; });
    EXPECT_EQ(viewDifference(beforeMenu, afterMenu), 0) << "the menu's image stayed on the view";

    // "Center View" from the tool bar goes home at the first press.
    xdotool("mousemove --window " + main + " 250 36 click 1");
    const Picture centred = pictureWhen([&](const Picture& shot) { return viewDifference(home, shot) == 0; });
    EXPECT_EQ(viewDifference(home, centred), 0) << "Center View did not go home";

    // An edit redraws the model, and is saved before the window quits.
    typeAxiom("F+F+F");
    EXPECT_GT(viewDifference(home, changedFrom(home)), 100) << "the edit was not drawn";
    auto titled = [&](const std::string& title) {
        return waitFor([&] { return output("xdotool getwindowname " + main) == title; }, 5);
    };
    EXPECT_TRUE(titled("plant* - KLADO")) << "the title does not mark the unsaved edit";
    xdotool("key --clearmodifiers ctrl+s");
    EXPECT_TRUE(waitFor([&] { return files.read("plant.kld").find("Axiom:F+F+F\n") != std::string::npos; }, 5));
    EXPECT_TRUE(titled("plant - KLADO"));
    xdotool("key --clearmodifiers ctrl+q");
    EXPECT_EQ(exitStatus(), 0);
}

TEST_F(WindowEndToEnd, TheInterruptSignalQuitsAnUnmodifiedWindow) {
    startOnPlant();
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
