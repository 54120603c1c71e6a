// The program with its window, driven as a user drives it: in a scratch home
// whose settings place the window, keys and clicks sent through the X server
// (xdotool), pictures of the window taken with xwd; and killed with an unsaved
// edit, started again to restore it.

#include "ProgramRun.h"

#include <cstring>
#include <filesystem>

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
            count += std::memcmp(&a.rgb[3 * (y * a.width + x)], &b.rgb[3 * (y * b.width + x)], 3) != 0;
    return count;
}

class WindowEndToEnd : public testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
        if (std::system("command -v xdotool >/dev/null && command -v xwd >/dev/null && command -v xwdtopnm >/dev/null "
                        "&& command -v pamdepth >/dev/null"))
            GTEST_SKIP() << "xdotool, xwd or netpbm missing";
        std::filesystem::create_directories(home.path(".foxrc/TOVA"));
        // The window's place and size, so that widgets are where the clicks go.
        home.write(".foxrc/TOVA/KLADO", "[SETTINGS]\nx=0\ny=0\nwidth=1100\nheight=720\nbRecOnChange=1\n");
        files.write("plant.kld", testPlant);
    }
    void TearDown() override { end(); }

    // Starts the program, on the file when one is given (without one the
    // argument list ends before "--load").
    void start(const std::string& file) {
        pid = fork();
        if (pid == 0) {
            setenv("HOME", home.path("").c_str(), 1);
            unsetenv("XDG_DATA_HOME");
            execl(KLADO_BINARY_DIR "/klado", "klado", file.empty() ? nullptr : "--load", file.c_str(),
                  static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    // Starts the program on the plant file and waits for its window.
    void startOnPlant() {
        start(files.path("plant.kld"));
        main = window("plant - KLADO");
        ASSERT_FALSE(main.empty()) << "the window did not appear";
        xdotool("windowfocus --sync " + main);
    }
    void end() {
        if (pid <= 0) return;
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        pid = -1;
    }
    // The id of the program's window of that title, waiting for it.
    std::string window(const std::string& title) {
        return output("timeout 20 xdotool search --sync --pid " + std::to_string(pid) + " --name '^" + title +
                      "$' | head -1");
    }
    void xdotool(const std::string& arguments) {
        ASSERT_EQ(std::system(("xdotool " + arguments).c_str()), 0) << arguments;
    }
    int exitStatus() {
        int status = 0;
        if (!waitFor([&] { return waitpid(pid, &status, WNOHANG) == pid; }, 10)) return -2;
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    Picture picture() const {
        const std::string ppm = output("xwd -silent -id " + main + " | xwdtopnm 2>/dev/null | pamdepth 255");
        Picture shot;
        int offset = 0;
        if (std::sscanf(ppm.c_str(), "P6 %d %d 255%n", &shot.width, &shot.height, &offset) != 2) return Picture();
        const std::size_t samples = 3u * static_cast<std::size_t>(shot.width) * static_cast<std::size_t>(shot.height);
        const auto start = ppm.begin() + offset + 1;
        if (ppm.end() - start < static_cast<std::ptrdiff_t>(samples)) return Picture();
        shot.rgb.assign(start, start + static_cast<std::ptrdiff_t>(samples));
        return shot;
    }

    // Waits until the picture satisfies the condition, or a few seconds.
    template <class Condition>
    Picture pictureWhen(Condition condition) const {
        Picture shot;
        waitFor([&] { return (shot = picture()).width > 0 && condition(shot); }, 5);
        return shot;
    }

    // The recovery copies of that extension (all for ""), as names in the home
    // folder.
    std::vector<std::string> recoveryFiles(const std::string& extension) const {
        std::vector<std::string> found;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(home.path(".local/share/klado/recovery"), error))
            if (extension.empty() || entry.path().extension() == extension)
                found.push_back(".local/share/klado/recovery/" + entry.path().filename().string());
        return found;
    }

    TempDir home;
    TempDir files;
    pid_t pid = -1;
    std::string main; // the id of the program's window
};

TEST_F(WindowEndToEnd, TheViewFollowsTheHandMenusLeaveNoTraceAndAKilledEditIsRestored) {
    startOnPlant();
    // The view at rest (a plain frame may come before the smoothed one).
    Picture atRest = pictureWhen([](const Picture& shot) { return shot.modelPixels() > 200; });
    for (int attempt = 0; attempt < 20; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        const Picture again = picture();
        if (viewDifference(atRest, again) == 0) break;
        atRest = again;
    }
    ASSERT_GT(atRest.modelPixels(), 200) << "the view shows no model";
    const auto changedFrom = [&](const Picture& before) {
        return pictureWhen([&](const Picture& shot) { return viewDifference(before, shot) > 100; });
    };

    // A drag with the button still held turns the model at once.
    xdotool("mousemove --window " + main + " 350 400 mousedown 1");
    for (int x = 360; x <= 550; x += 10) xdotool("mousemove --window " + main + " " + std::to_string(x) + " 400");
    const Picture turned = changedFrom(atRest);
    xdotool("mouseup 1");
    EXPECT_GT(viewDifference(atRest, turned), 100) << "the view did not follow the drag";

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
    const Picture centred = pictureWhen([&](const Picture& shot) { return viewDifference(atRest, shot) == 0; });
    EXPECT_EQ(viewDifference(atRest, centred), 0) << "Center View did not go home";

    // An edit redraws the model and marks the title. The axiom's field lies
    // there in a window of that size.
    xdotool("mousemove --window " + main + " 920 188 click 1");
    xdotool("key --clearmodifiers ctrl+a");
    xdotool("type --delay 20 'F+F+F'");
    xdotool("key Return");
    EXPECT_GT(viewDifference(atRest, changedFrom(atRest)), 100) << "the edit was not drawn";
    const auto titled = [&](const std::string& title) {
        return waitFor([&] { return output("xdotool getwindowname " + main) == title; }, 5);
    };
    EXPECT_TRUE(titled("plant* - KLADO")) << "the title does not mark the unsaved edit";

    // A few seconds later the edit is copied for recovery.
    ASSERT_TRUE(waitFor(
        [&] {
            const auto copies = recoveryFiles(".kld");
            return copies.size() == 1 && !recoveryFiles(".info").empty() &&
                   home.read(copies[0]).find("Axiom:F+F+F\n") != std::string::npos;
        },
        15))
        << "no recovery copy with the edit";
    EXPECT_NE(home.read(recoveryFiles(".info")[0]).find("original=" + files.path("plant.kld") + "\n"),
              std::string::npos);
    end();
    EXPECT_EQ(files.read("plant.kld"), testPlant);

    // The next start offers it; Return restores.
    start("");
    ASSERT_FALSE(window("Unsaved Edits").empty()) << "no offer";
    main = "";
    for (int attempt = 0; attempt < 10 && main.empty(); ++attempt) {
        // Keys reach the question once it is on the screen.
        const std::string question = output("xdotool search --name '^Unsaved Edits$' | head -1");
        if (!question.empty()) {
            std::system(("xdotool windowfocus --sync " + question + " key Return 2>/dev/null").c_str());
        }
        main = output("timeout 2 xdotool search --sync --pid " + std::to_string(pid) +
                      " --name '^plant\\* - KLADO$' | head -1");
    }
    ASSERT_FALSE(main.empty()) << "the edits were not restored into the file's document";

    // Restored as an unsaved edit of the file (its title marks it): saving
    // writes it there, and the copy goes. The keys reach the window once its
    // computation ends.
    EXPECT_TRUE(waitFor(
        [&] {
            std::system(("xdotool windowfocus --sync " + main + " key --clearmodifiers ctrl+s 2>/dev/null").c_str());
            return files.read("plant.kld").find("Axiom:F+F+F\n") != std::string::npos;
        },
        10))
        << "not saved";
    EXPECT_TRUE(titled("plant - KLADO"));
    EXPECT_TRUE(waitFor([&] { return recoveryFiles("").empty(); }, 5)) << "the copy stayed after saving";
    xdotool("key --clearmodifiers ctrl+q");
    EXPECT_EQ(exitStatus(), 0);
    EXPECT_TRUE(recoveryFiles("").empty());
}

TEST_F(WindowEndToEnd, TheInterruptSignalQuitsAnUnmodifiedWindow) {
    startOnPlant();
    kill(pid, SIGINT);
    EXPECT_EQ(exitStatus(), 0);
}

} // namespace
