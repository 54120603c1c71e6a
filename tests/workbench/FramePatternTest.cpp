#include "workbench/FramePattern.h"

#include <gtest/gtest.h>

namespace {

// One number field, with an optional zero flag and width, names the steps.
// Anything a formatting call would read as more than the one number (a
// string, a write through %n, a second field) is refused before any file is
// named, with the pattern in the message.
TEST(FramePattern, OneNumberFieldNamesTheStepsAndAnyOtherPercentIsRefused) {
    const struct {
        const char* text;
        int step;
        const char* name;
    } cases[] = {
        {"step%d.png", 7, "step7.png"}, {"frames/step%03d.png", 7, "frames/step007.png"},
        {"%03d", 1234, "1234"},         {"a%3d.b", 5, "a  5.b"},
        {"%0d.png", 12, "12.png"},      {"100 percent %d.tga", 0, "100 percent 0.tga"},
    };
    std::string problem;
    for (const auto& c : cases) {
        const std::optional<FramePattern> pattern = FramePattern::parse(c.text, problem);
        ASSERT_TRUE(pattern) << c.text << ": " << problem;
        EXPECT_EQ(pattern->name(c.step), c.name);
        EXPECT_EQ(problem, "");
    }
    for (const char* text : {"x%s.png", "x%n%d.png", "x%d%d.png", "x%%d.png", "x%d%", "x%-3d.png", "x%ld.png",
                             "x%1000d.png", "x%03", "%"}) {
        EXPECT_FALSE(FramePattern::parse(text, problem)) << text;
        EXPECT_EQ(problem, "The pattern '" + std::string(text) +
                               "' may hold one number field (%d, or %03d for 000, 001, ...) and no other '%'.");
    }
}

} // namespace
