#pragma once
// The file names of the pictures of a growth, one a step: a name pattern
// with exactly one number field, "%d", optionally with a zero flag and a
// width ("step%03d.png" gives step000.png, step001.png, ...). The number is
// put in by this class alone: the pattern never reaches a formatting call.

#include <optional>
#include <string>

class FramePattern {
public:
    // The pattern of the text; none when the text has no number field, a
    // second one, or any other '%', and then problem says why.
    static std::optional<FramePattern> parse(const std::string& text, std::string& problem);

    // The file name of the picture of a step (0 or more).
    std::string name(int step) const;

private:
    std::string myBefore;
    std::string myAfter;
    std::size_t myWidth = 0;
    bool myZeros = false;
};
