#pragma once
// The program with its window, run as a user runs it: in a scratch home whose
// settings place the window, keys and clicks sent through the X server
// (xdotool), pictures of the window taken with xwd.

#include "../TempDir.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

// The window's place and size, so that widgets are where the clicks go.
const char* const windowSettings = "[SETTINGS]\nx=0\ny=0\nwidth=1100\nheight=720\nbRecOnChange=1\n";

// The plant every run of the program draws, on a background of its own colour.
const char* const testPlant = "Name:plant\n"
                              "Axiom:F\n"
                              "Rule::::F::F[+F]F[-F]F\n"
                              "Def:_steps:2\n"
                              "Def:_rotZ:25\n"
                              "ShapeDef:F visible=1, interpreted=1, type=tube, length=10, width=3\n"
                              "Environment:background.color=3366cc\n";

inline std::string output(const std::string& command) {
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

template <class Condition>
bool waitFor(Condition condition, int seconds) {
    for (int attempt = 0; attempt < seconds * 10; ++attempt) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return condition();
}

class ProgramRun : public testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
        if (std::system("command -v xdotool >/dev/null") != 0) GTEST_SKIP() << "xdotool missing";
        std::filesystem::create_directories(home.path(".foxrc/TOVA"));
        home.write(".foxrc/TOVA/KLADO", windowSettings);
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
    // Types a new axiom into its field, where it lies in a window of that size.
    void typeAxiom(const std::string& axiom) {
        xdotool("mousemove --window " + main + " 920 188 click 1");
        xdotool("key --clearmodifiers ctrl+a");
        xdotool("type --delay 20 '" + axiom + "'");
        xdotool("key Return");
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

    TempDir home;
    TempDir files;
    pid_t pid = -1;
    std::string main; // the id of the program's window
};
