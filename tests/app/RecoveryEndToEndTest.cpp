// The recovery copy, end to end: the program killed with an unsaved edit,
// started again, offers the edit and restores it into its file.

#include "../TempDir.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace {

// The window's place and size, so that the click finds the axiom field.
const char* const settings = "[SETTINGS]\nx=0\ny=0\nwidth=1100\nheight=720\nbRecOnChange=1\n";
const int axiomX = 920;
const int axiomY = 188;

const char* const plant = "Name:plant\n"
                          "Axiom:F\n"
                          "Rule::::F::F[+F]F[-F]F\n"
                          "Def:_steps:2\n"
                          "ShapeDef:F visible=1, interpreted=1, type=tube, length=10, width=3\n";

std::string read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string output(const std::string& command) {
    std::string text;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
        pclose(pipe);
    }
    while (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

class RecoveryEndToEnd : public testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
        if (std::system("command -v xdotool >/dev/null") != 0) GTEST_SKIP() << "xdotool missing";
        std::filesystem::create_directories(home.path(".foxrc/TOVA"));
        home.write(".foxrc/TOVA/KLADO", settings);
        files.write("plant.kld", plant);
    }
    void TearDown() override { end(); }

    // Starts the program, on the file when one is given, with a fresh home.
    void start(const std::string& file) {
        pid = fork();
        if (pid == 0) {
            setenv("HOME", home.path("").c_str(), 1);
            unsetenv("XDG_DATA_HOME");
            if (file.empty())
                execl(KLADO_BINARY_DIR "/klado", "klado", static_cast<char*>(nullptr));
            else
                execl(KLADO_BINARY_DIR "/klado", "klado", "--load", file.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
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
    std::vector<std::string> recoveryFiles(const std::string& ending) const {
        std::vector<std::string> found;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(home.path(".local/share/klado/recovery"), error)) {
            const std::string name = entry.path().filename();
            if (name.size() > ending.size() && name.compare(name.size() - ending.size(), ending.size(), ending) == 0)
                found.push_back(entry.path());
        }
        return found;
    }
    template <class Condition>
    bool waitFor(Condition condition, int seconds) {
        for (int attempt = 0; attempt < seconds * 10; ++attempt) {
            if (condition()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return condition();
    }
    int exitStatus() {
        int status = 0;
        if (!waitFor([&] { return waitpid(pid, &status, WNOHANG) == pid; }, 10)) return -2;
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    TempDir home;
    TempDir files;
    pid_t pid = -1;
};

TEST_F(RecoveryEndToEnd, AnEditOfAKilledProgramIsOfferedAndRestoredIntoItsFile) {
    start(files.path("plant.kld"));
    std::string main = window("plant - KLADO");
    ASSERT_FALSE(main.empty()) << "the window did not appear";
    xdotool("windowfocus --sync " + main);
    xdotool("mousemove --window " + main + " " + std::to_string(axiomX) + " " + std::to_string(axiomY) + " click 1");
    xdotool("key --clearmodifiers ctrl+a");
    xdotool("type --delay 20 'F+F+F'");
    xdotool("key Return");

    // The copy is written a few seconds after the edit.
    ASSERT_TRUE(waitFor(
        [&] {
            const auto copies = recoveryFiles(".kld");
            return copies.size() == 1 && !recoveryFiles(".info").empty() &&
                   read(copies[0]).find("Axiom:F+F+F\n") != std::string::npos;
        },
        15))
        << "no recovery copy with the edit";
    EXPECT_NE(read(recoveryFiles(".info")[0]).find("original=" + files.path("plant.kld") + "\n"), std::string::npos);
    end();
    EXPECT_EQ(files.read("plant.kld"), plant);

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

    // Restored as an unsaved edit of the file (its title marks it): saving writes it there, and
    // the copy goes. The keys reach the window once its computation ends.
    EXPECT_TRUE(waitFor(
        [&] {
            std::system(("xdotool windowfocus --sync " + main + " key --clearmodifiers ctrl+s 2>/dev/null").c_str());
            return files.read("plant.kld").find("Axiom:F+F+F\n") != std::string::npos;
        },
        10))
        << "not saved";
    EXPECT_TRUE(waitFor([&] { return recoveryFiles("").empty(); }, 5)) << "the copy stayed after saving";

    std::system(("xdotool windowfocus --sync " + main + " key --clearmodifiers ctrl+q 2>/dev/null").c_str());
    EXPECT_EQ(exitStatus(), 0);
    EXPECT_TRUE(recoveryFiles("").empty());
}

} // namespace
