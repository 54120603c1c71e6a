#include "app/Startup.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include <sstream>
#include <vector>

namespace {

std::string listing(const OptionContainer& options) {
    std::ostringstream out;
    out << options;
    return out.str();
}

} // namespace

TEST(Startup, DeclaresTheProgramOptionsWithTheirDefaults) {
    std::unique_ptr<OptionContainer> options = declareProgramOptions();
    EXPECT_EQ(listing(*options), "antialias: 16 (default)\nimage-height: 1024 (default)\nimage-width: 1024 (default)\n");
    const std::vector<const char*> argv{"klado", "-l", "tree.l", "--load", "a.kld", "--image-width=300"};
    std::ostringstream out;
    EXPECT_TRUE(parseProgramOptions(*options, static_cast<int>(argv.size()), argv.data(), out));
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(listing(*options), "antialias: 16 (default)\n"
                                 "convert-fractint (l): tree.l\n"
                                 "image-height: 1024 (default)\n"
                                 "image-width: 300\n"
                                 "load: a.kld\n");
}

TEST(Startup, BadArgumentsAreReportedAndTheProgramGoesOnToTheWindow) {
    std::vector<std::string> arguments{"klado", "--image-width", "", "-", "-lx", "--output-image="};
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    // Without a batch output the program goes on to the window, which needs
    // a display: without one it says so and ends.
    const std::string display = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
    unsetenv("DISPLAY");
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const int code = runKlado(static_cast<int>(argv.size()), argv.data());
    const std::string errors = testing::internal::GetCapturedStderr();
    if (!display.empty()) setenv("DISPLAY", display.c_str(), 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error on parsing options!\n");
    EXPECT_EQ(code, 1);
    EXPECT_NE(errors.find("The workbench window needs an X display; to render without one, give "
                          "--load FILE --output-image IMAGE.\n"),
              std::string::npos);
    EXPECT_NE(errors.find("Error: The option 'image-width' needs a non-empty value.\n"), std::string::npos);
    EXPECT_NE(errors.find("Error: Parameter 'output-image' needs a value.\n"), std::string::npos);
}

TEST(Startup, AnAntialiasingOutOfRangeEndsTheProgramBeforeItLoads) {
    for (const char* samples : {"0", "65"}) {
        std::vector<std::string> arguments{"klado",         "--load",    "missing.kld", "--output-image",
                                           "missing.png", "--antialias", samples};
        std::vector<char*> argv;
        for (std::string& argument : arguments) argv.push_back(argument.data());
        testing::internal::CaptureStderr();
        EXPECT_EQ(runKlado(static_cast<int>(argv.size()), argv.data()), 1);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "--antialias takes 1 to 64 samples per pixel.\n");
    }
}
