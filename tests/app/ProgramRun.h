#pragma once
// What the tests that run the program as a user runs it share: the plant they
// draw, the output of a command, waiting for a condition.

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
